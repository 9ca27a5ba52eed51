#pragma once

#include <QString>

class LNNote;

// Cleaning of Notes hierarchical names and address lists for display.

// "CN=Ann Lee/O=Acme" -> "Ann Lee"; other texts unchanged.
QString NormalizeSender(const QString& text);

// "CN=Ann Lee/O=Acme" -> "Ann Lee/Acme"; "Ann <ann@x.org>" -> "<ann@x.org>";
// other texts unchanged.
QString NormalizeRecipient(const QString& text);

// Drops " .", ". ", "CN=", "O=", "OU=" and ".;"; a result longer than 32
// characters gets its ";" spaced as " ; ".
QString NormalizeAddressList(const QString& text);

// The longest of the three normalised lists; ties go to the earlier one.
QString PickRecipientList(const QString& a, const QString& b, const QString& c);

// The recipients of a document: the To list, then on a new line "CC:" and
// "BCC:" lists, each from the longest of its three items.
QString ReadRecipientBlock(const LNNote& document);

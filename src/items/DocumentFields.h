#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "notes/store/StoreItem.h"

// The fields of a document of a form that is none of the five kinds: what the
// user entered, as label and display text, and its rich-text items.

struct FieldRow {
    QString label;
    QString value;
};

// One row per non-empty item the user entered, in stored order, labelled with
// the item name: text and text lists ("; " between values), numbers, dates and
// date ranges, names in their readable form ("Ann Lee/Sales/Acme"). Left out:
// `$` items, the Form item, MIME headers and parts, signatures, revision and
// folder lists, rich text, attachments and other binary values.
std::vector<FieldRow> ReadFieldRows(const store::StoreNote& note);

// The names of the rich-text items with text: Body first, then the others in
// stored order (`$` items left out).
QStringList RichTextItemNames(const store::StoreNote& note);

// The rich-text items of RichTextItemNames as one rich text, each preceded by
// its name as a bold heading when there is more than one; null when there is none.
std::shared_ptr<const store::RichTextDoc> ComposeRichTextItems(const store::StoreNote& note);

// "CN=Ann Lee/OU=Sales/O=Acme" -> "Ann Lee/Sales/Acme"; other texts unchanged.
QString ReadableName(const QString& text);

// What such a document is called: the first non-empty of Subject, Title,
// Topic, Name (one line, tabs and breaks as spaces); empty when none has text.
QString DocumentTitle(const store::StoreNote& note);

// What a contact is called: FullNameInput, else the common name of FullName's
// first value (no CN=/O=), else FirstName and LastName, else CompanyName;
// empty when none has text.
QString ContactDisplayName(const store::StoreNote& note);

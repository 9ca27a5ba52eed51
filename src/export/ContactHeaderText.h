#pragma once

#include <QString>

class LNNote;

// One line of a contact's header: the section heading written before it
// (nullptr: none), its label, and the Notes item the export text reads.
struct ContactHeaderLine {
    const char* heading;
    const char* label;
    const char* itemName;
};

// The 65 lines in order; the last ("Attachment:") has no item: it shows the
// attachment summary.
const ContactHeaderLine* ContactHeaderLines();
constexpr int kContactHeaderLineCount = 65;

// The text of a contact's Word document, composed from the document's items
// (no title line; "Business : ", "Home : ", "Mobile : ", "FAX :" in the phone
// section; a "Full Name: " line after "Other Country: "). `attachmentList` is
// the contact's attachment summary.
QString ContactExportText(const LNNote& document, const QString& attachmentList);

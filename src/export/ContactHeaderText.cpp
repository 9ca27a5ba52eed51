#include "export/ContactHeaderText.h"

#include <cstring>

#include "items/DocumentFields.h"
#include "items/ItemFieldReaders.h"
#include "items/ItemRecords.h"
#include "notes/ln/LNDocument.h"

namespace {

const ContactHeaderLine kLines[kContactHeaderLineCount] = {
    {nullptr, "Form: ", "Form"},
    {nullptr, "Full Name: ", "FullNameInput"},
    {nullptr, "Name Helper: ", "NameHelperInput"},
    {nullptr, "Company Name: ", "CompanyName"},
    {nullptr, "Job Title: ", "JobTitle"},
    {nullptr, "Alt FullName: ", "AltFullName"},
    {nullptr, "First Name: ", "FirstName"},
    {nullptr, "Middle Initial: ", "MiddleInitial"},
    {nullptr, "Last Name: ", "LastName"},
    {nullptr, "Title: ", "Title"},
    {nullptr, "Suffix: ", "Suffix"},
    {nullptr, "Mail Address: ", "MailAddress"},
    {nullptr, "Internet Address: ", "InternetAddress"},
    {nullptr, "Primary PhoneNumber: ", "primaryPhoneNumber"},
    {nullptr, "Primary Address: ", "primaryAddress"},
    {"E-mail\n", "Business: ", "email_1"},
    {nullptr, "Personal: ", "MiscPhone1"},
    {nullptr, "Assistant: ", "MiscPhone2"},
    {nullptr, "Business 2: ", "MiscPhone3"},
    {nullptr, "Personal 2: ", "email_5"},
    {"Phone Numbers \n", "Business: ", "OfficePhoneNumber"},
    {nullptr, "Home: ", "PhoneNumber"},
    {nullptr, "Mobile: ", "CellPhoneNumber"},
    {nullptr, "Fax:", "OfficeFAXPhoneNumber"},
    {nullptr, "Pager: ", "PhoneNumber_6"},
    {nullptr, "Phone Number 8: ", "PhoneNumber_8"},
    {nullptr, "Home FAX Phone Number: ", "HomeFAXPhoneNumber"},
    {nullptr, "Phone Number 9: ", "PhoneNumber_9"},
    {nullptr, "Phone Number 10: ", "PhoneNumber_10"},
    {"Other Information\n", "Messaging ID: ", "SametimeLogin"},
    {nullptr, "Department: ", "Department"},
    {nullptr, "Location: ", "Location"},
    {nullptr, "Manager: ", "Manager"},
    {nullptr, "Assistant: ", "Assistant"},
    {nullptr, "WebSite: ", "WebSite"},
    {nullptr, "Blogsite: ", "Blogsite"},
    {nullptr, "Spouse: ", "Spouse"},
    {nullptr, "Children: ", "Children"},
    {nullptr, "Birthday: ", "Birthday"},
    {nullptr, "Anniversary: ", "Anniversary"},
    {nullptr, "Categories: ", "Categories"},
    {"Addresses\n", "Office Street Address: ", "OfficeStreetAddress"},
    {nullptr, "Office City: ", "OfficeCity"},
    {nullptr, "Office State: ", "OfficeState"},
    {nullptr, "Office ZIP: ", "OfficeZIP"},
    {nullptr, "Office Country: ", "OfficeCountry"},
    {nullptr, "Street Address: ", "StreetAddress"},
    {nullptr, "City: ", "City"},
    {nullptr, "State: ", "State"},
    {nullptr, "Zip: ", "Zip"},
    {nullptr, "country: ", "country"},
    {nullptr, "Other StreetAddress: ", "OtherStreetAddress"},
    {nullptr, "Other City: ", "OtherCity"},
    {nullptr, "Other State: ", "OtherState"},
    {nullptr, "Other Zip: ", "OtherZip"},
    {nullptr, "Other Country: ", "OtherCountry"},
    {"", "Short Name: ", "ShortName"},
    {nullptr, "Alt FullNameSort: ", "AltFullNameSort"},
    {nullptr, "Mail Domain: ", "MailDomain"},
    {nullptr, "Mail System: ", "MailSystem"},
    {nullptr, "Type: ", "Type"},
    {nullptr, "Internet Address1: ", "InternetAddress1"},
    {nullptr, "Home Address: ", "HomeAddress"},
    {nullptr, "Business Address: ", "BusinessAddress"},
    {nullptr, "Attachment:", nullptr},
};

constexpr int kOfficePhoneLine = 20;   // "Business: " of the phone section
constexpr int kOtherCountryLine = 55;constexpr int kFullNameInputLine = 1;  // followed by "Full Name: " in the export text

// Label + value + "\r\n" for a non-empty value.
void appendLine(QString& text, const QString& label, const QString& value) {
    if (value.isEmpty()) return;
    text += label + value + QStringLiteral("\r\n");
}

void appendHeading(QString& text, const ContactHeaderLine& line) {
    if (line.heading) text += QStringLiteral("\n") + QLatin1String(line.heading);
}

// The record field that a header line shows: line 1 the sender, the last
// the attachment summary, the others the field of their item.
int fieldOfLine(int line) {
    if (line == 0) return 0;
    if (line == kContactHeaderLineCount - 1) return ContactRecord::kAttachmentsField;
    return ContactRecord::FieldOf(kLines[line].itemName);
}

}  // namespace

const ContactHeaderLine* ContactHeaderLines() {
    return kLines;
}

QString ContactRecord::BuildHeaderText() const {
    QString text = QStringLiteral("Contact Item \n");
    const bool hasPrimaryAddress = !fields[kPrimaryAddressField].isEmpty();
    for (int i = 0; i < kContactHeaderLineCount; ++i) {
        appendHeading(text, kLines[i]);
        if (i == kOfficePhoneLine && hasPrimaryAddress) continue;
        const int field = fieldOfLine(i);
        if (field >= 0) appendLine(text, QLatin1String(kLines[i].label), fields[size_t(field)]);
    }
    return text;
}

QString ContactExportText(const LNNote& document, const QString& attachmentList) {
    // The export spells four phone labels its own way.
    static const char* const phoneLabels[] = {"Business : ", "Home : ", "Mobile : ", "FAX :"};
    QString text;
    const bool hasPrimaryAddress = !ReadTextItem(document, QStringLiteral("primaryAddress")).isEmpty();
    for (int i = 0; i < kContactHeaderLineCount; ++i) {
        const ContactHeaderLine& line = kLines[i];
        appendHeading(text, line);
        if (i == kOfficePhoneLine && hasPrimaryAddress) continue;
        QString label = QLatin1String(line.label);
        if (i >= kOfficePhoneLine && i < kOfficePhoneLine + 4)
            label = QLatin1String(phoneLabels[i - kOfficePhoneLine]);
        QString value = line.itemName ? ReadTextItem(document, QLatin1String(line.itemName)) : attachmentList;
        // The contact's name as its document is named, FullNameInput or not.
        if (i == kFullNameInputLine && value.isEmpty() && document.data())
            value = ContactDisplayName(*document.data());
        appendLine(text, label, value);
        if (i == kOtherCountryLine)
            appendLine(text, QStringLiteral("Full Name: "),
                       ReadTextItem(document, QStringLiteral("FullName")));
    }
    return text;
}

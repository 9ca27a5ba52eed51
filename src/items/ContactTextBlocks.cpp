#include "items/ContactTextBlocks.h"

namespace {

const char* const kBlock1Labels[] = {"From : ",
                                     "Full Name : ",
                                     "Name Helper : ",
                                     "Company Name : ",
                                     "Job Title : ",
                                     "Alt FullName : ",
                                     "First Name : ",
                                     "Middle Initial : ",
                                     "Last Name : ",
                                     "Title : ",
                                     "Suffix : ",
                                     "Mail Address : ",
                                     "Internet Address : ",
                                     "Primary PhoneNumber : ",
                                     "Primary Address : ",
                                     "Email 1 : ",
                                     "Misc Phone1 : ",
                                     "Misc Phone2 : ",
                                     "Misc Phone3 : ",
                                     "Email 5 : ",
                                     "Office Phone Number : ",
                                     "Phone Number : "};

const char* const kBlock2Labels[] = {"Cell Phone Number : ",
                                     "Office FAX Phone Number : ",
                                     "Phone Number 6 : ",
                                     "Phone Number 8 : ",
                                     "Home FAX Phone Number : ",
                                     "Phone Number 9 : ",
                                     "Phone Number 10 : ",
                                     "Sametime Login : ",
                                     "Department : ",
                                     "Location : ",
                                     "Manager : ",
                                     "Assistant : ",
                                     "WebSite : ",
                                     "Blogsite : ",
                                     "Spouse : ",
                                     "Children : ",
                                     "Birthday : ",
                                     "Anniversary : "};

const char* const kBlock3Labels[] = {"Office Street Address : ",
                                     "Office City : ",
                                     "Office State : ",
                                     "Office ZIP : ",
                                     "Office Country : ",
                                     "Street Address : ",
                                     "City : ",
                                     "State : ",
                                     "Zip : ",
                                     "Country : ",
                                     "Other StreetAddress : ",
                                     "Other City : ",
                                     "Other State : ",
                                     "Other Zip : ",
                                     "Other Country : ",
                                     "Categories : ",
                                     "Full Name : ",
                                     "Short Name : ",
                                     "Alt FullNameSort : ",
                                     "Mail Domain : ",
                                     "MailSystem : ",
                                     "Type : ",
                                     "Internet Address1 : ",
                                     "Home Address : ",
                                     "Business Address : ",
                                     "Attachments : "};

template <size_t N>
QString block(const ContactRecord& record, int firstField, const char* const (&labels)[N]) {
    QString text;
    for (size_t i = 0; i < N; ++i) {
        text += QLatin1String(labels[i]);
        text += record.fields[size_t(firstField) + i];
        text += QStringLiteral("\r\n");
    }
    return text;
}

static_assert(std::size(kBlock1Labels) == 22 && std::size(kBlock2Labels) == 18 &&
              std::size(kBlock3Labels) == 26);

}  // namespace

QString ContactTextBlock1(const ContactRecord& record) {
    return block(record, 0, kBlock1Labels);
}
QString ContactTextBlock2(const ContactRecord& record) {
    return block(record, 22, kBlock2Labels);
}
QString ContactTextBlock3(const ContactRecord& record) {
    return block(record, 40, kBlock3Labels);
}

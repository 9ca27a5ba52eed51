#include <cstring>

#include "items/ItemRecords.h"

namespace {

// Fields 1 to 64 of a contact, in field order.
const char* const kContactItems[ContactRecord::kItemFieldCount] = {"FullNameInput",
                                                                   "NameHelperInput",
                                                                   "CompanyName",
                                                                   "JobTitle",
                                                                   "AltFullName",
                                                                   "FirstName",
                                                                   "MiddleInitial",
                                                                   "LastName",
                                                                   "Title",
                                                                   "Suffix",
                                                                   "MailAddress",
                                                                   "InternetAddress",
                                                                   "primaryPhoneNumber",
                                                                   "primaryAddress",
                                                                   "email_1",
                                                                   "MiscPhone1",
                                                                   "MiscPhone2",
                                                                   "MiscPhone3",
                                                                   "email_5",
                                                                   "OfficePhoneNumber",
                                                                   "PhoneNumber",
                                                                   "CellPhoneNumber",
                                                                   "OfficeFAXPhoneNumber",
                                                                   "PhoneNumber_6",
                                                                   "PhoneNumber_8",
                                                                   "HomeFAXPhoneNumber",
                                                                   "PhoneNumber_9",
                                                                   "PhoneNumber_10",
                                                                   "SametimeLogin",
                                                                   "Department",
                                                                   "Location",
                                                                   "Manager",
                                                                   "Assistant",
                                                                   "WebSite",
                                                                   "Blogsite",
                                                                   "Spouse",
                                                                   "Children",
                                                                   "Birthday",
                                                                   "Anniversary",
                                                                   "OfficeStreetAddress",
                                                                   "OfficeCity",
                                                                   "OfficeState",
                                                                   "OfficeZIP",
                                                                   "OfficeCountry",
                                                                   "StreetAddress",
                                                                   "City",
                                                                   "State",
                                                                   "Zip",
                                                                   "country",
                                                                   "OtherStreetAddress",
                                                                   "OtherCity",
                                                                   "OtherState",
                                                                   "OtherZip",
                                                                   "OtherCountry",
                                                                   "Categories",
                                                                   "FullName",
                                                                   "ShortName",
                                                                   "AltFullNameSort",
                                                                   "MailDomain",
                                                                   "MailSystem",
                                                                   "Type",
                                                                   "InternetAddress1",
                                                                   "HomeAddress",
                                                                   "BusinessAddress"};

}  // namespace

const char* ContactRecord::ItemName(int field) {
    if (field < kFirstItemField || field >= kFirstItemField + kItemFieldCount) return "";
    return kContactItems[field - kFirstItemField];
}

int ContactRecord::FieldOf(const char* itemName) {
    for (int i = 0; i < kItemFieldCount; ++i)
        if (std::strcmp(kContactItems[i], itemName) == 0) return i + kFirstItemField;
    return -1;
}

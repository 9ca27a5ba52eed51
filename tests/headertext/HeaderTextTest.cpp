#include "../items/ItemTestStore.h"
#include "export/ContactHeaderText.h"
#include "items/ItemRecords.h"

using namespace itemtest;

TEST(MailHeader, EmptyFullAndRuleA) {
    EXPECT_EQ(MailRecord{}.BuildHeaderText(), "Email Item \r\n");
    const MailRecord m{"Hi", "Ann", "A;B\r\nCC:C", "08/08/2014 13:18:33", "a.doc Size = 1"};
    EXPECT_EQ(m.BuildHeaderText(),
              "Email Item \r\nSubject:Hi \r\nMailDate:08/08/2014 13:18:33 \r\nFrom:Ann \r\n"
              "SendTo:A;B\r\nCC:C \r\nAttachment:a.doc Size = 1 \r\n");
    MailRecord dots;
    dots.sendTo = ".";
    dots.subject = ". ";
    EXPECT_EQ(dots.BuildHeaderText(), "Email Item \r\nSubject:.  \r\n");  // only "." itself is dropped
}

TEST(CalendarAndTaskHeader, RuleBKeepsDotsAndUsesTheirOrder) {
    EXPECT_EQ(CalendarRecord{}.BuildHeaderText(), "Calander Item \r\n");
    const CalendarRecord c{"Meet",       "Bo", ".", "Room 1", "01/01/2014 09:00:00", "01/01/2014 10:00:00",
                           "x Size = 2", ""};
    EXPECT_EQ(
        c.BuildHeaderText(),
        "Calander Item \r\nSubject:Meet\r\nStartDate:01/01/2014 09:00:00\r\nEndDate:01/01/2014 10:00:00\r\n"
        "From:Bo\r\nSendTo:.\r\nLocation:Room 1\r\nAttachment:x Size = 2\r\n");
    EXPECT_EQ(TaskRecord{}.BuildHeaderText(), "Task Item \r\n");
    const TaskRecord t{"Do", "Bo", ".", "01/01/2014", "02/01/2014", "", ""};
    EXPECT_EQ(
        t.BuildHeaderText(),
        "Task Item \r\nSubject:Do\r\nStartDate:01/01/2014\r\nDueDate:02/01/2014\r\nFrom:Bo\r\nSendTo:.\r\n");
}

TEST(JournalHeader, TitleEmptyLineAndCreationAsMailDate) {
    EXPECT_EQ(JournalRecord{}.BuildHeaderText(), "Journal Item \r\n\r\n");
    const JournalRecord j{"Day", "Me", ".", "03/03/2014 03:03:03", "04/04/2014", "f Size = 9", "a;b"};
    EXPECT_EQ(
        j.BuildHeaderText(),
        "Journal Item \r\n\r\nSubject:Day \r\nMailDate:03/03/2014 03:03:03 \r\nDiaryDate:04/04/2014 \r\n"
        "From:Me \r\nAttachment:f Size = 9 \r\nCategories:a;b \r\n");
}

TEST(ContactHeader, EmptyRecordGivesTitleHeadingsAndFinalBreak) {
    EXPECT_EQ(ContactRecord{}.BuildHeaderText(),
              "Contact Item \n\nE-mail\n\nPhone Numbers \n\nOther Information\n\nAddresses\n\n");
}

TEST(ContactHeader, LinesFollowTheirItemsAndTheOfficePhoneRule) {
    ContactRecord r;
    r.fields[0] = "Ann Lee";
    r.fields[ContactRecord::FieldOf("FullNameInput")] = "Ann B. Lee";
    r.fields[ContactRecord::FieldOf("email_1")] = "ann@acme.com";
    r.fields[ContactRecord::FieldOf("MiscPhone2")] = "m2";
    r.fields[ContactRecord::FieldOf("OfficePhoneNumber")] = "555-1";
    r.fields[ContactRecord::FieldOf("OfficeFAXPhoneNumber")] = "555-2";
    r.fields[ContactRecord::FieldOf("Categories")] = "VIP";
    r.fields[ContactRecord::FieldOf("country")] = "NZ";
    r.fields[ContactRecord::FieldOf("FullName")] = "never shown";
    r.fields[ContactRecord::FieldOf("ShortName")] = "al";
    r.fields[ContactRecord::kAttachmentsField] = "p.jpg Size = 5";
    r.fields[ContactRecord::kPhotoField] = "photo";
    const QString expected =
        "Contact Item \nForm: Ann Lee\r\nFull Name: Ann B. Lee\r\n"
        "\nE-mail\nBusiness: ann@acme.com\r\nAssistant: m2\r\n"
        "\nPhone Numbers \nBusiness: 555-1\r\nFax:555-2\r\n"
        "\nOther Information\nCategories: VIP\r\n"
        "\nAddresses\ncountry: NZ\r\n"
        "\nShort Name: al\r\nAttachment:p.jpg Size = 5\r\n";
    EXPECT_EQ(r.BuildHeaderText(), expected);
    // With a primary address the office phone disappears; nothing else changes.
    r.fields[ContactRecord::kPrimaryAddressField] = "1 Main St";
    QString withAddress = expected;
    withAddress.replace("Business: 555-1\r\n", "");
    withAddress.replace("Full Name: Ann B. Lee\r\n",
                        "Full Name: Ann B. Lee\r\nPrimary Address: 1 Main St\r\n");
    EXPECT_EQ(r.BuildHeaderText(), withAddress);
    // Every field set: 64 of the 65 lines (the office phone gives way to the
    // primary address); without the address, the office phone comes back.
    ContactRecord full;
    for (auto& f : full.fields) f = "v";
    EXPECT_EQ(full.BuildHeaderText().count("\r\n"), 64);
    EXPECT_FALSE(full.BuildHeaderText().contains("Phone Numbers \nBusiness: "));
    full.fields[ContactRecord::kPrimaryAddressField].clear();
    EXPECT_TRUE(full.BuildHeaderText().contains("Phone Numbers \nBusiness: v\r\n"));
}

TEST(ContactExportText, ReadsItemsWithItsOwnPhoneLabels) {
    Database db("export");
    const uint32_t plain = db.add(
        {text("Form", {"Person"}), text("FullNameInput", {"Ann Lee"}), text("OfficePhoneNumber", {"555-1"}),
         text("PhoneNumber", {"555-3"}), text("CellPhoneNumber", {"555-4"}),
         text("OfficeFAXPhoneNumber", {"555-2"}), text("PhoneNumber_6", {"p"}), text("OtherCountry", {"AU"}),
         text("FullName", {"CN=Ann Lee/O=Acme"}), text("BusinessAddress", {"b"})});
    const uint32_t withAddress =
        db.add({text("primaryAddress", {"1 Main"}), text("OfficePhoneNumber", {"555-1"})});
    const uint32_t empty = db.add({});
    db.open();
    EXPECT_EQ(
        ContactExportText(db.document(plain), "f Size = 1"),
        "Form: Person\r\nFull Name: Ann Lee\r\n"
        "\nE-mail\n"
        "\nPhone Numbers \nBusiness : 555-1\r\nHome : 555-3\r\nMobile : 555-4\r\nFAX :555-2\r\nPager: p\r\n"
        "\nOther Information\n"
        "\nAddresses\nOther Country: AU\r\nFull Name: CN=Ann Lee/O=Acme\r\n"
        "\nBusiness Address: b\r\nAttachment:f Size = 1\r\n");
    EXPECT_EQ(ContactExportText(db.document(withAddress), ""),
              "Primary Address: 1 Main\r\n\nE-mail\n\nPhone Numbers \n\nOther Information\n\nAddresses\n\n");
    EXPECT_EQ(ContactExportText(db.document(empty), ""),
              "\nE-mail\n\nPhone Numbers \n\nOther Information\n\nAddresses\n\n");
}

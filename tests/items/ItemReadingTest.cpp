#include "ItemTestStore.h"
#include "items/AddressNormalizers.h"
#include "items/ItemFieldReaders.h"
#include "items/NotesItemKind.h"

using namespace itemtest;

// Without a Form item (the Form decides first: DocumentFieldsTest).
TEST(ItemKind, WithoutAFormPresenceDecidesInPrecedenceOrder) {
    Database db("kinds");
    const uint32_t contact = db.add({text("LastName", {"Lee"}), text("Location", {"Room 1"})});
    const uint32_t contactEmpty = db.add({text("MiddleInitial", {""}), text("DueDate", {"x"})});
    const uint32_t calendar = db.add({text("Location", {"Room"}), text("DueDate", {"x"})});
    const uint32_t task = db.add({text("DueDate", {}), text("DiaryDate", {"x"})});
    const uint32_t journal = db.add({text("DiaryDate", {"x"}), text("Subject", {"day"})});
    const uint32_t mail = db.add({text("Subject", {"hi"})});
    db.open();
    EXPECT_EQ(DetectItemKind(db.document(contact)), Contact);
    EXPECT_EQ(DetectItemKind(db.document(contactEmpty)), Contact);
    EXPECT_EQ(DetectItemKind(db.document(calendar)), Calendar);
    EXPECT_EQ(DetectItemKind(db.document(task)), Task);
    EXPECT_EQ(DetectItemKind(db.document(journal)), Journal);
    EXPECT_EQ(DetectItemKind(db.document(mail)), Mail);
    // A document that is not open reads as a mail rather than failing.
    LNDocument closed;
    EXPECT_EQ(DetectItemKind(closed), Mail);
}

TEST(ReadText, JoinsValuesAndFallsBackOnlyForEmptyAddressItems) {
    Database db("text");
    const uint32_t a =
        db.add({text("SendTo", {"a", "b", "c"}), text("From", {""}), text("INetFrom", {"ann@x.org"}),
                text("CopyTo", {""}), text("InetCopyTo", {"cc@x.org"}), text("Subject", {""}),
                text("InetSendTo", {"never"})});
    const uint32_t b =
        db.add({text("INetFrom", {"ann@x.org"}), text("SendTo", {""}), text("InetSendTo", {""}),
                text("CopyTo", {"direct"}), text("InetCopyTo", {"other"})});
    db.open();
    const LNDocument da = db.document(a), dbb = db.document(b);
    EXPECT_EQ(ReadTextItem(da, "SendTo"), "a;b;c");
    EXPECT_EQ(ReadTextItem(da, "From"), "ann@x.org");
    EXPECT_EQ(ReadTextItem(da, "CopyTo"), "cc@x.org");
    EXPECT_EQ(ReadTextItem(da, "Subject"), "");  // no fallback for other items
    // No "From" item at all: no fallback either.
    EXPECT_EQ(ReadTextItem(dbb, "From"), "");
    EXPECT_EQ(ReadTextItem(dbb, "SendTo"), "");
    EXPECT_EQ(ReadTextItem(dbb, "CopyTo"), "direct");
    EXPECT_EQ(ReadTextItem(dbb, "Nothing"), "");
}

TEST(ReadText, ItemsOfOtherTypesAndOddTextReadSafely) {
    Database db("odd");
    store::StoreItem unreadable = text("Broken", {"x"});
    unreadable.unreadable = true;
    const uint32_t id =
        db.add({number("Subject", 42), richText("Body"), dates("When", {when(2014, 8, 8, 13, 18, 33)}),
                unreadable, text("Ctl", {QString("a\tb\x01") + QChar(0) + "c"}),
                text("Bad", {QString::fromUtf8("ok\xff\xfe")})});
    db.open();
    const LNDocument d = db.document(id);
    EXPECT_EQ(ReadTextItem(d, "Subject"), "");
    EXPECT_EQ(ReadTextItem(d, "Body"), "");
    EXPECT_EQ(ReadTextItem(d, "When"), "");
    EXPECT_EQ(ReadTextItem(d, "Broken"), "");
    EXPECT_EQ(ReadTextItem(d, "Ctl"), QString("a\tb\x01") + QChar(0) + "c");  // copied unchanged
    EXPECT_TRUE(ReadTextItem(d, "Bad").startsWith("ok"));
    EXPECT_EQ(ReadDateItem(d, "Subject"), "");
    EXPECT_EQ(ReadDateItem(d, "Ctl"), "");
    // A document that was never opened reads as empty.
    LNDocument closed;
    EXPECT_EQ(ReadTextItem(closed, "Subject"), "");
    EXPECT_EQ(DescribeAttachments(closed), "");
}

TEST(ReadDate, ValuesInTheClientFormJoinedBySemicolon) {
    Database db("dates");
    store::NotesTime dateOnly;
    dateOnly.date = QDate(2012, 1, 2);
    const uint32_t id = db.add({dates("STARTDATETIME", {when(2014, 8, 8, 13, 18, 33), dateOnly}),
                                dates("PostedDate", {when(2013, 12, 31, 23, 59, 0)})});
    const uint32_t none = db.add({text("PostedDate", {"yesterday"})});
    db.open();
    EXPECT_EQ(ReadDateItem(db.document(id), "STARTDATETIME"), "08/08/2014 13:18:33;02/01/2012");
    EXPECT_EQ(ReadDateItem(db.document(id), "Missing"), "");
    EXPECT_EQ(ReadSentDate(db.document(id)), "31/12/2013 23:59:00");
    EXPECT_EQ(ReadSentDate(db.document(none)), "");  // not a date: empty, as when missing
}

TEST(Attachments, SummaryAndListsInOrder) {
    Database db("att");
    const uint32_t id = db.add({text("Subject", {"s"})});
    db.store().addAttachment(id, "a.doc", QByteArray(1234, 'x'));
    db.store().addAttachment(id, "b.txt", QByteArray(99, 'y'));
    const uint32_t none = db.add({text("Subject", {"s"})});
    db.open();
    QStringList names{"earlier"}, sizes;
    EXPECT_EQ(DescribeAttachments(db.document(id), &names, &sizes), "a.doc Size = 1234, b.txt Size = 99");
    EXPECT_EQ(names, QStringList({"earlier", "a.doc", "b.txt"}));
    EXPECT_EQ(sizes, QStringList({" Size = 1234", " Size = 99"}));
    EXPECT_EQ(DescribeAttachments(db.document(id), nullptr, &sizes), "a.doc Size = 1234, b.txt Size = 99");
    EXPECT_EQ(sizes.size(), 4);
    EXPECT_EQ(DescribeAttachments(db.document(none), &names), "");
    EXPECT_EQ(names.size(), 3);
}

TEST(Normalizers, SenderAndRecipient) {
    EXPECT_EQ(NormalizeSender("CN=Ann Lee/O=Acme"), "Ann Lee");
    EXPECT_EQ(NormalizeSender("CN=Ann Lee/OU=Sales/O=Acme"), "Ann Lee/OU=Sales");
    EXPECT_EQ(NormalizeSender("Ann Lee/O=Acme"), "Ann Lee/O=Acme");  // must start with CN=
    EXPECT_EQ(NormalizeSender("CN=Ann Lee"), "CN=Ann Lee");          // and hold /O=
    EXPECT_EQ(NormalizeSender(""), "");
    EXPECT_EQ(NormalizeRecipient("CN=Ann Lee/O=Acme"), "Ann Lee/Acme");
    EXPECT_EQ(NormalizeRecipient("CN=Ann/OU=S/O=Acme/C=US"), "Ann/OU=S/Acme/C=US");
    EXPECT_EQ(NormalizeRecipient("Ann Lee <ann@acme.com>"), "<ann@acme.com>");
    EXPECT_EQ(NormalizeRecipient("a > b < c"), "a > b < c");
    EXPECT_EQ(NormalizeRecipient("plain@acme.com"), "plain@acme.com");
}

TEST(Normalizers, AddressListRemovalsAndThe32CharacterRule) {
    EXPECT_EQ(NormalizeAddressList("CN=Ann Lee/OU=Sales/O=Acme"), "Ann Lee/Sales/Acme");
    EXPECT_EQ(NormalizeAddressList("a .;b. c"), "a;bc");
    EXPECT_EQ(NormalizeAddressList("x  ..y"), "xy");  // removals repeat until none is left
    EXPECT_EQ(NormalizeAddressList("CCN=N=x"), "x");
    const QString s32 = QString(15, 'a') + ";" + QString(16, 'b');
    ASSERT_EQ(s32.size(), 32);
    EXPECT_EQ(NormalizeAddressList(s32), s32);
    const QString s33 = s32 + "c";
    EXPECT_EQ(NormalizeAddressList(s33), QString(15, 'a') + " ; " + QString(16, 'b') + "c");
}

TEST(Normalizers, PickTheLongestListTiesToTheEarlier) {
    EXPECT_EQ(PickRecipientList("CN=Ann Lee/O=Acme", "Ann Lee", ""), "Ann Lee/Acme");
    EXPECT_EQ(PickRecipientList("ab", "cd", "ef"), "ab");
    EXPECT_EQ(PickRecipientList("a", "cd", "ef"), "cd");
    EXPECT_EQ(PickRecipientList("a", "b", "cde"), "cde");
    EXPECT_EQ(PickRecipientList("", "", ""), "");
}

TEST(RecipientBlock, GroupsAndLineBreaks) {
    Database db("recip");
    const uint32_t toOnly = db.add({text("SendTo", {"A", "B"})});
    const uint32_t toCc = db.add({text("SendTo", {"A", "B"}), text("CopyTo", {"C"})});
    const uint32_t ccBcc = db.add({text("CopyTo", {"C"}), text("BlindCopyTo", {"D"})});
    const uint32_t all = db.add({text("SendTo", {"A"}), text("CopyTo", {"C"}), text("BlindCopyTo", {"D"})});
    const uint32_t dot = db.add({text("InetSendTo", {"."}), text("EnterSendTo", {""})});
    const uint32_t ccNames = db.add({text("CopyTo", {"CN=Ann Lee/O=Acme"}), text("InetCopyTo", {"Ann Lee"})});
    const uint32_t dotOnly = db.add({text("CopyTo", {"CN=O="}), text("InetCopyTo", {""})});
    const uint32_t none = db.add({text("Subject", {"s"})});
    db.open();
    EXPECT_EQ(ReadRecipientBlock(db.document(toOnly)), "A;B");
    EXPECT_EQ(ReadRecipientBlock(db.document(toCc)), "A;B\r\nCC:C");
    EXPECT_EQ(ReadRecipientBlock(db.document(ccBcc)), "CC:C\r\nBCC:D");
    EXPECT_EQ(ReadRecipientBlock(db.document(all)), "A\r\nCC:C\r\nBCC:D");
    EXPECT_EQ(ReadRecipientBlock(db.document(dot)), "");
    EXPECT_EQ(ReadRecipientBlock(db.document(ccNames)), "CC:Ann Lee/Acme");
    // Present, but nothing is left after normalising: no "CC:" alone.
    EXPECT_EQ(ReadRecipientBlock(db.document(dotOnly)), "");
    EXPECT_EQ(ReadRecipientBlock(db.document(none)), "");
}

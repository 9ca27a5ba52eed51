#include <array>
#include <map>

#include "ItemTestStore.h"
#include "items/ContactTextBlocks.h"
#include "items/ItemRecordReaders.h"
#include "items/NotesItemKind.h"
#include "notes/dxl/SelectionFormula.h"

using namespace itemtest;

namespace {

// Records every call the item list receives, in order.
class RecordingList : public IItemList {
  public:
    struct Row {
        int kind = 0;
        quint32 noteId = 0;
        std::map<int, QString> columns;
        QStringList calls;
    };
    int addRow(int kind, const QString& column0) override {
        Row r;
        r.kind = kind;
        r.columns[0] = column0;
        r.calls << "add";
        rows.push_back(r);
        return int(rows.size()) - 1;
    }
    void setColumn(int row, int column, const QString& text) override {
        rows.at(size_t(row)).columns[column] = text;
        rows.at(size_t(row)).calls << QString("col%1").arg(column);
    }
    void setRowNoteId(int row, quint32 noteId) override {
        rows.at(size_t(row)).noteId = noteId;
        rows.at(size_t(row)).calls << "id";
    }
    std::vector<Row> rows;
};

class RecordingBar : public IProgressBar {
  public:
    void setPosition(int percent) override { positions.push_back(percent); }
    void setText(const QString&) override {}
    std::vector<int> positions;
};

// A contact whose item values are their names ("FirstName" holds "FirstName").
std::vector<store::StoreItem> fullContactItems() {
    std::vector<store::StoreItem> items{text("From", {"CN=Ann Lee/O=Acme"}), text("Photo", {"photo"})};
    for (int f = 1; f <= 64; ++f)
        items.push_back(text(ContactRecord::ItemName(f), {ContactRecord::ItemName(f)}));
    return items;
}

}  // namespace

TEST(Records, MailCalendarTaskJournalFieldsInPlace) {
    Database db("records");
    const auto common = std::vector<store::StoreItem>{
        text("Subject", {"Plan"}), text("From", {"CN=Bo/O=Acme"}), text("SendTo", {"A", "B"})};
    auto with = [&](std::vector<store::StoreItem> more) {
        auto items = common;
        items.insert(items.end(), more.begin(), more.end());
        return items;
    };
    const uint32_t mail = db.add(with({dates("PostedDate", {when(2014, 8, 8, 13, 18, 33)})}));
    const uint32_t cal =
        db.add(with({text("Location", {"Room", "2"}), dates("STARTDATETIME", {when(2014, 1, 2, 9, 0, 0)}),
                     dates("EndDateTime", {when(2014, 1, 2, 10, 0, 0)})}));
    const uint32_t task = db.add(with({dates("STARTDATETIME", {when(2014, 1, 2, 9, 0, 0)}),
                                       dates("DueDate", {when(2014, 1, 3, 9, 0, 0)})}));
    const uint32_t journal =
        db.add(with({dates("DiaryDate", {when(2014, 1, 4, 0, 0, 0)}), text("Categories", {"x", "y"})}));
    db.store().addAttachment(mail, "a.txt", "abc");
    db.open();

    QStringList names, sizes;
    const MailRecord m = ReadMailRecord(db.document(mail), &names, &sizes);
    EXPECT_EQ(m.subject, "Plan");
    EXPECT_EQ(m.from, "Bo");
    EXPECT_EQ(m.sendTo, "A;B");
    EXPECT_EQ(m.dateSent, "08/08/2014 13:18:33");
    EXPECT_EQ(m.attachments, "a.txt Size = 3");
    EXPECT_EQ(names, QStringList{"a.txt"});
    EXPECT_EQ(sizes, QStringList{" Size = 3"});

    const CalendarRecord c = ReadCalendarRecord(db.document(cal));
    EXPECT_EQ(c.location, "Room;2");
    EXPECT_EQ(c.startDateTime, "02/01/2014 09:00:00");
    EXPECT_EQ(c.endDateTime, "02/01/2014 10:00:00");
    EXPECT_EQ(c.attachments, "");
    EXPECT_EQ(c.unused7, "");

    const TaskRecord t = ReadTaskRecord(db.document(task));
    EXPECT_EQ(t.startDateTime, "02/01/2014 09:00:00");
    EXPECT_EQ(t.dueDate, "03/01/2014 09:00:00");

    const JournalRecord j = ReadJournalRecord(db.document(journal));
    EXPECT_EQ(j.timeCreated, "");
    EXPECT_EQ(j.diaryDate, "04/01/2014 00:00:00");
    EXPECT_EQ(j.categories, "x;y");
    EXPECT_EQ(j.sendTo, "A;B");

    // A mail without a sent date reads an empty date and nothing else changes.
    const MailRecord noDate = ReadMailRecord(db.document(task));
    EXPECT_EQ(noDate.dateSent, "");
    EXPECT_EQ(noDate.subject, "Plan");
}

TEST(ContactReader, SixtyNineFieldsAndTheThreeBlocks) {
    Database db("contact");
    const uint32_t id = db.add(fullContactItems());
    db.store().addAttachment(id, "p.jpg", "12345");
    db.open();
    const ContactRecord r = db.converter.ReadContactRecord(db.document(id));
    EXPECT_EQ(r.fields[0], "Ann Lee");
    for (int f = 1; f <= 64; ++f) EXPECT_EQ(r.fields[size_t(f)], ContactRecord::ItemName(f)) << f;
    EXPECT_EQ(r.fields[1], "FullNameInput");
    EXPECT_EQ(r.fields[17], "MiscPhone2");
    EXPECT_EQ(r.fields[38], "Birthday");
    EXPECT_EQ(r.fields[56], "FullName");
    EXPECT_EQ(r.fields[64], "BusinessAddress");
    EXPECT_EQ(r.fields[65], "p.jpg Size = 5");
    EXPECT_EQ(r.fields[66], "");
    EXPECT_EQ(r.fields[67], "");
    EXPECT_EQ(r.fields[68], "photo");

    const QString b1 = ContactTextBlock1(r);
    EXPECT_TRUE(b1.startsWith("From : Ann Lee\r\nFull Name : FullNameInput\r\n"));
    EXPECT_TRUE(
        b1.contains("Misc Phone1 : MiscPhone1\r\nMisc Phone2 : MiscPhone2\r\nMisc Phone3 : MiscPhone3\r\n"));
    EXPECT_TRUE(b1.endsWith("Office Phone Number : OfficePhoneNumber\r\nPhone Number : PhoneNumber\r\n"));
    EXPECT_EQ(b1.count("\r\n"), 22);
    const QString b2 = ContactTextBlock2(r);
    EXPECT_TRUE(b2.startsWith("Cell Phone Number : CellPhoneNumber\r\n"));
    EXPECT_TRUE(b2.endsWith("Anniversary : Anniversary\r\n"));
    EXPECT_EQ(b2.count("\r\n"), 18);
    const QString b3 = ContactTextBlock3(r);
    EXPECT_TRUE(b3.startsWith("Office Street Address : OfficeStreetAddress\r\n"));
    EXPECT_TRUE(b3.contains("Country : country\r\n"));
    EXPECT_TRUE(b3.contains("Full Name : FullName\r\nShort Name : ShortName\r\n"));
    EXPECT_TRUE(b3.endsWith("Business Address : BusinessAddress\r\nAttachments : p.jpg Size = 5\r\n"));
    EXPECT_EQ(b3.count("\r\n"), 26);

    // Empty values still give their lines.
    const ContactRecord empty;
    EXPECT_TRUE(
        ContactTextBlock2(empty).startsWith("Cell Phone Number : \r\nOffice FAX Phone Number : \r\n"));
    EXPECT_EQ(ContactTextBlock1(empty).count("\r\n"), 22);
}

TEST(FillItemList, RowsPerKindInCallOrder) {
    Database db("fill");
    const uint32_t mail = db.add({text("Subject", {"Hello"}), text("From", {"CN=Ann Lee/O=Acme"}),
                                  dates("PostedDate", {when(2014, 8, 8, 13, 18, 33)})},
                                 1234);
    db.store().addAttachment(mail, "a.doc", QByteArray(10, 'x'));
    const uint32_t cal = db.add({text("Subject", {"Meet"}), text("Location", {"R"}),
                                 dates("STARTDATETIME", {when(2014, 1, 2, 9, 0, 0)}),
                                 dates("PostedDate", {when(2000, 1, 1, 0, 0, 0)})});
    const uint32_t journalCreated = db.add(
        {dates("TimeCreated", {when(2014, 3, 3, 3, 3, 3)}), dates("DiaryDate", {when(2014, 4, 4, 0, 0, 0)})});
    const uint32_t journalDiary =
        db.add({text("TimeCreated", {"not a date"}), dates("DiaryDate", {when(2014, 4, 4, 0, 0, 0)})});
    const uint32_t broken = db.add({text("Subject", {"damaged"})});
    db.store().failNote(broken, {store::StatusDamaged, "bad"});
    const uint32_t contact = db.add(fullContactItems(), 77);
    db.store().addFolder("Mixed", true, {mail, cal, journalCreated, broken, journalDiary, contact, 0xDEAD});
    db.open();

    RecordingList list;
    db.converter.OpenFolder(&list, "Mixed\\");
    ASSERT_EQ(list.rows.size(), 5u);

    const auto& m = list.rows[0];
    EXPECT_EQ(m.kind, 2);
    EXPECT_EQ(m.noteId, mail);
    EXPECT_EQ(m.columns.at(0), "Ann Lee");
    EXPECT_EQ(m.columns.at(1), "Hello");
    EXPECT_EQ(m.columns.at(2), "08/08/2014 13:18:33");
    EXPECT_EQ(m.columns.at(3), "1234");
    EXPECT_EQ(m.columns.at(4), "a.doc Size = 10");
    EXPECT_EQ(m.calls, QStringList({"add", "col1", "col2", "col3", "id", "col4"}));

    const auto& c = list.rows[1];
    EXPECT_EQ(c.kind, 3);
    EXPECT_EQ(c.columns.at(2), "02/01/2014 09:00:00");  // the start, not the sent date
    EXPECT_EQ(c.columns.count(4), 0u);                  // no attachments: column 4 untouched
    EXPECT_EQ(c.calls, QStringList({"add", "col1", "col2", "col3", "id"}));

    EXPECT_EQ(list.rows[2].kind, 9);
    EXPECT_EQ(list.rows[2].columns.at(2), "03/03/2014 03:03:03");
    EXPECT_EQ(list.rows[3].noteId, journalDiary);  // the damaged document left no row
    // ... and each document left out is named (the damaged one, the missing ID).
    const QStringList left = db.converter.itemListProblems();
    ASSERT_EQ(left.size(), 2) << left.join('\n').toStdString();
    EXPECT_TRUE(left[0].startsWith(QString("Mixed: note %1 left out: ").arg(broken, 0, 16))) << left[0].toStdString();
    EXPECT_TRUE(left[0].contains("bad")) << left[0].toStdString();
    EXPECT_TRUE(left[1].startsWith("Mixed: note dead left out: ")) << left[1].toStdString();
    EXPECT_EQ(list.rows[3].columns.at(2), "04/04/2014 00:00:00");

    const auto& k = list.rows[4];
    EXPECT_EQ(k.kind, 4);
    EXPECT_TRUE(k.columns.at(0).startsWith("From : Ann Lee\r\n"));
    EXPECT_TRUE(k.columns.at(1).startsWith("Cell Phone Number : "));
    EXPECT_TRUE(k.columns.at(2).startsWith("Office Street Address : "));
    EXPECT_EQ(k.columns.at(3), "77");
}

TEST(FillItemList, ProgressNeverReachesTheEndAndCancelStops) {
    Database db("progress");
    std::vector<uint32_t> ids;
    for (int i = 0; i < 10; ++i) ids.push_back(db.add({text("Subject", {QString::number(i)})}));
    db.store().addFolder("Ten", true, ids);
    db.store().addFolder("Empty", true, {});
    db.open();
    RecordingBar bar;
    db.converter.progressDialog = &bar;
    RecordingList list;
    db.converter.OpenFolder(&list, "Ten");
    EXPECT_EQ(list.rows.size(), 10u);
    ASSERT_EQ(bar.positions.size(), 10u);
    EXPECT_EQ(bar.positions.front(), 7);
    EXPECT_EQ(bar.positions.back(), 71);

    RecordingList empty;
    db.converter.OpenFolder(&empty, "Empty");
    EXPECT_TRUE(empty.rows.empty());

    // A list that cancels while the first row is added ends the listing.
    class CancellingList : public RecordingList {
      public:
        explicit CancellingList(CNotesConverter& c) : m_c(c) {}
        int addRow(int kind, const QString& column0) override {
            m_c.cancelRequested = 1;
            return RecordingList::addRow(kind, column0);
        }
        CNotesConverter& m_c;
    } cancelling(db.converter);
    db.converter.OpenFolder(&cancelling, "Ten");
    EXPECT_EQ(cancelling.rows.size(), 1u);
    db.converter.progressDialog = nullptr;
}

TEST(FillItemList, DocumentsOfOtherFormsAreNamedByTheirTitleOrTheViewsFirstColumn) {
    Database db("named");
    auto people = std::make_shared<store::StoreForm>();
    people->name = "PeopleForm";
    QString problem;
    people->windowTitle = store::dxl::SelectionFormula::parseValue("\"Person: \" + Person", problem);
    db.store().addForm(people);
    const uint32_t titled = db.add({text("Form", {"PeopleForm"}), text("Person", {"Adams, Henry"})});
    const uint32_t byColumn = db.add({text("Form", {"Other"}), text("Who", {"Jones, Mary"})});
    const uint32_t bySubject = db.add({text("Form", {"Other"}), text("Subject", {"Hello"}), text("Who", {"X"})});
    const uint32_t nameless = db.add({text("Form", {"Other"}), number("Count", 1)});
    db.store().addFolder("People", false, {titled, byColumn, bySubject, nameless});
    db.store().folder(0).info.titleItem = "Who";
    db.open();

    RecordingList list;
    db.converter.OpenFolder(&list, "People\\");
    ASSERT_EQ(list.rows.size(), 4u);
    for (const auto& row : list.rows) EXPECT_EQ(row.kind, Document);
    EXPECT_EQ(list.rows[0].columns.at(1), "Person: Adams, Henry");
    EXPECT_EQ(list.rows[1].columns.at(1), "Jones, Mary");
    EXPECT_EQ(list.rows[2].columns.at(1), "Hello");
    EXPECT_EQ(list.rows[3].columns.count(1) ? list.rows[3].columns.at(1) : QString(), "");
}

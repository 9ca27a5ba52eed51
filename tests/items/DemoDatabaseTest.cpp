#include <QFileInfo>

#include "ItemTestStore.h"
#include "export/ContactHeaderText.h"
#include "items/ItemRecordReaders.h"
#include "items/NotesItemKind.h"

// The bundled demo database read end to end: driver, readers and header text.

namespace {

class DemoDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        path = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");
        if (!QFileInfo::exists(path)) GTEST_SKIP() << "no demo database at " << path.toStdString();
        ASSERT_EQ(converter.Initialize(), 1);
        QStringList names;
        ASSERT_EQ(converter.EnumerateFolders(path, "", names, 1), 1)
            << converter.GetLastErrorText().toStdString();
    }
    LNDocument open(NOTEID id) {
        LNDocument doc;
        converter.database().GetDocument(id, &doc);
        doc.Open(0);
        return doc;
    }
    QString path;
    CNotesConverter converter;
};

class Rows : public IItemList {
  public:
    int addRow(int kind, const QString& c0) override {
        rows.push_back({QString::number(kind), c0, {}, {}, {}, {}, {}});
        return int(rows.size()) - 1;
    }
    void setColumn(int r, int c, const QString& t) override { rows[size_t(r)][size_t(c) + 2] = t; }
    void setRowNoteId(int r, quint32 id) override { rows[size_t(r)][1] = QString::number(id, 16); }
    std::vector<std::array<QString, 7>> rows;
};

}  // namespace

TEST_F(DemoDatabase, InboxRowsAndAMailWithoutFromItem) {
    Rows list;
    converter.OpenFolder(&list, "($Inbox)\\");
    ASSERT_EQ(list.rows.size(), 16u);
    for (const auto& row : list.rows) EXPECT_EQ(row[0], "2");
    // "Lunch?" has INetFrom but no From item: its sender stays empty.
    const auto lunch =
        std::find_if(list.rows.begin(), list.rows.end(), [](auto& r) { return r[1] == "95a"; });
    ASSERT_NE(lunch, list.rows.end());
    EXPECT_EQ((*lunch)[2], "");
    EXPECT_EQ((*lunch)[3], "Lunch?");
    EXPECT_EQ((*lunch)[4], "01/03/2013 11:45:00");
}

TEST_F(DemoDatabase, HeaderBlocksOfEachKind) {
    const LNDocument report = open(0x942);
    ASSERT_EQ(DetectItemKind(report), Mail);
    EXPECT_EQ(
        ReadMailRecord(report).BuildHeaderText(),
        QString::fromUtf8("Email Item \r\nSubject:Quarterly report Q1 \r\nMailDate:03/04/2012 17:42:00 \r\n"
                          "From:Chen Wei/OU=R&D \r\nSendTo:Ann Lee/Sales/Acme ; Bob Meyer/Acme\r\n"
                          "CC:Dora Müller/Acme \r\nAttachment:report.pdf Size = 652 \r\n"));
    const LNDocument meeting = open(0x9b2);
    ASSERT_EQ(DetectItemKind(meeting), Calendar);
    EXPECT_TRUE(ReadCalendarRecord(meeting).BuildHeaderText().startsWith(
        "Calander Item \r\nSubject:Kick-off Q2\r\nStartDate:02/04/2012 09:00:00\r\n"));
    const LNDocument contact = open(0x9e6);
    ASSERT_EQ(DetectItemKind(contact), Contact);
    const ContactRecord record = converter.ReadContactRecord(contact);
    EXPECT_TRUE(record.BuildHeaderText().contains("\nPhone Numbers \nBusiness: +33 1 4000 0000\r\n"));
    EXPECT_TRUE(ContactExportText(contact, record.fields[65]).startsWith("Form: Person\r\n"));
}

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <random>

#include "DxlTestFiles.h"
#include "convert/CNotesConverter.h"
#include "notes/dxl/DxlStore.h"

using namespace store;
using store::dxl::DxlStore;

namespace {

std::unique_ptr<DxlStore> open(const QString& path) {
    StoreError e;
    auto s = DxlStore::open(path, e);
    EXPECT_TRUE(s) << e.message().toStdString();
    return s;
}

StoreNote load(DxlStore& s, uint32_t id) {
    StoreNote n;
    const StoreError e = s.loadNote(id, n);
    EXPECT_TRUE(e.ok()) << e.message().toStdString();
    return n;
}

std::vector<uint32_t> entries(DxlStore& s, const QString& name) {
    const auto infos = s.folders();
    for (size_t i = 0; i < infos.size(); ++i) {
        if (infos[i].name != name) continue;
        std::vector<uint32_t> ids;
        const StoreError e = s.folderEntries(i, ids);
        EXPECT_TRUE(e.ok()) << e.message().toStdString();
        return ids;
    }
    ADD_FAILURE() << "no view or folder " << name.toStdString();
    return {};
}

using F = DxlTestFiles;

}  // namespace

TEST(DxlStore, ReadsItemsOfEveryType) {
    DxlTestFiles files;
    const QByteArray items =
        "<item name='Subject'><text>Caf\xC3\xA9 <break/>line two &amp; more</text></item>\n"
        "<item name='SendTo' names='true'><textlist><text>CN=Ann "
        "Lee/O=Acme</text><text>bob@x.org</text></textlist></item>\n"
        "<item name='Size'><number>42.5</number></item>\n"
        "<item name='Scores'><numberlist><number>1</number><number>-2</number></numberlist></item>\n"
        "<item name='PostedDate'><datetime dst='true'>20140808T131833,00-04</datetime></item>\n"
        "<item "
        "name='Days'><datetimelist><datetime>20120101</datetime><datetime>T093000,00</datetime></"
        "datetimelist></item>\n"
        "<item name='Range'><datetimepair><datetime>20120101T090000,00+01</datetime>"
        "<datetime>20120101T100000,00+01</datetime></datetimepair></item>\n"
        "<item name='Raw' summary='false'><rawitemdata type='502'>AAEC</rawitemdata></item>\n"
        "<item name='CD'><rawitemdata type='1'>gv8=</rawitemdata></item>\n"
        "<item name='CD'><rawitemdata type='1'>gv8=</rawitemdata></item>\n"
        "<item name='BadDate'><datetime>yesterday</datetime></item>\n"
        "<item name='Empty'><text/></item>\n";
    const QString path = files.write(F::database(F::document("8fa", items, "Memo")));
    auto s = open(path);
    ASSERT_TRUE(s);
    const StoreNote n = load(*s, 0x8FA);
    EXPECT_EQ(n.noteId, 0x8FAu);
    EXPECT_EQ(n.unid, "000000000000000000000000000008fa");

    const StoreItem* subject = n.item("subject");
    ASSERT_TRUE(subject);
    EXPECT_EQ(subject->type, TypeText);
    EXPECT_EQ(subject->texts, QStringList{QString::fromUtf8("Café \nline two & more")});
    EXPECT_EQ(n.item("SendTo")->type, TypeTextList);
    EXPECT_EQ(n.item("SendTo")->texts, QStringList({"CN=Ann Lee/O=Acme", "bob@x.org"}));
    EXPECT_EQ(n.item("Size")->numbers, std::vector<double>{42.5});
    EXPECT_EQ(n.item("Scores")->type, TypeNumberRange);
    EXPECT_EQ(n.item("Scores")->numbers, std::vector<double>({1, -2}));
    ASSERT_EQ(n.item("PostedDate")->times.size(), 1u);
    EXPECT_EQ(n.item("PostedDate")->times[0].text(), "08/08/2014 13:18:33");
    EXPECT_EQ(n.item("Days")->times[0].text(), "01/01/2012");
    EXPECT_EQ(n.item("Days")->times[1].text(), "09:30:00");
    EXPECT_EQ(n.item("Range")->type, TypeTimeRange);
    ASSERT_EQ(n.item("Range")->timeRanges.size(), 1u);
    EXPECT_EQ(n.item("Range")->timeRanges[0].upper.text(), "01/01/2012 10:00:00");
    // An RFC 822 header item too short for its descriptor: unreadable, its bytes kept.
    EXPECT_TRUE(n.item("Raw")->unreadable);
    EXPECT_EQ(n.item("Raw")->problem, "the RFC 822 header item does not fit its descriptor");
    EXPECT_EQ(n.item("Raw")->raw, QByteArray("\x00\x01\x02", 3));
    EXPECT_EQ(n.item("CD")->type, TypeComposite);
    ASSERT_TRUE(n.item("CD")->richText);
    // Parts of one rich-text field are joined into its first item.
    EXPECT_EQ(n.item("CD")->richText->rawRecords, QByteArray("\x82\xff\x82\xff", 4));
    EXPECT_EQ(
        std::count_if(n.items.begin(), n.items.end(), [](const StoreItem& i) { return i.name == "CD"; }), 1);
    EXPECT_TRUE(n.item("BadDate")->unreadable);
    EXPECT_FALSE(n.item("BadDate")->problem.isEmpty());
    EXPECT_EQ(n.item("Empty")->texts, QStringList{QString()});
    // The form attribute stands for the missing Form item.
    ASSERT_TRUE(n.item("Form"));
    EXPECT_EQ(n.item("Form")->texts, QStringList{"Memo"});
}

TEST(DxlStore, DatesReadThroughTheAccessLayerInTheirOwnZone) {
    DxlTestFiles files;
    const QByteArray items =
        "<item name='PostedDate'><datetime>20140808T131833,00-04</datetime></item>\n"
        "<item name='DiaryDate'><datetime>20130202</datetime></item>\n"
        "<item name='Times'><datetimelist><datetime>20120131T235959,99Z</datetime>"
        "<datetime>20120201T000000,00+0530</datetime></datetimelist></item>\n";
    const QString path = files.write(F::database(F::document("10", items)));
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    ASSERT_EQ(c.EnumerateFolders(path, QString(), names, 1), 1);
    LNDocument doc;
    c.database().GetDocument(0x10, &doc);
    doc.Open();
    auto text = [&](const char* name) {
        LNItem item;
        doc.GetItem(name, &item);
        LNString s;
        LNDatetimes(item).GetText(&s, ";");
        return QString::fromUtf8(s.GetBuf());
    };
    EXPECT_EQ(text("PostedDate"), "08/08/2014 13:18:33");
    EXPECT_EQ(text("DiaryDate"), "02/02/2013");
    EXPECT_EQ(text("Times"), "31/01/2012 23:59:59;01/02/2012 00:00:00");
    LNDatetime sent;
    LNMailMessage(doc).GetDateSent(&sent);
    LNString s;
    sent.GetText(&s);
    EXPECT_STREQ(s.GetBuf(), "08/08/2014 13:18:33");
}

TEST(DxlStore, RichTextKeepsParagraphStylesFontsTablesPicturesAndLinks) {
    DxlTestFiles files;
    const QByteArray body =
        "<item name='Body'><richtext>\n"
        "<pardef id='1'/><pardef id='2' align='center' leftmargin='1.5in' list='bullet' tabs='L0.5in "
        "R2in'/>\n"
        "<par def='1'>Plain <run><font size='12pt' style='bold italic' color='#ff0000' name='Arial'/>bold "
        "red</run>"
        "<break/>next<tab/>col</par>\n"
        "<par def='2'><run><font style='underline strikethrough' color='blue'/>styled</run></par>\n"
        "<table><tablecolumn width='1in'/><tablecolumn width='2in'/>\n"
        "<tablerow><tablecell bgcolor='#e0e8f0'><pardef id='3'/><par def='3'>A1</par></tablecell>"
        "<tablecell><par def='3'>B1</par></tablecell></tablerow>\n"
        "<tablerow><tablecell><par def='3'>A2</par></tablecell><tablecell><par "
        "def='3'>B2</par></tablecell></tablerow>"
        "</table>\n"
        "<par def='1'><picture width='16px' height='8px'><png>iVBORw0KGgo=</png></picture>"
        "<attachmentref name='a.pdf' "
        "displayname='a.pdf'><picture><gif>R0lGOA==</gif></picture></attachmentref> "
        "<urllink href='https://example.com'><run>site</run></urllink> "
        "<doclink document='ABC' description='the memo'/></par>\n"
        "<par def='1'><code event='hidewhen'><formula>1</formula></code><computedtext><code event='value'>"
        "<formula>@Now</formula></code></computedtext>end</par>\n"
        "</richtext></item>\n";
    const QString path = files.write(F::database(F::document("20", body)));
    auto s = open(path);
    ASSERT_TRUE(s);
    const StoreNote n = load(*s, 0x20);
    const StoreItem* it = n.item("Body");
    ASSERT_TRUE(it && it->richText);
    const RichTextDoc& doc = *it->richText;
    ASSERT_EQ(doc.blocks.size(), 5u);
    EXPECT_EQ(doc.plainText(),
              "Plain bold red\r\nnext\tcol\r\nstyled\r\nA1\tB1\r\nA2\tB2\r\na.pdf site the memo\r\nend");

    const auto& p1 = doc.blocks[0].runs;
    ASSERT_EQ(p1.size(), 6u);
    EXPECT_EQ(p1[1].text, "bold red");
    EXPECT_TRUE(p1[1].font.bold && p1[1].font.italic);
    EXPECT_TRUE(p1[1].font.hasColor);
    EXPECT_EQ(p1[1].font.rgb, 0xFF0000u);
    EXPECT_EQ(p1[1].font.sizePt, 12.0);
    EXPECT_EQ(p1[1].font.face, "Arial");
    EXPECT_EQ(p1[2].kind, RtRun::Kind::LineBreak);
    EXPECT_EQ(p1[3].text, "next");
    EXPECT_FALSE(p1[3].font.bold);  // the run's font ends with the run
    EXPECT_EQ(p1[4].kind, RtRun::Kind::Tab);
    EXPECT_EQ(p1[5].text, "col");

    const RtBlock& p2 = doc.blocks[1];
    EXPECT_EQ(p2.style.align, RtAlign::Center);
    EXPECT_EQ(p2.style.leftIndent, 720);
    EXPECT_TRUE(p2.style.bullet);
    EXPECT_EQ(p2.style.tabStops, std::vector<int>({720, 2880}));
    EXPECT_TRUE(p2.runs[0].font.underline && p2.runs[0].font.strike);
    EXPECT_EQ(p2.runs[0].font.rgb, 0x0000FFu);

    ASSERT_TRUE(doc.blocks[2].table);
    const RtTable& t = *doc.blocks[2].table;
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].cells[0].widthTwips, 1440);
    EXPECT_EQ(t.rows[0].cells[1].widthTwips, 2880);
    EXPECT_TRUE(t.rows[0].cells[0].hasBackground);
    EXPECT_EQ(t.rows[0].cells[0].backgroundRgb, 0xE0E8F0u);

    const auto& p4 = doc.blocks[3].runs;
    ASSERT_GE(p4.size(), 6u);
    EXPECT_EQ(p4[0].kind, RtRun::Kind::Picture);
    EXPECT_EQ(p4[0].picture.format, "png");
    EXPECT_EQ(p4[0].picture.data, QByteArray("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(p4[0].picture.widthPx, 16);
    EXPECT_EQ(p4[1].kind, RtRun::Kind::AttachmentRef);
    EXPECT_EQ(p4[1].text, "a.pdf");
    EXPECT_EQ(p4[3].kind, RtRun::Kind::Url);
    EXPECT_EQ(p4[3].target, "https://example.com");
    EXPECT_EQ(p4[3].text, "site");
    EXPECT_EQ(p4[5].kind, RtRun::Kind::DocLink);
    EXPECT_EQ(p4[5].text, "the memo");
}

// Notes XML margins are positions on the paper (text starts at one inch) in the
// body and in the cell inside a table; the right margin counts from the left
// too ("98%", "7in"). Column widths may be shares of the table.
TEST(DxlStore, PardefMarginsBecomeIndentsOfTheAreaTheParagraphSitsIn) {
    DxlTestFiles files;
    const QByteArray body =
        "<item name='Body'><richtext>\n"
        "<pardef id='1' leftmargin='1.5in' firstlineleftmargin='1.25in' rightmargin='7in'/>"
        "<pardef id='2' leftmargin='2%' rightmargin='98%'/><pardef id='3' leftmargin='0.0104in'/>"
        "<par def='1'>body</par>\n"
        "<table><tablecolumn width='25%'/><tablecolumn width='75%'/><tablerow>"
        "<tablecell><par def='2'>cell</par></tablecell><tablecell><par def='3'>cell</par>"
        "<par def='1'>cell</par></tablecell></tablerow></table>\n"
        "<par def='2'>body</par>\n"
        "</richtext></item>\n";
    auto s = open(files.write(F::database(F::document("20", body))));
    ASSERT_TRUE(s);
    const StoreNote n = load(*s, 0x20);
    const StoreItem* it = n.item("Body");
    ASSERT_TRUE(it && it->richText);
    const auto& blocks = it->richText->blocks;
    ASSERT_EQ(blocks.size(), 3u);
    const auto indents = [](const RtParagraphStyle& st) {
        return std::vector<int>{st.leftIndent, st.leftIndentPercent, st.firstLineIndent, st.rightIndent,
                                st.rightIndentPercent};
    };
    // 7 inches from the paper's edge: the text area's width (from one inch) less six inches.
    EXPECT_EQ(indents(blocks[0].style), (std::vector<int>{720, 0, -360, 1440 - 10080, 100}));
    EXPECT_EQ(indents(blocks[2].style), (std::vector<int>{0, 2, 0, 0, 2}));
    ASSERT_TRUE(blocks[1].table);
    const auto& cells = blocks[1].table->rows.at(0).cells;
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].widthPercent, 25);
    EXPECT_EQ(cells[1].widthPercent, 75);
    EXPECT_EQ(indents(cells[0].blocks.at(0).style), (std::vector<int>{0, 2, 0, 0, 2}));
    EXPECT_EQ(indents(cells[1].blocks.at(0).style), (std::vector<int>{15, 0, 0, 0, 0}));
    EXPECT_EQ(indents(cells[1].blocks.at(1).style), (std::vector<int>{2160, 0, -360, -10080, 100}));
}

TEST(DxlStore, DocumentSizeIsTheBytesOfItsElement) {
    DxlTestFiles files;
    // Multi-byte characters, a four-byte character, CRLF line ends and a byte-order mark.
    const QByteArray doc1 =
        "<document form='Memo'>\r\n<noteinfo noteid='4'/>\r\n"
        "<item name='Subject'><text>\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \xC3\xA9</text></item>\r\n"
        "</document>";
    const QByteArray doc2 = "<document><noteinfo noteid='8'/></document>";
    const QByteArray doc3 = "<document form='x'/>";
    const QByteArray file = "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8'?>\r\n<database>\r\n  " + doc1 +
                            "\r\n" + doc2 + doc3 + "\r\n</database>\r\n";
    auto s = open(files.write(file));
    ASSERT_TRUE(s);
    const std::vector<uint32_t> ids = s->allDocumentIds();
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(load(*s, 4).size, doc1.size());
    EXPECT_EQ(load(*s, 8).size, doc2.size());
    const StoreNote third = load(*s, ids[2]);
    EXPECT_EQ(third.size, doc3.size());
    EXPECT_EQ(third.item("Form")->texts, QStringList{"x"});
    // A document without a note ID gets one that no other document has.
    EXPECT_NE(ids[2], 4u);
    EXPECT_NE(ids[2], 8u);
    EXPECT_EQ(load(*s, 4).item("Subject")->texts.front(), QString::fromUtf8("日本 😀 é"));
}

TEST(DxlStore, FolderEntriesComeFromFolderRefsInSortedOrder) {
    DxlTestFiles files;
    const QByteArray unid = "AAAABBBBCCCCDDDDEEEEFFFF00001111";
    auto doc = [&](const char* id, const char* subject, const QByteArray& date, const QByteArray& refs) {
        QByteArray items = F::textItem("Subject", subject);
        if (!date.isEmpty()) items += "<item name='PostedDate'><datetime>" + date + "</datetime></item>";
        if (!refs.isEmpty()) items += "<item name='$FolderRefs'><textlist>" + refs + "</textlist></item>";
        return F::document(id, items, "Memo");
    };
    const QByteArray in = "<text>" + unid.toLower() + "</text>";  // UNIDs compare in any case
    const QByteArray col = "<column itemname='PostedDate' sort='descending'/>";
    const QString path = files.write(F::database(
        F::folder("($Inbox)", unid, col) + F::folder("Empty", "99990000999900009999000099990000") +
        F::folder("Projects\\2012", "12341234123412341234123412341234") +
        doc("4", "a", "20120101T100000,00+01", in) + doc("8", "b", "", in) +
        doc("c", "c", "20120101T090000,00Z", in + "<text>12341234123412341234123412341234</text>") +
        doc("10", "d", "20120301", in + in) +
        doc("14", "e", "20120101T100000,00+01", "<text>nothing</text>") +
        doc("18", "f", "20120102T000000,00+02", in)));
    auto s = open(path);
    ASSERT_TRUE(s);
    // Descending by instant; the missing date first; equal instants (4 and c) keep the file's order;
    // a date alone counts as 00:00 UTC (10 after 18, which is 01/01 22:00 UTC).
    EXPECT_EQ(entries(*s, "($Inbox)"), std::vector<uint32_t>({0x8, 0x10, 0x18, 0x4, 0xc}));
    EXPECT_EQ(entries(*s, "Empty"), std::vector<uint32_t>{});
    EXPECT_EQ(entries(*s, "Projects\\2012"), std::vector<uint32_t>{0xc});
}

TEST(DxlStore, ViewEntriesAreSelectedAndSortedByTheFirstSortedItemColumn) {
    DxlTestFiles files;
    auto person = [](const char* id, const char* last) {
        return F::document(id, F::textItem("LastName", last) + F::textItem("Form", "Person"));
    };
    auto task = [](const char* id, const char* due) {
        return F::document(id, "<item name='DueDate'><number>" + QByteArray(due) + "</number></item>",
                           "Task");
    };
    // The first sorted column computes a value: the next sorted item column decides.
    const QByteArray contactCols =
        "<column itemname='$1' sort='ascending'><code event='value'><formula>@Now</formula>"
        "</code></column><column itemname='Title'/><column itemname='LastName' "
        "sort='ascending'/><column itemname='FirstName' sort='descending'/>";
    const QString path = files.write(F::database(
        F::view("My Contacts", "SELECT Form = \"Person\"", contactCols) +
        F::view("($ToDo)", "SELECT Form = \"Task\"", "<column itemname='DueDate' sort='descending'/>") +
        F::view("($All)", "SELECT @All") + person("4", "meyer") + task("8", "2") + person("c", "Zeta") +
        person("10", "Alpha") + task("14", "10") + task("18", "2") + person("1c", "Meyer")));
    auto s = open(path);
    ASSERT_TRUE(s);
    // Text after lower-casing; equal keys keep the file's order.
    EXPECT_EQ(entries(*s, "My Contacts"), std::vector<uint32_t>({0x10, 0x4, 0x1c, 0xc}));
    // Numbers by value, descending; ties (8 and 18) in file order.
    EXPECT_EQ(entries(*s, "($ToDo)"), std::vector<uint32_t>({0x14, 0x8, 0x18}));
    EXPECT_EQ(entries(*s, "($All)"), std::vector<uint32_t>({0x4, 0x8, 0xc, 0x10, 0x14, 0x18, 0x1c}));
}

TEST(DxlStore, ViewsAfterTheDocumentsAndFormAttributesStillSelect) {
    DxlTestFiles files;
    // Design after documents: the values it needs are read in a second pass.
    const QString path = files.write(F::database(
        F::document("4", F::textItem("Subject", "x"), "Memo") +
        F::document("8", F::textItem("Form", "Task") + F::textItem("Subject", "y"), "Memo") +
        F::document("c", F::textItem("Subject", "z")) +
        F::view("($Sent)", "SELECT Form = \"Memo\"", "<column itemname='Subject' sort='descending'/>") +
        F::view("($Alarms)", "SELECT @Today > 1")));
    auto s = open(path);
    ASSERT_TRUE(s);
    EXPECT_EQ(entries(*s, "($Sent)"), std::vector<uint32_t>{0x4});  // the Form item wins over the attribute
    const auto infos = s->folders();
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[1].problem, "selection formula not supported: @Today");
    std::vector<uint32_t> ids{1, 2};
    const StoreError e = s->folderEntries(1, ids);
    EXPECT_EQ(e.status, StatusUnsupportedFormula);
    EXPECT_EQ(e.message(), "Selection formula not supported: ($Alarms): @Today");
    EXPECT_TRUE(ids.empty());
}

TEST(DxlStore, AttachmentsAreDecodedOnlyOnDetachAndNeverLeaveAPartialFile) {
    DxlTestFiles files;
    QByteArray data;
    for (int i = 0; i < 300000; ++i) data += char(i * 7 % 251);
    QByteArray b64 = data.toBase64();
    for (qsizetype i = 76; i < b64.size(); i += 77) b64.insert(i, '\n');
    const QByteArray file = F::database(F::document(
        "4",
        "<item name='$FILE'><object><file name='big.bin' "
        "size='1'><created><datetime>20120101</datetime></created>"
        "<filedata>\n" +
            b64 +
            "\n</filedata></file></object></item>\n"
            "<item name='$FILE'><object><file name='packed.bin' "
            "compression='huff'><filedata>AAAA</filedata></file>"
            "</object></item>\n<item name='$FILE'><object><file name='empty.txt'><filedata></filedata></file>"
            "</object></item>\n"));
    const QString path = files.write(file);
    auto s = open(path);
    ASSERT_TRUE(s);
    const StoreNote n = load(*s, 4);
    ASSERT_EQ(n.attachments.size(), 3u);
    EXPECT_EQ(n.attachments[0].name, "big.bin");
    EXPECT_EQ(n.attachments[0].size, data.size());  // the decoded length, not the size attribute
    EXPECT_FALSE(n.attachments[1].decodable);
    EXPECT_TRUE(n.attachments[1].problem.contains("huff"));
    EXPECT_EQ(n.attachments[2].size, 0);
    EXPECT_EQ(n.item("$FILE")->type, TypeObject);
    EXPECT_EQ(n.item("$FILE")->texts, QStringList{"big.bin"});
    EXPECT_EQ(n.size, file.indexOf("</document>") + 11 - file.indexOf("<document"));

    const QString target = files.dir() + "/out.bin";
    ASSERT_TRUE(s->detachAttachment(4, n.attachments[0], target).ok());
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), data);
    ASSERT_TRUE(s->detachAttachment(4, n.attachments[2], files.dir() + "/empty.txt").ok());
    EXPECT_EQ(QFile(files.dir() + "/empty.txt").size(), 0);

    const QStringList before = QDir(files.dir()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(s->detachAttachment(4, n.attachments[1], files.dir() + "/packed.bin").status,
              StatusAttachmentUnreadable);
    EXPECT_EQ(s->detachAttachment(4, n.attachments[0], files.dir() + "/no/such/dir/x").status,
              StatusWriteFailed);
    EXPECT_EQ(QDir(files.dir()).entryList(QDir::Files | QDir::Hidden), before);
}

TEST(DxlStore, AttachmentDataWithMarkupIsDecodedAsXml) {
    DxlTestFiles files;
    // Character references and a CDATA section inside the base64 text.
    const QByteArray file = F::database(F::document(
        "4",
        "<item name='$FILE'><object><file name='a.txt'><filedata>SGVs&#x62;G8s<![CDATA[IHdv]]>&#10;cmxkIQ=="
        "</filedata></file></object></item>\n"));
    auto s = open(files.write(file));
    ASSERT_TRUE(s);
    const StoreNote n = load(*s, 4);
    ASSERT_EQ(n.attachments.size(), 1u);
    EXPECT_EQ(n.attachments[0].size, 13);
    ASSERT_TRUE(s->detachAttachment(4, n.attachments[0], files.dir() + "/a.txt").ok());
    QFile f(files.dir() + "/a.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "Hello, world!");
}

TEST(DxlStore, DeepNestingIsCutAndSingleByteEncodingsMapOffsets) {
    DxlTestFiles files;
    QByteArray deep;
    for (int i = 0; i < 20000; ++i) deep += "<section>";
    deep += "<par>deep</par>";
    for (int i = 0; i < 20000; ++i) deep += "</section>";
    const QByteArray body =
        "<item name='Body'><richtext><par>top</par>" + deep + "<par>after</par></richtext></item>";
    auto s = open(files.write(F::database(F::document("4", body)), "deep.dxl"));
    ASSERT_TRUE(s);
    const StoreNote n = load(*s, 4);
    EXPECT_EQ(n.item("Body")->richText->plainText(), "top\r\nafter");

    const QByteArray doc =
        "<document><noteinfo noteid='8'/><item name='Subject'><text>Caf\xE9 cr\xE8me</text></item>"
        "</document>";
    auto latin = open(files.write(
        "<?xml version='1.0' encoding='ISO-8859-1'?>\n<database>\xE9" + doc + "</database>", "latin1.dxl"));
    ASSERT_TRUE(latin);
    const StoreNote l = load(*latin, 8);
    EXPECT_EQ(l.size, doc.size());
    EXPECT_EQ(l.item("Subject")->texts, QStringList{QString::fromUtf8("Café crème")});
}

TEST(DxlStore, FoldersSayWhyTheyAreEmptyWhenNoDocumentHasFolderReferences) {
    DxlTestFiles files;
    auto s = open(files.write(F::database(F::folder("($Inbox)", "AAAA") + F::view("($All)", "SELECT @All") +
                                          F::document("4", F::textItem("Subject", "x")))));
    ASSERT_TRUE(s);
    const auto infos = s->folders();
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[0].problem,
              "folder contents unknown: no document of the file has folder references ($FolderRefs)");
    EXPECT_TRUE(infos[1].problem.isEmpty());
    EXPECT_TRUE(entries(*s, "($Inbox)").empty());
    EXPECT_EQ(entries(*s, "($All)"), std::vector<uint32_t>{4});
}

// Large attachment data is never parsed as XML text: it is checked and
// measured in a prescan and read straight from the file. Markup that looks
// like <filedata> in comments, CDATA and attribute values does not confuse it,
// views that come after the documents still read the documents' items, and
// bad base64 is still damage.
TEST(DxlStore, LargeAttachmentDataIsMeasuredBesideTheParserAndDetachedExactly) {
    DxlTestFiles files;
    QByteArray data;
    for (int i = 0; i < 200000; ++i) data += char(i * 13 % 256);
    QByteArray b64 = data.toBase64();
    for (qsizetype i = 76; i < b64.size(); i += 77) b64.insert(i, '\n');
    auto fileItem = [&](const QByteArray& name, const QByteArray& content) {
        return "<item name='$FILE'><object><file name='" + name + "'><filedata>" + content +
               "</filedata></file></object></item>\n";
    };
    const QByteArray unid = "0123456789ABCDEF0123456789ABCDEF";
    const QByteArray file = F::database(
        "<!-- <filedata> -->\n<![CDATA[ <filedata> ]]>\n" + F::folder("Inbox", unid) +
        F::document("4",
                    F::textItem("Subject", "first") + fileItem("one.bin", b64) +
                        "<item name='$FolderRefs'><text>" + unid + "</text></item>\n" +
                        fileItem("two.bin", "\n" + b64 + "\n"),
                    "Memo") +
        F::document("8", "<item name='Note' title='&lt;filedata&gt;'><text>second</text></item>\n" +
                             fileItem("three.bin", b64.left(b64.size() / 2) + "&#10;" + b64.mid(b64.size() / 2))) +
        F::view("By subject", "SELECT Subject = \"first\"", "<column itemname='Subject' sort='ascending'/>"));
    const QString path = files.write(file);
    auto s = open(path);
    ASSERT_TRUE(s);
    EXPECT_EQ(entries(*s, "Inbox"), std::vector<uint32_t>{4});
    EXPECT_EQ(entries(*s, "By subject"), std::vector<uint32_t>{4});
    const StoreNote first = load(*s, 4);
    EXPECT_EQ(first.item("Subject")->texts, QStringList{"first"});
    ASSERT_EQ(first.attachments.size(), 2u);
    const StoreNote second = load(*s, 8);
    EXPECT_EQ(second.item("Note")->texts, QStringList{"second"});
    ASSERT_EQ(second.attachments.size(), 1u);
    int k = 0;
    for (const StoreAttachment& a : {first.attachments[0], first.attachments[1], second.attachments[0]}) {
        EXPECT_EQ(a.size, data.size()) << a.name.toStdString();
        const QString target = files.dir() + QStringLiteral("/out%1.bin").arg(++k);
        ASSERT_TRUE(s->detachAttachment(k < 3 ? 4 : 8, a, target).ok()) << a.name.toStdString();
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll() == data) << a.name.toStdString();
    }

    QByteArray bad = b64;
    bad[bad.size() / 2] = '*';
    StoreError e;
    // Damaged data costs the attachment, named, not the document.
    auto damaged = DxlStore::open(
        files.write(F::database(F::document("4", F::textItem("Subject", "kept") + fileItem("bad.bin", bad))), "bad.dxl"),
        e);
    ASSERT_TRUE(damaged) << e.message().toStdString();
    const StoreNote kept = load(*damaged, 4);
    ASSERT_EQ(kept.attachments.size(), 1u);
    const StoreError lost = damaged->detachAttachment(4, kept.attachments[0], files.dir() + "/bad.bin");
    EXPECT_EQ(lost.status, StatusAttachmentUnreadable);
    EXPECT_TRUE(lost.message().contains("bad.bin: its data is not valid base64")) << lost.message().toStdString();
    EXPECT_FALSE(QFile::exists(files.dir() + "/bad.bin"));

    const QByteArray latin = "<?xml version='1.0' encoding='ISO-8859-1'?>\n<database>" +
                             F::document("c", F::textItem("Subject", "caf\xE9") + fileItem("l.bin", b64) +
                                                  F::textItem("After", "cr\xE8me")) +
                             "</database>";
    auto l = open(files.write(latin, "latin.dxl"));
    ASSERT_TRUE(l);
    const StoreNote n = load(*l, 12);
    EXPECT_EQ(n.item("After")->texts, QStringList{QString::fromUtf8("crème")});
    ASSERT_EQ(n.attachments.size(), 1u);
    EXPECT_EQ(n.attachments[0].size, data.size());
    EXPECT_EQ(n.size, latin.indexOf("</document>") + 11 - latin.indexOf("<document"));
}

// @Attachments counts the files of each document, as in the compiled views of NSF files.
TEST(DxlStore, AttachmentsInASelectionCountsTheFiles) {
    DxlTestFiles files;
    const QByteArray fileItem =
        "<item name='$FILE'><object><file name='a.txt'><filedata>YQ==</filedata></file></object></item>\n";
    const QString path = files.write(F::database(
        F::view("Attachments", "SELECT @Attachments") + F::view("Two", "SELECT @Attachments = 2") +
        F::document("4", F::textItem("Subject", "one") + fileItem, "Memo") +
        F::document("8", F::textItem("Subject", "none"), "Memo") +
        F::document("c", F::textItem("Subject", "two") + fileItem + fileItem, "Memo")));
    auto s = open(path);
    ASSERT_TRUE(s);
    EXPECT_EQ(entries(*s, "Attachments"), (std::vector<uint32_t>{0x4, 0xc}));
    EXPECT_EQ(entries(*s, "Two"), std::vector<uint32_t>{0xc});
}

// A sorted view orders its entries as the values' own order does, however
// the keys are mixed: missing values, numbers of both signs, date/times close
// together or centuries apart, texts that share a beginning or start with
// what is not ASCII; ties keep the file's order, in both directions.
TEST(DxlStore, SortedViewsFollowTheValuesOrderForEveryKindOfKey) {
    using F = DxlTestFiles;
    std::mt19937 rng(4242);
    const char* texts[] = {"apple",
                           "Apple",
                           "apples",
                           "ap",
                           "\xC3\xA9t\xC3\xA9",
                           "\xC3\x89T\xC3\x89",
                           "zeta",
                           "Ze",
                           "\xE2\x84\xAA"
                           "elvin",
                           "kelvin",
                           "",
                           "Message 10",
                           "Message 9",
                           "message 100"};
    for (const int mode : {0, 1, 2}) {
        // 0: dates within a year; 1: over centuries; 2: texts that all begin alike.
        const bool narrowDates = mode == 0;
        QByteArray docs;
        for (int i = 1; i <= 400; ++i) {
            QByteArray value;
            switch (mode == 2 ? 3 : rng() % 4) {
                case 0:
                    break;  // no Key item
                case 1:
                    value =
                        "<number>" + QByteArray::number(double(int(rng() % 2001) - 1000) / 8) + "</number>";
                    break;
                case 2: {
                    const int year = narrowDates ? 2012 : 1200 + int(rng() % 900);
                    value = "<datetime>" + QByteArray::number(year) + "0" +
                            QByteArray::number(1 + rng() % 9) + "1" + QByteArray::number(rng() % 10) + "T10" +
                            QByteArray::number(10 + rng() % 50) + QByteArray::number(10 + rng() % 50) + "," +
                            QByteArray::number(10 + rng() % 90) + "+01</datetime>";
                    break;
                }
                default:
                    value = "<text>" + QByteArray(mode == 2 ? (rng() % 2 ? "Message number " : "MESSAGE NUMBER ") : "") +
                            (mode == 2 && rng() % 2 ? QByteArray::number(rng() % 100000)
                                                    : QByteArray(texts[rng() % std::size(texts)])) +
                            "</text>";
            }
            docs += F::document(QByteArray::number(4 * i, 16),
                                value.isEmpty() ? QByteArray() : "<item name='Key'>" + value + "</item>");
        }
        DxlTestFiles files;
        const QString path = files.write(
            F::database(F::view("Up", "SELECT @All", "<column itemname='Key' sort='ascending'/>") +
                        F::view("Down", "SELECT @All", "<column itemname='Key' sort='descending'/>") + docs));
        StoreError e;
        auto s = dxl::DxlStore::open(path, e);
        ASSERT_TRUE(s) << e.message().toStdString();
        const dxl::DxlIndex& index = s->index();
        const int keyId = index.nameId(QStringLiteral("key"));
        for (size_t view = 0; view < 2; ++view) {
            SCOPED_TRACE(view == 0 ? "ascending" : "descending");
            std::vector<uint32_t> ids;
            ASSERT_TRUE(s->folderEntries(view, ids).ok());
            std::vector<size_t> expected(index.docs.size());
            for (size_t i = 0; i < expected.size(); ++i) expected[i] = i;
            std::stable_sort(expected.begin(), expected.end(), [&](size_t a, size_t b) {
                return dxl::DxlPackedValues::order(
                           dxl::DxlPackedValues::sortKey(index.packedValues(index.docs[a]), keyId),
                           dxl::DxlPackedValues::sortKey(index.packedValues(index.docs[b]), keyId),
                           view == 1) < 0;
            });
            std::vector<uint32_t> expectedIds;
            for (size_t i : expected) expectedIds.push_back(index.docs[i].noteId);
            EXPECT_EQ(ids, expectedIds);
        }
    }
}

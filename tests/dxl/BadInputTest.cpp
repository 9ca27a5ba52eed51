#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "DxlTestFiles.h"
#include "convert/CNotesConverter.h"
#include "items/ItemFieldReaders.h"

namespace {

using F = DxlTestFiles;

// Opens `path`; expects failure with a one-line message beginning with `start`.
void expectFailure(const QString& path, const QString& start, const QString& contains = QString()) {
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    EXPECT_EQ(c.EnumerateFolders(path, QString(), names, 1), 0) << path.toStdString();
    const QString text = c.GetLastErrorText();
    EXPECT_TRUE(text.startsWith(start)) << text.toStdString();
    EXPECT_TRUE(contains.isEmpty() || text.contains(contains)) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) << text.toStdString();
    EXPECT_TRUE(names.isEmpty());
    EXPECT_FALSE(c.isDatabaseOpen());
}

}  // namespace

TEST(DxlBadInput, FilesThatAreNotThereOrNotDatabases) {
    DxlTestFiles files;
    expectFailure(files.dir() + "/missing.dxl", "File does not exist: ", "missing.dxl");
    QDir(files.dir()).mkdir("folder.dxl");
    expectFailure(files.dir() + "/folder.dxl", "The path names a directory, not a database: ");
    expectFailure(files.write("", "empty.dxl"), "The file is empty: ");
    expectFailure(files.write("hello world\n", "text.dxl"),
                  "Unsupported database format: text.dxl is not an XML file");
    expectFailure(files.write("   \n", "blank.xml"),
                  "Unsupported database format: blank.xml holds no XML element");
    expectFailure(
        files.write("<html><body>page</body></html>", "page.xml"),
        "Unsupported database format: page.xml: the root element <html> is not a Notes database or document");
    expectFailure(files.write(QByteArray("\xFF\xFE<\0d\0", 6), "utf16.dxl"),
                  "Unsupported database format: utf16.dxl is UTF-16");
    expectFailure(files.write("<?xml version='1.0' encoding='Shift_JIS'?><database/>", "sjis.dxl"),
                  "Unsupported database format: sjis.dxl: the encoding shift_jis is not read");
}

TEST(DxlBadInput, BrokenXmlIsDamagedAndSaysWhere) {
    DxlTestFiles files;
    const QByteArray good = F::database(F::document("4", F::textItem("Subject", "Hello")));
    expectFailure(files.write(good.left(good.size() - 30), "cut.dxl"),
                  "Database is damaged: cut.dxl: the XML ends early at line");
    expectFailure(
        files.write("<database>\n<document><item name='a'><text>x</item></document></database>", "tags.dxl"),
        "Database is damaged: tags.dxl: XML error at line 2, column", "mismatch");
    expectFailure(files.write("<database>\n<document>&nbsp;</document></database>", "entity.dxl"),
                  "Database is damaged: entity.dxl: XML error at line 2");
    expectFailure(
        files.write(QByteArray("<database><document><item name='a'><text>\xC3\x28</text></item></document>"
                               "</database>"),
                    "utf8.dxl"),
        "Database is damaged: utf8.dxl: XML error at line 1");
    // Entities that expand without end are refused, not expanded.
    QByteArray bomb = "<?xml version='1.0'?><!DOCTYPE database [<!ENTITY a 'aaaaaaaaaa'>";
    for (char c = 'b'; c <= 'j'; ++c)
        bomb += QByteArray("<!ENTITY ") + c + " '" + QByteArray("&") + char(c - 1) + ";&" + char(c - 1) +
                ";&" + char(c - 1) + ";&" + char(c - 1) + ";&" + char(c - 1) + ";'>";
    bomb += "]><database><document><item name='x'><text>&j;</text></item></document></database>";
    expectFailure(files.write(bomb, "bomb.dxl"), "Database is damaged: bomb.dxl");
}

TEST(DxlBadInput, DuplicateNoteIdsAndBadNoteIdsAreDamage) {
    DxlTestFiles files;
    // The second document of one note ID is left out, named; the first is read.
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    ASSERT_EQ(c.EnumerateFolders(files.write(F::database(F::document("4", F::textItem("Subject", "one")) +
                                                         F::document("4", F::textItem("Subject", "two"))),
                                             "dup.dxl"),
                                 QString(), names, 1),
              1);
    ASSERT_EQ(c.databaseProblems().size(), 1);
    EXPECT_TRUE(c.databaseProblems()[0].contains("dup.dxl: two documents have note ID 4 (the second at line 7)"))
        << c.databaseProblems()[0].toStdString();
    // A file whose only document is damaged is refused with the damage.
    expectFailure(files.write(F::database(F::document("xyz", "")), "hex.dxl"),
                  "Database is damaged: hex.dxl: note ID \"xyz\" at line 4 is not a hexadecimal number");
}

TEST(DxlBadInput, Base64ThatDoesNotDecodeIsDamageWherever) {
    DxlTestFiles files;
    auto file = [&](const char* name, const QByteArray& items) {
        return files.write(F::database(F::document("4", items)), name);
    };
    expectFailure(file("pic.dxl",
                       "<item name='Body'><richtext><par><picture><gif>R0lGO===A</gif></picture></par>"
                       "</richtext></item>"),
                  "Database is damaged: pic.dxl: <gif> data is not valid base64");
    expectFailure(file("raw.dxl", "<item name='Body'><rawitemdata type='1'>A</rawitemdata></item>"),
                  "Database is damaged: raw.dxl: <rawitemdata> data is not valid base64");
    // Also when the item is one that views read while the file is indexed.
    expectFailure(
        files.write(F::database(F::view("v", "SELECT Body = \"\"") +
                                F::document("4",
                                            "<item name='Body'><rawitemdata type='1'>@@@@</rawitemdata>"
                                            "</item>")),
                    "wanted.dxl"),
        "Database is damaged: wanted.dxl: item Body: raw data is not valid base64");
}

TEST(DxlBadInput, UnreadableFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: file permissions do not apply";
    DxlTestFiles files;
    const QString path = files.write(F::database(""), "locked.dxl");
    QFile::setPermissions(path, QFileDevice::Permissions());
    expectFailure(path, "Access to the file was denied: ");
}

TEST(DxlBadInput, AFailingOpenIsFollowedByAGoodOneWithoutRestart) {
    DxlTestFiles files;
    const QString good =
        files.write(F::database(F::folder("($Inbox)", "A") + F::document("4", "")), "good.dxl");
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    EXPECT_EQ(c.EnumerateFolders(files.dir() + "/nope.dxl", QString(), names, 1), 0);
    EXPECT_TRUE(c.GetLastErrorText().startsWith("File does not exist"));
    EXPECT_EQ(c.EnumerateFolders(files.write("<database>", "bad.dxl"), QString(), names, 1), 0);
    EXPECT_TRUE(c.GetLastErrorText().startsWith("Database is damaged"));
    EXPECT_EQ(c.EnumerateFolders(good, QString(), names, 1), 1) << c.GetLastErrorText().toStdString();
    EXPECT_EQ(names, QStringList{"($Inbox)\\"});
    EXPECT_TRUE(c.isDatabaseOpen());
}

// Bytes that are not UTF-8 are named at their own line, however far into the
// file, and cost the document they are in; a NUL byte or a control character
// is damage even inside an attribute name, where the parser would let it
// pass, and a file whose only document has them is refused.
TEST(DxlBadInput, BadBytesAreNamedAtTheirLineAndColumn) {
    DxlTestFiles files;
    QByteArray many;
    for (int i = 0; i < 20000; ++i)
        many += F::document(QByteArray::number(4 * (i + 1), 16), F::textItem("Subject", "line " + QByteArray::number(i)));
    QByteArray bad = F::database(many);
    const qsizetype at = bad.indexOf("line 15000<");
    ASSERT_GT(at, 0);
    bad[at + 1] = '\xE9';  // "l\xE9ne": Latin-1 in a UTF-8 file
    const qsizetype line = bad.left(at).count('\n') + 1;
    const qsizetype column = at - bad.lastIndexOf('\n', at) + 1;
    {
        CNotesConverter c;
        ASSERT_EQ(c.Initialize(), 1);
        QStringList names;
        ASSERT_EQ(c.EnumerateFolders(files.write(bad, "latin1.dxl"), QString(), names, 1), 1)
            << c.GetLastErrorText().toStdString();
        ASSERT_EQ(c.databaseProblems().size(), 1);
        EXPECT_EQ(c.databaseProblems()[0].toStdString(),
                  QStringLiteral("the document at line %1 (note ID %2) is not read: "
                                 "latin1.dxl: XML error at line %3, column %4: the text is not valid UTF-8")
                      .arg(line - 2)
                      .arg(4 * 15001, 0, 16)
                      .arg(line)
                      .arg(column)
                      .toStdString());
        LNDocument lost, next;
        c.database().GetDocument(4 * 15001, &lost);
        c.database().GetDocument(4 * 15002, &next);
        EXPECT_THROW(lost.Open(0), LNSTATUS);
        EXPECT_NO_THROW(next.Open(0));
        EXPECT_EQ(ReadTextItem(next, "Subject"), QStringLiteral("line 15001"));
    }

    const char raw[] = "<database>\n<document>\n<item na\0me='Subject'><text>x</text></item></document></database>";
    const QByteArray nul(raw, sizeof raw - 1);
    expectFailure(files.write(nul, "nul.dxl"),
                  "Database is damaged: nul.dxl: XML error at line 3, column 9: a NUL character, which XML does "
                  "not allow");
    expectFailure(files.write("<database>\n\n<document a\x01" "b='1'></document></database>", "control.dxl"),
                  "Database is damaged: control.dxl: XML error at line 3, column 12: a control character in a name");
    // The same bytes in a single-byte encoding are its characters.
    const QByteArray latin = "<?xml version='1.0' encoding='ISO-8859-1'?>\n" + bad.mid(bad.indexOf('\n') + 1);
    CNotesConverter c;
    ASSERT_EQ(c.Initialize(), 1);
    QStringList names;
    EXPECT_EQ(c.EnumerateFolders(files.write(latin, "declared.dxl"), QString(), names, 1), 1)
        << c.GetLastErrorText().toStdString();
}

// Damage inside a document (a broken tag, an unknown entity, a bad note ID,
// a file cut in its last document) costs that document, named with its line;
// the parser starts again at the next document and reads the rest.
TEST(DxlBadInput, ADamagedDocumentCostsThatDocumentAndTheRestIsRead) {
    DxlTestFiles files;
    const QByteArray body = F::document("4", F::textItem("Subject", "first")) +
                            "<document form='Memo'><noteinfo noteid='8'/><item name='Subject'><text>broken</item>"
                            "</document>\n" +
                            F::document("c", F::textItem("Subject", "third")) +
                            "<document form='Memo'><noteinfo noteid='10'/><item name='Subject'><text>&nbsp;</text>"
                            "</item></document>\n" +
                            F::document("zz", F::textItem("Subject", "bad id")) +
                            F::document("14", F::textItem("Subject", "sixth"));
    const QByteArray whole = F::database(body);
    const QByteArray cut = whole.left(whole.indexOf("sixth"));
    for (const QByteArray& bytes : {whole, cut}) {
        const bool isCut = bytes.size() < whole.size();
        SCOPED_TRACE(isCut ? "cut" : "whole");
        CNotesConverter c;
        ASSERT_EQ(c.Initialize(), 1);
        QStringList names;
        ASSERT_EQ(c.EnumerateFolders(files.write(bytes, isCut ? "cut.dxl" : "some.dxl"), QString(), names, 1), 1)
            << c.GetLastErrorText().toStdString();
        const QStringList problems = c.databaseProblems();
        ASSERT_EQ(problems.size(), isCut ? 4 : 3) << problems.join('\n').toStdString();
        EXPECT_TRUE(problems[0].contains("mismatch")) << problems[0].toStdString();
        EXPECT_TRUE(problems[1].contains("nbsp")) << problems[1].toStdString();
        EXPECT_TRUE(problems[2].contains("not a hexadecimal number")) << problems[2].toStdString();
        for (const QString& p : problems) EXPECT_TRUE(p.startsWith("the document at line ")) << p.toStdString();
        // The readable documents, and only they.
        QStringList subjects;
        for (uint32_t id : {0x4u, 0x8u, 0xcu, 0x10u, 0x14u}) {
            LNDocument d;
            try {
                c.database().GetDocument(id, &d);
                d.Open(0);
            } catch (LNSTATUS) {
                continue;
            }
            subjects << ReadTextItem(d, "Subject");
            d.Close();
        }
        EXPECT_EQ(subjects, isCut ? QStringList({"first", "third"}) : QStringList({"first", "third", "sixth"}));
    }
}

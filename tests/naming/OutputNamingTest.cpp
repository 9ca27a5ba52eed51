#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "export/OutputNaming.h"

namespace {

int utf8Bytes(const QString& s) {
    return int(s.toUtf8().size());
}

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

}  // namespace

TEST(FolderOutputName, SystemFoldersGetTheirWordsOnlyWhenWholeAndExact) {
    EXPECT_EQ(OutputFolderFor("($Inbox)\\"), "Inbox/");
    EXPECT_EQ(OutputFolderFor("($All)\\"), "All/");
    EXPECT_EQ(OutputFolderFor("($JunkMail)\\"), "Junk Mails/");
    EXPECT_EQ(OutputFolderFor("($Meetings)\\"), "Calendar/");
    EXPECT_EQ(OutputFolderFor("($ToDo)\\"), "To Do/");
    EXPECT_EQ(OutputFolderFor("($Journal)\\"), "Journals/");
    EXPECT_EQ(OutputFolderFor("($Follow-Up)\\"), "Follow Up/");
    EXPECT_EQ(OutputFolderFor("My Contacts\\"), "My Contacts/");
    // Case, nesting and unknown system-like names stay as they are.
    EXPECT_EQ(OutputFolderFor("($inbox)\\"), "($inbox)/");
    EXPECT_EQ(OutputFolderFor("($Inbox)\\Old\\"), "($Inbox)/Old/");
    EXPECT_EQ(OutputFolderFor("Archive\\($Inbox)\\"), "Archive/($Inbox)/");
    EXPECT_EQ(OutputFolderFor("($Calendar)\\"), "($Calendar)/");
    EXPECT_EQ(OutputFolderFor("Projects\\2012\\"), "Projects/2012/");
}

TEST(FolderOutputName, LevelsCannotLeaveTheRootAndAreCutToTheNameLimit) {
    EXPECT_EQ(OutputFolderFor("..\\"), "__/");
    EXPECT_EQ(OutputFolderFor("A\\..\\..\\B\\"), "A/__/__/B/");
    EXPECT_EQ(OutputFolderFor(".\\"), "_/");
    EXPECT_EQ(OutputFolderFor("..x\\"), "_.x/");  // never hidden
    const QString longLevel(300, QChar(0x00E9));  // 600 bytes
    const QString out = OutputFolderFor(longLevel + "\\Sub\\");
    const QStringList levels = out.split('/');
    ASSERT_EQ(levels.size(), 3);
    EXPECT_EQ(utf8Bytes(levels[0]), 254);  // two-byte characters: 127 of them
    EXPECT_EQ(levels[1], "Sub");
}

TEST(OutputRoot, SlashAddedOnlyWhenMissing) {
    EXPECT_EQ(OutputRootFor("/home/u/out", "ConvertedItems"), "/home/u/out/ConvertedItems/");
    EXPECT_EQ(OutputRootFor("/home/u/out/", "ConvertedItems"), "/home/u/out/ConvertedItems/");
    EXPECT_EQ(OutputRootFor("/home/u/out/", "Items/"), "/home/u/out/Items/");
}

TEST(NameCleaning, NineCharactersAndControlCharacters) {
    EXPECT_EQ(CleanFileName("Re: a/b? \"x\" <y> *z* c\\d|e"), "Re_ a_b_ _x_ _y_ _z_ c_d_e");
    EXPECT_EQ(CleanFileName(QString("Tab\there\r\n") + QChar(0x1F) + QChar(0x7F) + QChar(0x85)),
              QString("Tab_here_____"));
    EXPECT_EQ(CleanFileName(QString("a") + QChar(0) + "b"), "a_b");
    // Every name the program makes is free of control characters and never hidden.
    EXPECT_EQ(CleanNameNine("Tab\there:1\n"), "Tab_here_1_");
    EXPECT_EQ(CleanNameNine(QString("a") + QChar(0) + "b"), "a_b");
    EXPECT_EQ(CleanNameNine(".."), "__");
    EXPECT_EQ(CleanNameNine("."), "_");
    EXPECT_EQ(CleanNameNine("..."), "_..");
    EXPECT_EQ(CleanNameNine(".profile"), "_profile");
    EXPECT_EQ(CleanFileName("."), "_");
    EXPECT_EQ(CleanFileName(".hidden subject"), "_hidden subject");
    EXPECT_EQ(CleanFileName("not .hidden"), "not .hidden");
    EXPECT_EQ(OutputFolderFor(".config\\Tab\there\\"), "_config/Tab_here/");
    // Replacement never drops characters: the length stays.
    const QString odd = QString::fromUtf8("\xF0\x9F\x98\x80:日本/");
    EXPECT_EQ(CleanFileName(odd).size(), odd.size());
}

TEST(PathLengthCap, CharacterCapFollowsTheLastSeparatorRule) {
    const QString dir = "/" + QString(99, 'd') + "/";  // last separator at 100
    const QString p251 = dir + QString(251 - dir.size() - 4, 'n') + ".doc";
    ASSERT_EQ(p251.size(), 251);
    EXPECT_EQ(CapPathLength(p251), p251);
    // 300 characters, last separator at 100: 49 characters go from before ".doc".
    const QString name = QString(150, 'a') + QString(45, 'b') + ".doc";
    const QString p300 = dir + name;
    ASSERT_EQ(p300.size(), 300);
    const QString capped = CapPathLength(p300);
    EXPECT_EQ(capped.size(), 251);
    EXPECT_EQ(capped, dir + QString(146, 'a') + ".doc");
    // Separator past 245: the character cap does not apply.
    const QString deep = "/" + QString(250, 'd') + "/" + QString(20, 'n') + ".doc";
    EXPECT_EQ(CapPathLength(deep), deep);
    // A name without an extension loses its end, never a directory.
    const QString noExt = "/a.b/" + QString(260, 'n');
    EXPECT_EQ(CapPathLength(noExt), "/a.b/" + QString(246, 'n'));
}

TEST(PathLengthCap, NameOver255BytesIsCutOnACharacterKeepingTheExtension) {
    // 200 three-byte characters = 600 bytes, under the character cap.
    const QString dir = "/" + QString(250, 'd') + "/";
    const QString name = QString(200, QChar(0x65E5)) + ".doc";
    const QString capped = CapPathLength(dir + name);
    ASSERT_TRUE(capped.startsWith(dir));
    const QString cappedName = capped.mid(dir.size());
    EXPECT_TRUE(cappedName.endsWith(".doc"));
    EXPECT_LE(utf8Bytes(cappedName), 255);
    EXPECT_EQ(cappedName, QString(83, QChar(0x65E5)) + ".doc");  // 249 + 4 bytes
    // Four-byte characters are never split.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    QString many;
    for (int i = 0; i < 100; ++i) many += emoji;
    const QString cut = CapComponentBytes(many + ".doc");
    EXPECT_EQ(cut, many.left(2 * 62) + ".doc");
    EXPECT_FALSE(cut.toUtf8().contains("\xEF\xBF\xBD"));
    // A long tail after the last dot is not an extension.
    const QString dotted = "a." + QString(300, 'x');
    EXPECT_EQ(CapComponentBytes(dotted), dotted.left(255));
    EXPECT_EQ(CapComponentBytes("short.doc"), "short.doc");
}

class OnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path() + "/";
    }
    QTemporaryDir tmp;
    QString root;
};

TEST_F(OnDisk, SameSubjectTwiceGetsNumberedDocuments) {
    const QString first = DocumentPathFor(root, "Re: plan?");
    EXPECT_EQ(first, root + "Re_ plan_.doc");
    touch(first);
    const QString second = DocumentPathFor(root, "Re: plan?");
    EXPECT_EQ(second, root + "Re_ plan_0.doc");
    touch(second);
    EXPECT_EQ(DocumentPathFor(root, "Re: plan?"), root + "Re_ plan_1.doc");
    // A name handed out but never written is handed out again.
    EXPECT_EQ(DocumentPathFor(root, "Re: plan?"), root + "Re_ plan_1.doc");
    touch(root + "Re_ plan_1.doc");
    touch(root + "Re_ plan_2.doc");  // taken behind the search's back
    EXPECT_EQ(DocumentPathFor(root, "Re: plan?"), root + "Re_ plan_3.doc");
    // Only the final ".doc" comes off the stem.
    touch(root + "Budget.docx.doc");
    EXPECT_EQ(UniqueDocPath(root + "Budget.docx.doc"), root + "Budget.docx0.doc");
}

TEST_F(OnDisk, OtherFormatsNumberWithTheirOwnExtension) {
    // A .doc of the same subject does not take the .pdf's name, and numbering
    // counts with the chosen extension.
    touch(root + "Plan.doc");
    EXPECT_EQ(DocumentPathFor(root, "Plan", ".pdf"), root + "Plan.pdf");
    touch(root + "Plan.pdf");
    EXPECT_EQ(DocumentPathFor(root, "Plan", ".pdf"), root + "Plan0.pdf");
    touch(root + "Plan0.pdf");
    EXPECT_EQ(DocumentPathFor(root, "Plan", ".pdf"), root + "Plan1.pdf");
    touch(root + "Plan.docx");
    EXPECT_EQ(DocumentPathFor(root, "Plan", ".docx"), root + "Plan0.docx");
    // The length cap keeps the longer extension whole.
    const QString stem = QString(300, QLatin1Char('a'));
    const QString capped = DocumentPathFor(root, stem, ".docx");
    EXPECT_TRUE(capped.endsWith(".docx"));
    EXPECT_LE(utf8Bytes(capped.mid(root.size())), 255);
}

TEST_F(OnDisk, DirectoriesAndDanglingLinksCountAsTaken) {
    QDir().mkdir(root + "x.doc");
    EXPECT_EQ(UniqueDocPath(root + "x.doc"), root + "x0.doc");
    ASSERT_TRUE(QFile::link(root + "nowhere", root + "y.doc"));
    EXPECT_EQ(UniqueDocPath(root + "y.doc"), root + "y0.doc");
}

TEST_F(OnDisk, NumberedNamesStayWithinTheNameLimit) {
    const QString stem = QString(85, QChar(0x65E5));  // 255 bytes, 259 with ".doc"
    const QString path = CapPathLength(root + stem + ".doc");
    EXPECT_LE(utf8Bytes(path.mid(root.size())), 255);
    touch(path);
    const QString next = UniqueDocPath(path);
    EXPECT_NE(next, path);
    EXPECT_TRUE(next.endsWith("0.doc"));
    EXPECT_LE(utf8Bytes(next.mid(root.size())), 255);
    touch(next);  // creatable: the file system accepts the name
    EXPECT_TRUE(QFile::exists(next));
}

TEST_F(OnDisk, AttachmentDirectoriesAreNumberedAfterTheWord) {
    const QString a = AttachmentDirectoryFor(root, "Plan: Q1");
    EXPECT_EQ(a, root + "Plan_ Q1Attachments");
    QDir().mkdir(a);
    const QString b = AttachmentDirectoryFor(root, "Plan: Q1");
    EXPECT_EQ(b, root + "Plan_ Q1Attachments0");
    QDir().mkdir(b);
    EXPECT_EQ(AttachmentDirectoryFor(root, "Plan: Q1"), root + "Plan_ Q1Attachments1");
    // A trailing slash is kept where it was.
    EXPECT_EQ(UniqueDirectoryPath(a + "/"), root + "Plan_ Q1Attachments1/");
    // A very long name keeps the word and can be created.
    const QString longDir = AttachmentDirectoryFor(root, QString(200, QChar(0x00E9)));
    EXPECT_TRUE(longDir.endsWith("Attachments"));
    EXPECT_TRUE(QDir().mkdir(longDir));
}

TEST_F(OnDisk, MakeDirectoriesCreatesEveryLevel) {
    EXPECT_FALSE(MakeDirectories("noslash"));
    const QString deep = root + "Out/" + OutputFolderFor("Projects\\2012\\");
    EXPECT_TRUE(MakeDirectories(deep));
    EXPECT_TRUE(QFileInfo(root + "Out/Projects/2012").isDir());
    EXPECT_TRUE(MakeDirectories(deep));  // existing levels are fine
    // Relative paths create their first level too.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());
    EXPECT_TRUE(MakeDirectories("rel/a/b"));
    EXPECT_TRUE(QFileInfo(tmp.path() + "/rel/a/b").isDir());
    QDir::setCurrent(cwd);
}

TEST(OutputFolders, NothingBelowTheRootIsEnteredThroughALink) {
    QTemporaryDir dir;
    const QString root = dir.filePath("root");
    const QString outside = dir.filePath("outside");
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QDir().mkpath(root + "/Archive"));
    ASSERT_TRUE(QFile::link(outside, root + "/Projects"));
    QFile file(root + "/Inbox");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_EQ(MakeOutputFolder(root, "Projects/2012"), root + "/Projects0/2012/");
    EXPECT_EQ(MakeOutputFolder(root, "Inbox"), root + "/Inbox0/");
    EXPECT_EQ(MakeOutputFolder(root, "Inbox"), root + "/Inbox0/");  // a real directory is used again
    EXPECT_EQ(MakeOutputFolder(root, "Archive/Old"), root + "/Archive/Old/");
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    // A level replaced by a link later is noticed.
    EXPECT_TRUE(OutputFolderIntact(root, root + "/Projects0/2012/"));
    ASSERT_TRUE(QDir(root + "/Projects0/2012").removeRecursively());
    ASSERT_TRUE(QFile::link(outside, root + "/Projects0/2012"));
    EXPECT_FALSE(OutputFolderIntact(root, root + "/Projects0/2012/"));
    EXPECT_EQ(MakeOutputFolder(root, "Projects/2012"), root + "/Projects0/20120/");
}

// Names the program makes stay usable on Windows shares: no device names, no
// trailing space or dot, no bidirectional controls that disguise an extension.
TEST(NameCleaning, WindowsSafeByDefault) {
    EXPECT_EQ(WindowsSafeName("CON.doc"), "CON_.doc");
    EXPECT_EQ(WindowsSafeName("nul"), "nul_");
    EXPECT_EQ(WindowsSafeName("Com7.tar.gz"), "Com7_.tar.gz");
    EXPECT_EQ(WindowsSafeName("LPT1 .txt"), "LPT1_ .txt");
    EXPECT_EQ(WindowsSafeName("COM0.doc"), "COM0.doc");
    EXPECT_EQ(WindowsSafeName("CONSOLE.doc"), "CONSOLE.doc");
    EXPECT_EQ(WindowsSafeName("Notes. "), "Notes__");
    EXPECT_EQ(WindowsSafeName("Plan v2."), "Plan v2_");

    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    EXPECT_EQ(DocumentPathFor(root, "AUX"), root + "AUX_.doc");
    EXPECT_EQ(DocumentPathFor(root, "prn"), root + "prn_.doc");
    const QString disguised = DocumentPathFor(root, QString("invoice") + QChar(0x202E) + "cod.exe");
    EXPECT_EQ(disguised, root + "invoice_cod.exe.doc");
    for (const char16_t bidi : {u'\u200E', u'\u200F', u'\u202A', u'\u202D', u'\u2066', u'\u2069'})
        EXPECT_EQ(CleanFileName(QString("a") + QChar(bidi) + "b"), "a_b");
    EXPECT_EQ(OutputFolderFor("NUL\\Reports.\\Trailing \\"), "NUL_/Reports_/Trailing_/");
}

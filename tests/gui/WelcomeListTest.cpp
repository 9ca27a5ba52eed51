#include "GuiTestSupport.h"

#include "app/WindowMessages.h"
#include "source/SourcePathRules.h"
#include "source/SourceTexts.h"

#include <QCoreApplication>
#include <QTableWidget>

class WelcomeListTest : public FrameFixture {};

TEST_F(WelcomeListTest, AddedFilesGoOnTopAndTheRowsThereKeepTheirOrder) {
    addFiles({"/d/R0.nsf", "/d/R1.nsf"});
    EXPECT_EQ(listedPaths(), QStringList({"/d/R1.nsf", "/d/R0.nsf"}));
    addFiles({"/d/F1.nsf", "/d/F2.nsf"});
    EXPECT_EQ(listedPaths(), QStringList({"/d/F2.nsf", "/d/F1.nsf", "/d/R1.nsf", "/d/R0.nsf"}));
    // A cancelled dialog changes nothing.
    addFiles({});
    EXPECT_EQ(listedPaths(), QStringList({"/d/F2.nsf", "/d/F1.nsf", "/d/R1.nsf", "/d/R0.nsf"}));
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
}

TEST_F(WelcomeListTest, DuplicatesAreNamedAndTheOthersAdded) {
    addFiles({"/d/a.nsf"});
    addFiles({"/d/b.nsf", "/d/a.nsf", "/d/c.nsf"});
    EXPECT_EQ(boxes().shownTexts(), QStringList{QStringLiteral("/d/a.nsf already exist in the list")});
    EXPECT_EQ(listedPaths().size(), 3);
    EXPECT_EQ(listedPaths().count(QStringLiteral("/d/a.nsf")), 1);
}

TEST_F(WelcomeListTest, OnlyNsfAndDxlPathsAreKept) {
    addFiles({"/d/mail.NSF", "/d/export.dxl", "/d/notes.txt", "/d/archive.old.nsf"});
    EXPECT_EQ(listedPaths(), QStringList({"/d/archive.old.nsf", "/d/export.dxl", "/d/mail.NSF"}));
    // A server database without either extension, once listed, stays when files are added.
    frame->AddDominoServerFiles(QStringLiteral("Mail01/Acme"), {QStringLiteral("mail\\names.ntf")});
    EXPECT_EQ(step1()->List()->rowCount(), 4);
    addFiles({});
    EXPECT_EQ(step1()->List()->rowCount(), 4);
}

TEST_F(WelcomeListTest, ServerFilesAreDeduplicatedPerServerWithoutMessage) {
    frame->AddDominoServerFiles(QStringLiteral("S1"), {QStringLiteral("mail\\a.nsf"), QStringLiteral("mail\\b.nsf")});
    frame->AddDominoServerFiles(QStringLiteral("S1"), {QStringLiteral("mail\\a.nsf")});
    frame->AddDominoServerFiles(QStringLiteral("S2"), {QStringLiteral("mail\\a.nsf")});
    const QList<NsfSourceEntry> entries = step1()->Entries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0], (NsfSourceEntry{"mail\\a.nsf", "S2"}));
    EXPECT_EQ(entries[1], (NsfSourceEntry{"mail\\b.nsf", "S1"}));
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
    // A file path equal to a server row's path counts as already listed.
    addFiles({QStringLiteral("mail\\b.nsf")});
    EXPECT_EQ(boxes().shownTexts(), QStringList{QStringLiteral("mail\\b.nsf already exist in the list")});
}

TEST_F(WelcomeListTest, RemoveAndRemoveAllMessages) {
    step1()->OnRemove();
    step1()->OnRemoveAll();
    EXPECT_EQ(boxes().shownTexts(), QStringList({SourceTexts::kNothingToRemove, SourceTexts::kNothingToRemove}));
    boxes().clear();
    addFiles({"/d/a.nsf", "/d/b.nsf", "/d/c.nsf"});
    step1()->List()->clearSelection();
    step1()->OnRemove();
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kSelectToRemove});
    EXPECT_EQ(step1()->List()->rowCount(), 3);
    step1()->List()->selectRow(1);
    step1()->OnRemove();
    EXPECT_EQ(listedPaths(), QStringList({"/d/c.nsf", "/d/a.nsf"}));
    step1()->OnRemoveAll();
    EXPECT_EQ(step1()->List()->rowCount(), 0);
}

TEST_F(WelcomeListTest, PreviewRefusals) {
    step1()->OnPreview();
    EXPECT_EQ(boxes().shownTexts().last(), SourceTexts::kNothingToPreview);
    addFiles({"/d/a.nsf"});
    step1()->List()->clearSelection();
    step1()->OnPreview();
    EXPECT_EQ(boxes().shownTexts().last(), SourceTexts::kSelectToPreview);
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
}

TEST_F(WelcomeListTest, NetworkFilesAreWarnedOnceAtEveryRebuild) {
    addFiles({"/d/c.nsf", "//server/share/a.nsf", "//server/share/b.nsf"});
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kNetworkWarning});
    EXPECT_EQ(boxes().shown().last().kind, QStringLiteral("plain"));
    boxes().clear();
    addFiles({});
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kNetworkWarning});
    // The two network rows are on top; without them no warning comes.
    ASSERT_EQ(listedPaths().last(), QStringLiteral("/d/c.nsf"));
    QTableWidget* list = step1()->List();
    list->clearSelection();
    list->item(0, 0)->setSelected(true);
    list->item(1, 0)->setSelected(true);
    step1()->OnRemove();
    ASSERT_EQ(listedPaths(), QStringList{"/d/c.nsf"});
    boxes().clear();
    addFiles({});
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
}

TEST_F(WelcomeListTest, PathRules) {
    using namespace SourcePathRules;
    EXPECT_EQ(FileTitle(QStringLiteral("/d/Mail/john.nsf")), QStringLiteral("JOHN"));
    EXPECT_EQ(FileTitle(QStringLiteral("/Data/archive.old.nsf")), QStringLiteral("ARCHIVE.OLD"));
    EXPECT_EQ(FileTitle(QStringLiteral("/x/MAIL.NSF.NSF")), QStringLiteral("MAIL"));
    EXPECT_EQ(FileTitle(QStringLiteral("mail\\jane.nsf")), QStringLiteral("JANE"));
    EXPECT_EQ(FileTitle(QStringLiteral("/d/export.dxl")), QStringLiteral("EXPORT"));
    EXPECT_TRUE(IsNetworkPath(QStringLiteral("//srv/share/a.nsf")));
    EXPECT_TRUE(IsNetworkFileSystemMagic(0x6969));       // NFS
    EXPECT_TRUE(IsNetworkFileSystemMagic(0xFF534D42UL));  // CIFS
    EXPECT_FALSE(IsNetworkFileSystemMagic(0xEF53));      // ext4
    if (!IsNetworkFileSystemMagic(FileSystemMagic(QStringLiteral("/tmp")))) {
        EXPECT_FALSE(IsNetworkPath(QStringLiteral("/tmp/a.nsf")));
    }
}

TEST_F(WelcomeListTest, MenuCommandsReachStepOne) {
    boxes().setOpenFileNamesHandler([] { return QStringList{"/d/menu.nsf"}; });
    CStepEvent add(WM_CMD_ADD_FILES);
    QCoreApplication::sendEvent(host(), &add);
    EXPECT_EQ(listedPaths(), QStringList{"/d/menu.nsf"});
    CStepEvent exportCmd(WM_CMD_EXPORT);
    QCoreApplication::sendEvent(host(), &exportCmd);  // destination dialog: rejected
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_EQ(boxes().shown().last().text, QStringLiteral("Select Destination"));
}

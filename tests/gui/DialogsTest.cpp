#include "GuiTestSupport.h"

#include "steps/CAdvanceSettingsDlg.h"
#include "steps/CFailedItemsDlg.h"
#include "steps/CLongPathDestinationDlg.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/DestinationRules.h"
#include "steps/SaveTexts.h"

#include <QCheckBox>
#include <QDir>
#include <QSettings>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {
// Makes a folder whose path is exactly `length` characters long under `base`.
QString folderOfLength(const QString& base, int length) {
    QString path = base;
    while (path.size() < length) {
        const int room = length - int(path.size()) - 1;  // minus the slash
        // Leave at least 2 characters for a last component when splitting.
        const int n = room > 80 ? qMin(60, room - 2) : room;
        path += QLatin1Char('/') + QString(qMax(1, n), QLatin1Char('p'));
    }
    EXPECT_EQ(path.size(), length);
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMessageBoxService::instance().clear();
        // The dialogs open with the last choices: each test starts without any.
        QSettings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc")).clear();
    }
    void TearDown() override { CMessageBoxService::instance().clear(); }
    QStringList texts() const { return CMessageBoxService::instance().shownTexts(); }
    QTemporaryDir tmp;
};
}  // namespace

TEST_F(DialogsTest, SelectDestinationRefusals) {
    CSelectDestinationDlg dlg;
    dlg.accept();
    EXPECT_EQ(texts().last(), SaveTexts::kSelectFolderPath);
    dlg.SetFolderPath(tmp.path() + QStringLiteral("/missing"));
    dlg.accept();  // the offer to make it is declined
    EXPECT_EQ(texts().last(), SaveTexts::kCreateFolder.arg(tmp.path() + QStringLiteral("/missing")));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + QStringLiteral("/missing")));
    dlg.SetFolderPath(tmp.path());
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.NewFolderName(), QStringLiteral("ConvertedItems"));
    EXPECT_EQ(dlg.OutputRoot(), tmp.path() + QStringLiteral("/ConvertedItems"));
    EXPECT_FALSE(QFileInfo::exists(dlg.OutputRoot()));  // nothing is created by the dialog
}

TEST_F(DialogsTest, SelectDestinationMakesAMissingFolderAndNamesAReadOnlyOne) {
    CSelectDestinationDlg dlg;
    const QString nested = tmp.path() + QStringLiteral("/new/nested");
    CMessageBoxService::instance().queueAnswer(true);
    dlg.SetFolderPath(nested);
    dlg.accept();
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.OutputRoot(), nested + QStringLiteral("/ConvertedItems"));

    // Read-only: named as such, and nothing can be made under it either.
    const QString locked = tmp.path() + QStringLiteral("/locked");
    ASSERT_TRUE(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(locked).isWritable()) GTEST_SKIP() << "running as a user who may write anywhere";
    CSelectDestinationDlg second;
    second.SetFolderPath(locked);
    second.accept();
    EXPECT_EQ(texts().last(), SaveTexts::kReadOnlyFolder.arg(locked));
    EXPECT_NE(second.result(), QDialog::Accepted);
    CMessageBoxService::instance().queueAnswer(true);
    second.SetFolderPath(locked + QStringLiteral("/inside"));
    second.accept();
    EXPECT_TRUE(texts().last().startsWith(SaveTexts::kCannotCreateFolder.arg(locked + QStringLiteral("/inside"), QString())))
        << texts().last().toStdString();
    EXPECT_TRUE(texts().last().contains(QStringLiteral("read-only")));
    EXPECT_NE(second.result(), QDialog::Accepted);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(DialogsTest, ConvertedItemsNumbering) {
    QDir(tmp.path()).mkdir(QStringLiteral("ConvertedItems"));
    QFile file(tmp.path() + QStringLiteral("/ConvertedItems0"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));  // a file takes the name as well
    file.close();
    EXPECT_EQ(DestinationRules::UniqueSubfolderName(tmp.path(), QStringLiteral("ConvertedItems")),
              QStringLiteral("ConvertedItems1"));
    // The root folder gets no second slash.
    QString name, root;
    ASSERT_EQ(DestinationRules::CheckSelectDestination(tmp.path() + QStringLiteral("/"), &name, &root),
              DestinationRules::SelectResult::Ok);
    EXPECT_EQ(root, tmp.path() + QStringLiteral("/ConvertedItems1"));
}

TEST_F(DialogsTest, SelectDestinationLengthLimits) {
    using DestinationRules::SelectResult;
    // 240 characters pass the first limit (root 255: refused by the second).
    const QString p240 = folderOfLength(tmp.path(), 240);
    EXPECT_EQ(DestinationRules::CheckSelectDestination(p240, nullptr, nullptr), SelectResult::RootTooLong);
    const QString p241 = folderOfLength(tmp.path(), 241);
    EXPECT_EQ(DestinationRules::CheckSelectDestination(p241, nullptr, nullptr), SelectResult::FolderTooLong);
    // Root = path + "/" + "ConvertedItems" (15 more): 230 -> 245 passes, 231 -> 246 is refused.
    const QString p230 = folderOfLength(tmp.path(), 230);
    EXPECT_EQ(DestinationRules::CheckSelectDestination(p230, nullptr, nullptr), SelectResult::Ok);
    const QString p231 = folderOfLength(tmp.path(), 231);
    EXPECT_EQ(DestinationRules::CheckSelectDestination(p231, nullptr, nullptr), SelectResult::RootTooLong);

    CSelectDestinationDlg dlg;
    dlg.SetFolderPath(p241);
    dlg.accept();
    EXPECT_EQ(texts().last(), SaveTexts::kFolderTooLong);
    dlg.SetFolderPath(p231);
    dlg.accept();
    EXPECT_EQ(texts().last(), SaveTexts::kFileTooLong);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
}

TEST_F(DialogsTest, LongPathDialogLimitIs245) {
    // Root = path + "/" + "Inbox": 239 -> 245 is refused, 238 -> 244 passes.
    const QString p239 = folderOfLength(tmp.path(), 239);
    const QString p238 = folderOfLength(tmp.path(), 238);
    CLongPathDestinationDlg dlg(QStringLiteral("Inbox\\"));
    dlg.SetFolderPath(p239);
    dlg.accept();
    EXPECT_EQ(texts().last(), SaveTexts::kLongPathTooLong);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.SetFolderPath(p238);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.ChosenFolder(), p238 + QStringLiteral("/"));
    EXPECT_EQ(dlg.NewFolderName(), QStringLiteral("Inbox"));
    // The name is made unique like ConvertedItems, and the number counts toward the limit.
    QDir(p238).mkdir(QStringLiteral("Inbox"));
    QString folder, name;
    EXPECT_FALSE(DestinationRules::CheckLongPathDestination(p238, QStringLiteral("Inbox\\"), &folder, &name));
    QDir(tmp.path()).mkdir(QStringLiteral("Inbox"));
    ASSERT_TRUE(DestinationRules::CheckLongPathDestination(tmp.path(), QStringLiteral("Inbox\\"), &folder, &name));
    EXPECT_EQ(name, QStringLiteral("Inbox0"));
    EXPECT_EQ(DestinationRules::FolderStem(QStringLiteral("Projects\\2012\\")), QStringLiteral("Projects_2012"));
}

TEST_F(DialogsTest, SavingModeDefaultsToText) {
    CSavingModeDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), SaveTexts::kSavingModeTitle);
    EXPECT_EQ(dlg.Mode(), 1);
    dlg.SelectMode(3);
    EXPECT_EQ(dlg.Mode(), 3);
    dlg.SelectMode(2);
    EXPECT_EQ(dlg.Mode(), 2);
}

TEST_F(DialogsTest, CompletionNamesTheFailures) {
    const FailedItemList failures = {{"($Inbox)\\", "8f6", "office failure"}, {"Projects\\", "2a", "body file not writable"}};
    CSaveCompleteDlg dlg(QStringLiteral("Saving Complete"), QStringLiteral("/out/ConvertedItems"), failures);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Saving Complete"));
    EXPECT_EQ(dlg.FailureText(), QStringLiteral("2 item(s) produced no document."));
    // With counts, the number of items without a document comes from them.
    CSaveCompleteDlg counted(QStringLiteral("Saving Complete"), QStringLiteral("/out"), failures, nullptr, 10, 9);
    EXPECT_EQ(counted.FailureText(), QStringLiteral("1 item(s) produced no document."));
    EXPECT_EQ(counted.CountText(), QStringLiteral("Documents written: 9 of 10 item(s)."));
    CFailedItemsDlg list(failures);
    ASSERT_EQ(list.Table()->rowCount(), 2);
    EXPECT_EQ(list.Table()->item(1, 1)->text(), QStringLiteral("2a"));
    EXPECT_EQ(list.AsText(), QStringLiteral("($Inbox)\\\t8f6\toffice failure\nProjects\\\t2a\tbody file not writable\n"));

    // A long folder name is cut in its column and read whole in the tooltip.
    const QString longFolder = QString(QStringLiteral("Archive\\")).repeated(30);
    CFailedItemsDlg cut({{longFolder, "1", "disk full"}});
    EXPECT_LE(cut.Table()->columnWidth(0), 360);
    EXPECT_EQ(cut.Table()->item(0, 0)->toolTip(), longFolder);
    EXPECT_EQ(cut.Table()->item(0, 2)->toolTip(), QStringLiteral("disk full"));
}

#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "app/CSingleInstanceLock.h"
#include "app/CTesselEmlConverterGuiApp.h"
#include "steps/CAdvanceSettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSettings>

namespace {
QSettings settings() { return QSettings(AppTexts::kRegistryKey, AppTexts::kProductName); }
}  // namespace

TEST(SingleInstanceTest, SecondInstanceIsRefusedAndAStaleLockIsTakenOver) {
    CMessageBoxService::instance().clear();
    {
        CSingleInstanceLock first;
        ASSERT_TRUE(first.tryAcquire());
        CTesselEmlConverterGuiApp second(*qApp);
        EXPECT_FALSE(second.InitInstance(nullptr, false));
        EXPECT_EQ(second.MainFrame(), nullptr);
        EXPECT_EQ(CMessageBoxService::instance().shownTexts(), QStringList{AppTexts::kAnotherInstance});
    }
    // A lock left by a process that has ended does not block the next start.
    QProcess dead;
    dead.start(QStringLiteral("true"));
    ASSERT_TRUE(dead.waitForFinished());
    const qint64 deadPid = dead.processId() ? dead.processId() : 999999;
    QFile stale(CSingleInstanceLock::lockFilePath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly | QIODevice::Truncate));
    stale.write(QByteArray::number(deadPid) + "\ntesseldoc\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    CSingleInstanceLock next;
    EXPECT_TRUE(next.tryAcquire());
    next.release();
    EXPECT_FALSE(QFile::exists(CSingleInstanceLock::lockFilePath()));
}

TEST(SettingsTest, AdvanceSettingsWrittenAndReadBack) {
    CMessageBoxService::instance().clear();
    settings().clear();
    EXPECT_EQ(CAdvanceSettingsDlg::ReadCheck(), 0);
    {
        CAdvanceSettingsDlg dlg;
        EXPECT_FALSE(dlg.CheckBox()->isChecked());
        EXPECT_EQ(dlg.CheckBox()->text(), QStringLiteral("Show \"View Folders\""));
        dlg.CheckBox()->setChecked(true);
        dlg.reject();  // Cancel writes nothing
    }
    EXPECT_EQ(CAdvanceSettingsDlg::ReadCheck(), 0);
    {
        CAdvanceSettingsDlg dlg;
        dlg.CheckBox()->setChecked(true);
        dlg.accept();
    }
    EXPECT_EQ(settings().value(QStringLiteral("CDlgAdvancesETTINGS/Check")).toInt(), 1);
    CAdvanceSettingsDlg again;
    EXPECT_TRUE(again.CheckBox()->isChecked());
    settings().clear();
}

class FrameSettingsTest : public FrameFixture {};

TEST_F(FrameSettingsTest, FrameReadsTheSettingAfterTheDialogWhicheverButton) {
    EXPECT_EQ(frame->Notes().showViewFolders, 0);
    CAdvanceSettingsDlg::WriteCheck(5);  // any non-zero value means "show"
    boxes().setDialogHandler([](QDialog&) { return int(QDialog::Rejected); });
    frame->OnAdvanceSettings();
    EXPECT_EQ(frame->Notes().showViewFolders, 1);
    EXPECT_EQ(frame->m_bShowViewFolders, 1);
    boxes().setDialogHandler([](QDialog& dlg) {
        static_cast<CAdvanceSettingsDlg&>(dlg).CheckBox()->setChecked(false);
        dlg.accept();
        return dlg.result();
    });
    frame->OnAdvanceSettings();
    EXPECT_EQ(frame->Notes().showViewFolders, 0);
    EXPECT_EQ(CAdvanceSettingsDlg::ReadCheck(), 0);
}

TEST_F(FrameSettingsTest, ConfirmedCloseSavesTheBarLayoutAndNoKeepsEverything) {
    frame->close();  // No
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(settings().contains(QStringLiteral("CommandBars/State")));
    boxes().queueAnswer(true);
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(settings().contains(QStringLiteral("CommandBars/State")));
    EXPECT_EQ(boxes().shown().last().text, AppTexts::kHomePageUrl);
}

TEST_F(FrameSettingsTest, HelpFindsTheManualOrSaysItIsMissing) {
    const QString path = frame->HelpFilePath();
    frame->OnHelp();
    if (path.isEmpty()) EXPECT_EQ(boxes().shownTexts(), QStringList{AppTexts::kHelpMissing});
    else EXPECT_EQ(boxes().shown().last().text, path);
}

#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "app/CInstanceChannel.h"
#include "app/CSingleInstanceLock.h"
#include "app/CTesselEmlConverterGuiApp.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/WizardCommandLine.h"
#include "source/C1TovanWelcomeView.h"
#include "steps/CAdvanceSettingsDlg.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLockFile>
#include <QProcess>
#include <QSettings>

namespace {
QSettings settings() { return QSettings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication); }
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

TEST(CommandLineTest, DatabasesGivenAreListedInStepOneAsIfChosenThere) {
    CMessageBoxService::instance().clear();
    CTesselEmlConverterGuiApp app(*qApp);
    ASSERT_TRUE(app.InitInstance(std::make_unique<FakeBackend>(), false));
    app.AddDatabases({QStringLiteral("/d/a.nsf"), QStringLiteral("/d/notes.txt"), QStringLiteral("/d/b.DXL"),
                      QStringLiteral("/d/a.nsf")});
    auto* step1 = qobject_cast<C1TovanWelcomeView*>(app.MainFrame()->StepHost()->Page(0));
    ASSERT_NE(step1, nullptr);
    QStringList listed;
    for (const NsfSourceEntry& e : step1->Entries()) listed << e.filePath;
    listed.sort();
    // Only .nsf and .dxl paths are kept, and one named twice is listed once and said.
    EXPECT_EQ(listed, QStringList({QStringLiteral("/d/a.nsf"), QStringLiteral("/d/b.DXL")}));
    EXPECT_EQ(CMessageBoxService::instance().shownTexts().size(), 1);
    CMessageBoxService::instance().clear();
}

TEST(SingleInstanceTest, DatabasesOfALaterStartAreListedInTheRunningWizard) {
    CMessageBoxService::instance().clear();
    CTesselEmlConverterGuiApp running(*qApp);
    ASSERT_TRUE(running.InitInstance(std::make_unique<FakeBackend>(), false));
    auto* step1 = qobject_cast<C1TovanWelcomeView*>(running.MainFrame()->StepHost()->Page(0));
    ASSERT_NE(step1, nullptr);
    {
        CTesselEmlConverterGuiApp later(*qApp);
        EXPECT_FALSE(later.InitInstance(nullptr, false, {QStringLiteral("/d/Mail Ann.nsf"), QStringLiteral("/d/b.dxl")}));
        EXPECT_TRUE(later.HandedOver());
        EXPECT_EQ(later.MainFrame(), nullptr);
    }
    QStringList listed;
    for (int i = 0; i < 100 && listed.size() < 2; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        listed.clear();
        for (const NsfSourceEntry& e : step1->Entries()) listed << e.filePath;
    }
    listed.sort();
    EXPECT_EQ(listed, QStringList({QStringLiteral("/d/Mail Ann.nsf"), QStringLiteral("/d/b.dxl")}));
    EXPECT_TRUE(CMessageBoxService::instance().shownTexts().isEmpty());

    // Without databases a later start says that the wizard runs, as before.
    CTesselEmlConverterGuiApp empty(*qApp);
    EXPECT_FALSE(empty.InitInstance(nullptr, false));
    EXPECT_FALSE(empty.HandedOver());
    EXPECT_EQ(CMessageBoxService::instance().shownTexts(), QStringList{AppTexts::kAnotherInstance});
    CMessageBoxService::instance().clear();
}

TEST(SingleInstanceTest, ChannelTakesOnlyItsOwnMessagesOfAbsolutePaths) {
    EXPECT_EQ(CInstanceChannel::Parse("tesseldoc-open 1\n/d/a.nsf\nrelative.nsf\n\n/d/x/../b.dxl\n"),
              QStringList({QStringLiteral("/d/a.nsf"), QStringLiteral("/d/b.dxl")}));
    EXPECT_TRUE(CInstanceChannel::Parse("GET / HTTP/1.1\n/d/a.nsf\n").isEmpty());
    EXPECT_TRUE(CInstanceChannel::Parse("tesseldoc-open 1\n/d/\xff\xfe.nsf\n").isEmpty());
    EXPECT_EQ(CInstanceChannel::SocketPath().section(QLatin1Char('/'), 0, -2),
              CSingleInstanceLock::lockFilePath().section(QLatin1Char('/'), 0, -2));
}

TEST(CommandLineTest, ArgumentsBecomeAbsolutePaths) {
    EXPECT_EQ(WizardCommandLine::absolutePath(QStringLiteral("file:///d/My%20Mail.nsf")),
              QStringLiteral("/d/My Mail.nsf"));
    EXPECT_EQ(WizardCommandLine::absolutePath(QStringLiteral("/d/x/../a.nsf")), QStringLiteral("/d/a.nsf"));
    EXPECT_EQ(WizardCommandLine::absolutePath(QStringLiteral("a.dxl")), QDir::current().filePath(QStringLiteral("a.dxl")));
    char name[] = "tesseldoc", help[] = "--help", version[] = "--version", db[] = "a.nsf";
    char* withHelp[] = {name, db, help};
    char* withVersion[] = {name, version};
    char* plain[] = {name, db};
    EXPECT_TRUE(WizardCommandLine::asksHelpOrVersion(3, withHelp));
    EXPECT_TRUE(WizardCommandLine::asksHelpOrVersion(2, withVersion));
    EXPECT_FALSE(WizardCommandLine::asksHelpOrVersion(2, plain));
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

TEST_F(FrameSettingsTest, HelpOpensTheInstalledManualNeverOneInTheWorkingDirectory) {
    const QStringList places = CMainFrame::HelpFilePlaces();
    ASSERT_FALSE(places.isEmpty());
    EXPECT_EQ(places.first(), QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/doc/tesseldoc"));
    // A manual planted in the working directory is not the one Help opens.
    QTemporaryDir cwd;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(cwd.path()));
    QFile planted(cwd.filePath(AppTexts::kHelpFileName));
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly));
    planted.write("<html>not ours</html>");
    planted.close();
    const QString path = frame->HelpFilePath();
    QDir::setCurrent(before);
    EXPECT_NE(QFileInfo(path).absolutePath(), QFileInfo(cwd.path()).canonicalFilePath());
}

TEST_F(FrameSettingsTest, HelpFindsTheManualOrSaysItIsMissing) {
    const QString path = frame->HelpFilePath();
    frame->OnHelp();
    if (path.isEmpty()) EXPECT_EQ(boxes().shownTexts(), QStringList{AppTexts::kHelpMissing});
    else EXPECT_EQ(boxes().shown().last().text, path);
}

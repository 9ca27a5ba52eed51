#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "app/WindowMessages.h"
#include "source/SourceTexts.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/SaveTexts.h"

#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QApplication>
#include <QTableWidget>
#include <QTest>
#include <QTemporaryDir>

namespace {
bool shown(const QPushButton* b) { return b->isVisibleTo(b->parentWidget()); }

// Accepts the destination dialog with `folder` and cancels the saving-mode dialog.
std::function<int(QDialog&)> destinationThenCancel(const QString& folder) {
    return [folder](QDialog& dlg) {
        if (auto* dest = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            dest->SetFolderPath(folder);
            dest->accept();
            return dest->result();
        }
        return int(QDialog::Rejected);
    };
}
}  // namespace

class NavigationTest : public FrameFixture {};

TEST_F(NavigationTest, StartsOnStepOneWithItsButtons) {
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_EQ(frame->m_nCurrentStep, 1);
    EXPECT_EQ(frame->m_bStepOneActive, 1);
    EXPECT_EQ(step1()->NextButton()->text(), AppTexts::kBtnExport);
    EXPECT_TRUE(shown(step1()->NextButton()));
    EXPECT_TRUE(shown(step1()->PreviewButton()));
    EXPECT_FALSE(shown(step1()->BackButton()));
    EXPECT_FALSE(shown(step1()->StopButton()));
    EXPECT_FALSE(shown(step1()->ExitButton()));
    EXPECT_EQ(step1()->CurrentStepIndex(), 0);
    EXPECT_EQ(step1()->StepNames(), QStringList({"Step 1", "Step 2", "Step 3"}));
    EXPECT_EQ(step1()->StepTitles().value(0), QStringLiteral("Please select NSF file(s) or Domino file(s) to convert "));
    // The wizard button row: Next at w - 120, Preview at w - 240, 100 x 30 at h - 50.
    const int w = step1()->width(), h = step1()->height();
    EXPECT_EQ(step1()->NextButton()->geometry(), QRect(w - 120, h - 50, 100, 30));
    EXPECT_EQ(step1()->PreviewButton()->geometry(), QRect(w - 240, h - 50, 100, 30));
}

TEST_F(NavigationTest, PreviewGoesToStepTwoAndBackReturns) {
    addFiles({"/data/mail/john.nsf"});
    step1()->List()->selectRow(0);
    step1()->OnPreview();
    EXPECT_EQ(host()->CurrentPageIndex(), 1);
    EXPECT_EQ(frame->SourceMode(), SingleFile);
    EXPECT_EQ(frame->SourcePath(), QStringLiteral("/data/mail/john.nsf"));
    EXPECT_EQ(frame->m_bStepOneActive, 0);
    EXPECT_EQ(frame->m_nCurrentStep, 2);
    EXPECT_EQ(step2()->PageTitle(), QStringLiteral("Folder Selection"));
    EXPECT_FALSE(frame->AdvanceSettingsAction()->isEnabled());
    // Menu "Add File(s)" does nothing while Step 2 is shown.
    boxes().setOpenFileNamesHandler([] { return QStringList{"/x/other.nsf"}; });
    CStepEvent add(WM_CMD_ADD_FILES);
    QCoreApplication::sendEvent(host(), &add);
    EXPECT_EQ(step1()->List()->rowCount(), 1);

    step2()->OnBack();
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_EQ(frame->m_bStepOneActive, 1);
    EXPECT_EQ(frame->m_nCurrentStep, 1);
    EXPECT_TRUE(frame->AdvanceSettingsAction()->isEnabled());
    EXPECT_EQ(step1()->List()->rowCount(), 1);  // the list is kept
}

TEST_F(NavigationTest, CancelledModeStaysOnStepOneAndAChosenOneGoesToStepThree) {
    QTemporaryDir dest;
    addFiles({"/data/a.nsf", "/data/b.nsf"});
    boxes().setDialogHandler(destinationThenCancel(dest.path()));
    step3()->SetOfficeProbe([] { return true; });  // the user has an office open
    step1()->OnNext();
    // Cancel in the saving-mode dialog: Step 1 as it was, no run, no blank Step 3.
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_TRUE(boxes().shownTexts().contains(SaveTexts::kCloseWord));
    EXPECT_EQ(step1()->List()->rowCount(), 2);
    EXPECT_FALSE(step3()->IsRunning());
    EXPECT_EQ(frame->m_bSaving, 0);
    EXPECT_TRUE(frame->AddFilesAction()->isEnabled());

    // The mode chosen: Step 3 runs without asking again.
    boxes().clear();
    boxes().setDialogHandler([&dest](QDialog& dlg) -> int {
        if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            d->SetFolderPath(dest.path());
            d->accept();
            return d->result();
        }
        return int(QDialog::Accepted);
    });
    step1()->OnNext();
    EXPECT_EQ(host()->CurrentPageIndex(), 2);
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    int modeDialogs = 0;
    for (const auto& s : boxes().shown())
        if (s.kind == QLatin1String("dialog") && s.text == SaveTexts::kSavingModeTitle) ++modeDialogs;
    EXPECT_EQ(modeDialogs, 1);
    EXPECT_EQ(frame->SourceMode(), FileList);
    EXPECT_EQ(frame->ListDestRoot(), dest.path() + QStringLiteral("/ConvertedItems"));
    EXPECT_EQ(frame->SourcePaths(), QStringList({"/data/b.nsf", "/data/a.nsf"}));  // display order
    EXPECT_EQ(frame->SourceServers(), QStringList({"", ""}));
    // After the run: idle.
    EXPECT_FALSE(step3()->IsRunning());
    EXPECT_TRUE(shown(step3()->NextButton()));
    EXPECT_TRUE(shown(step3()->BackButton()));
    EXPECT_TRUE(shown(step3()->ExitButton()));
    EXPECT_FALSE(shown(step3()->StopButton()));
    EXPECT_EQ(step3()->NextButton()->text(), AppTexts::kBtnNext);
    EXPECT_EQ(frame->m_bSaving, 0);
    const int w = step3()->width();
    EXPECT_EQ(step3()->ExitButton()->x(), w - 360);  // Exit beside a visible Back
    // Commands that only Step 1 (or Step 2) acts on do not look enabled here.
    EXPECT_FALSE(frame->AddFilesAction()->isEnabled());
    EXPECT_FALSE(frame->AddDominoAction()->isEnabled());
    EXPECT_FALSE(frame->ExportAction()->isEnabled());
    // Right on a button focuses Next, Left focuses Back, wherever the focus was.
    step3()->ExitButton()->setFocus();
    QTest::keyClick(step3()->ExitButton(), Qt::Key_Right);
    EXPECT_EQ(frame->focusWidget(), step3()->NextButton());
    QTest::keyClick(step3()->NextButton(), Qt::Key_Left);
    EXPECT_EQ(frame->focusWidget(), step3()->BackButton());
    QTest::keyClick(step3()->BackButton(), Qt::Key_Right);
    EXPECT_EQ(frame->focusWidget(), step3()->NextButton());
    // Back after a list export returns to Step 1.
    step3()->OnBack();
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_TRUE(frame->AddFilesAction()->isEnabled());
    EXPECT_TRUE(frame->AddDominoAction()->isEnabled());
    EXPECT_TRUE(frame->ExportAction()->isEnabled());
}

TEST_F(NavigationTest, TheAdviceToCloseTheOfficeComesOnlyWhenOneIsOpen) {
    QTemporaryDir dest;
    addFiles({"/data/a.nsf"});
    boxes().setDialogHandler(destinationThenCancel(dest.path()));
    step3()->SetOfficeProbe([] { return false; });
    step1()->OnNext();
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_FALSE(boxes().shownTexts().contains(SaveTexts::kCloseWord));
}

TEST_F(NavigationTest, StepThreeReachedWithoutAModeAsksAndACancelReturnsWhereTheUserWas) {
    frame->SetSourceMode(SingleFile);
    frame->GoToNextStep(1);  // Step 3; the saving-mode dialog is cancelled
    EXPECT_EQ(host()->CurrentPageIndex(), 1);
    frame->SetSourceMode(FileList);
    frame->GoToNextStep(1);
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_FALSE(step3()->IsRunning());
    EXPECT_EQ(frame->m_bSaving, 0);
}

TEST_F(NavigationTest, ExportFromEmptyListStaysWithMessage) {
    step1()->OnNext();
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kAddToExport});
}

TEST_F(NavigationTest, ForwardedKeysReachTheCurrentStep) {
    addFiles({"/data/a.nsf"});
    boxes().clear();
    // R forwarded by the frame runs Step 1's Remove (nothing selected).
    CStepEvent key(WM_STEP_KEY, WM_KEYDOWN, int(Qt::Key_R));
    QCoreApplication::sendEvent(host(), &key);
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kSelectToRemove});
    // With another step current, Step 1 does not get the key.
    frame->m_nCurrentStep = 3;
    boxes().clear();
    QCoreApplication::sendEvent(host(), &key);
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
    frame->m_nCurrentStep = 0;
    QCoreApplication::sendEvent(host(), &key);
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
}

TEST_F(NavigationTest, MessagesCarryTheirNumbers) {
    EXPECT_EQ(WM_STEP_ACTIVATE, QEvent::User + 100);
    EXPECT_EQ(WM_SELECT_STEP, QEvent::User + 101);
    EXPECT_EQ(WM_STEP_STOP, QEvent::User + 104);
    EXPECT_EQ(WM_CMD_ADD_FILES, QEvent::User + 109);
    EXPECT_EQ(WM_CMD_EXPORT, QEvent::User + 111);
    EXPECT_EQ(WM_STEP_KEY, QEvent::User + 121);
    EXPECT_EQ(WM_ADD_SERVER_FILES, QEvent::User + 123);
}

TEST_F(NavigationTest, KeysOnStepOneAndInTheFrame) {
    // A key pressed inside the page runs the page's action.
    QTest::keyClick(step1()->List(), Qt::Key_R);
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kNothingToRemove});
    // A letter with Ctrl is not the page's key (Ctrl belongs to the list and the menus).
    boxes().clear();
    QTest::keyClick(step1()->List(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
    // Keys that reach the frame are forwarded to the current step; Ctrl+S and Ctrl+N are dropped.
    QTest::keyClick(frame.get(), Qt::Key_M);
    EXPECT_EQ(boxes().shownTexts(), QStringList{SourceTexts::kNothingToRemove});
    boxes().clear();
    QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(frame.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(boxes().shown().isEmpty());
    // H opens the manual (or names it missing).
    QTest::keyClick(frame.get(), Qt::Key_H);
    ASSERT_EQ(boxes().shown().size(), 1);
    EXPECT_TRUE(boxes().shown().first().kind == QStringLiteral("open") ||
                boxes().shown().first().text == AppTexts::kHelpMissing);
    // X runs the close handling (answered No).
    boxes().clear();
    QTest::keyClick(frame.get(), Qt::Key_X);
    EXPECT_EQ(boxes().shownTexts(), QStringList{AppTexts::kConfirmClose});
    EXPECT_TRUE(frame->isVisible());
}

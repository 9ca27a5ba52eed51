#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "steps/CPauseGate.h"
#include "steps/CProgressBarAdapter.h"
#include "steps/CProgressWaitDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/SaveTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>
#include "steps/CSelectDestinationDlg.h"
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <thread>

namespace {
void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}
}  // namespace

TEST(PauseGateTest, WorkerWaitsWhileTheGateIsClosed) {
    CPauseGate gate;
    gate.Checkpoint();  // open: returns at once
    gate.Close();
    std::atomic<bool> passed{false};
    std::thread worker([&] {
        gate.Checkpoint();
        passed = true;
    });
    QThread::msleep(100);
    EXPECT_FALSE(passed);
    gate.Open();
    worker.join();
    EXPECT_TRUE(passed);
    EXPECT_EQ(gate.WaitCount(), 1);
}

TEST(ProgressAdapterTest, WorkerUpdatesReachTheBarOnTheUiThread) {
    QProgressBar bar;
    bar.setRange(0, 100);
    CPauseGate gate;
    CProgressBarAdapter adapter(&bar, &gate);
    std::thread worker([&] {
        adapter.setPosition(140);  // clamped
        adapter.setText(QStringLiteral("Saving Item 1 of 3 ..."));
        adapter.setPosition(40);
    });
    worker.join();
    pump(50);
    EXPECT_EQ(bar.value(), 40);
    EXPECT_EQ(bar.property("barText").toString(), QStringLiteral("Saving Item 1 of 3 ..."));
    EXPECT_EQ(bar.text(), QStringLiteral("Saving Item 1 of 3 ..."));
    // An adapter whose bar is gone does nothing.
    auto* gone = new QProgressBar;
    CProgressBarAdapter orphan(gone);
    delete gone;
    EXPECT_FALSE(orphan.hasWindow());
    orphan.setPosition(10);
}

class WaitDialogTest : public FrameFixture {};

TEST_F(WaitDialogTest, ShowHideAndCloseWhileShown) {
    CProgressWaitDlg* wait = frame->ProgressWaitDialog();
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->windowTitle(), SaveTexts::kWaitTitle);
    frame->ShowProgress(QStringLiteral("Listing folders\r\nplease wait"));
    EXPECT_TRUE(wait->isVisible());
    EXPECT_EQ(wait->Bar()->value(), 0);
    EXPECT_EQ(wait->Text(), QStringLiteral("Listing folders\nplease wait"));
    // Closing while the wait dialog is shown is ignored without a word.
    frame->close();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(boxes().shown().isEmpty());
    // From a worker thread as well.
    std::thread worker([&] { frame->HideProgress(); });
    worker.join();
    pump(50);
    EXPECT_FALSE(wait->isVisible());
    EXPECT_EQ(wait->Bar()->value(), 100);
}

TEST_F(WaitDialogTest, StopInTheWaitDialogStopsTheCurrentStep) {
    QTemporaryDir dest;
    fake->folders["/d/one.nsf"] = {"A\\", "B\\", "C\\"};
    fake->onSaveFolder = [&](const QString&, const QString& folder) {
        if (folder == QStringLiteral("A\\")) {
            boxes().queueAnswer(true);
            QMetaObject::invokeMethod(frame->ProgressWaitDialog(), [&] { frame->ProgressWaitDialog()->OnStop(); },
                                      Qt::BlockingQueuedConnection);
        }
    };
    addFiles({"/d/one.nsf"});
    boxes().setDialogHandler([&](QDialog& dlg) -> int {
        if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            d->SetFolderPath(dest.path());
            d->accept();
            return d->result();
        }
        return qobject_cast<CSavingModeDlg*>(&dlg) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    step1()->OnNext();
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(fake->Saved(), QStringList{"/d/one.nsf|A\\"});
    EXPECT_TRUE(step3()->SourceList()->item(0, 1)->text().startsWith(SaveTexts::kCancelled));
    EXPECT_TRUE(boxes().shownTexts().contains(SaveTexts::kStopQuestion));
    EXPECT_EQ(frame->Notes().cancelRequested, 1);
}

TEST_F(WaitDialogTest, KeyTStopsAndStatusCaptionsFollowTheRun) {
    QTemporaryDir dest;
    fake->folders["/d/one.nsf"] = {"($Inbox)\\", "($Meetings)\\"};
    QStringList captions;
    fake->onSaveFolder = [&](const QString&, const QString&) {
        QMetaObject::invokeMethod(
            step3(), [&] { captions.append(step3()->StatusLabel()->text()); }, Qt::BlockingQueuedConnection);
        if (captions.size() == 1) {
            boxes().queueAnswer(false);  // T asks; No lets the run go on
            QMetaObject::invokeMethod(
                frame.get(), [&] { QTest::keyClick(frame.get(), Qt::Key_T); }, Qt::BlockingQueuedConnection);
        }
    };
    addFiles({"/d/one.nsf"});
    boxes().setDialogHandler([&](QDialog& dlg) -> int {
        if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            d->SetFolderPath(dest.path());
            d->accept();
            return d->result();
        }
        return qobject_cast<CSavingModeDlg*>(&dlg) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    });
    step1()->OnNext();
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(captions, QStringList({"Saving Folder Inbox...", "Saving Folder Calendar..."}));
    EXPECT_EQ(boxes().shownTexts().count(SaveTexts::kStopQuestion), 1);
    EXPECT_TRUE(step3()->SourceList()->item(0, 1)->text().startsWith(SaveTexts::kCompleted));
    EXPECT_EQ(step3()->FolderBar()->value(), 100);
}

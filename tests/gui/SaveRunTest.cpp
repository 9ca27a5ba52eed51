#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "steps/CLongPathDestinationDlg.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {
struct CompletionSeen {
    QString caption;
    QString location;
    QString failureText;
    int failures = -1;
    bool warning = false;
    bool nothingSaved = false;
    bool offersFolder = false;
    QString outside;  // the count of items outside the date range, when shown
};

QString status(QTableWidget* list, int row) { return list->item(row, 1) ? list->item(row, 1)->text() : QString(); }
}  // namespace

class SaveRunTest : public FrameFixture {
protected:
    // Answers the destination dialog with `dest`, the saving mode with `mode`,
    // records the completion dialog, and lets `longPath` answer the long-path dialog.
    void answerDialogs(const QString& dest, int mode = 1) {
        boxes().setDialogHandler([this, dest, mode](QDialog& dlg) -> int {
            if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
                d->SetFolderPath(dest);
                d->accept();
                return d->result();
            }
            if (auto* m = qobject_cast<CSavingModeDlg*>(&dlg)) {
                m->SelectMode(mode);
                return QDialog::Accepted;
            }
            if (auto* c = qobject_cast<CSaveCompleteDlg*>(&dlg)) {
                completion.caption = c->windowTitle();
                completion.location = c->Location();
                completion.failureText = c->FailureText();
                completion.failures = int(frame->GetFailedItems().size());
                completion.warning = c->IsWarning();
                completion.nothingSaved = c->NothingSaved();
                completion.offersFolder = c->OffersFolder();
                if (auto* o = c->findChild<QLabel*>(QStringLiteral("OutsideDateRange")); o && !o->isHidden())
                    completion.outside = o->text();
                return QDialog::Accepted;
            }
            if (auto* l = qobject_cast<CLongPathDestinationDlg*>(&dlg)) {
                if (longPathFolder.isEmpty()) return QDialog::Rejected;
                l->SetFolderPath(longPathFolder);
                l->accept();
                return l->result();
            }
            return QDialog::Rejected;
        });
    }
    void exportList(const QStringList& files, int mode = 1) {
        addFiles(files);
        answerDialogs(dest.path(), mode);
        step1()->OnNext();
        ASSERT_EQ(host()->CurrentPageIndex(), 2);
        ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    }

    QTemporaryDir dest;
    CompletionSeen completion;
    QString longPathFolder;
};

TEST_F(SaveRunTest, StopConfirmedDuringTheSecondOfThreeFiles) {
    fake->folders["/d/one.nsf"] = {"($Inbox)\\", "Projects\\"};
    fake->folders["/d/two.nsf"] = {"($Inbox)\\", "($Sent)\\", "Later\\"};
    fake->folders["/d/three.nsf"] = {"($Inbox)\\"};
    C3TovanSaveNsfToPst* view = step3();
    bool stopAsked = false;
    fake->onSaveFolder = [&](const QString& source, const QString& folder) {
        if (source == QStringLiteral("/d/two.nsf") && folder == QStringLiteral("($Inbox)\\")) {
            boxes().queueAnswer(true);
            // The user presses Stop on the UI thread while this folder is being saved.
            QMetaObject::invokeMethod(view, [&] { view->OnStop(); stopAsked = true; }, Qt::BlockingQueuedConnection);
        }
    };
    // Displayed order is the reverse of the order added.
    exportList({"/d/three.nsf", "/d/two.nsf", "/d/one.nsf"}, 2);

    EXPECT_TRUE(stopAsked);
    QTableWidget* list = view->SourceList();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("/d/one.nsf"));
    EXPECT_EQ(status(list, 0), SaveTexts::kCompleted);
    EXPECT_EQ(status(list, 1), SaveTexts::kCancelled);
    EXPECT_EQ(status(list, 2), SaveTexts::kPending);
    EXPECT_EQ(view->StatusLabel()->text(), SaveTexts::kAborted);
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionAborted);
    EXPECT_EQ(completion.location, frame->DestFolderPath());
    EXPECT_EQ(frame->DestFolderPath(), dest.path() + QStringLiteral("/ConvertedItems"));
    EXPECT_TRUE(boxes().shownTexts().contains(SaveTexts::kStopQuestion));
    EXPECT_EQ(frame->Notes().savingMode, 2);
    // Nothing of the second file after the stop, nothing of the third.
    EXPECT_EQ(fake->Saved(), QStringList({"/d/one.nsf|($Inbox)\\", "/d/one.nsf|Projects\\", "/d/two.nsf|($Inbox)\\"}));
    // Each file got its own root below the list's root.
    EXPECT_EQ(fake->Roots(), QStringList({dest.path() + "/ConvertedItems/ONE/", dest.path() + "/ConvertedItems/TWO/"}));
    // Idle again: Next, Back, Exit; no Stop; closing allowed.
    EXPECT_TRUE(view->NextButton()->isVisibleTo(view));
    EXPECT_TRUE(view->BackButton()->isVisibleTo(view));
    EXPECT_TRUE(view->ExitButton()->isVisibleTo(view));
    EXPECT_FALSE(view->StopButton()->isVisibleTo(view));
    EXPECT_EQ(frame->m_bSaving, 0);
}

TEST_F(SaveRunTest, AnsweringNoLetsTheRunGoOn) {
    fake->folders["/d/one.nsf"] = {"A\\", "B\\"};
    C3TovanSaveNsfToPst* view = step3();
    fake->onSaveFolder = [&](const QString&, const QString& folder) {
        if (folder == QStringLiteral("A\\"))
            QMetaObject::invokeMethod(view, [&] { view->OnStop(); }, Qt::BlockingQueuedConnection);  // answered No
    };
    exportList({"/d/one.nsf"});
    EXPECT_EQ(status(view->SourceList(), 0), SaveTexts::kCompleted);
    EXPECT_EQ(fake->Saved().size(), 2);
    EXPECT_EQ(view->StatusLabel()->text(), SaveTexts::kComplete);
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionComplete);
    EXPECT_FALSE(completion.warning);
    // One source: the location is the file's own folder.
    EXPECT_EQ(completion.location, dest.path() + QStringLiteral("/ConvertedItems/ONE"));
}

TEST_F(SaveRunTest, AllFoldersAreSkippedAndFailuresAreCounted) {
    fake->folders["/d/one.nsf"] = {"($All)\\", "($Inbox)\\", "broken1\\", "broken2\\"};
    exportList({"/d/one.nsf"});
    EXPECT_EQ(fake->Saved(), QStringList({"/d/one.nsf|($Inbox)\\", "/d/one.nsf|broken1\\", "/d/one.nsf|broken2\\"}));
    EXPECT_EQ(completion.failures, 2);
    EXPECT_EQ(completion.failureText, QStringLiteral("2 item(s) produced no document."));
}

TEST_F(SaveRunTest, UnreadableSourceAndMissingOfficeFail) {
    fake->unreadable = {"/d/gone.nsf"};
    fake->folders["/d/ok.nsf"] = {"($Inbox)\\"};
    exportList({"/d/ok.nsf", "/d/gone.nsf"});
    QTableWidget* list = step3()->SourceList();
    EXPECT_EQ(list->item(0, 0)->text(), QStringLiteral("/d/gone.nsf"));
    EXPECT_EQ(status(list, 0), SaveTexts::kFailed);
    EXPECT_EQ(status(list, 1), SaveTexts::kCompleted);
    ASSERT_EQ(completion.failures, 1);
    EXPECT_EQ(frame->GetFailedItems().first().folder, QStringLiteral("/d/gone.nsf"));
    EXPECT_EQ(frame->GetFailedItems().first().reason, QStringLiteral("File does not exist"));
    EXPECT_TRUE(list->isVisibleTo(step3()));  // the outcome of each file stays readable

    // Without an office every file fails to save.
    fake->wordOk = false;
    step3()->OnNext();
    step1()->OnNext();
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(status(list, 0), SaveTexts::kFailed);
    EXPECT_EQ(status(list, 1), SaveTexts::kFailed);
    // Both sources are named in the failure list, and the completion says so.
    EXPECT_EQ(completion.failures, 2);
    EXPECT_TRUE(completion.failureText.contains(QStringLiteral("2 source(s) or folder(s) could not be saved at all.")));
}

TEST_F(SaveRunTest, SingleFileRunWithoutOfficeShowsTheWordMessage) {
    fake->wordOk = false;
    frame->SetSourceMode(SingleFile);
    frame->SetDestinationPath(dest.path());
    frame->SetDestinationName(QStringLiteral("ConvertedItems"));
    frame->SetSelectedFolders({"($Inbox)\\"});
    answerDialogs(dest.path());
    frame->GoToNextStep(1);
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(step3()->StatusLabel()->text(), SaveTexts::kNoWordLabel);
    EXPECT_TRUE(boxes().shownTexts().contains(SaveTexts::kNoWordMessage));
    EXPECT_EQ(completion.failures, -1);  // no completion dialog
    EXPECT_FALSE(step3()->SourceList()->isVisibleTo(step3()));
}

TEST_F(SaveRunTest, CloseIsRefusedWhileSaving) {
    fake->folders["/d/one.nsf"] = {"A\\"};
    bool stillOpen = false;
    fake->onSaveFolder = [&](const QString&, const QString&) {
        QMetaObject::invokeMethod(frame.get(), [&] { frame->close(); stillOpen = frame->isVisible(); },
                                  Qt::BlockingQueuedConnection);
    };
    exportList({"/d/one.nsf"});
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(boxes().shownTexts().contains(AppTexts::kStopSavingFirst));
    EXPECT_FALSE(boxes().shownTexts().contains(AppTexts::kConfirmClose));
    // After the run, closing asks; No keeps the window.
    boxes().clear();
    frame->close();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(boxes().shownTexts(), QStringList{AppTexts::kConfirmClose});
}

TEST_F(SaveRunTest, TooLongFolderPathAsksForAnotherPlace) {
    // A destination so deep that "<root>/ONE/<folder>" passes 244 characters.
    QString deep = dest.path();
    while (deep.size() < 180) deep += QStringLiteral("/") + QString(qBound(1, 179 - int(deep.size()), 40), QLatin1Char('d'));
    ASSERT_TRUE(QDir().mkpath(deep));
    QTemporaryDir other;
    longPathFolder = other.path();
    const QString longName = QString(60, QLatin1Char('f')) + QStringLiteral("\\");
    fake->folders["/d/one.nsf"] = {"short\\", longName};
    addFiles({"/d/one.nsf"});
    answerDialogs(deep);
    step1()->OnNext();
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(fake->Saved().size(), 2);
    const QString expectedName = QString(60, QLatin1Char('f'));
    EXPECT_EQ(frame->DestFolderPath(), other.path() + QStringLiteral("/"));
    EXPECT_EQ(frame->DestFolderName(), expectedName);
    EXPECT_EQ(fake->Roots().last(), other.path() + QStringLiteral("/") + expectedName + QStringLiteral("/"));

    // Cancel skips the folder.
    longPathFolder.clear();
    step3()->OnNext();
    step1()->OnNext();
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(fake->Saved().size(), 3);
    EXPECT_EQ(fake->Saved().last(), QStringLiteral("/d/one.nsf|short\\"));
}

TEST(SaveRunRulesTest, FolderNamesAndBar) {
    using namespace SaveRunRules;
    EXPECT_EQ(OutputFolderName(QStringLiteral("($Inbox)\\")), QStringLiteral("Inbox"));
    EXPECT_EQ(OutputFolderName(QStringLiteral("($JunkMail)\\")), QStringLiteral("Junk Mails"));
    EXPECT_EQ(OutputFolderName(QStringLiteral("($Meetings)\\")), QStringLiteral("Calendar"));
    EXPECT_EQ(OutputFolderName(QStringLiteral("($Inbox)")), QStringLiteral("($Inbox)"));  // exact match only
    EXPECT_EQ(OutputFolderName(QStringLiteral("Projects\\")), QStringLiteral("Projects\\"));
    EXPECT_EQ(FolderBarPosition(1, 3), 33);
    EXPECT_EQ(FolderBarPosition(2, 3), 66);
    EXPECT_EQ(FolderBarPosition(3, 3), 100);
    EXPECT_EQ(FolderBarPosition(0, 0), 0);
}

TEST_F(SaveRunTest, ARunWhoseSourceFailedEndsWithAWarningThatSaysSo) {
    // The only source cannot be read: nothing was written, and nothing claims otherwise.
    fake->unreadable = {"/d/gone.nsf"};
    exportList({"/d/gone.nsf"});
    C3TovanSaveNsfToPst* view = step3();
    EXPECT_EQ(status(view->SourceList(), 0), SaveTexts::kFailed);
    EXPECT_EQ(view->StatusLabel()->text(), SaveTexts::kNothingSavedLabel);
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionNothingSaved);
    EXPECT_TRUE(completion.warning);
    EXPECT_TRUE(completion.nothingSaved);
    // Its folder was never made: no link, no "Open Folder".
    EXPECT_FALSE(QFileInfo::exists(completion.location));
    EXPECT_FALSE(completion.offersFolder);
    EXPECT_FALSE(view->OpenFolderButton()->isVisibleTo(view));
    EXPECT_EQ(completion.failures, 1);

    // One good source beside it: saved, with errors, and the output can be opened.
    fake->folders["/d/ok.nsf"] = {"($Inbox)\\"};
    fake->onSaveFolder = [&](const QString&, const QString&) { QDir().mkpath(frame->ListDestRoot()); };
    view->OnNext();
    addFiles({"/d/ok.nsf"});
    completion = CompletionSeen();
    step1()->OnNext();
    ASSERT_TRUE(view->WaitForRunEnd(20000));
    EXPECT_EQ(view->StatusLabel()->text(), SaveTexts::kCompleteWithErrors);
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionWithErrors);
    EXPECT_TRUE(completion.warning);
    EXPECT_FALSE(completion.nothingSaved);
    EXPECT_EQ(completion.location, dest.path() + QStringLiteral("/ConvertedItems"));
    EXPECT_TRUE(completion.offersFolder);
    ASSERT_TRUE(view->OpenFolderButton()->isVisibleTo(view));
    boxes().clear();
    view->OpenFolderButton()->click();
    ASSERT_EQ(boxes().shown().size(), 1);
    EXPECT_EQ(boxes().shown().first().kind, QStringLiteral("open"));
    EXPECT_EQ(boxes().shown().first().text, completion.location);
}

TEST_F(SaveRunTest, ListExportShowsTheFileNumberAndResetsTheBarsForEachFile) {
    fake->folders["/d/one.nsf"] = {"A\\"};
    fake->folders["/d/two.nsf"] = {"B\\", "C\\"};
    C3TovanSaveNsfToPst* view = step3();
    struct Seen {
        QString fileBar;
        int folderBar = -1, itemStatus = -1, itemProgress = -1;
    } seen;
    fake->onSaveFolder = [&](const QString& source, const QString& folder) {
        CNotesConverter& notes = frame->Notes();
        if (folder == QStringLiteral("A\\")) {
            // The first file's items end at 100%.
            notes.itemStatusBar->setPosition(100);
            notes.itemProgressBar->setPosition(100);
        }
        if (source == QStringLiteral("/d/two.nsf") && folder == QStringLiteral("B\\"))
            QMetaObject::invokeMethod(
                view,
                [&] {
                    seen.fileBar = view->FileBar()->format();
                    seen.folderBar = view->FolderBar()->value();
                    seen.itemStatus = view->ItemStatusBar()->value();
                    seen.itemProgress = view->ItemProgressBar()->value();
                },
                Qt::BlockingQueuedConnection);
    };
    exportList({"/d/two.nsf", "/d/one.nsf"});  // listed on top: one.nsf first
    EXPECT_EQ(seen.fileBar, QStringLiteral("File 2 of 2"));
    EXPECT_EQ(seen.folderBar, 50);
    EXPECT_EQ(seen.itemStatus, 0);
    EXPECT_EQ(seen.itemProgress, 0);
}

TEST_F(SaveRunTest, TheStatusLineNamesFoldersAsTheTreeShowsThem) {
    EXPECT_EQ(SaveRunRules::FolderDisplayPath(QStringLiteral("($Inbox)\\")), QStringLiteral("Inbox"));
    EXPECT_EQ(SaveRunRules::FolderDisplayPath(QStringLiteral("Projects\\2012\\")), QStringLiteral("Projects/2012"));
    EXPECT_EQ(SaveRunRules::FolderDisplayPath(QStringLiteral("Archive\\($Sent)\\")), QStringLiteral("Archive/Sent"));
    fake->folders["/d/one.nsf"] = {"Projects\\2012\\"};
    QStringList captions;
    fake->onSaveFolder = [&](const QString&, const QString&) {
        QMetaObject::invokeMethod(step3(), [&] { captions.append(step3()->StatusLabel()->text()); },
                                  Qt::BlockingQueuedConnection);
    };
    exportList({"/d/one.nsf"});
    EXPECT_EQ(captions, QStringList{QStringLiteral("Saving Folder Projects/2012...")});
}

TEST_F(SaveRunTest, TheDateRangeIsShownAndTheItemsItLeftOutAreCounted) {
    fake->folders["/d/one.nsf"] = {"A\\"};
    ItemDateRange range;
    range.since = QDate(2020, 1, 1);
    frame->Notes().dateRange = range;
    frame->Notes().exportReport.reset();
    fake->onSaveFolder = [this](const QString&, const QString&) {
        for (int i = 0; i < 3; ++i) frame->Notes().exportReport.addOutsideDateRange();
    };
    exportList({"/d/one.nsf"});
    // The range stays on the page after the run.
    auto* rangeLabel = step3()->findChild<QLabel*>(QStringLiteral("DateRange"));
    ASSERT_NE(rangeLabel, nullptr);
    EXPECT_FALSE(rangeLabel->isHidden());
    EXPECT_EQ(rangeLabel->text(), SaveTexts::kDateRangeActive.arg("2020-01-01", SaveTexts::kDateRangeOpen));
    EXPECT_EQ(completion.outside, SaveTexts::kOutsideDateRange.arg(3));
}

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
    QString countText;
    QString notConvertedText;
    QString byOfficeText;  // the note on items written by the office engine, when shown
    QString savedAtText;
    FailedItemList listed;
    bool showItemsEnabled = false;
};

// The status word of a row (the cell goes on with what it rests on).
QString status(QTableWidget* list, int row) {
    return list->item(row, 1) ? list->item(row, 1)->text().section(QStringLiteral(" \u2013 "), 0, 0) : QString();
}
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
                completion.countText = c->CountText();
                completion.notConvertedText = c->NotConvertedText();
                if (auto* o = c->findChild<QLabel*>(QStringLiteral("WrittenByOffice")); o && !o->isHidden())
                    completion.byOfficeText = o->text();
                completion.savedAtText = c->SavedAtText();
                completion.listed = c->ListedItems();
                completion.showItemsEnabled = c->ShowItemsButton()->isEnabled();
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
        QString itemStatusText;
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
                    seen.itemStatusText = view->ItemStatusBar()->property("barText").toString();
                    seen.itemProgress = view->ItemProgressBar()->value();
                },
                Qt::BlockingQueuedConnection);
    };
    exportList({"/d/two.nsf", "/d/one.nsf"});  // listed on top: one.nsf first
    EXPECT_EQ(seen.fileBar, QStringLiteral("File 2 of 2"));
    EXPECT_EQ(seen.folderBar, 50);
    // The item bar counts B's own items (the stand-in has written both when it is looked at).
    EXPECT_EQ(seen.itemStatusText, QStringLiteral("Saving Item 2 of 2 ..."));
    EXPECT_EQ(seen.itemStatus, 100);
    EXPECT_EQ(seen.itemProgress, 0);
}

TEST_F(SaveRunTest, TheItemBarFollowsOutcomesAndAStopIsRaisedAgainBetweenItems) {
    fake->folders["/d/one.nsf"] = {"A\\", "B\\"};
    C3TovanSaveNsfToPst* view = step3();
    int shownValue = -1;
    QString shownText;
    int cancelAfterReport = -1;
    fake->onSaveFolder = [&](const QString&, const QString& folder) {
        CNotesConverter& notes = frame->Notes();
        if (folder != QStringLiteral("A\\")) return;
        // The converter hands item 1 of 3 on; the tally says all three are done.
        notes.itemStatusBar->setText(QStringLiteral("Saving Item 1 of 3 ..."));
        notes.itemStatusBar->setPosition(33);
        QMetaObject::invokeMethod(
            view,
            [&] {
                view->UpdateItemBar();
                shownValue = view->ItemStatusBar()->value();
                shownText = view->ItemStatusBar()->property("barText").toString();
                // Stop, confirmed while this folder's items are saved.
                boxes().queueAnswer(true);
                view->OnStop();
            },
            Qt::BlockingQueuedConnection);
        // Something lowers the converter's flag; the next report raises it again.
        notes.cancelRequested = 0;
        notes.itemProgressBar->setPosition(50);
        cancelAfterReport = notes.cancelRequested;
    };
    fake->items["A\\"] = 3;
    exportList({"/d/one.nsf"});
    EXPECT_EQ(shownValue, 100);
    EXPECT_EQ(shownText, QStringLiteral("Saving Item 3 of 3 ..."));
    EXPECT_EQ(cancelAfterReport, 1);
    EXPECT_EQ(fake->Saved(), QStringList{QStringLiteral("/d/one.nsf|A\\")});  // B is never begun

    // The bar's rule: n items of the folder found, k of them done.
    RunTally t;
    t.found = 10;
    t.written = 4;
    t.failed = 1;
    EXPECT_EQ(SaveRunRules::FolderItemBar(0, 0, t).position, 50);
    EXPECT_EQ(SaveRunRules::FolderItemBar(0, 0, t).text, QStringLiteral("Saving Item 6 of 10 ..."));
    t.outsideDateRange = 2;  // found leaves them out; they are done
    EXPECT_EQ(SaveRunRules::FolderItemBar(0, 0, t).text, QStringLiteral("Saving Item 8 of 12 ..."));
    EXPECT_TRUE(SaveRunRules::FolderItemBar(12, 7, t).text.isEmpty());  // the next folder, not counted yet
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
    // Counted once: in the run's tally where it has one, else on its own line.
    EXPECT_TRUE(completion.notConvertedText.contains(SaveTexts::kOutsideRange.arg(3)) ||
                completion.outside == SaveTexts::kOutsideDateRange.arg(3))
        << completion.notConvertedText.toStdString() << " / " << completion.outside.toStdString();
}

namespace {
SaveRunRules::RowLook lookOf(QTableWidget* list, int row) {
    return SaveRunRules::RowLook(list->item(row, 1)->data(C3TovanSaveNsfToPst::kLookRole).toInt());
}
}  // namespace

TEST_F(SaveRunTest, EachFileShowsItsRealOutcomeReadablyWithItsReasonAndCounts) {
    fake->unreadable = {"/d/gone.nsf"};
    fake->folders["/d/clean.nsf"] = {"($Inbox)\\"};
    fake->folders["/d/mixed.nsf"] = {"($Inbox)\\", "broken1\\"};
    fake->folders["/d/none.nsf"] = {"broken1\\"};
    fake->items["broken1\\"] = 1;  // its only item fails
    fake->folders["/d/full.nsf"] = {"Big\\", "Later\\"};
    fake->items["Big\\"] = 10;
    fake->endEarlyAt = QStringLiteral("Big\\");
    frame->resize(1366, 768);
    exportList({"/d/clean.nsf", "/d/mixed.nsf", "/d/none.nsf", "/d/full.nsf", "/d/gone.nsf"});
    QTableWidget* list = step3()->SourceList();
    ASSERT_EQ(list->rowCount(), 5);
    auto rowOf = [list](const QString& path) {
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->item(r, 0)->text() == path) return r;
        return -1;
    };
    const int clean = rowOf("/d/clean.nsf"), mixed = rowOf("/d/mixed.nsf"), none = rowOf("/d/none.nsf"),
              full = rowOf("/d/full.nsf"), gone = rowOf("/d/gone.nsf");
    using SaveRunRules::RowLook;
    EXPECT_EQ(lookOf(list, clean), RowLook::Done);
    EXPECT_EQ(list->item(clean, 1)->text(), SaveTexts::kCompleted + QStringLiteral(" \u2013 2 found, 2 written, 0 failed"));
    EXPECT_EQ(lookOf(list, mixed), RowLook::DoneWithErrors);
    EXPECT_EQ(lookOf(list, none), RowLook::NothingWritten);
    // Ended early: "Fail to save" with the one reason, and the rest (its other folder too) named as not converted.
    EXPECT_EQ(lookOf(list, full), RowLook::Failed);
    EXPECT_EQ(status(list, full), SaveTexts::kFailed);
    EXPECT_TRUE(list->item(full, 1)->text().contains(fake->endEarlyReason));
    EXPECT_TRUE(list->item(full, 1)->text().contains(QStringLiteral("12 found, 0 written, 3 failed, 9 not converted")))
        << list->item(full, 1)->text().toStdString();
    EXPECT_EQ(fake->ListedNotConverted(), QStringList{QStringLiteral("Later\\")});
    EXPECT_EQ(lookOf(list, gone), RowLook::Failed);
    EXPECT_TRUE(list->item(gone, 1)->text().endsWith(QStringLiteral("File does not exist")));
    // Colours follow the outcome: green only for the clean file.
    EXPECT_EQ(list->item(clean, 1)->foreground().color(), QColor(0, 120, 0));
    for (int r : {mixed, none, full, gone}) EXPECT_NE(list->item(r, 1)->foreground().color(), QColor(0, 120, 0));
    for (int r : {clean, mixed, none, full, gone}) EXPECT_FALSE(list->item(r, 1)->icon().isNull());
    // The whole status and reason as a tooltip.
    EXPECT_TRUE(list->item(full, 1)->toolTip().startsWith(SaveTexts::kFailed + QLatin1Char('\n')));
    EXPECT_TRUE(list->item(full, 1)->toolTip().contains(fake->endEarlyReason));
    EXPECT_EQ(list->item(gone, 0)->toolTip(), QStringLiteral("/d/gone.nsf"));
    // Columns sized to their texts and the window: statuses are readable, nothing spills over.
    const QFontMetrics fm(list->font());
    EXPECT_GE(list->columnWidth(1), fm.horizontalAdvance(status(list, full) + QStringLiteral(" \u2013 the destination")));
    EXPECT_GE(list->columnWidth(2), fm.horizontalAdvance(SaveTexts::kColServer));
    EXPECT_GE(list->columnWidth(0), fm.horizontalAdvance(QStringLiteral("/d/clean.nsf")));
    EXPECT_LE(list->columnWidth(0) + list->columnWidth(1) + list->columnWidth(2), list->viewport()->width() + 1);
    // The run is not a success, and its line is red; the counts are the whole run's.
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionWithErrors);
    EXPECT_TRUE(step3()->StatusLabel()->text().contains(fake->endEarlyReason));
    EXPECT_EQ(step3()->StatusLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(completion.countText, QStringLiteral("Items: 18 found, 4 written, 5 failed, 9 not converted."));

    // A clean run afterwards: the same list looks healthy and its status line is not red.
    fake->endEarlyAt.clear();
    fake->unreadable.clear();
    fake->folders["/d/none.nsf"] = {"($Inbox)\\"};
    fake->folders["/d/mixed.nsf"] = {"($Inbox)\\"};
    fake->folders["/d/gone.nsf"] = {"($Inbox)\\"};
    step3()->OnNext();
    step1()->OnNext();
    ASSERT_TRUE(step3()->WaitForRunEnd(20000));
    EXPECT_EQ(step3()->StatusLabel()->text(), SaveTexts::kComplete);
    EXPECT_NE(step3()->StatusLabel()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    for (int r = 0; r < list->rowCount(); ++r) EXPECT_EQ(lookOf(list, r), RowLook::Done);
}

TEST_F(SaveRunTest, AStoppedRunCountsTheWholeRunAndListsWhatItDidNotReach) {
    fake->folders["/d/one.nsf"] = {"($Inbox)\\", "Projects\\"};
    fake->folders["/d/two.nsf"] = {"($Inbox)\\", "($Sent)\\", "Later\\"};
    fake->folders["/d/three.nsf"] = {"($Inbox)\\"};
    fake->items["($Sent)\\"] = 5;
    C3TovanSaveNsfToPst* view = step3();
    fake->onSaveFolder = [&](const QString& source, const QString& folder) {
        if (source == QStringLiteral("/d/two.nsf") && folder == QStringLiteral("($Inbox)\\")) {
            boxes().queueAnswer(true);
            QMetaObject::invokeMethod(view, [&] { view->OnStop(); }, Qt::BlockingQueuedConnection);
        }
    };
    exportList({"/d/three.nsf", "/d/two.nsf", "/d/one.nsf"});
    QTableWidget* list = view->SourceList();
    using SaveRunRules::RowLook;
    EXPECT_EQ(lookOf(list, 0), RowLook::Done);
    EXPECT_EQ(lookOf(list, 1), RowLook::Stopped);
    EXPECT_EQ(status(list, 2), SaveTexts::kPending);
    EXPECT_EQ(lookOf(list, 2), RowLook::NotReached);
    EXPECT_TRUE(list->item(2, 1)->toolTip().contains(SaveTexts::kNotReached));
    // The folders of the stopped file that were not reached are counted, item by item.
    EXPECT_EQ(fake->ListedNotConverted(), QStringList({"($Sent)\\", "Later\\"}));
    EXPECT_TRUE(list->item(1, 1)->text().contains(QStringLiteral("9 found, 2 written, 0 failed, 7 not converted")))
        << list->item(1, 1)->text().toStdString();
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionAborted);
    EXPECT_EQ(completion.countText, QStringLiteral("Items: 13 found, 6 written, 0 failed, 7 not converted."));
    EXPECT_EQ(completion.failureText, SaveTexts::kNoDocument.arg(0));
    EXPECT_EQ(completion.notConvertedText, SaveTexts::kNotConvertedCount.arg(7) + QLatin1Char('\n') +
                                               SaveTexts::kSourcesNotReached.arg(1));
    // "Show Item(s)..." lists them like failures: 7 items and the file not reached.
    EXPECT_TRUE(completion.showItemsEnabled);
    ASSERT_EQ(completion.listed.size(), 8);
    EXPECT_EQ(completion.listed.last().folder, QStringLiteral("/d/three.nsf"));
    EXPECT_TRUE(completion.warning);
}

// Items the office engine wrote for the native engine are written, not failed:
// a note counts them, "Show Item(s)..." lists them after the failures with
// their reasons, and a run without failures stays a plain success.
TEST_F(SaveRunTest, ItemsTheOfficeWroteForTheNativeEngineAreCountedAndListedNotFailed) {
    fake->folders["/d/one.nsf"] = {"byoffice\\"};
    exportList({"/d/one.nsf"});
    EXPECT_EQ(completion.caption, SaveTexts::kCaptionComplete);
    EXPECT_FALSE(completion.warning);
    EXPECT_EQ(completion.countText, QStringLiteral("Items: 2 found, 2 written, 0 failed."));
    EXPECT_EQ(completion.byOfficeText, SaveTexts::kWrittenByOfficeCount.arg(1));
    EXPECT_TRUE(completion.showItemsEnabled);
    ASSERT_EQ(completion.listed.size(), 1);
    EXPECT_EQ(completion.listed[0].folder, QStringLiteral("byoffice\\"));
    EXPECT_EQ(completion.listed[0].noteId, QStringLiteral("2b"));
    EXPECT_TRUE(completion.listed[0].reason.startsWith(QStringLiteral("written by the office engine: ")));

    // With failures: they come first in the list, and the run warns for them alone.
    const FailedItemList failures = {{QStringLiteral("Inbox"), QStringLiteral("1f2"), QStringLiteral("office failure")}};
    CSaveCompleteDlg mixed(SaveTexts::kCaptionWithErrors, QStringLiteral("/out"), failures, nullptr, 3, 2);
    mixed.SetWrittenByOffice(completion.listed);
    EXPECT_TRUE(mixed.IsWarning());
    EXPECT_EQ(mixed.FailureText(), SaveTexts::kNoDocument.arg(1));
    ASSERT_EQ(mixed.ListedItems().size(), 2);
    EXPECT_EQ(mixed.ListedItems()[0].reason, QStringLiteral("office failure"));
    EXPECT_EQ(mixed.ListedItems()[1].noteId, QStringLiteral("2b"));

    // Without such items there is no note.
    CSaveCompleteDlg plain(SaveTexts::kCaptionComplete, QStringLiteral("/out"), {});
    plain.SetWrittenByOffice({});
    EXPECT_TRUE(plain.WrittenByOfficeText().isEmpty());
    EXPECT_FALSE(plain.ShowItemsButton()->isEnabled());
}

TEST(SaveCompleteDlgTest, NamesTheFormatWrittenAndTheDateRange) {
    CSaveCompleteDlg dlg(SaveTexts::kCaptionComplete, QStringLiteral("/out"), {});
    EXPECT_EQ(dlg.SavedAtText(), SaveTexts::kSavedAt);
    dlg.SetFormatName(OutputFormat::Pdf);
    EXPECT_EQ(dlg.SavedAtText(), QStringLiteral("PDF File(s) have been saved at the following location :-"));
    dlg.SetFormatName(OutputFormat::Docx);
    dlg.SetNothingSaved(true);
    EXPECT_EQ(dlg.SavedAtText(), QStringLiteral("No DOCX file has been saved. The output location was :-"));
    RunTally tally;
    tally.found = 4;
    tally.written = 4;
    tally.outsideDateRange = 6;
    tally.dateRangeActive = true;
    dlg.SetTally(tally, {});
    EXPECT_EQ(dlg.CountText(), QStringLiteral("Items: 4 found, 4 written, 0 failed."));
    EXPECT_EQ(dlg.NotConvertedText(), SaveTexts::kOutsideRange.arg(6));
    EXPECT_FALSE(dlg.ShowItemsButton()->isEnabled());
}

TEST(SaveRunRulesTest, ASourceThatWroteNothingOrWasCutShortIsNotASuccess) {
    using namespace SaveRunRules;
    SourceFacts f;
    f.counted = true;
    f.found = 3;
    f.failed = 3;
    EXPECT_EQ(JudgeSource(f).look, RowLook::NothingWritten);
    f.found = 0;
    f.failed = 0;
    EXPECT_EQ(JudgeSource(f).look, RowLook::Done);  // an empty database is done
    f.reason = QStringLiteral("the server no longer answers");
    EXPECT_EQ(JudgeSource(f).status, SaveTexts::kFailed);
    f = SourceFacts();
    f.result = SourceFacts::Cancelled;
    EXPECT_EQ(JudgeSource(f).look, RowLook::Stopped);
    EXPECT_TRUE(JudgeSource(f).detail.isEmpty());  // uncounted: nothing made up
}

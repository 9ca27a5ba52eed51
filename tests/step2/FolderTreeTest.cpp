#include "Step2TestSupport.h"

#include "app/WindowMessages.h"
#include "steps/C3TovanSaveNsfToPst.h"
#include "steps/CFolderTreeWidget.h"
#include "steps/CItemListGrid.h"
#include "steps/CPreviewPane.h"
#include "steps/CSavingModeDlg.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/FolderTreeTexts.h"

#include <QPushButton>
#include <QTextBrowser>
#include <QTemporaryDir>

using namespace step2test;

namespace {
class FolderTreeTest : public Step2Fixture {};

QStringList ChildTexts(QTreeWidgetItem* item) {
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts.append(item->child(i)->text(0));
    return texts;
}
}  // namespace

TEST_F(FolderTreeTest, FillsTheTreeWithDisplayNamesAndNotesPaths) {
    OpenStep2();
    CFolderTreeWidget* tree = step2()->Tree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->RootItem();
    EXPECT_EQ(root->text(0), QStringLiteral("NSF File"));
    EXPECT_TRUE(root->isExpanded());
    // Listing order; system folders by their display names, nested folders below one parent.
    // The node of every document comes last.
    EXPECT_EQ(ChildTexts(root), QStringList({"Inbox", "Projects", "Empty", "All", "All Documents (every document)"}));
    QTreeWidgetItem* inbox = root->child(0);
    EXPECT_EQ(CFolderTreeWidget::NotesName(inbox), QStringLiteral("($Inbox)"));
    EXPECT_EQ(CFolderTreeWidget::PathOf(inbox), QStringLiteral("($Inbox)\\"));
    EXPECT_EQ(CFolderTreeWidget::ItemData(inbox), 6u);   // the entry count
    EXPECT_EQ(CFolderTreeWidget::ImageIndex(inbox), 8);
    QTreeWidgetItem* projects = root->child(1);
    EXPECT_EQ(ChildTexts(projects), QStringList({"2012", "2013"}));
    EXPECT_EQ(CFolderTreeWidget::PathOf(projects->child(0)), QStringLiteral("Projects\\2012\\"));
    EXPECT_EQ(CFolderTreeWidget::ImageIndex(root->child(2)), 1);  // empty folder

    // Idle: Export and Back shown, Stop and Exit hidden, the pane asks for an item.
    EXPECT_TRUE(shown(step2()->NextButton()));
    EXPECT_EQ(step2()->NextButton()->text(), QStringLiteral("&Export"));
    EXPECT_TRUE(shown(step2()->BackButton()));
    EXPECT_FALSE(shown(step2()->StopButton()));
    EXPECT_FALSE(shown(step2()->ExitButton()));
    EXPECT_EQ(step2()->Preview()->MessageState(), FolderTreeTexts::MsgSelectItem);
    EXPECT_EQ(frame->m_nCurrentStep, 2);
    EXPECT_TRUE(tree->isEnabled());
    EXPECT_EQ(step2()->ItemsReady(), 0);  // no list yet
}

TEST_F(FolderTreeTest, TickingAParentTicksEverythingBelowAndExportKeepsTreeOrder) {
    OpenStep2();
    CFolderTreeWidget* tree = step2()->Tree();
    QTreeWidgetItem* root = tree->RootItem();
    tree->SetChecked(root->child(1), true);  // Projects
    EXPECT_EQ(root->child(1)->child(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(root->child(1)->child(1)->checkState(0), Qt::Checked);
    // "Projects" itself is only a level of the two folders, not a folder to save.
    EXPECT_EQ(tree->TickedFolders(), QStringList({"Projects\\2012\\", "Projects\\2013\\"}));
    tree->SetChecked(root->child(1), false);
    EXPECT_TRUE(tree->TickedFolders().isEmpty());

    tree->SetChecked(root, true);  // every folder; the node of every document only when ticked itself
    EXPECT_EQ(tree->TickedFolders(),
              QStringList({"($Inbox)\\", "Projects\\2012\\", "Projects\\2013\\", "Empty\\", "($All)\\"}));
    tree->SetChecked(root->child(4), true);
    EXPECT_EQ(tree->TickedFolders().last(), QStringLiteral("All Documents (every document)\\"));
    tree->SetChecked(root->child(4), false);
    tree->SetChecked(root->child(2), false);  // Empty
    EXPECT_EQ(tree->TickedFolders(), QStringList({"($Inbox)\\", "Projects\\2012\\", "Projects\\2013\\", "($All)\\"}));
}

TEST_F(FolderTreeTest, ExportRulesAndMessages) {
    OpenStep2();
    CFolderTreeWidget* tree = step2()->Tree();
    // Nothing ticked.
    step2()->OnNext();
    EXPECT_EQ(boxes().shownTexts(), QStringList{FolderTreeTexts::kSelectFolderToExport});
    EXPECT_EQ(host()->CurrentPageIndex(), 1);

    // No office.
    boxes().clear();
    tree->SetChecked(tree->FindPath(QStringLiteral("($Inbox)\\")), true);
    backend->wordOk = false;
    step2()->OnNext();
    EXPECT_EQ(boxes().shownTexts(), QStringList{FolderTreeTexts::kWordMissing});
    EXPECT_EQ(host()->CurrentPageIndex(), 1);

    // The destination dialog cancelled: nothing.
    boxes().clear();
    backend->wordOk = true;
    step2()->OnNext();
    EXPECT_EQ(host()->CurrentPageIndex(), 1);

    // The E key acts only once a list is complete.
    CStepEvent key(WM_STEP_KEY, WM_KEYDOWN, int(Qt::Key_E));
    boxes().clear();
    QCoreApplication::sendEvent(step2(), &key);
    EXPECT_TRUE(boxes().shown().isEmpty());

    // Confirmed: the ticked folders and the destination go to Step 3.
    QTemporaryDir dest;
    boxes().setDialogHandler([&](QDialog& dlg) -> int {
        if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            d->SetFolderPath(dest.path());
            d->accept();
            return d->result();
        }
        return QDialog::Rejected;  // the saving mode: cancelled
    });
    tree->SetChecked(tree->FindPath(QStringLiteral("Projects\\2013\\")), true);
    step2()->OnNext();
    // Cancelled: Step 2 as it was, its ticks kept.
    EXPECT_EQ(host()->CurrentPageIndex(), 1);
    EXPECT_EQ(tree->TickedFolders(), QStringList({"($Inbox)\\", "Projects\\2013\\"}));
    boxes().setDialogHandler([&](QDialog& dlg) -> int {
        if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            d->SetFolderPath(dest.path());
            d->accept();
            return d->result();
        }
        return QDialog::Accepted;  // the saving mode and the completion
    });
    step2()->OnNext();
    EXPECT_EQ(host()->CurrentPageIndex(), 2);
    ASSERT_TRUE(static_cast<C3TovanSaveNsfToPst*>(host()->Page(2))->WaitForRunEnd(20000));
    EXPECT_EQ(frame->SelectedFolders(), QStringList({"($Inbox)\\", "Projects\\2013\\"}));
    EXPECT_EQ(frame->DestFolderPath(), dest.path());
    EXPECT_EQ(frame->DestFolderName(), QStringLiteral("ConvertedItems"));

    // Step 3's Back after a single-file run returns here and lists the folders again.
    static_cast<C3TovanSaveNsfToPst*>(host()->Page(2))->OnBack();
    EXPECT_EQ(host()->CurrentPageIndex(), 1);
    ASSERT_TRUE(step2()->WaitForIdle(10000));
    EXPECT_EQ(step2()->Tree()->RootItem()->childCount(), 5);
    EXPECT_EQ(frame->m_nCurrentStep, 2);
}

TEST_F(FolderTreeTest, FolderWithNoItems) {
    OpenStep2();
    ClickFolder(QStringLiteral("Empty\\"));
    EXPECT_EQ(step2()->List()->rowCount(), 0);
    EXPECT_EQ(step2()->List()->columnCount(), 5);
    EXPECT_EQ(step2()->Preview()->MessageState(), FolderTreeTexts::MsgNoItem);
    EXPECT_TRUE(step2()->Preview()->Viewer()->toPlainText().contains(FolderTreeTexts::kPaneNoItem));
    EXPECT_EQ(step2()->ItemsReady(), 1);
    EXPECT_EQ(C2TovanFolderTreeView::CurrentFolderName(), QStringLiteral("Empty\\"));
    step2()->OnSaveItems(false);
    step2()->OnSaveItems(true);
    EXPECT_EQ(boxes().shownTexts(),
              QStringList({FolderTreeTexts::kNoItemsToSave, FolderTreeTexts::kNoItemsToSave}));
    // An unknown folder lists nothing either.
    ClickFolder(QStringLiteral("Nowhere\\"));
    EXPECT_EQ(step2()->List()->rowCount(), 0);
}

TEST_F(FolderTreeTest, StopAsksWithTheWorkersHeldAndRaisesTheCancelFlagOnYes) {
    OpenStep2();
    bool gateClosedDuringQuestion = false;
    boxes().setQuestionHook([&](const QString&) { gateClosedDuringQuestion = step2()->PauseGate().IsClosed(); });
    boxes().queueAnswer(false);
    step2()->OnFolderClicked(QStringLiteral("($Inbox)\\"));
    step2()->OnStop();  // the listing has not been wound up yet
    EXPECT_TRUE(gateClosedDuringQuestion);
    EXPECT_FALSE(step2()->PauseGate().IsClosed());
    EXPECT_EQ(boxes().shownTexts(), QStringList{FolderTreeTexts::kStopQuestion});
    EXPECT_EQ(frame->Notes().cancelRequested, 0);  // No: nothing changes
    ASSERT_TRUE(step2()->WaitForIdle(10000));
    EXPECT_EQ(step2()->List()->rowCount(), 6);

    boxes().clear();
    boxes().queueAnswer(true);
    step2()->OnFolderClicked(QStringLiteral("($Inbox)\\"));
    step2()->OnStop();
    EXPECT_EQ(frame->Notes().cancelRequested, 1);
    ASSERT_TRUE(step2()->WaitForIdle(10000));
    EXPECT_EQ(frame->Notes().cancelRequested, 0);  // cleared when the listing ends
    EXPECT_EQ(step2()->ItemsReady(), 1);
    EXPECT_TRUE(shown(step2()->NextButton()));

    // Nothing runs: Stop asks nothing.
    boxes().clear();
    step2()->OnStop();
    EXPECT_TRUE(boxes().shown().isEmpty());
}

TEST_F(FolderTreeTest, TearDownWhileListingEndsWithoutKillingTheWorker) {
    OpenStep2();
    step2()->OnFolderClicked(QStringLiteral("($Inbox)\\"));
    frame.reset();  // waits for the list worker, which sees the cancel flag
    SUCCEED();
}

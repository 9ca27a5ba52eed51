// The window's size and place, remembered choices, keyboard and lists of the
// source step, and Preview of a source that cannot be opened.
#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "source/SourceTexts.h"
#include "steps/C2TovanFolderTreeView.h"
#include "steps/CProgressWaitDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/SaveTexts.h"

#include <QAction>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest/QTest>

namespace {

// Clicks the middle of a row's first cell of a list, with modifiers.
void ClickRow(QTableWidget* list, int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, cell.center());
}

// Clicks a column header.
void ClickHeader(QTableWidget* list, int column) {
    QHeaderView* header = list->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
}

QList<int> SelectedRows(QTableWidget* list) {
    QList<int> rows;
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->item(r, 0) && list->item(r, 0)->isSelected()) rows.append(r);
    return rows;
}

}  // namespace

class WindowAndChoicesTest : public FrameFixture {};

TEST(WindowSize, DefaultAndSmallestSizesFitTheScreen) {
    EXPECT_EQ(CMainFrame::DefaultSize(QSize(1920, 1050)), QSize(1100, 750));
    // A smaller screen: 80% of it, never below the smallest size the steps need.
    EXPECT_EQ(CMainFrame::DefaultSize(QSize(1280, 1000)), QSize(1024, 750));
    EXPECT_EQ(CMainFrame::DefaultSize(QSize(1280, 720)), QSize(1024, 640));
    // A screen smaller than that: the whole screen, never more.
    EXPECT_EQ(CMainFrame::MinimumFrameSize(QSize(1024, 560)), QSize(960, 560));
    EXPECT_EQ(CMainFrame::DefaultSize(QSize(1024, 560)), QSize(960, 560));
}

TEST_F(WindowAndChoicesTest, GeometrySplittersAndChoicesComeBackAfterARestart) {
    frame.reset();
    QSettings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication).clear();
    QTemporaryDir out;
    {
        // First start: the default size, centred on the screen.
        auto first = std::make_unique<CMainFrame>(std::make_unique<FakeBackend>());
        ASSERT_TRUE(first->OnCreate());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_EQ(first->size(), CMainFrame::DefaultSize(area.size()));
        EXPECT_FALSE(first->StartsMaximized());
        EXPECT_EQ(first->minimumSize(), QSize(CMainFrame::kMinWidth, CMainFrame::kMinHeight));
        first->show();
        first->resize(1000, 680);
        first->move(60, 40);
        auto* step2 = static_cast<C2TovanFolderTreeView*>(first->StepHost()->Page(1));
        step2->OuterSplitter()->setSizes({300, 500});
        step2->RightSplitter()->setSizes({260, 200});
        const QList<int> outer = step2->OuterSplitter()->sizes();
        const QList<int> right = step2->RightSplitter()->sizes();

        // The destination and the saving mode the user confirms.
        CSelectDestinationDlg destination;
        destination.TypePath(out.path());
        destination.accept();
        ASSERT_EQ(destination.result(), QDialog::Accepted);
        CSavingModeDlg mode;
        mode.SelectMode(3);
        mode.accept();

        // Closing (confirmed) remembers the window.
        boxes().queueAnswer(true);
        ASSERT_TRUE(first->CloseHandling());
        first.reset();

        auto second = std::make_unique<CMainFrame>(std::make_unique<FakeBackend>());
        ASSERT_TRUE(second->OnCreate());
        EXPECT_EQ(second->size(), QSize(1000, 680));
        EXPECT_EQ(second->pos(), QPoint(60, 40));
        second->show();
        auto* again = static_cast<C2TovanFolderTreeView*>(second->StepHost()->Page(1));
        again->resize(step2->size());
        EXPECT_EQ(again->OuterSplitter()->sizes(), outer);
        EXPECT_EQ(again->RightSplitter()->sizes(), right);
        // The dialogs open with the last choices.
        CSelectDestinationDlg nextDestination;
        EXPECT_EQ(nextDestination.FolderPath(), out.path());
        EXPECT_EQ(nextDestination.findChild<QLineEdit*>(QStringLiteral("FolderPath"))->text(), out.path());
        EXPECT_EQ(CSavingModeDlg().Mode(), 3);
    }
    {
        // Maximised last time: maximised again. A place off every screen: the default size.
        QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
        settings.setValue(AppTexts::kSettingsMaximized, true);
        settings.setValue(AppTexts::kSettingsGeometry, QRect(9000, 9000, 1000, 700));
        settings.sync();
        auto third = std::make_unique<CMainFrame>(std::make_unique<FakeBackend>());
        ASSERT_TRUE(third->OnCreate());
        EXPECT_TRUE(third->StartsMaximized());
        EXPECT_EQ(third->size(), CMainFrame::DefaultSize(QGuiApplication::primaryScreen()->availableGeometry().size()));
    }
    {
        // A destination that is gone is not offered again.
        QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
        settings.setValue(AppTexts::kSettingsLastDestination, out.path() + QStringLiteral("/gone"));
        settings.sync();
        EXPECT_TRUE(CSelectDestinationDlg().FolderPath().isEmpty());
    }
}

TEST_F(WindowAndChoicesTest, TypedDestinationIsCheckedAsAChosenOne) {
    QTemporaryDir out;
    QFile file(out.filePath(QStringLiteral("a-file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    CSelectDestinationDlg dlg;
    auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("FolderPath"));
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->isReadOnly());
    const auto typeAndOk = [&](const QString& text) {
        edit->clear();
        QTest::keyClicks(edit, text);
        boxes().clear();
        dlg.setResult(QDialog::Rejected);
        dlg.accept();
        return boxes().shownTexts().value(0);
    };
    EXPECT_EQ(typeAndOk(QString()), SaveTexts::kSelectFolderPath);
    EXPECT_EQ(typeAndOk(QStringLiteral("   ")), SaveTexts::kSelectFolderPath);
    // A missing folder is offered to be made (declined here).
    EXPECT_EQ(typeAndOk(out.path() + QStringLiteral("/missing")),
              SaveTexts::kCreateFolder.arg(out.path() + QStringLiteral("/missing")));
    EXPECT_EQ(typeAndOk(out.filePath(QStringLiteral("a-file"))), SaveTexts::kInvalidPath);  // not a folder
    EXPECT_EQ(typeAndOk(QStringLiteral("relative/folder")), SaveTexts::kInvalidPath);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    // A good path, typed with blanks and a trailing slash: accepted, cleaned.
    EXPECT_TRUE(typeAndOk(QStringLiteral("  ") + out.path() + QStringLiteral("/  ")).isEmpty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.FolderPath(), out.path());
    EXPECT_EQ(dlg.NewFolderName(), QStringLiteral("ConvertedItems"));
    EXPECT_EQ(dlg.OutputRoot(), out.path() + QStringLiteral("/ConvertedItems"));
    EXPECT_EQ(CSelectDestinationDlg::TypedPath(QStringLiteral("~")), QDir::homePath());
    EXPECT_EQ(CSelectDestinationDlg::TypedPath(QStringLiteral("~/x//y/")), QDir::homePath() + QStringLiteral("/x/y"));
}

TEST_F(WindowAndChoicesTest, PreviewOfASourceThatCannotBeOpenedStaysOnStepOne) {
    fake->unreadable = {"/d/gone.nsf"};
    addFiles({"/d/gone.nsf"});
    step1()->List()->selectRow(0);
    step1()->OnPreview();
    auto* step2 = static_cast<C2TovanFolderTreeView*>(host()->Page(1));
    ASSERT_TRUE(step2->WaitForIdle(10000));
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    EXPECT_EQ(frame->m_bStepOneActive, 1);
    EXPECT_EQ(frame->m_nCurrentStep, 1);
    EXPECT_EQ(boxes().shownTexts(), QStringList{QStringLiteral("File does not exist")});
    EXPECT_EQ(listedPaths(), QStringList{"/d/gone.nsf"});
    EXPECT_FALSE(frame->ProgressWaitDialog()->isVisible());
    // Step 1 works on as before.
    boxes().clear();
    step1()->OnRemoveAll();
    EXPECT_TRUE(listedPaths().isEmpty());
}

TEST_F(WindowAndChoicesTest, SourceListPicksSeveralRowsAndSortsByItsHeader) {
    addFiles({"/d/b.nsf", "/d/c.nsf", "/d/a.nsf"});
    QTableWidget* list = step1()->List();
    ASSERT_EQ(listedPaths(), QStringList({"/d/a.nsf", "/d/c.nsf", "/d/b.nsf"}));
    // Click, Ctrl+click, Shift+click pick whole rows.
    ClickRow(list, 0);
    ClickRow(list, 2, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(list), QList<int>({0, 2}));
    EXPECT_EQ(list->selectionModel()->selectedIndexes().size(), 4);  // both columns of both rows
    ClickRow(list, 1);
    ClickRow(list, 2, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(list), QList<int>({1, 2}));
    EXPECT_TRUE(boxes().shownTexts().isEmpty());
    step1()->OnRemove();
    EXPECT_EQ(listedPaths(), QStringList{"/d/a.nsf"});

    // A header click sorts; the next one reverses; the export order is the shown order.
    addFiles({"/d/m.nsf", "/d/z.nsf"});
    ClickHeader(list, 0);
    EXPECT_EQ(listedPaths(), QStringList({"/d/a.nsf", "/d/m.nsf", "/d/z.nsf"}));
    ClickHeader(list, 0);
    EXPECT_EQ(listedPaths(), QStringList({"/d/z.nsf", "/d/m.nsf", "/d/a.nsf"}));
    // The columns fill the list.
    const int used = list->horizontalHeader()->length();
    EXPECT_EQ(used, list->viewport()->width());
}

TEST_F(WindowAndChoicesTest, KeyboardReachesEveryControlAndLettersTypeInTextFields) {
    addFiles({"/d/a.nsf"});
    boxes().clear();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    // Tab goes from the list through the buttons and back to the list.
    step1()->List()->setFocus();
    QList<QWidget*> visited;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget());
    }
    const QList<QWidget*> expected = {step1()->AddFilesButton(),  step1()->AddDominoButton(),
                                      step1()->RemoveButton(),    step1()->RemoveAllButton(),
                                      step1()->PreviewButton(),   step1()->NextButton(),
                                      step1()->List()};
    EXPECT_EQ(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(step1()->NextButton()));
    EXPECT_TRUE(boxes().shownTexts().isEmpty());

    // The menus carry the desktop's usual keys.
    QStringList shortcuts;
    for (QAction* a : frame->findChildren<QAction*>())
        if (!a->shortcut().isEmpty()) shortcuts.append(a->text() + QLatin1Char('=') + a->shortcut().toString());
    EXPECT_TRUE(shortcuts.contains(AppTexts::kCmdAddFiles + QStringLiteral("=Ctrl+O")));
    EXPECT_TRUE(shortcuts.contains(AppTexts::kCmdHelp + QStringLiteral("=F1")));
    EXPECT_TRUE(shortcuts.contains(AppTexts::kCmdExit + QStringLiteral("=Ctrl+Q")));

    // A letter typed where text goes is text: X does not close, H does not open the manual.
    QLineEdit field(step1());
    field.show();
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_X);
    QTest::keyClick(&field, Qt::Key_H);
    EXPECT_EQ(field.text(), QStringLiteral("xh"));
    EXPECT_TRUE(boxes().shown().isEmpty());
    // A read-only text (the preview) is a text field too: the letter does not reach the frame's keys.
    field.setReadOnly(true);
    QTest::keyClick(&field, Qt::Key_X);
    EXPECT_TRUE(boxes().shown().isEmpty());
    // Outside a text field the letter is the wizard's key again.
    step1()->List()->setFocus();
    QTest::keyClick(frame.get(), Qt::Key_X);
    EXPECT_EQ(boxes().shownTexts(), QStringList{AppTexts::kConfirmClose});
}

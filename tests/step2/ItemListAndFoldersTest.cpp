// The item list as a list the user sorts and picks rows in, and what Step 2
// says when a database has nothing to show or cannot be opened.
#include "Step2TestSupport.h"

#include "steps/CFolderTreeWidget.h"
#include "steps/CItemListGrid.h"
#include "steps/CPreviewPane.h"
#include "steps/FolderTreeTexts.h"
#include "widgets/CSortableTableItem.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest/QTest>

using namespace step2test;

namespace {
class ItemListAndFoldersTest : public Step2Fixture {
protected:
    void ClickHeader(int column) {
        QHeaderView* header = step2()->List()->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
    }
    void ClickCell(int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        CItemListGrid* list = step2()->List();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualRect(list->model()->index(row, 1)).center());
    }
    QStringList Column(int column) const {
        QStringList cells;
        for (int r = 0; r < step2()->List()->rowCount(); ++r) cells.append(step2()->List()->Cell(r, column));
        return cells;
    }
    // Every row still carries the note ID and kind it was listed with.
    void ExpectRowsKeepTheirItems(const QMap<QString, QPair<quint32, int>>& bySubject) const {
        CItemListGrid* list = step2()->List();
        for (int r = 0; r < list->rowCount(); ++r) {
            const auto listed = bySubject.value(list->Cell(r, 1));
            EXPECT_EQ(list->NoteIdOf(r), listed.first) << "row " << r;
            EXPECT_EQ(list->KindOf(r), listed.second) << "row " << r;
            EXPECT_EQ(list->item(r, 3)->background().color(), CItemListGrid::RowColour(listed.second)) << "row " << r;
        }
    }
};
}  // namespace

TEST_F(ItemListAndFoldersTest, HeaderClickSortsAndEveryRowKeepsItsNoteId) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    CItemListGrid* list = step2()->List();
    ASSERT_EQ(list->rowCount(), 6);
    QMap<QString, QPair<quint32, int>> bySubject;
    for (int r = 0; r < list->rowCount(); ++r) bySubject[list->Cell(r, 1)] = {list->NoteIdOf(r), list->KindOf(r)};
    ASSERT_EQ(bySubject.size(), 6);

    ClickHeader(1);
    QStringList subjects = Column(1);
    QStringList sorted = subjects;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(subjects, sorted);
    ExpectRowsKeepTheirItems(bySubject);
    ClickHeader(1);
    std::reverse(sorted.begin(), sorted.end());
    EXPECT_EQ(Column(1), sorted);
    ExpectRowsKeepTheirItems(bySubject);

    // Dates sort by time, not by their text (dd/MM/yyyy).
    ClickHeader(2);
    qint64 last = -2;
    for (const QString& date : Column(2)) {
        const qint64 key = CSortableTableItem::DateKey(date);
        EXPECT_GE(key, last) << date.toStdString();
        last = key;
    }
    ExpectRowsKeepTheirItems(bySubject);

    // A click on a sorted row reports that row's item.
    QSignalSpy clicked(list, &CItemListGrid::itemClicked);
    ClickCell(4);
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.first().at(0).toUInt(), bySubject.value(list->Cell(4, 1)).first);
    EXPECT_EQ(clicked.first().at(1).toInt(), 5);

    // Listing the folder again keeps the chosen order.
    ClickFolder(QStringLiteral("($Inbox)\\"));
    last = -2;
    for (const QString& date : Column(2)) {
        EXPECT_GE(CSortableTableItem::DateKey(date), last);
        last = CSortableTableItem::DateKey(date);
    }
    ExpectRowsKeepTheirItems(bySubject);
}

TEST_F(ItemListAndFoldersTest, RowsArePickedWholeAndSeveralAtATime) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    CItemListGrid* list = step2()->List();
    ClickCell(0);
    ClickCell(2, Qt::ShiftModifier);
    ClickCell(4, Qt::ControlModifier);
    QList<int> chosen;
    for (int r = 0; r < list->rowCount(); ++r)
        if (list->RowChosen(r)) chosen.append(r);
    EXPECT_EQ(chosen, QList<int>({0, 1, 2, 4}));
    EXPECT_EQ(list->SelectedCellCount(), 4 * 5);  // whole rows
    // The columns fill the list and "Attachment" gets room of its own.
    EXPECT_EQ(list->horizontalHeader()->length(), list->viewport()->width());
    EXPECT_GE(list->columnWidth(4), 100);
}

TEST_F(ItemListAndFoldersTest, ADatabaseWithNothingToShowSaysSo) {
    // Only a view, and views are not shown as folders: the pane says so and names the setting.
    TestDatabase viewsOnly(QStringLiteral("views-only"));
    const uint32_t note = viewsOnly.Add({TextItem("Subject", "Alone")});
    viewsOnly.store->addFolder("Open Tasks", false, {note});
    viewsOnly.Register();
    TestDatabase bare(QStringLiteral("bare"));
    bare.Add({TextItem("Subject", "Nowhere")});
    bare.Register();

    const auto open = [&](const QString& path) {
        frame->SetSourceMode(SingleFile);
        frame->SetSourcePath(path);
        frame->GoToNextStep(0);
        ASSERT_TRUE(step2()->WaitForIdle(10000));
    };
    open(viewsOnly.Path());
    EXPECT_EQ(host()->CurrentPageIndex(), 1);
    EXPECT_EQ(step2()->Preview()->MessageState(), FolderTreeTexts::MsgNoFolders);
    EXPECT_TRUE(step2()->Preview()->Viewer()->toPlainText().contains(QStringLiteral("Advance Settings")));
    EXPECT_TRUE(boxes().shownTexts().isEmpty());

    // With views shown, the view is there to browse.
    frame->Notes().showViewFolders = 1;
    frame->GoToNextStep(-1);
    open(viewsOnly.Path());
    EXPECT_EQ(step2()->Preview()->MessageState(), FolderTreeTexts::MsgSelectItem);
    ASSERT_NE(step2()->Tree()->RootItem(), nullptr);

    // No folder and no view at all.
    frame->GoToNextStep(-1);
    open(bare.Path());
    EXPECT_EQ(step2()->Preview()->MessageState(), FolderTreeTexts::MsgNoFoldersOrViews);
    EXPECT_TRUE(step2()->Preview()->Viewer()->toPlainText().contains(FolderTreeTexts::kPaneNoFoldersOrViews));
}

TEST_F(ItemListAndFoldersTest, ASourceThatCannotBeOpenedLeadsBackToTheSourceList) {
    frame->SetSourceMode(SingleFile);
    frame->SetSourcePath(QStringLiteral("/nowhere/missing.nsf"));
    frame->GoToNextStep(0);
    ASSERT_TRUE(step2()->WaitForIdle(10000));
    EXPECT_EQ(host()->CurrentPageIndex(), 0);
    ASSERT_EQ(boxes().shownTexts().size(), 1);
    EXPECT_FALSE(boxes().shownTexts().first().isEmpty());
    EXPECT_EQ(frame->m_nCurrentStep, 1);
}

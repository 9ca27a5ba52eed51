#include "steps/CItemListGrid.h"

#include "items/NotesItemKind.h"
#include "steps/CPauseGate.h"
#include "steps/FolderTreeTexts.h"
#include "widgets/CSortableTableItem.h"
#include "widgets/ListColumns.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMetaObject>
#include <QPointer>
#include <QThread>

namespace {
constexpr int kNoteIdRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;
}  // namespace

CItemListGrid::CItemListGrid(QWidget* parent) : QTableWidget(0, 5, parent) {
    setObjectName(QStringLiteral("ItemList"));
    QStringList headers;
    for (const UiText& h : FolderTreeTexts::kColumns) headers.append(h);
    setHorizontalHeaderLabels(headers);
    horizontalHeader()->setFixedHeight(60);
    horizontalHeader()->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    horizontalHeader()->setHighlightSections(false);
    setColumnWidth(4, 130);
    // The columns fill the list at any width: "Subject" takes what the others leave.
    const QFontMetrics metrics(font());
    const int dateWidth = metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + 14;
    m_columns = std::make_unique<CColumnShares>(this, QList<int>{22, 0, 17, 10, 17}, 1,
                                                QList<int>{80, 0, dateWidth, 60, 90});
    EnableHeaderSorting(this);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 230));
    setPalette(pal);
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) { EmitClick(row); });
}

CItemListGrid::~CItemListGrid() = default;

void CItemListGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    m_columns->Apply();
}

void CItemListGrid::FinishFilling() { ApplyHeaderSorting(this); }

QColor CItemListGrid::RowColour(int kind) {
    switch (kind) {
    case Calendar: return QColor(211, 255, 168);
    case Contact: return QColor(223, 244, 255);
    case Task: return QColor(233, 210, 255);
    case Journal: return QColor(255, 225, 240);
    default: return QColor(252, 255, 255);
    }
}

int CItemListGrid::RowHeight(int kind) {
    switch (kind) {
    case Calendar:
    case Contact:
    case Task:
    case Journal: return 50;
    default: return 0;
    }
}

void CItemListGrid::ClearRows() {
    clearSelection();
    setRowCount(0);
    m_nRowsAdded = 0;
}

int CItemListGrid::addRow(int kind, const QString& column0) {
    if (m_gate) m_gate->Checkpoint();
    const int row = m_nRowsAdded.fetch_add(1);
    if (QThread::currentThread() == thread()) {
        AddRowOnUi(row, kind, column0);
    } else {
        QPointer<CItemListGrid> self(this);
        QMetaObject::invokeMethod(
            this, [self, row, kind, column0] { if (self) self->AddRowOnUi(row, kind, column0); },
            Qt::QueuedConnection);
    }
    return row;
}

void CItemListGrid::setColumn(int row, int column, const QString& text) {
    if (QThread::currentThread() == thread()) {
        SetColumnOnUi(row, column, text);
        return;
    }
    QPointer<CItemListGrid> self(this);
    QMetaObject::invokeMethod(
        this, [self, row, column, text] { if (self) self->SetColumnOnUi(row, column, text); }, Qt::QueuedConnection);
}

void CItemListGrid::setRowNoteId(int row, quint32 noteId) {
    if (QThread::currentThread() == thread()) {
        SetNoteIdOnUi(row, noteId);
        return;
    }
    QPointer<CItemListGrid> self(this);
    QMetaObject::invokeMethod(
        this, [self, row, noteId] { if (self) self->SetNoteIdOnUi(row, noteId); }, Qt::QueuedConnection);
}

QTableWidgetItem* CItemListGrid::CellItem(int row, int column) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new CSortableTableItem;
        setItem(row, column, cell);
    }
    return cell;
}

void CItemListGrid::AddRowOnUi(int row, int kind, const QString& column0) {
    if (row != rowCount()) return;  // a row of a list that has been cleared since
    insertRow(row);
    const QColor colour = RowColour(kind);
    for (int c = 0; c < columnCount(); ++c) {
        auto* cell = new CSortableTableItem;
        cell->setBackground(colour);
        cell->setForeground(Qt::black);
        cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setItem(row, c, cell);
    }
    item(row, 0)->setData(kKindRole, kind);
    SetColumnOnUi(row, 0, column0);
    if (const int h = RowHeight(kind)) setRowHeight(row, h);
}

void CItemListGrid::SetColumnOnUi(int row, int column, const QString& text) {
    QTableWidgetItem* cell = CellItem(row, column);
    if (!cell) return;
    cell->setText(text);
    cell->setToolTip(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // Dates sort by time and sizes by number, not by their text.
    if (column == 2 || column == 3) {
        const qint64 key = column == 2 ? CSortableTableItem::DateKey(text) : CSortableTableItem::NumberKey(text);
        cell->setData(CSortableTableItem::kSortKeyRole, key);
    }
}

void CItemListGrid::SetNoteIdOnUi(int row, quint32 noteId) {
    if (QTableWidgetItem* cell = CellItem(row, 0)) cell->setData(kNoteIdRole, noteId);
}

quint32 CItemListGrid::NoteIdOf(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->data(kNoteIdRole).toUInt() : 0;
}

int CItemListGrid::KindOf(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? cell->data(kKindRole).toInt() : 0;
}

QString CItemListGrid::Cell(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

bool CItemListGrid::RowChosen(int row) const {
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem* cell = item(row, c);
        if (cell && cell->isSelected()) return true;
    }
    return false;
}

int CItemListGrid::SelectedCellCount() const { return int(selectedIndexes().size()); }

void CItemListGrid::EmitClick(int row) {
    if (row < 0 || row >= rowCount()) return;
    emit itemClicked(NoteIdOf(row), row + 1);
}

void CItemListGrid::keyReleaseEvent(QKeyEvent* event) {
    QTableWidget::keyReleaseEvent(event);
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) EmitClick(currentRow());
}

#pragma once

#include "convert/ProgressInterfaces.h"

#include <QTableWidget>

#include <atomic>
#include <memory>

class CColumnShares;
class CPauseGate;

// The item list of the folder selection step: five columns ("From",
// "Subject", "Date", "Size in Bytes", "Attachment"), one row per item,
// coloured and sized by the item's kind, the note ID kept in the row. Any
// selected cell chooses its row. A click on a row, or releasing Up or Down,
// reports the item.
//
// The core fills it through IItemList from a worker thread: rows are handed
// to the grid's thread in order, never waited for; each new row is a
// checkpoint of the pause gate.
class CItemListGrid : public QTableWidget, public IItemList {
    Q_OBJECT
public:
    explicit CItemListGrid(QWidget* parent = nullptr);
    ~CItemListGrid() override;

    void SetPauseGate(CPauseGate* gate) { m_gate = gate; }
    // Deletes every data row (UI thread); the header stays.
    void ClearRows();
    // Rows handed over by addRow since the last ClearRows (any thread).
    int RowsAdded() const { return m_nRowsAdded; }
    // The list is complete: it is sorted again by the column the user chose, if any.
    void FinishFilling();

    // IItemList (any thread).
    int addRow(int kind, const QString& column0) override;
    void setColumn(int row, int column, const QString& text) override;
    void setRowNoteId(int row, quint32 noteId) override;

    quint32 NoteIdOf(int row) const;
    int KindOf(int row) const;
    QString Cell(int row, int column) const;
    // Whether any cell of the row is selected.
    bool RowChosen(int row) const;
    // The number of selected cells.
    int SelectedCellCount() const;

    static QColor RowColour(int kind);
    static int RowHeight(int kind);  // 0: the default height

signals:
    // wParam: the note ID; lParam: the row number (1-based, row 0 is the header).
    void itemClicked(quint32 noteId, int rowNumber);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void AddRowOnUi(int row, int kind, const QString& column0);
    void SetColumnOnUi(int row, int column, const QString& text);
    void SetNoteIdOnUi(int row, quint32 noteId);
    QTableWidgetItem* CellItem(int row, int column);
    void EmitClick(int row);

    CPauseGate* m_gate = nullptr;
    std::atomic<int> m_nRowsAdded{0};
    std::unique_ptr<CColumnShares> m_columns;
};

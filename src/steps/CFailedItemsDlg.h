#pragma once

#include "app/FailedItem.h"

#include <QDialog>

class QTableWidget;

// The items of a run that produced no document: folder, note ID and why.
class CFailedItemsDlg : public QDialog {
    Q_OBJECT
public:
    CFailedItemsDlg(const FailedItemList& failures, QWidget* parent = nullptr);
    QTableWidget* Table() const { return m_pTable; }
    // The list as tab-separated text, one item a line.
    QString AsText() const;

private:
    FailedItemList m_failures;
    QTableWidget* m_pTable;
};

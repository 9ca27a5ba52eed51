#pragma once

#include "app/FailedItem.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The end of a run: where the documents went, as a link that opens the
// folder, and how many items produced no document, with a way to see them.
class CSaveCompleteDlg : public QDialog {
    Q_OBJECT
public:
    // found/written: items found and documents written, -1 when not counted.
    CSaveCompleteDlg(const QString& caption, const QString& location, const FailedItemList& failures,
                     QWidget* parent = nullptr, int found = -1, int written = -1);
    QString Location() const { return m_strLocation; }
    QString FailureText() const;
    QString CountText() const;
    void OnShowFailures();

private:
    QString m_strLocation;
    FailedItemList m_failures;
    int m_nFound;
    int m_nWritten;
    QLabel* m_pFailureLabel;
    QPushButton* m_pShowFailures;
};

#pragma once

#include "app/FailedItem.h"
#include "app/RunTally.h"
#include "export/OutputFormat.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The end of a run: where the documents went, as a link and an "Open Folder"
// button that open the folder, and how many items produced no document, with
// a way to see them. A run in which something failed, or that wrote nothing,
// shows the warning icon, and a folder that was never created is not offered.
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
    void OnOpenFolder();

    // The whole run's counts and the items and sources it did not reach; these
    // are listed by "Show Item(s)..." after the failures.
    void SetTally(const RunTally& tally, const FailedItemList& notConverted);
    bool HasTally() const { return m_bTally; }
    // Written items whose document the office engine wrote for the native
    // engine: counted in a note of their own (they are not failures) and
    // listed by "Show Item(s)..." after the items without a document.
    void SetWrittenByOffice(const FailedItemList& items);
    QString WrittenByOfficeText() const;
    // The documents' format, named in the text above the location.
    void SetFormatName(OutputFormat format);
    // Every entry "Show Item(s)..." lists.
    FailedItemList ListedItems() const;
    QString NotConvertedText() const;
    QString SavedAtText() const;
    QPushButton* ShowItemsButton() const { return m_pShowFailures; }

    // The run wrote no document (known to the caller when the core does not count).
    void SetNothingSaved(bool nothing);
    bool NothingSaved() const { return m_bNothingSaved; }
    // Documents of the run's databases that no saved folder held: said, with
    // how to save them, when there are any.
    void SetLeftBehind(int documents);
    int LeftBehind() const { return m_nLeftBehind; }
    // Items the run's date range left out: counted when there are any.
    void SetOutsideDateRange(int items);
    // Warning icon: something failed or nothing was written.
    bool IsWarning() const;
    // Whether the location is offered as a link and through "Open Folder" (it exists).
    bool OffersFolder() const;
    QPushButton* OpenFolderButton() const { return m_pOpenFolder; }

private:
    void UpdateLook();

    QString m_strLocation;
    FailedItemList m_failures;
    FailedItemList m_notConverted;
    FailedItemList m_byOffice;
    RunTally m_tally;
    bool m_bTally = false;
    OutputFormat m_format = OutputFormat::Doc;
    QLabel* m_pCount = nullptr;
    QLabel* m_pNotConverted = nullptr;
    int m_nFound;
    int m_nWritten;
    bool m_bNothingSaved = false;
    int m_nLeftBehind = 0;
    QLabel* m_pPicture;
    QLabel* m_pText;
    QLabel* m_pLink;
    QLabel* m_pFailureLabel;
    QLabel* m_pLeftBehind = nullptr;
    QLabel* m_pOutside = nullptr;
    QLabel* m_pByOffice = nullptr;
    QPushButton* m_pShowFailures;
    QPushButton* m_pOpenFolder;
};

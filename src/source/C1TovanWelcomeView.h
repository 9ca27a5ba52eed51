#pragma once

#include "app/CTovanCommonBaseView.h"
#include "source/NsfSourceEntry.h"

#include <QList>

#include <memory>

class CColumnShares;
class QPushButton;
class QTableWidget;

// Step 1: the list of sources (NSF files, Notes XML exports, databases on
// Domino servers). Preview browses one file in Step 2; Export saves the
// whole list through Step 3.
class C1TovanWelcomeView : public CTovanCommonBaseView {
    Q_OBJECT
public:
    explicit C1TovanWelcomeView(CMainFrame* frame);
    ~C1TovanWelcomeView() override;

    void OnInitialUpdate() override;
    int OnActivate() override;
    void OnNext() override;     // Export
    void OnPreview() override;
    void OnStepKey(int message, int key) override;

    void OnAddFiles();
    // Adds local files as the Add Files dialog does: one named twice is said
    // once, paths without .NSF or .DXL are left out, network files warned of.
    void AddFiles(const QStringList& paths);
    void OnAddDominoFiles();
    void OnRemove();
    void OnRemoveAll();
    // Adds databases chosen on a Domino server (WM_ADD_SERVER_FILES).
    void AddServerFiles(const QString& serverName, const QStringList& paths);

    // The rows in display order.
    QList<NsfSourceEntry> Entries() const;
    QTableWidget* List() const { return m_pList; }
    QPushButton* AddFilesButton() const { return m_btnAddFiles; }
    QPushButton* AddDominoButton() const { return m_btnAddDomino; }
    QPushButton* RemoveButton() const { return m_btnRemove; }
    QPushButton* RemoveAllButton() const { return m_btnRemoveAll; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void InsertRowOnTop(const NsfSourceEntry& entry);
    // Runs the page's action for a key; `tabPosition` is the route's own place in the Tab order.
    bool HandleKey(int key, int& tabPosition);
    // The order Tab moves the focus in: the list, the four buttons, Preview, Export.
    QList<QWidget*> TabOrder() const;
    void MoveFocus(int& tabPosition, bool forward);
    void WatchChildren();

    QTableWidget* m_pList;
    QPushButton* m_btnAddFiles;
    QPushButton* m_btnAddDomino;
    QPushButton* m_btnRemove;
    QPushButton* m_btnRemoveAll;
    std::unique_ptr<CColumnShares> m_columns;
    int m_nPageTabPosition = -1;
    int m_nForwardedTabPosition = -1;
};

#pragma once

#include "app/CTovanCommonBaseView.h"
#include "app/FailedItem.h"
#include "steps/CLargeBodyAsker.h"
#include "steps/CPauseGate.h"

#include <atomic>
#include <memory>

class CFolderTreeWidget;
class CItemListGrid;
class CNotesWorkerThread;
class CPreviewPane;
class CSavingItemsDlg;
class IDocumentExporter;
class QLabel;
class QPushButton;
class QSplitter;

// Step 2, "Folder Selection": the folders of one database as a check-box
// tree, the items of the folder clicked in a list, the item clicked in the
// preview pane. Ticked folders go to Step 3 through Export; listed items can
// be saved at once with "Save Selected" / "Save All". Folder listing, item
// listing and the item save run on workers of this step, which stop
// cooperatively (pause gate while a stop question is open, never killed).
class C2TovanFolderTreeView : public CTovanCommonBaseView {
    Q_OBJECT
public:
    explicit C2TovanFolderTreeView(CMainFrame* frame);
    ~C2TovanFolderTreeView() override;

    void OnInitialUpdate() override;
    int OnActivate() override;
    void OnNext() override;
    void OnBack() override;
    void OnStop() override;
    void OnStepKey(int message, int key) override;
    void SaveLayout(QSettings& settings) const override;

    // The folder path of a clicked label: lists its items.
    void OnFolderClicked(const QString& path);
    // A clicked item row: previews it.
    void OnItemClicked(quint32 noteId, int rowNumber);
    // "Save Selected" (true) or "Save All" (false).
    void OnSaveItems(bool selectedOnly);

    // State, for the frame and for tests.
    int ItemsReady() const { return m_bItemsReady; }
    int Busy() const { return m_bBusy; }
    int ItemSaveAborted() const { return m_bItemSaveAborted; }
    int ItemSavingMode() const { return m_nItemSavingMode; }
    // True while a worker runs or its end has not been handled yet.
    bool IsWorking() const;
    // Processes events until no worker runs; false on timeout.
    bool WaitForIdle(int timeoutMs);
    static QString CurrentFolderName();
    QString PreviewText() const { return m_strPreviewText; }

    CFolderTreeWidget* Tree() const { return m_pTree; }
    CItemListGrid* List() const { return m_pList; }
    CPreviewPane* Preview() const { return m_pPreview; }
    QPushButton* SaveSelectedButton() const { return m_btnSaveSelected; }
    QPushButton* SaveAllButton() const { return m_btnSaveAll; }
    CSavingItemsDlg* SavingDialog() const { return m_pSavingDlg; }
    CPauseGate& PauseGate() { return m_gate; }
    QSplitter* OuterSplitter() const { return m_pOuter; }
    QSplitter* RightSplitter() const { return m_pRight; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // ok: the listing succeeded; cancelled: it was stopped; listed: folders listed.
    void OnFolderThreadEnd(bool ok, const QString& error, bool cancelled, int listed);
    void OnListThreadEnd();
    void OnItemSaveEnd(bool aborted, int written, int attempted);
    void SetWorkControlsEnabled(bool enabled);
    void StopByKey();
    void JoinWorkers();

    CFolderTreeWidget* m_pTree;
    CItemListGrid* m_pList;
    CPreviewPane* m_pPreview;
    QSplitter* m_pOuter;
    QSplitter* m_pRight;
    QLabel* m_pIcon;
    QPushButton* m_btnSaveAll;
    QPushButton* m_btnSaveSelected;
    CSavingItemsDlg* m_pSavingDlg;
    std::unique_ptr<IDocumentExporter> m_pWordExporter;
    std::unique_ptr<CNotesWorkerThread> m_hFolderThread;  // folder listing or item save
    std::unique_ptr<CNotesWorkerThread> m_hListThread;
    bool m_bFolderWork = false;  // a folder listing or item save has not ended yet
    bool m_bListWork = false;
    bool m_bSaveWork = false;
    std::atomic<int> m_bItemsReady{0};
    std::atomic<int> m_bBusy{0};
    std::atomic<int> m_bItemSaveStop{0};
    std::atomic<int> m_bItemSaveAborted{0};
    int m_nItemSavingMode = 1;
    int m_nTabPosition = -1;
    CPauseGate m_gate;
    CLargeBodyAsker m_asker;
    QString m_strPreviewText;
    QString m_strSubject;
    QString m_strFrom;
    QString m_strDate;
    QString m_strAttachment;
    FailedItemList m_itemSaveFailures;
};

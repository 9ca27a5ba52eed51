#pragma once

#include "app/CTovanCommonBaseView.h"
#include "items/ItemDateRange.h"
#include "steps/CPauseGate.h"

#include <atomic>
#include <functional>
#include <memory>

class CProgressBarAdapter;
class QTimer;
class CSaveThread;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// Step 3, "Saving Progress": asks for the saving mode and runs the save
// thread, with a row per source file, three bars, a status line, Stop and
// the completion dialog.
class C3TovanSaveNsfToPst : public CTovanCommonBaseView {
    Q_OBJECT
public:
    explicit C3TovanSaveNsfToPst(CMainFrame* frame);
    ~C3TovanSaveNsfToPst() override;

    void OnInitialUpdate() override;
    int OnActivate() override;
    void OnNext() override;
    void OnBack() override;
    void OnExit() override;
    void OnStop() override;
    void OnStepKey(int message, int key) override;

    bool IsRunning() const;
    // Before Step 3 is shown: the office advice and the saving-mode dialog,
    // the mode kept for the run. False when cancelled: the step that asks
    // stays as it is. When not asked beforehand, Step 3 asks itself.
    bool AskSavingMode(QWidget* parent);
    // Whether the user has an office open (asked before each run: the advice
    // to close it is given only then).
    void SetOfficeProbe(std::function<bool()> probe) { m_officeRunning = std::move(probe); }
    // How long the start of a run keeps the cancel flag raised for earlier workers.
    void SetSettleMs(int ms) { m_nSettleMs = ms; }
    // Waits (processing events) until the current run has ended; false on timeout.
    bool WaitForRunEnd(int timeoutMs);

    QTableWidget* SourceList() const { return m_pList; }
    // The data role of a status cell that holds its look (SaveRunRules::RowLook).
    static constexpr int kLookRole = Qt::UserRole + 1;
    QLabel* StatusLabel() const { return m_pStatus; }
    QProgressBar* FolderBar() const { return m_pFolderBar; }
    QProgressBar* ItemStatusBar() const { return m_pItemStatusBar; }
    QProgressBar* ItemProgressBar() const { return m_pItemProgressBar; }
    // "File 2 of 5" over a list export.
    QProgressBar* FileBar() const { return m_pFileBar; }
    QPushButton* OpenFolderButton() const { return m_btnOpenFolder; }
    // Where the last run wrote (what "Open Folder" opens).
    QString OutputLocation() const { return m_strOutputLocation; }
    // How the last run ended (SaveRunRules::RunEnd).
    int LastRunEnd() const { return m_nRunEnd; }
    CPauseGate& PauseGate() { return m_gate; }
    int StopSaving() const { return m_bStopSaving; }
    // The item bar from the run's tally: what has been written, failed or
    // left, not what has been handed to a writer. A timer calls it while a run goes.
    void UpdateItemBar();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Left and Right on a button of the page are the step's keys, not the
    // buttons' own move through the focus chain.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetIdle();
    void OnRunStarted();
    // Shows the run's date range above the status line while it is active.
    void ShowDateRange(const ItemDateRange& range);
    void OnRunFinished(bool stopped, bool singleFileFailed, int sources, int saved, int failed,
                       const QString& endedEarly);
    void OnFileProgress(int number, int total);
    void OnOpenFolder();
    void OnRowsReset(const QStringList& paths, const QStringList& servers);
    void OnRowStatus(int row, const QString& status, const QString& detail, int look);
    // Status and Server as wide as their texts (within the list's width); the file name takes the rest.
    void FitColumns();
    void SetStatusColour(bool good);
    void SetBarsVisible(bool visible);
    bool AskLongPath(const QString& storedName, QString* folder, QString* name);
    void TearDown();

    QTableWidget* m_pList;
    QLabel* m_pStatus;
    QProgressBar* m_pItemProgressBar;
    QProgressBar* m_pItemStatusBar;
    QProgressBar* m_pFolderBar;
    QProgressBar* m_pFileBar;
    QPushButton* m_btnOpenFolder;
    QLabel* m_pDateRange;  // the active date range, shown during and after a run
    QString m_strOutputLocation;
    int m_nRunEnd = 0;
    std::unique_ptr<CProgressBarAdapter> m_pItemProgressAdapter;
    std::unique_ptr<CProgressBarAdapter> m_pItemStatusAdapter;
    std::unique_ptr<CProgressBarAdapter> m_pFolderAdapter;
    std::unique_ptr<CSaveThread> m_hSaveThread;
    std::atomic<int> m_bStopSaving{0};
    CPauseGate m_gate;
    int m_nSettleMs = 2000;
    std::function<bool()> m_officeRunning;
    bool m_bModeChosen = false;  // AskSavingMode() answered for the next run
    int m_nTabPosition = -1;
    bool m_bRunEnded = true;
    QTimer* m_pItemBarTimer;
    int m_nFolderFound0 = -1;  // the run's counts as the current folder started (-1: none yet)
    int m_nFolderDone0 = 0;
};

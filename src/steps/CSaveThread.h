#pragma once

#include <QStringList>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class CMainFrame;
class CPauseGate;
class IProgressBar;

// The save step's worker: file by file (list export) or the chosen folders
// of one file, folder by folder through the frame's hub operations. It
// reports to the page only through queued signals and stops cooperatively:
// it reads the stop flag before every file and folder and waits at the
// pause gate while a stop question is open.
class CSaveThread : public QThread {
    Q_OBJECT
public:
    enum Outcome { Success = 0, Cancelled = 1, Failure = 2 };

    struct Context {
        CMainFrame* frame = nullptr;
        std::atomic<int>* stopSaving = nullptr;
        CPauseGate* gate = nullptr;
        IProgressBar* folderBar = nullptr;
        int settleMs = 2000;
        // A list export saves every document of each file into the node of
        // every document instead of its folders.
        bool everyDocument = false;
        // Asks the user for another place for a folder whose path is too long
        // (runs on the UI thread); false: skip the folder.
        std::function<bool(const QString& storedName, QString* folder, QString* name)> askLongPath;
    };

    explicit CSaveThread(Context context, QObject* parent = nullptr);
    ~CSaveThread() override;

    // Makes a wait for the UI give up (tear-down).
    void AbortUiWaits();
    // Documents of the run's files that no saved folder held (read after the run).
    int LeftBehind() const { return m_leftBehind.load(); }

signals:
    void runStarted();
    void statusText(const QString& text);
    void barsVisible(bool visible);
    void listVisible(bool visible);
    void rowsReset(const QStringList& paths, const QStringList& servers);
    // A row's status word, what it rests on (reason and counts) and its look (SaveRunRules::RowLook).
    void rowStatus(int row, const QString& status, const QString& detail, int look);
    // A folder's items are about to be saved: the run's items found and
    // items done (written, failed, not converted, outside the date range) just before.
    void folderStarted(int found, int done);
    // A list export starts file `number` (1-based) of `total`.
    void fileProgress(int number, int total);
    // stopped: the user stopped the run; singleFileFailed: a one-file run could not start;
    // sources: how many sources the run had; saved/failed: sources of a list export whose
    // folders were all saved / that could not be saved (both 0 for a one-file run);
    // endedEarly: why a source's run ended before its end (empty: it did not).
    void runFinished(bool stopped, bool singleFileFailed, int sources, int saved, int failed,
                     const QString& endedEarly);

protected:
    void run() override;

private:
    Outcome SaveSelectedFolders();
    // The folders from `from` on were not reached: their items are counted and named.
    void ListFoldersNotConverted(const QStringList& folders, int from);
    bool Stopped() const;
    // Every bar of one file back to 0 before the next file starts.
    void ResetFileBars();
    bool AskLongPath(const QString& storedName, QString* folder, QString* name);
    // The folders a list export saves of the file just listed.
    QStringList ListExportFolders(const QStringList& listed);
    // After a file's folders were saved: counts what they left behind; false
    // when the file holds documents and no saved folder held one (named as a
    // failure of the file `source`).
    bool CountLeftBehind(const QString& source);

    Context m_ctx;
    std::atomic<int> m_leftBehind{0};
    std::atomic<bool> m_abortUi{false};
    std::mutex m_uiMutex;
    std::condition_variable m_uiCv;
};

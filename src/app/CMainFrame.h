#pragma once

#include "app/FailedItem.h"
#include "app/IConversionBackend.h"
#include "convert/CNotesConverter.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QMutex>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <functional>
#include <future>
#include <memory>

class CProgressWaitDlg;
class CTesselEmlConverterGuiView;
class CTovanCommonBaseView;
class IDocumentExporter;
class IItemList;
class QAction;
class QToolBar;

// Which sources the save step converts.
enum SourceMode { SingleFile = 1, FileList = 2 };

// The main window and hub of the wizard: it owns the Notes access object,
// the link to the folder export run and the Word automation object, holds
// the wizard's shared state, and the step pages reach the core only through
// its hub operations. Hub operations that do Notes or office work may be
// called from worker threads; the rest run on the UI thread.

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // backend null: the real core (CCoreConversionBackend).
    explicit CMainFrame(std::unique_ptr<IConversionBackend> backend = nullptr, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Builds bars, starts the Notes session, creates the wait dialog and the
    // step host. False when the program cannot go on (the reason was shown).
    bool OnCreate();
    // The frame published by the last successful OnCreate (null before).
    static CMainFrame* MainFrame();

    // ---- hub operations
    void GoToNextStep(int n);
    int GoToPreviousStep(int n);
    int EnumerateFolders(QStringList& folders, int flag);
    void ListFolderItems(const QString& folderName, IItemList* list);
    // Whether an office can write documents. Starting one to find out takes
    // seconds: a yes is kept for the session (a no is asked again, an office
    // may have been installed since), and a check begun in the background
    // by PrefetchWordCheck() is waited for instead of starting another.
    bool CheckWordAvailable();
    // Begins the check on a worker thread when prefetching is on and no
    // answer is kept yet.
    void PrefetchWordCheck();
    // The program turns prefetching on; a frame of its own (tests) asks when asked.
    void SetPrefetchWordCheck(bool on) { m_bPrefetchWordCheck = on; }
    // The box that asks to stop the saving before closing, while it is open.
    QMessageBox* StopSavingBox() const { return m_pStopSavingBox; }
    int PrepareWord();
    int SaveOneFolder(const QString& folderName);
    // Composes one item for the preview or the item save (CNotesConverter::RenderItem).
    int RenderItem(quint32 noteId, int rtfFlag, int purpose, QString& result, int& type, QStringList& names,
                   QStringList& sizes, QString* plainText = nullptr);
    // Writes the attachments of one item into folder.
    int SaveItemAttachments(quint32 noteId, const QString& folder,
                            QList<CNotesConverter::AttachmentFailure>* failures = nullptr);
    // A new Word automation object for a step of its own (null when none can exist).
    std::unique_ptr<IDocumentExporter> CreateWordExporter();
    void ShutdownWord();
    IDocumentExporter* WordExporter() const { return m_pWordExporter.get(); }
    void ShowProgress(const QString& text);
    void HideProgress();
    int EnumerateServers(QStringList& servers);
    // The lookups of the Domino server browser (cancelRequested is cleared first).
    int ListServerDatabases(const QString& serverName, QStringList& databases, QStringList& names,
                            const std::function<void()>& betweenDatabases = {});
    // Keeps a server typed in the browser among the known servers.
    void RememberDominoServer(const QString& serverName, const QString& url = QString());
    void AddDominoServerFiles(const QString& serverName, const QStringList& paths);
    void SetSourcePath(const QString& path);
    void SetServerName(const QString& server);
    void SetDestinationPath(const QString& path);
    void SetDestinationName(const QString& name);  // also clears the server name
    // The items of the current run that produced no document.
    FailedItemList GetFailedItems() const;
    void ClearFailedItems();
    void AddFailedItem(const FailedItem& item);
    // Items found and documents written in the current run; false when the core does not count them.
    bool GetItemCounts(int* found, int* written) const;
    // The whole run's counts (false when not counted) and what it did not reach.
    bool GetRunTally(RunTally* tally) const;
    FailedItemList GetNotConverted() const;
    // Written items whose document the office engine wrote for the native engine.
    FailedItemList GetWrittenByOffice() const;
    void ListFolderNotConverted(const QString& folderName);
    void AddNotConverted(const FailedItem& item);

    // ---- wizard state
    QString SourcePath() const;
    QString ServerName() const;
    QString DestFolderPath() const;
    QString DestFolderName() const;
    QStringList SelectedFolders() const;
    void SetSelectedFolders(const QStringList& folders);
    QStringList SourcePaths() const;
    QStringList SourceServers() const;
    void SetSourceList(const QStringList& paths, const QStringList& servers);
    QString ListDestRoot() const;
    void SetListDestRoot(const QString& root);
    int SourceMode() const { return m_nSourceMode; }
    void SetSourceMode(int mode) { m_nSourceMode = mode; }

    std::atomic<int> m_bSaving{0};
    std::atomic<int> m_nCurrentStep{0};
    std::atomic<int> m_bStepOneActive{0};
    unsigned char m_bShowViewFolders = 0;

    CNotesConverter& Notes() { return m_notes; }
    CTesselEmlConverterGuiView* StepHost() const { return m_pStepHost; }
    void SetStepHost(CTesselEmlConverterGuiView* host) { m_pStepHost = host; }
    void SetActiveView(CTovanCommonBaseView* view) { m_pActiveView = view; }
    CTovanCommonBaseView* ActiveView() const { return m_pActiveView; }
    CProgressWaitDlg* ProgressWaitDialog() const { return m_pProgressWaitDlg; }
    QString AppDirectory() const { return m_strAppDirectory; }

    // ---- commands
    // Runs the close handling; true when the window may close.
    bool CloseHandling();
    void OnHelp();
    void OnAbout();
    void OnAdvanceSettings();
    void OnHomePage();
    // Where Help finds the manual; empty when it is nowhere.
    QString HelpFilePath() const;
    // The folders looked at for the manual, in order.
    static QStringList HelpFilePlaces();
    // Reads the show-view-folders setting into the Notes access object.
    void ReadShowViewFolders();

    // ---- window place and size
    // The remembered size and place when they still fit a screen, else the default size, centred.
    void RestoreWindowSettings();
    // Remembers the size, the place, maximised or not, and the pages' splitters.
    void SaveWindowSettings();
    // Shows the window as it was left: maximised or at its size.
    void ShowAtStart();
    bool StartsMaximized() const { return m_bStartMaximized; }
    // About 1100 x 750, or 80% of a smaller available area.
    static QSize DefaultSize(const QSize& available);
    // The smallest size at which every step still shows its lists with rows (never more than the screen).
    static QSize MinimumFrameSize(const QSize& available);
    static constexpr int kMinWidth = 960;
    static constexpr int kMinHeight = 640;
    // Whether the keyboard focus is in a field that takes typed text (single-letter keys then type).
    static bool FocusInTextField();
    QAction* AdvanceSettingsAction() const { return m_actAdvance; }
    QAction* AddFilesAction() const { return m_actAdd; }
    QAction* AddDominoAction() const { return m_actDomino; }
    QAction* ExportAction() const { return m_actExport; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CreateBars();
    void SendToHost(int message);

    CNotesConverter m_notes;
    std::unique_ptr<IConversionBackend> m_backend;
    std::unique_ptr<IDocumentExporter> m_pWordExporter;

    mutable QMutex m_stateMutex;
    QString m_strSourcePath;
    QString m_strServerName;
    QStringList m_arrSelectedFolders;
    QString m_strDestFolderPath;
    QString m_strDestFolderName;
    QStringList m_arrSourcePaths;
    QStringList m_arrSourceServers;
    QString m_strListDestRoot;
    std::atomic<int> m_nSourceMode{0};

    QToolBar* m_pToolBar = nullptr;
    QAction* m_actAdvance = nullptr;
    QAction* m_actAdd = nullptr;
    QAction* m_actDomino = nullptr;
    QAction* m_actExport = nullptr;
    // The commands a page acts on are enabled while it is shown (page 0-2), the others not.
    void UpdateStepCommands(int page);
    CTesselEmlConverterGuiView* m_pStepHost = nullptr;
    // "Please stop the current saving process" while it is shown: one box,
    // closed when the saving ends.
    QPointer<QMessageBox> m_pStopSavingBox;
    bool m_bWordAvailable = false;       // an office answered once: kept
    bool m_bPrefetchWordCheck = false;
    std::future<bool> m_wordCheck;       // the background check, while it is not taken
    CTovanCommonBaseView* m_pActiveView = nullptr;
    CProgressWaitDlg* m_pProgressWaitDlg = nullptr;  // child of the frame
    QString m_strAppDirectory;
    bool m_bF5Down = false;
    bool m_bStartMaximized = false;
    bool m_bForceClose = false;
};

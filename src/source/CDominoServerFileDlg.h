#pragma once

#include "source/CServerTrust.h"
#include "steps/CPauseGate.h"

#include <QDialog>
#include <QMutex>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class CAnimateCtrl;
class CMainFrame;
class CNotesWorkerThread;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The Domino server browser: the user gets a server into the server list
// (typed, or from the servers the program knows), clicks it to list its
// databases, ticks databases and adds them to Step 1's source list, as often
// as wanted, then closes with Finish. Every lookup runs on a worker thread
// while an animation plays; Stop ends a lookup after the current database.
class CDominoServerFileDlg : public QDialog {
    Q_OBJECT
public:
    explicit CDominoServerFileDlg(CMainFrame* frame, QWidget* parent = nullptr);
    ~CDominoServerFileDlg() override;

    static constexpr int kDialogId = 211;

    void OnAddServer();     // 1018
    void OnSearchServer();  // 1003
    void OnServerClicked(); // 1010
    void OnSelectAll();     // 1024
    void OnUnselectAll();   // 1025
    void OnAdd();           // 1019
    void OnFinish();        // 1020
    void OnStop();          // 1022

    // A lookup thread runs.
    bool IsSearching() const { return m_bSearching.load(); }
    // The server whose databases are listed (or were last).
    QString SelectedServer() const;
    // Server names and database paths as the lists show them, top to bottom.
    QStringList ServerNames() const;
    QStringList DatabasePaths() const;
    QStringList TickedDatabasePaths() const;

    QLineEdit* ServerEdit() const { return m_pEdit; }
    QTableWidget* ServerList() const { return m_pServerList; }
    QTableWidget* DatabaseList() const { return m_pDatabaseList; }
    QPushButton* AddServerButton() const { return m_btnAddServer; }
    QPushButton* SearchButton() const { return m_btnSearch; }
    QPushButton* SelectAllButton() const { return m_btnSelectAll; }
    QPushButton* UnselectAllButton() const { return m_btnUnselectAll; }
    QPushButton* AddButton() const { return m_btnAdd; }
    QPushButton* FinishButton() const { return m_btnFinish; }
    QPushButton* StopButton() const { return m_btnStop; }
    CAnimateCtrl* Animation() const { return m_pAnimation; }
    QLabel* StatusLine() const { return m_pStatus; }
    CPauseGate& PauseGate() { return m_gate; }

signals:
    // A lookup has ended and the dialog is idle again.
    void lookupFinished();

public slots:
    // Closing while a lookup runs is refused with a message.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetLookupControlsEnabled(bool enabled);
    void BeginLookup(const QString& status);
    void StartThread(std::function<void()> job);
    // Runs on the UI thread when a lookup thread has its answer.
    void Deliver(std::function<void()> finish);
    void ServersFound(int result, const QStringList& servers, const QString& error);
    void DatabasesFound(const QStringList& paths, const QString& error, const QStringList& problems,
                        const QStringList& titles = {});
    // The server's certificate is not trusted: the user is shown it and asked
    // to trust it; when trusted, the server is looked up again.
    void CertificateRefused(const CServerTrust::Peer& peer);
    void EndLookup();
    void SetStatus(const QString& text);

    CMainFrame* m_pFrame;
    QLineEdit* m_pEdit;
    QPushButton* m_btnAddServer;
    QPushButton* m_btnSearch;
    QTableWidget* m_pServerList;
    QTableWidget* m_pDatabaseList;
    QPushButton* m_btnSelectAll;
    QPushButton* m_btnUnselectAll;
    QPushButton* m_btnAdd;
    QPushButton* m_btnFinish;
    CAnimateCtrl* m_pAnimation;
    QLabel* m_pStatus;
    QPushButton* m_btnStop;

    std::atomic<bool> m_bSearching{false};
    std::unique_ptr<CNotesWorkerThread> m_pThread;
    CPauseGate m_gate;
    mutable QMutex m_serverMutex;
    QString m_strSelectedServer;
    // Set while the stop question is open: an answer arriving then waits for it.
    bool m_bAskingStop = false;
    bool m_bStopConfirmed = false;
    std::function<void()> m_pendingFinish;
};

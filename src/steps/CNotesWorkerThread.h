#pragma once

#include <QThread>

#include <functional>

// A worker of the folder selection step: runs its job between
// LNNotesSession::InitThread and TermThread on a session object of its own.
// It is never terminated: the job reads the stop flags and ends by itself.
class CNotesWorkerThread : public QThread {
    Q_OBJECT
public:
    explicit CNotesWorkerThread(std::function<void()> job, QObject* parent = nullptr);
    ~CNotesWorkerThread() override;

protected:
    void run() override;

private:
    std::function<void()> m_job;
};

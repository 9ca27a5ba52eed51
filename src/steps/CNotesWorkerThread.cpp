#include "steps/CNotesWorkerThread.h"

#include "notes/ln/LNNotesSession.h"

CNotesWorkerThread::CNotesWorkerThread(std::function<void()> job, QObject* parent)
    : QThread(parent), m_job(std::move(job)) {}

CNotesWorkerThread::~CNotesWorkerThread() { wait(); }

void CNotesWorkerThread::run() {
    LNNotesSession session;
    session.InitThread();
    if (m_job) m_job();
    session.TermThread();
}

#include "notes/ln/LNNotesSession.h"

#include "notes/ln/LNDatabase.h"
#include "notes/ln/LNDatabaseImpl.h"
#include "notes/ln/LNErrors.h"

#include <QString>

#include <atomic>

namespace {
std::atomic<int> g_sessions{0};
}

LNNotesSession::~LNNotesSession() {
    while (m_threadInits > 0) TermThread();
    if (m_initialized) {
        m_initialized = false;
        --g_sessions;
        lnimpl::termThreadState();
    }
}

LNSTATUS LNNotesSession::Initialize(LNINT, LNINT, char**, LNBOOL, const char*) {
    if (m_initialized) return LNNOERROR;
    m_initialized = true;
    ++g_sessions;
    lnimpl::initThreadState();
    return LNNOERROR;
}

LNSTATUS LNNotesSession::Term(LNBOOL) {
    if (!m_initialized) return lnimpl::fail(store::StatusSessionNotInitialized);
    m_initialized = false;
    --g_sessions;
    lnimpl::termThreadState();
    return LNNOERROR;
}

LNSTATUS LNNotesSession::InitThread() {
    ++m_threadInits;
    lnimpl::initThreadState();
    return LNNOERROR;
}

LNSTATUS LNNotesSession::TermThread() {
    if (m_threadInits <= 0) return lnimpl::fail(store::StatusSessionNotInitialized);
    --m_threadInits;
    lnimpl::termThreadState();
    return LNNOERROR;
}

bool LNNotesSession::IsProcessSessionActive() { return g_sessions.load() > 0; }

LNSTATUS LNNotesSession::GetDatabase(const LNString& path, LNDatabase* db, const LNString& server) {
    if (!db) return lnimpl::fail(store::StatusInternal);
    if (path.IsNull()) return lnimpl::fail({store::StatusFileNotFound, QStringLiteral("(no path)")});
    auto impl = std::make_shared<LNDatabaseImpl>();
    impl->path = QString::fromUtf8(path.GetBuf());
    impl->server = QString::fromUtf8(server.GetBuf());
    db->m_impl = std::move(impl);
    return LNNOERROR;
}

#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNString.h"

class LNDatabase;

// The Notes session. One process-wide session is initialised on the main
// thread; worker threads bracket their use of the layer with InitThread and
// TermThread on a session object of their own.
class LNNotesSession {
public:
    LNNotesSession() = default;
    ~LNNotesSession();
    LNNotesSession(const LNNotesSession&) = delete;
    LNNotesSession& operator=(const LNNotesSession&) = delete;

    LNSTATUS Initialize(LNINT apiVersion = 300, LNINT argc = 0, char** argv = nullptr, LNBOOL initThread = TRUE,
                        const char* iniPath = nullptr);
    LNSTATUS Term(LNBOOL force = FALSE);
    LNSTATUS InitThread();
    LNSTATUS TermThread();
    bool IsInitialized() const { return m_initialized; }

    // Makes `db` refer to the database at path on server (empty: this machine).
    // The file is read by LNDatabase::Open.
    LNSTATUS GetDatabase(const LNString& path, LNDatabase* db, const LNString& server = LNString());

    // True while some session object is initialised in this process.
    static bool IsProcessSessionActive();

private:
    bool m_initialized = false;
    int m_threadInits = 0;
};

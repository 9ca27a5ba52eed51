#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNString.h"

#include <QStringList>

#include <memory>

struct LNDatabaseImpl;
class LNDocument;
class LNViewFolder;
class LNViewFolderArray;
class LNNotesSession;

// A database handle; copies share the database.
class LNDatabase {
public:
    LNDatabase() = default;

    LNSTATUS Open(LNINT flags = 0);
    LNSTATUS Close();
    bool IsOpen() const;

    // Every view and folder, in the database's order.
    LNSTATUS GetViewFolders(LNViewFolderArray* array, LNBOOL includeFolders = TRUE);
    LNBOOL ViewFolderExists(const LNString& name);
    LNSTATUS GetViewFolder(const LNString& name, LNViewFolder* folder);
    LNSTATUS GetDocument(NOTEID noteId, LNDocument* document);

    // What the database could not read (damage), one line each; empty when sound.
    QStringList GetProblems();

    LNString GetFilename() const;  // the file's name
    LNString GetFilepath() const;  // the path as given
    LNString GetServer() const;

    // Internal handle; shared with everything read through this database.
    const std::shared_ptr<LNDatabaseImpl>& impl() const { return m_impl; }

private:
    friend class LNNotesSession;
    std::shared_ptr<LNDatabaseImpl> m_impl;
};

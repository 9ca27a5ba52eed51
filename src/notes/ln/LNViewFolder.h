#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNString.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

struct LNDatabaseImpl;
class LNDocument;

// One entry of an open view or folder.
class LNVFEntry {
public:
    LNVFEntry() = default;
    LNSTATUS GetDocument(LNDocument* document) const;
    NOTEID GetNoteID() const { return m_noteId; }

private:
    friend class LNViewFolder;
    std::shared_ptr<LNDatabaseImpl> m_db;
    NOTEID m_noteId = 0;
};

// A view or folder of a database. Open() reads its entries.
class LNViewFolder {
public:
    LNViewFolder() = default;
    LNViewFolder(std::shared_ptr<LNDatabaseImpl> db, size_t index);

    LNSTATUS Open(LNINT flags = 0);
    LNSTATUS Close();
    bool IsOpen() const { return m_open; }
    LNBOOL IsFolder() const;
    // The node after the views and folders that holds every document of the
    // database (no design note behind it).
    LNBOOL IsEveryDocument() const;
    LNString GetName() const;
    // Number of entries (the folder must be open).
    LNINT GetEntryCount() const;
    // The i-th entry in entry order; throws (or returns an empty entry) out of range.
    LNVFEntry operator[](LNINT index) const;
    // Why the entries could not be listed, when the store says (unsupported formula, ...).
    QString GetProblem() const;
    // The item the view's first column that shows an item shows; empty for none.
    QString GetTitleItem() const;

private:
    std::shared_ptr<LNDatabaseImpl> m_db;
    size_t m_index = 0;
    bool m_open = false;
    std::vector<NOTEID> m_entries;
};

// Result of LNDatabase::GetViewFolders.
class LNViewFolderArray {
public:
    LNINT GetCount() const { return LNINT(m_count); }
    LNViewFolder operator[](LNINT index) const;

private:
    friend class LNDatabase;
    std::shared_ptr<LNDatabaseImpl> m_db;
    size_t m_count = 0;
};

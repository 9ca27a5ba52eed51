#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNString.h"
#include "notes/store/StoreForm.h"
#include "notes/store/StoreItem.h"

#include <memory>

struct LNDatabaseImpl;
class LNItem;
class LNAttachmentArray;
class LNDatetime;

// A note of a database. Open() reads it; items are read until Close().
// Copies share the opened note.
class LNNote {
public:
    LNNote() = default;
    LNNote(std::shared_ptr<LNDatabaseImpl> db, NOTEID noteId);

    LNSTATUS Open(LNINT flags = 0);
    LNSTATUS Close();
    bool IsOpen() const { return m_note != nullptr; }
    NOTEID GetNoteID() const { return m_noteId; }

    LNBOOL HasItem(const LNString& name) const;
    LNSTATUS GetItem(const LNString& name, LNItem* item) const;
    // The item's type (LNITEMTYPE_TEXT, LNITEMTYPE_RICHTEXT, ...).
    LNITEMTYPE GetItemType(const LNString& name) const;
    // The note's size in bytes.
    LNINT GetSize() const;
    LNSTATUS GetAttachments(LNAttachmentArray* attachments) const;
    // Re-reads the note from the database (items added since are seen).
    LNSTATUS RefreshObjectFromNoteHandle();

    // The form the note's Form item names, when the database holds its
    // design; null otherwise (or when the note is not open).
    std::shared_ptr<const store::StoreForm> GetForm() const;

    // Internal: the opened note's data (null when not open).
    const std::shared_ptr<const store::StoreNote>& data() const { return m_note; }
    const std::shared_ptr<LNDatabaseImpl>& database() const { return m_db; }

protected:
    std::shared_ptr<LNDatabaseImpl> m_db;
    NOTEID m_noteId = 0;
    std::shared_ptr<const store::StoreNote> m_note;
};

class LNDocument : public LNNote {
public:
    LNDocument() = default;
    LNDocument(std::shared_ptr<LNDatabaseImpl> db, NOTEID noteId) : LNNote(std::move(db), noteId) {}
};

// A mail view of a document.
class LNMailMessage : public LNDocument {
public:
    LNMailMessage() = default;
    explicit LNMailMessage(const LNDocument& document) : LNDocument(document) {}
    // The "PostedDate" item; fails when the document has none.
    LNSTATUS GetDateSent(LNDatetime* date) const;
};

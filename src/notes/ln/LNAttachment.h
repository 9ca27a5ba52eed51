#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNString.h"
#include "notes/store/StoreItem.h"

#include <memory>

struct LNDatabaseImpl;
class LNItem;

// A file attachment of a note.
class LNAttachment {
public:
    LNAttachment() = default;
    LNAttachment(std::shared_ptr<LNDatabaseImpl> db, NOTEID noteId, store::StoreAttachment attachment);
    // The attachment named by a $FILE item.
    explicit LNAttachment(const LNItem& item);

    LNString GetAttachmentName() const;
    LNINT GetFileSize() const;
    // Writes the attachment's bytes to path (a new file; never replaces one).
    LNSTATUS Detach(const LNString& path) const;

    const store::StoreAttachment& data() const { return m_attachment; }

private:
    std::shared_ptr<LNDatabaseImpl> m_db;
    NOTEID m_noteId = 0;
    store::StoreAttachment m_attachment;
};

class LNAttachmentArray {
public:
    LNAttachmentArray() = default;
    LNAttachmentArray(std::shared_ptr<LNDatabaseImpl> db, std::shared_ptr<const store::StoreNote> note);
    LNINT GetCount() const;
    LNAttachment operator[](LNINT index) const;

private:
    std::shared_ptr<LNDatabaseImpl> m_db;
    std::shared_ptr<const store::StoreNote> m_note;
};

#pragma once

#include "notes/store/NoteStore.h"

#include <QByteArray>
#include <QMap>

#include <map>
#include <mutex>

namespace store {

// An in-memory database for unit tests. Build it, then register it under a
// name; the access layer opens it as "memory:NAME".
class MemoryStore : public NoteStore {
public:
    struct Folder {
        StoreFolderInfo info;
        std::vector<uint32_t> entries;
        StoreError entriesError;   // returned by folderEntries when set
    };

    // Adds a document; returns its note ID (given, or the next free one).
    uint32_t addNote(StoreNote note);
    // Adds attachment bytes to a note added before; returns the attachment.
    StoreAttachment addAttachment(uint32_t noteId, const QString& name, const QByteArray& data);
    void addFolder(const QString& name, bool isFolder, const std::vector<uint32_t>& entries);
    Folder& folder(size_t index) { return m_folders[index]; }
    // A form of the database's design.
    void addForm(std::shared_ptr<const StoreForm> form) { m_forms.push_back(std::move(form)); }
    // A note ID that loadNote() fails for (a damaged document).
    void failNote(uint32_t noteId, StoreError error) { m_failing[noteId] = std::move(error); }

    std::vector<StoreFolderInfo> folders() override;
    StoreError folderEntries(size_t index, std::vector<uint32_t>& noteIds) override;
    StoreError loadNote(uint32_t noteId, StoreNote& note) override;
    StoreError detachAttachment(uint32_t noteId, const StoreAttachment& attachment,
                                const QString& targetPath) override;
    std::vector<uint32_t> allDocumentIds() override;
    std::vector<std::shared_ptr<const StoreForm>> forms() override { return m_forms; }

    // Registry of named stores for "memory:NAME" paths. Registering under an
    // existing name replaces it; the registry shares ownership.
    static void registerStore(const QString& name, std::shared_ptr<MemoryStore> store);
    static void unregisterStore(const QString& name);
    static std::shared_ptr<MemoryStore> lookup(const QString& name);

private:
    std::vector<Folder> m_folders;
    std::vector<std::shared_ptr<const StoreForm>> m_forms;
    std::map<uint32_t, StoreNote> m_notes;
    std::vector<uint32_t> m_order;
    std::map<qint64, QByteArray> m_attachmentData;
    std::map<uint32_t, StoreError> m_failing;
    qint64 m_nextKey = 1;
    uint32_t m_nextId = 0x8F6;
};

}  // namespace store

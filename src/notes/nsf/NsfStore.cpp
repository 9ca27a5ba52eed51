#include "notes/nsf/NsfStore.h"

#include "notes/store/SafeFileWriter.h"

namespace nsf {

std::unique_ptr<store::NoteStore> NsfStore::open(const QString& path, store::StoreError& error) {
    QString e;
    auto file = NsfFile::open(path, e);
    if (!file) {
        error = {store::StatusReadError, path + QStringLiteral(": ") + e};
        return nullptr;
    }
    auto db = NsfDatabase::open(std::move(file), error);
    if (!db) {
        error.detail = path + QStringLiteral(": ") + error.detail;
        return nullptr;
    }
    return std::make_unique<NsfStore>(std::move(db));
}

QString NsfStore::title() const { return m_db->title(); }

std::vector<store::StoreFolderInfo> NsfStore::folders() {
    std::vector<store::StoreFolderInfo> out;
    for (const NsfDatabase::DesignEntry& d : m_db->designEntries()) {
        store::StoreFolderInfo info;
        info.name = d.name;
        info.isFolder = d.isFolder;
        info.unid = d.unid;
        info.noteId = d.noteId;
        if (d.view) info.titleItem = d.view->titleItem;
        if (!d.isFolder) {
            if (d.view) info.problem = ViewEntries::note(*d.view, false);
        } else {
            std::vector<uint32_t> ids;
            const store::StoreError e = m_db->folderMembers(d.noteId, ids);
            if (!e.ok()) info.problem = e.message();
        }
        out.push_back(std::move(info));
    }
    return out;
}

store::StoreError NsfStore::folderEntries(size_t index, std::vector<uint32_t>& noteIds) {
    return m_views.entries(index, noteIds);
}

store::StoreError NsfStore::loadNote(uint32_t noteId, store::StoreNote& note) { return m_db->loadNote(noteId, note); }

store::StoreError NsfStore::detachAttachment(uint32_t noteId, const store::StoreAttachment& attachment,
                                             const QString& targetPath) {
    if (!attachment.decodable)
        return {store::StatusAttachmentUnreadable, attachment.name + QStringLiteral(": ") + attachment.problem};
    store::SafeFileWriter writer(targetPath);
    store::StoreError e = writer.open();
    if (!e.ok()) return e;
    store::StoreError writeError;
    e = m_db->extractAttachment(noteId, attachment.key, [&](const char* data, size_t size) {
        writeError = writer.append(data, qint64(size));
        return writeError.ok();
    });
    if (!e.ok() || !writeError.ok()) {
        writer.abort();
        return writeError.ok() ? e : writeError;
    }
    return writer.commit();
}

bool isProfileDocument(const RawNote& note) {
    const RawItem* name = note.item(QStringLiteral("$Name"));
    if (!name || name->value.size() < 8) return false;
    // The name is text; its first characters are ASCII in LMBCS.
    const QByteArray head(reinterpret_cast<const char*>(name->value.data()), 8);
    return head.toLower() == "$profile";
}

std::vector<uint32_t> NsfStore::allDocumentIds() {
    if (!m_dataDocuments) {
        std::vector<uint32_t> ids;
        for (uint32_t id : m_db->documentIds()) {
            RawNote raw;
            QString error;
            // A note that cannot be read stays listed: its load names the damage.
            if (m_db->readRaw(id, raw, error) == NoteReader::Result::Note && isProfileDocument(raw)) continue;
            ids.push_back(id);
        }
        m_dataDocuments = std::move(ids);
    }
    return *m_dataDocuments;
}

}  // namespace nsf

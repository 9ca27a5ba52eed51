#include "notes/store/MemoryStore.h"

#include "notes/store/SafeFileWriter.h"

#include <QMutex>

namespace store {
namespace {

QMutex& registryMutex() {
    static QMutex m;
    return m;
}
std::map<QString, std::shared_ptr<MemoryStore>>& registry() {
    static std::map<QString, std::shared_ptr<MemoryStore>> r;
    return r;
}

// The store handed to the access layer shares the registered one.
class MemoryStoreView : public NoteStore {
public:
    explicit MemoryStoreView(std::shared_ptr<MemoryStore> s) : m_s(std::move(s)) {}
    std::vector<StoreFolderInfo> folders() override { return m_s->folders(); }
    StoreError folderEntries(size_t i, std::vector<uint32_t>& ids) override { return m_s->folderEntries(i, ids); }
    StoreError loadNote(uint32_t id, StoreNote& n) override { return m_s->loadNote(id, n); }
    StoreError detachAttachment(uint32_t id, const StoreAttachment& a, const QString& p) override {
        return m_s->detachAttachment(id, a, p);
    }
    std::vector<uint32_t> allDocumentIds() override { return m_s->allDocumentIds(); }
    std::vector<std::shared_ptr<const StoreForm>> forms() override { return m_s->forms(); }

private:
    std::shared_ptr<MemoryStore> m_s;
};

std::unique_ptr<NoteStore> openMemory(const QString& path, StoreError& error) {
    const QString name = path.mid(int(sizeof("memory:")) - 1);
    auto s = MemoryStore::lookup(name);
    if (!s) {
        error = {StatusFileNotFound, path};
        return nullptr;
    }
    return std::make_unique<MemoryStoreView>(std::move(s));
}

bool claimsMemory(const QString& path, const QByteArray&) { return path.startsWith(QLatin1String("memory:")); }

}  // namespace

void registerMemoryDriver() { registerStoreDriver({"memory", &claimsMemory, &openMemory}); }

uint32_t MemoryStore::addNote(StoreNote note) {
    if (note.noteId == 0) {
        while (m_notes.count(m_nextId)) m_nextId += 4;
        note.noteId = m_nextId;
        m_nextId += 4;
    }
    const uint32_t id = note.noteId;
    if (!m_notes.count(id)) m_order.push_back(id);
    m_notes[id] = std::move(note);
    return id;
}

StoreAttachment MemoryStore::addAttachment(uint32_t noteId, const QString& name, const QByteArray& data) {
    StoreAttachment a;
    a.name = name;
    a.size = data.size();
    a.key = m_nextKey++;
    m_attachmentData[a.key] = data;
    auto it = m_notes.find(noteId);
    if (it != m_notes.end()) it->second.attachments.push_back(a);
    return a;
}

void MemoryStore::addFolder(const QString& name, bool isFolder, const std::vector<uint32_t>& entries) {
    Folder f;
    f.info.name = name;
    f.info.isFolder = isFolder;
    f.entries = entries;
    m_folders.push_back(std::move(f));
}

std::vector<StoreFolderInfo> MemoryStore::folders() {
    std::vector<StoreFolderInfo> out;
    for (const Folder& f : m_folders) out.push_back(f.info);
    return out;
}

StoreError MemoryStore::folderEntries(size_t index, std::vector<uint32_t>& noteIds) {
    if (index >= m_folders.size()) return {StatusIndexOutOfRange, {}};
    if (!m_folders[index].entriesError.ok()) return m_folders[index].entriesError;
    noteIds = m_folders[index].entries;
    return {};
}

StoreError MemoryStore::loadNote(uint32_t noteId, StoreNote& note) {
    auto f = m_failing.find(noteId);
    if (f != m_failing.end()) return f->second;
    auto it = m_notes.find(noteId);
    if (it == m_notes.end()) return {StatusNoSuchNote, QStringLiteral("note ID %1").arg(noteId, 0, 16)};
    note = it->second;
    return {};
}

StoreError MemoryStore::detachAttachment(uint32_t, const StoreAttachment& attachment, const QString& targetPath) {
    auto it = m_attachmentData.find(attachment.key);
    if (it == m_attachmentData.end()) return {StatusAttachmentUnreadable, attachment.name};
    return SafeFileWriter::writeNew(targetPath, it->second);
}

std::vector<uint32_t> MemoryStore::allDocumentIds() { return m_order; }

void MemoryStore::registerStore(const QString& name, std::shared_ptr<MemoryStore> store) {
    QMutexLocker lock(&registryMutex());
    registry()[name] = std::move(store);
}

void MemoryStore::unregisterStore(const QString& name) {
    QMutexLocker lock(&registryMutex());
    registry().erase(name);
}

std::shared_ptr<MemoryStore> MemoryStore::lookup(const QString& name) {
    QMutexLocker lock(&registryMutex());
    auto it = registry().find(name);
    return it == registry().end() ? nullptr : it->second;
}

}  // namespace store

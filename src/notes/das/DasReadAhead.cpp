#include "notes/das/DasReadAhead.h"

#include <QSet>

namespace das {

DasReadAhead::DasReadAhead(FetchDocument fetchDocument, FetchFile fetchFile, int workers)
    : m_fetchDocument(std::move(fetchDocument)), m_fetchFile(std::move(fetchFile)) {
    for (int i = 0; i < std::max(1, workers); ++i) m_workers.emplace_back([this] { work(); });
}

DasReadAhead::~DasReadAhead() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_changed.notify_all();
    for (std::thread& t : m_workers) t.join();
}

void DasReadAhead::want(const std::vector<QString>& unids) {
    std::lock_guard<std::mutex> lock(m_mutex);
    QSet<QString> wanted(unids.begin(), unids.end());
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        Entry& e = *it.value();
        e.dropped = true;  // a request in flight stops; its worker gives back what it holds
        if (e.state != Entry::State::Running) {
            m_heldBytes -= e.heldBytes;
            e.heldBytes = 0;
        }
        it = m_entries.erase(it);
    }
    m_queue.clear();
    for (const QString& unid : unids) {
        if (unid.isEmpty()) continue;
        auto it = m_entries.find(unid);
        if (it == m_entries.end()) it = m_entries.insert(unid, std::make_shared<Entry>());
        if (it.value()->state == Entry::State::Queued) m_queue.push_back(unid);
    }
    m_changed.notify_all();
}

bool DasReadAhead::take(const QString& unid, Document& doc) {
    std::unique_lock<std::mutex> lock(m_mutex);
    auto it = m_entries.find(unid);
    if (it == m_entries.end()) return false;
    const std::shared_ptr<Entry> entry = it.value();
    if (entry->state == Entry::State::Queued) {
        // Not started: the caller reads it at once rather than wait its turn.
        m_entries.erase(it);
        m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), unid), m_queue.end());
        return false;
    }
    m_changed.wait(lock, [&] {
        return m_stop.load() || entry->state == Entry::State::Done || entry->state == Entry::State::Failed;
    });
    m_entries.remove(unid);
    if (entry->state != Entry::State::Done) {
        m_heldBytes -= entry->heldBytes;
        entry->heldBytes = 0;
        return false;
    }
    if (m_taken) {
        m_heldBytes -= m_taken->heldBytes;
        m_taken->heldBytes = 0;
    }
    doc = std::move(entry->doc);
    m_taken = entry;
    m_takenUnid = unid;
    ++m_handedOver;
    return true;
}

bool DasReadAhead::takeFile(const QString& unid, size_t index, QByteArray& bytes) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_taken || m_takenUnid != unid || index >= m_taken->fileRead.size() || !m_taken->fileRead[index])
        return false;
    bytes = std::move(m_taken->fileBytes[index]);
    m_taken->fileBytes[index] = QByteArray();
    m_taken->fileRead[index] = false;
    m_taken->heldBytes -= bytes.size();
    m_heldBytes -= bytes.size();
    return true;
}

void DasReadAhead::work() {
    const CancelCheck watched = cancelCheck();
    for (;;) {
        QString unid;
        std::shared_ptr<Entry> entry;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [&] { return m_stop.load() || !m_queue.empty(); });
            if (m_stop) return;
            unid = m_queue.front();
            m_queue.erase(m_queue.begin());
            auto it = m_entries.find(unid);
            if (it == m_entries.end() || it.value()->state != Entry::State::Queued) continue;
            entry = it.value();
            entry->state = Entry::State::Running;
        }
        const CancelCheck cancel = [this, entry, watched] {
            return m_stop.load() || entry->dropped.load() || (watched && watched());
        };
        Document doc;
        bool ok = m_fetchDocument(unid, doc, cancel).ok();
        std::vector<QByteArray> fileBytes(doc.files.size());
        std::vector<bool> fileRead(doc.files.size(), false);
        for (size_t i = 0; ok && i < doc.files.size() && !cancel(); ++i) {
            const AttachmentSource& f = doc.files[i];
            if (f.href.isEmpty() || f.size < 0 || f.size > kMaxFileSize) continue;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (entry->dropped || m_heldBytes + f.size > kMaxHeldBytes) continue;
                m_heldBytes += f.size;
                entry->heldBytes += f.size;
            }
            QByteArray bytes;
            if (m_fetchFile(f, bytes, cancel).ok() && bytes.size() == f.size) {
                fileBytes[i] = std::move(bytes);
                fileRead[i] = true;
            } else {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_heldBytes -= f.size;
                entry->heldBytes -= f.size;
            }
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            entry->doc = std::move(doc);
            entry->fileBytes = std::move(fileBytes);
            entry->fileRead = std::move(fileRead);
            entry->state = ok ? Entry::State::Done : Entry::State::Failed;
            if (entry->dropped || !ok) {
                m_heldBytes -= entry->heldBytes;
                entry->heldBytes = 0;
            }
        }
        m_changed.notify_all();
    }
}

}  // namespace das

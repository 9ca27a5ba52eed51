#pragma once

#include "notes/das/DasCancel.h"
#include "notes/das/DasDocumentMapper.h"
#include "notes/store/StoreStatus.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace das {

// Reads documents of a server database before they are asked for: while the
// converter works on one document, the next few are fetched on a few worker
// threads, each request on the process's kept-alive connections (at most
// `workers` in flight), and so are their smaller attachments. What was read
// ahead is handed over once (take, takeFile) and then forgotten; what is no
// longer wanted is dropped. Destroying it stops the requests in flight.
//
// Only successes are handed over: a document or file that failed ahead is
// read again by the caller, so that errors and retries are the caller's as
// without reading ahead.
class DasReadAhead {
public:
    struct Document {
        store::StoreNote note;
        std::vector<AttachmentSource> files;
        qint64 replySize = 0;
    };
    // Reads one document (fills `doc`); reads one linked file's bytes.
    using FetchDocument = std::function<store::StoreError(const QString& unid, Document& doc, const CancelCheck&)>;
    using FetchFile = std::function<store::StoreError(const AttachmentSource& file, QByteArray& bytes, const CancelCheck&)>;

    DasReadAhead(FetchDocument fetchDocument, FetchFile fetchFile, int workers = 4);
    ~DasReadAhead();
    DasReadAhead(const DasReadAhead&) = delete;
    DasReadAhead& operator=(const DasReadAhead&) = delete;

    // Files larger than this are not read ahead (they are streamed to disk
    // when asked for); nor is more than kMaxFileBytes held at once.
    static constexpr qint64 kMaxFileSize = 8 << 20;
    static constexpr qint64 kMaxHeldBytes = 64 << 20;

    // The documents wanted next, in order (by UNID); others are dropped.
    void want(const std::vector<QString>& unids);
    // The document read ahead, waiting for it if it is in flight; false when
    // it was not wanted or its read failed.
    bool take(const QString& unid, Document& doc);
    // Bytes of file `index` of the document taken last, read ahead; false
    // when they were not (too large, failed, or not linked).
    bool takeFile(const QString& unid, size_t index, QByteArray& bytes);

    // Documents read ahead and handed over so far (for tests and the log).
    int handedOver() const { return m_handedOver.load(); }

private:
    struct Entry {
        enum class State { Queued, Running, Done, Failed } state = State::Queued;
        Document doc;
        std::vector<QByteArray> fileBytes;  // per file; empty when not read ahead
        std::vector<bool> fileRead;
        qint64 heldBytes = 0;
        std::atomic<bool> dropped{false};
    };
    void work();
    bool stopping() const { return m_stop.load(); }

    FetchDocument m_fetchDocument;
    FetchFile m_fetchFile;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<QString> m_queue;  // UNIDs not yet started, in order
    QHash<QString, std::shared_ptr<Entry>> m_entries;
    QString m_takenUnid;  // files of the document taken last
    std::shared_ptr<Entry> m_taken;
    qint64 m_heldBytes = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_handedOver{0};
    std::vector<std::thread> m_workers;
};

}  // namespace das

#include "notes/das/DasStore.h"

#include "notes/das/DominoDatabaseList.h"
#include "notes/store/SafeFileWriter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>
#include <QSet>

namespace das {
namespace {

// Note ID -> UNID of every entry listed in this process, per database.
QMutex& mapMutex() {
    static QMutex m;
    return m;
}
QHash<QString, QHash<uint32_t, QString>>& noteMaps() {
    static QHash<QString, QHash<uint32_t, QString>> m;
    return m;
}

std::atomic<int> g_defaultReadAhead{8};

QString mapKey(const DasSession& session, const QString& path) {
    return session.server().key() + QStringLiteral("!!") + DominoServerConfig::normalisePath(path).toLower();
}

}  // namespace

DasStore::DasStore(std::shared_ptr<DasSession> session, QString path)
    : m_session(std::move(session)), m_path(std::move(path)), m_readAheadCount(g_defaultReadAhead.load()) {}

void DasStore::setDefaultReadAhead(int documents) { g_defaultReadAhead = documents; }

QString DasStore::dbUrlPath() const { return QLatin1Char('/') + DominoDatabaseList::encodePath(m_path); }

QString DasStore::what(const QString& detail) const {
    return detail.isEmpty() ? m_path : QStringLiteral("%1, %2").arg(m_path, detail);
}

std::unique_ptr<DasStore> DasStore::open(const DominoServer& server, const QString& path, store::StoreError& error) {
    const QString clean = DominoServerConfig::normalisePath(path);
    if (clean.isEmpty()) {
        error = {store::StatusFileNotFound, QStringLiteral("no database path given")};
        return nullptr;
    }
    std::unique_ptr<DasStore> s(new DasStore(DasSession::forServer(server), path.trimmed()));
    DasCall call;
    call.path = s->dbUrlPath() + QStringLiteral("/api/data/collections");
    call.query.addQueryItem(QStringLiteral("compact"), QStringLiteral("true"));
    QJsonDocument json;
    HttpReply reply;
    error = s->m_session->getJson(call, cancelCheck(), json, &reply);
    if (!error.ok()) {
        if (reply.status >= 400 && error.detail.contains(s->m_session->server().url.toString()))
            error = s->m_session->errorFor(reply, s->what(QString()));
        return nullptr;
    }
    if (!json.isArray()) {
        error = {store::StatusBadAnswer, s->what(QStringLiteral("the list of views is not one"))};
        return nullptr;
    }
    for (const QJsonValue& v : json.array()) {
        const QJsonObject o = v.toObject();
        store::StoreFolderInfo info;
        info.name = o.value(QLatin1String("@title")).toString();
        info.unid = o.value(QLatin1String("@unid")).toString();
        info.isFolder = o.value(QLatin1String("@folder")).toBool();
        if (info.name.isEmpty() || info.unid.isEmpty()) continue;
        s->m_folders.push_back(info);
    }
    return s;
}

void DasStore::recordNoteId(uint32_t noteId, const QString& unid) {
    QMutexLocker lock(&mapMutex());
    noteMaps()[mapKey(*m_session, m_path)].insert(noteId, unid);
}

QString DasStore::unidOf(uint32_t noteId) {
    QMutexLocker lock(&mapMutex());
    auto it = noteMaps().find(mapKey(*m_session, m_path));
    if (it == noteMaps().end()) return QString();
    return it->value(noteId);
}

store::StoreError DasStore::folderEntries(size_t index, std::vector<uint32_t>& noteIds) {
    noteIds.clear();
    if (index >= m_folders.size()) return {store::StatusIndexOutOfRange, m_path};
    store::StoreFolderInfo& info = m_folders[index];
    const QString view = QStringLiteral("view %1").arg(info.name);
    const CancelCheck cancel = cancelCheck();
    QSet<QString> seen;
    qint64 start = 0;
    int count = m_pageSize;
    int fullPagesWithNothingNew = 0;
    for (;;) {
        DasCall call;
        call.path = dbUrlPath() + QStringLiteral("/api/data/collections/unid/") +
                    QString::fromLatin1(QUrl::toPercentEncoding(info.unid));
        call.query.addQueryItem(QStringLiteral("start"), QString::number(start));
        call.query.addQueryItem(QStringLiteral("count"), QString::number(count));
        call.query.addQueryItem(QStringLiteral("systemcolumns"), QStringLiteral("0x707"));
        call.query.addQueryItem(QStringLiteral("compact"), QStringLiteral("true"));
        QJsonDocument json;
        HttpReply reply;
        store::StoreError e = m_session->getJson(call, cancel, json, &reply);
        if (!e.ok()) {
            if (reply.status == 400) {
                // "Limit exceeded.  Cannot read more than N entries.": ask for N.
                static const QRegularExpression limit(QStringLiteral("more than (\\d+) entries"));
                const QRegularExpressionMatch m = limit.match(QString::fromUtf8(reply.body));
                const int allowed = m.hasMatch() ? m.captured(1).toInt() : 0;
                if (allowed > 0 && allowed < count) {
                    count = allowed;
                    m_pageSize = allowed;
                    continue;
                }
            }
            if (reply.status >= 400) e = m_session->errorFor(reply, what(view));
            if (e.status == store::StatusServiceDisabled) info.problem = e.message();
            noteIds.clear();
            return e;
        }
        if (!json.isArray()) {
            noteIds.clear();
            return {store::StatusBadAnswer, what(view + QStringLiteral(": the entries are not a list"))};
        }
        const QJsonArray page = json.array();
        int fresh = 0;
        for (const QJsonValue& v : page) {
            const QJsonObject entry = v.toObject();
            const QString unid = entry.value(QLatin1String("@unid")).toString().toUpper();
            bool ok = false;
            const uint32_t id = entry.value(QLatin1String("@noteid")).toString().toUInt(&ok, 16);
            if (!ok || id == 0 || unid.isEmpty()) continue;  // a category or total row
            if (seen.contains(unid)) continue;                // the view moved between pages
            seen.insert(unid);
            recordNoteId(id, unid);
            noteIds.push_back(id);
            ++fresh;
        }
        if (page.size() < count) break;  // a short page ends the view
        if (fresh == 0 && ++fullPagesWithNothingNew >= 3) {
            noteIds.clear();
            return {store::StatusBadAnswer,
                    what(view + QStringLiteral(": the server keeps sending the same entries (stopped at entry %1)")
                                    .arg(start))};
        }
        if (qint64(noteIds.size()) > m_maxEntries) {
            noteIds.clear();
            return {store::StatusBadAnswer,
                    what(view + QStringLiteral(": more than %1 entries; the listing was stopped").arg(m_maxEntries))};
        }
        start += page.size();
    }
    setOrder(noteIds);
    return {};
}

void DasStore::setOrder(const std::vector<uint32_t>& noteIds) {
    m_order = noteIds;
    m_orderIndex.clear();
    m_orderIndex.reserve(qsizetype(noteIds.size()));
    for (size_t i = 0; i < noteIds.size(); ++i) m_orderIndex.insert(noteIds[i], i);
}

void DasStore::readAheadAfter(uint32_t noteId) {
    if (m_readAheadCount <= 0) return;
    const auto it = m_orderIndex.constFind(noteId);
    std::vector<QString> next;
    if (it != m_orderIndex.constEnd()) {
        for (size_t i = it.value() + 1; i < m_order.size() && next.size() < size_t(m_readAheadCount); ++i) {
            const QString unid = unidOf(m_order[i]);
            if (!unid.isEmpty()) next.push_back(unid);
        }
    }
    if (next.empty() && !m_readAhead) return;
    if (!m_readAhead) {
        m_readAhead = std::make_unique<DasReadAhead>(
            [this](const QString& unid, DasReadAhead::Document& doc, const CancelCheck& cancel) {
                return fetchDocument(unid, doc.note, doc.files, cancel);
            },
            [this](const AttachmentSource& file, QByteArray& bytes, const CancelCheck& cancel) {
                return download(file, file.name, [&bytes](const char* data, qint64 size) {
                    bytes.append(data, qsizetype(size));
                    return store::StoreError();
                }, cancel);
            });
    }
    m_readAhead->want(next);
}

std::vector<uint32_t> DasStore::allDocumentIds() {
    std::vector<uint32_t> all;
    QSet<uint32_t> seen;
    m_listingProblems.clear();
    for (size_t i = 0; i < m_folders.size(); ++i) {
        std::vector<uint32_t> ids;
        const store::StoreError e = folderEntries(i, ids);
        if (!e.ok()) {
            // Its documents may be missing from the list: said, never silent.
            m_listingProblems << QStringLiteral("the list of every document lacks the documents only %1 holds: %2")
                                     .arg(m_folders[i].name, e.message());
            continue;
        }
        for (uint32_t id : ids)
            if (!seen.contains(id)) {
                seen.insert(id);
                all.push_back(id);
            }
    }
    m_allListed = true;
    setOrder(all);
    return all;
}

store::StoreError DasStore::fetchDocument(const QString& unid, store::StoreNote& note,
                                          std::vector<AttachmentSource>& files, const CancelCheck& cancel) const {
    DasCall call;
    call.path = dbUrlPath() + QStringLiteral("/api/data/documents/unid/") +
                QString::fromLatin1(QUrl::toPercentEncoding(unid));
    for (const char* p : {"hidden", "strongtype", "attachmentlinks"})
        call.query.addQueryItem(QString::fromLatin1(p), QStringLiteral("true"));
    call.query.addQueryItem(QStringLiteral("markread"), QStringLiteral("false"));
    call.query.addQueryItem(QStringLiteral("compact"), QStringLiteral("true"));
    QJsonDocument json;
    HttpReply reply;
    const QString doc = QStringLiteral("document %1").arg(unid);
    store::StoreError e = m_session->getJson(call, cancel, json, &reply);
    if (!e.ok()) {
        if (reply.status >= 400) e = m_session->errorFor(reply, what(doc));
        if (reply.status == 404) e.status = store::StatusNoSuchNote;
        if (e.status == store::StatusBadAnswer && !e.detail.contains(m_path)) e.detail = what(doc) + QStringLiteral(": ") + e.detail;
        return e;
    }
    note = store::StoreNote();
    files.clear();
    if (!json.isObject() || !DasDocumentMapper::map(json.object(), note, files))
        return {store::StatusBadAnswer, what(doc + QStringLiteral(": not a document"))};
    note.size = reply.body.size();
    for (size_t i = 0; i < files.size(); ++i) {
        store::StoreAttachment a;
        a.name = files[i].name;
        a.size = files[i].href.isEmpty() ? files[i].data.size() : std::max<qint64>(0, files[i].size);
        a.key = qint64(i);
        note.attachments.push_back(a);
    }
    return {};
}

store::StoreError DasStore::noteIdForUnid(const QString& unid, uint32_t& noteId) {
    store::StoreNote note;
    std::vector<AttachmentSource> files;
    store::StoreError e = fetchDocument(unid, note, files, cancelCheck());
    if (!e.ok()) return e;
    if (note.noteId == 0) return {store::StatusBadAnswer, what(QStringLiteral("document %1 has no note ID").arg(unid))};
    recordNoteId(note.noteId, note.unid.isEmpty() ? unid.toUpper() : note.unid);
    noteId = note.noteId;
    return {};
}

store::StoreError DasStore::loadNote(uint32_t noteId, store::StoreNote& note) {
    QString unid = unidOf(noteId);
    if (unid.isEmpty() && !m_allListed) {
        allDocumentIds();  // the service reads documents by UNID only: list the views first
        unid = unidOf(noteId);
    }
    if (unid.isEmpty()) return {store::StatusNoSuchNote, what(QStringLiteral("note ID %1").arg(noteId, 0, 16))};
    if (m_filesNote == noteId && m_filesUnid == unid) {
        note = m_lastNote;
        return {};
    }
    std::vector<AttachmentSource> files;
    DasReadAhead::Document ahead;
    const bool readAhead = m_readAhead && m_readAhead->take(unid, ahead);
    readAheadAfter(noteId);  // the next ones come while this one is worked on
    if (readAhead) {
        note = std::move(ahead.note);
        files = std::move(ahead.files);
    } else {
        store::StoreError e = fetchDocument(unid, note, files, cancelCheck());
        if (!e.ok()) return e;
    }
    if (note.noteId == 0) note.noteId = noteId;
    m_filesNote = noteId;
    m_filesUnid = unid;
    m_files = std::move(files);
    m_lastNote = note;
    return {};
}

store::StoreError DasStore::detachAttachment(uint32_t noteId, const store::StoreAttachment& attachment,
                                             const QString& targetPath) {
    if (m_filesNote != noteId) {
        store::StoreNote note;
        if (store::StoreError e = loadNote(noteId, note); !e.ok()) return e;
    }
    if (attachment.key < 0 || size_t(attachment.key) >= m_files.size() || m_files[size_t(attachment.key)].name != attachment.name)
        return {store::StatusAttachmentUnreadable, what(attachment.name)};
    const AttachmentSource& source = m_files[size_t(attachment.key)];
    if (source.href.isEmpty()) return store::SafeFileWriter::writeNew(targetPath, source.data);

    store::SafeFileWriter writer(targetPath);
    if (store::StoreError e = writer.open(); !e.ok()) return e;
    QByteArray ahead;
    store::StoreError e;
    if (m_readAhead && m_readAhead->takeFile(m_filesUnid, size_t(attachment.key), ahead)) {
        e = writer.append(ahead.constData(), ahead.size());  // read ahead and checked as below
    } else {
        e = download(source, attachment.name,
                     [&writer](const char* data, qint64 size) { return writer.append(data, size); }, cancelCheck());
    }
    if (!e.ok()) {
        writer.abort();
        return e;
    }
    return writer.commit();
}

store::StoreError DasStore::download(const AttachmentSource& source, const QString& name,
                                     const std::function<store::StoreError(const char*, qint64)>& write,
                                     const CancelCheck& cancel) const {
    store::StoreError writeError;
    qint64 written = 0;
    DasCall call;
    // A relative or absolute link: only its path is used (the server's own address stays).
    const QUrl link(source.href);
    call.path = link.path(QUrl::FullyEncoded);
    call.query = QUrlQuery(link.query(QUrl::FullyEncoded));
    call.expectJson = false;
    call.deadlineMs = -1;
    // The document announces the attachment's size: more than that is not
    // written (and is a failure below), nor is less.
    const qint64 announcedSize = source.size;
    bool overlong = false;
    call.sink = [&write, &writeError, &written, &overlong, announcedSize](const char* data, qint64 size) {
        if (announcedSize >= 0 && written + size > announcedSize) {
            overlong = true;
            written += size;
            return false;
        }
        writeError = write(data, size);
        written += size;
        return writeError.ok();
    };
    HttpReply reply;
    store::StoreError e = m_session->send(call, cancel, reply);
    const QString file = QStringLiteral("attachment %1").arg(name);
    if (e.ok() && !writeError.ok()) e = writeError;
    if (overlong)
        e = {store::StatusAttachmentUnreadable,
             what(file + QStringLiteral(": the server sent more than the %1 bytes the document announces")
                             .arg(announcedSize))};
    if (e.ok() && (!reply.transportOk() || reply.error != QNetworkReply::NoError || reply.status >= 300))
        e = m_session->errorFor(reply, what(file));
    if (e.ok()) {
        bool ok = false;
        const qint64 announced = reply.header("Content-Length").toLongLong(&ok);
        if (ok && announced != written)
            e = {store::StatusAttachmentUnreadable,
                 what(file + QStringLiteral(": %1 of %2 bytes arrived").arg(written).arg(announced))};
        else if (announcedSize >= 0 && written != announcedSize)
            e = {store::StatusAttachmentUnreadable,
                 what(file + QStringLiteral(": %1 of the %2 bytes the document announces arrived")
                                 .arg(written)
                                 .arg(announcedSize))};
    }
    if (!e.ok() && e.status == store::StatusBadAnswer) e.status = store::StatusAttachmentUnreadable;
    return e;
}

namespace {

std::unique_ptr<store::NoteStore> openDomino(const QString& serverPath, store::StoreError& error) {
    QString serverText, path;
    if (!DominoServerConfig::splitServerPath(serverPath, serverText, path)) {
        error = {store::StatusFileNotFound, serverPath};
        return nullptr;
    }
    QString problem;
    const auto server = DominoServerConfig().resolve(serverText, &problem);
    if (!server) {
        error = {store::StatusServerUnreachable, problem};
        return nullptr;
    }
    return DasStore::open(*server, path, error);
}

bool claimsNothing(const QString&, const QByteArray&) { return false; }

}  // namespace

void registerDominoDriver() { store::registerStoreDriver({"domino", &claimsNothing, &openDomino}); }

}  // namespace das

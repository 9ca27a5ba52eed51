#include "export/RunJournal.h"

#include "files/ConfinedPath.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const QString kJournalBase = QStringLiteral(".tesseldoc-journal");
const QString kKeyFile = QStringLiteral(".tesseldoc-key");

const QString kRun = QStringLiteral("RUN");
const QString kBegin = QStringLiteral("BEGIN");
const QString kDone = QStringLiteral("DONE");
const QString kFail = QStringLiteral("FAIL");
const QString kSkip = QStringLiteral("SKIP");
const QString kUndo = QStringLiteral("UNDO");
const QString kDir = QStringLiteral("DIR");
const QString kFolder = QStringLiteral("FOLDER");
const QString kSource = QStringLiteral("SOURCE");

// The extended attribute that carries a written document's note identity.
const char kNoteMarkAttribute[] = "user.tesseldoc.note";

QStringList keyFields(const JournalKey& key) {
    return {key.database, key.folder, QString::number(key.noteId, 16), key.unid};
}

bool keyFrom(const QStringList& fields, JournalKey& key) {
    if (fields.size() < 4) return false;
    bool ok = false;
    key.database = fields[0];
    key.folder = fields[1];
    key.noteId = fields[2].toUInt(&ok, 16);
    key.unid = fields[3];
    return ok;
}

QString describeErrno(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Reads a whole small file from a descriptor.
QByteArray readFd(int fd) {
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, n);
        if (bytes.size() > 4096) break;
    }
    return bytes;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += n;
    }
    return true;
}

}  // namespace

QString JournalKey::id() const {
    const QChar sep(0x1F);
    return database + sep + folder + sep +
           (unid.isEmpty() ? QStringLiteral("#") + QString::number(noteId, 16) : unid.toUpper());
}

QString RunJournal::fileNameFor(int shard, int shardCount) {
    if (shardCount <= 0) return kJournalBase;
    return kJournalBase + QStringLiteral("-shard-%1-of-%2").arg(shard).arg(shardCount);
}

QStringList RunJournal::journalsIn(const QString& dest) {
    QStringList out;
    const QDir dir(dest);
    for (const QString& name : dir.entryList({kJournalBase + QLatin1Char('*')}, QDir::Files | QDir::Hidden,
                                             QDir::Name))
        out << dir.filePath(name);
    return out;
}

QString RunJournal::keyFileName() { return kKeyFile; }

// The destination's key: made once (random, readable by its owner only) and
// put in place with link(), so that shards starting together share one.
bool RunJournal::readKey(const QString& dest, bool create, QString* error) {
    const QString path = dest + QLatin1Char('/') + kKeyFile;
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && create) {
        QByteArray key;
        for (int i = 0; i < 8; ++i) key += QByteArray::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, '0');
        const QByteArray temp =
            QFile::encodeName(path + QStringLiteral(".%1-%2").arg(::getpid()).arg(QRandomGenerator::system()->generate(), 0, 16));
        const int out = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out < 0) {
            if (error) *error = QStringLiteral("cannot create the journal key %1: %2").arg(path, describeErrno(errno));
            return false;
        }
        const bool written = writeAll(out, key + '\n') && ::fsync(out) == 0;
        const int writeErrno = errno;
        ::close(out);
        const bool linked = written && (::link(temp.constData(), name.constData()) == 0 || errno == EEXIST);
        ::unlink(temp.constData());
        if (!written || !linked) {
            if (error)
                *error = QStringLiteral("cannot write the journal key %1: %2")
                             .arg(path, describeErrno(written ? errno : writeErrno));
            return false;
        }
        fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    }
    if (fd < 0) {
        if (errno == ENOENT && !create) return true;  // no key: no line can be trusted
        if (error) *error = QStringLiteral("cannot read the journal key %1: %2").arg(path, describeErrno(errno));
        return false;
    }
    struct stat info;
    const bool usable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid();
    const QByteArray key = usable ? readFd(fd).trimmed() : QByteArray();
    ::close(fd);
    if (!usable || key.size() < 32) {
        if (error)
            *error = QStringLiteral("the journal key %1 is not a key this user made; remove it (and the journal, "
                                    "whose records cannot be trusted) to start afresh")
                         .arg(path);
        return false;
    }
    m_key = key;
    return true;
}

QByteArray RunJournal::checksum(const QByteArray& content) const {
    return QMessageAuthenticationCode::hash(content, m_key, QCryptographicHash::Sha256).toHex();
}

QString RunJournal::escapeField(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '\\': out += QStringLiteral("\\\\"); break;
            case '\t': out += QStringLiteral("\\t"); break;
            case '\n': out += QStringLiteral("\\n"); break;
            case '\r': out += QStringLiteral("\\r"); break;
            default: out += c;
        }
    }
    return out;
}

QString RunJournal::unescapeField(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar n = text.at(++i);
        if (n == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (n == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (n == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += n;
    }
    return out;
}

RunJournal::~RunJournal() { close(); }

void RunJournal::close() {
    QMutexLocker lock(&m_mutex);
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool RunJournal::parse(const QByteArray& bytes, qint64* validEnd) {
    qint64 pos = 0;
    qint64 lastGood = 0;
    const qsizetype recordsBefore = m_records.size();
    while (pos < bytes.size()) {
        const qint64 eol = bytes.indexOf('\n', pos);
        if (eol < 0) {  // a last line cut off by a crash
            ++m_damaged;
            break;
        }
        const QByteArray line = bytes.mid(pos, eol - pos);
        pos = eol + 1;
        const qint64 tab = line.lastIndexOf('\t');
        if (tab < 0 || m_key.isEmpty() || checksum(line.left(tab)) != line.mid(tab + 1)) {
            ++m_damaged;
            continue;
        }
        const QStringList parts = QString::fromUtf8(line.left(tab)).split(QLatin1Char('\t'));
        Record record;
        record.type = parts.front();
        for (int i = 1; i < parts.size(); ++i) record.fields << unescapeField(parts[i]);
        apply(record);
        m_records.append(record);
        lastGood = pos;
    }
    if (validEnd) *validEnd = lastGood;
    m_found = bytes.trimmed().isEmpty()              ? Found::Empty
              : m_records.size() > recordsBefore ? Found::Records
                                                     : Found::Untrusted;
    return true;
}

void RunJournal::apply(const Record& r) {
    JournalKey key;
    if (r.type == kBegin && r.fields.size() >= 8 && keyFrom(r.fields, key)) {
        m_open.insert(key.id() + QChar(0x1F) + r.fields[5],
                      {key, r.fields[5], r.fields[6], r.fields[4], r.fields[7].toLongLong(), {}});
    } else if (r.type == kDir && r.fields.size() >= 7 && keyFrom(r.fields, key)) {
        const auto it = m_open.find(key.id() + QChar(0x1F) + r.fields[4]);
        if (it != m_open.end() && it->attachmentDir == r.fields[5]) it->attachmentDirIdentity = r.fields[6];
    } else if (r.type == kDone && r.fields.size() >= 6 && keyFrom(r.fields, key)) {
        JournalWritten w;
        w.modified = r.fields[4];
        for (int i = 6; i + 2 < r.fields.size(); i += 3)
            w.files.append({r.fields[i], r.fields[i + 1].toLongLong(), r.fields[i + 2]});
        if (!w.files.isEmpty()) m_open.remove(key.id() + QChar(0x1F) + w.files.front().path);
        if (!r.fields[5].isEmpty()) m_claimed.insert(r.fields[5]);
        for (int i = 0; i < w.files.size(); ++i) {
            m_claimed.insert(w.files[i].path);
            const int slash = w.files[i].path.lastIndexOf(QLatin1Char('/'));
            if (i > 0 && slash > 0) m_claimed.insert(w.files[i].path.left(slash));
        }
        m_written.insert(key.id(), w);
    } else if (r.type == kUndo && r.fields.size() >= 5 && keyFrom(r.fields, key)) {
        m_open.remove(key.id() + QChar(0x1F) + r.fields[4]);
    }
}

bool RunJournal::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("cannot read the journal %1: %2").arg(path, file.errorString());
        return false;
    }
    QMutexLocker lock(&m_mutex);
    m_dest = QFileInfo(path).absolutePath();
    if (!readKey(m_dest, false, error)) return false;
    return parse(file.readAll(), nullptr);
}

bool RunJournal::open(const QString& dest, const QString& fileName, QString* error) {
    QMutexLocker lock(&m_mutex);
    m_dest = QDir::cleanPath(QDir(dest).absolutePath());
    const QString path = m_dest + QLatin1Char('/') + fileName;
    m_path = path;
    if (!readKey(m_dest, true, error)) return false;
    struct stat existing;
    const bool existed = ::lstat(QFile::encodeName(path).constData(), &existing) == 0;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (m_fd < 0) {
        if (error)
            *error = QStringLiteral("cannot open the journal %1: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(m_fd, buffer, sizeof buffer, bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = QStringLiteral("cannot read the journal %1").arg(path);
            ::close(m_fd);
            m_fd = -1;
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, n);
    }
    qint64 validEnd = 0;
    parse(bytes, &validEnd);
    if (!existed) m_found = Found::Missing;
    loadClaimsOfOtherJournals(fileName);
    // A damaged last line (a run killed mid-write) goes, so that new records
    // start on a line of their own.
    if (validEnd < bytes.size() && ::ftruncate(m_fd, validEnd) != 0) {
        if (error) *error = QStringLiteral("cannot repair the journal %1").arg(path);
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    lock.unlock();
    append(kRun, {QDateTime::currentDateTimeUtc().toString(Qt::ISODate), QString::number(::getpid()),
                  QSysInfo::machineHostName()});
    return true;
}

void RunJournal::loadClaimsOfOtherJournals(const QString& ownFileName) {
    for (const QString& other : journalsIn(m_dest)) {
        if (QFileInfo(other).fileName() == ownFileName) continue;
        RunJournal journal;
        if (journal.load(other, nullptr)) m_claimed.unite(journal.m_claimed);
    }
}

int RunJournal::writtenCount() const {
    QMutexLocker lock(&m_mutex);
    return int(m_written.size());
}

QStringList RunJournal::writtenDocuments() const {
    QMutexLocker lock(&m_mutex);
    QStringList out;
    for (const JournalWritten& w : m_written)
        if (!w.files.isEmpty()) out << w.files.front().path;
    return out;
}

QSet<QString> RunJournal::claimedPaths() const {
    QMutexLocker lock(&m_mutex);
    return m_claimed;
}

bool RunJournal::claims(const QString& path) const {
    const QString rel = relative(path);
    QMutexLocker lock(&m_mutex);
    return m_claimed.contains(rel);
}

QString RunJournal::noteMarkFor(const JournalKey& key, const QString& modified) {
    return (key.unid.isEmpty() ? QStringLiteral("#") + QString::number(key.noteId, 16) : key.unid.toUpper()) +
           QLatin1Char(' ') + modified;
}

QString RunJournal::noteMarkOf(const QString& document) {
    char value[256];
    const ssize_t n = ::lgetxattr(QFile::encodeName(document).constData(), kNoteMarkAttribute, value, sizeof value);
    return n > 0 ? QString::fromUtf8(value, int(n)) : QString();
}

bool RunJournal::adopt(const JournalKey& key, const QString& modified, const QString& document,
                       const QString& attachmentDir) {
    if (!recordWritten(key, modified, document, attachmentDir, QString())) return false;
    recordSkipped(key);
    m_adopted.fetch_add(1);
    return writeFailure().isEmpty();
}

bool RunJournal::append(const QString& type, const QStringList& fields) {
    QString text = type;
    for (const QString& f : fields) text += QLatin1Char('\t') + escapeField(f);
    const QByteArray content = text.toUtf8();
    const QByteArray line = content + '\t' + checksum(content) + '\n';
    QMutexLocker lock(&m_mutex);
    Record record{type, fields};
    apply(record);
    m_records.append(record);
    if (!m_writeFailure.isEmpty()) return false;
    if (m_fd < 0) return true;
    // One write per record: a kill leaves whole lines, or one cut-off last line.
    struct stat before;
    const bool sized = ::fstat(m_fd, &before) == 0;
    if (writeAll(m_fd, line)) return true;
    const int error = errno;
    // What part of the line went in goes again, so that the file ends on a whole line.
    if (sized && ::ftruncate(m_fd, before.st_size) != 0) {
        // The damaged last line is dropped when the journal is next opened.
    }
    m_writeFailure = QStringLiteral("the journal %1 cannot be written (%2); the run stopped so that nothing is "
                                    "written that the journal does not know of")
                         .arg(m_path, describeErrno(error));
    if (m_stop) m_stop->store(1);
    return false;
}

QString RunJournal::writeFailure() const {
    QMutexLocker lock(&m_mutex);
    return m_writeFailure;
}

QString RunJournal::relative(const QString& absolutePath) const {
    if (absolutePath.isEmpty()) return QString();
    const QString clean = QDir::cleanPath(absolutePath);
    if (clean.startsWith(m_dest + QLatin1Char('/'))) return clean.mid(m_dest.size() + 1);
    return clean;
}


QList<JournalFile> RunJournal::filesOf(const QString& document, const QString& attachmentDir) const {
    QList<JournalFile> files;
    const auto add = [this, &files](const QString& path) {
        struct stat info;
        const bool known = ::lstat(QFile::encodeName(path).constData(), &info) == 0;
        files.append({relative(path), known ? qint64(info.st_size) : 0,
                      known ? ConfinedPath::Identity::of(info).toString() : QString()});
    };
    add(document);
    if (!attachmentDir.isEmpty()) {
        QDir dir(attachmentDir);
        const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
        for (const QFileInfo& e : entries) add(e.absoluteFilePath());
    }
    return files;
}

std::optional<JournalWritten> RunJournal::written(const JournalKey& key) const {
    QMutexLocker lock(&m_mutex);
    const auto it = m_written.constFind(key.id());
    if (it == m_written.constEnd()) return std::nullopt;
    return *it;
}

bool RunJournal::isPresent(const JournalWritten& written) const {
    if (written.files.isEmpty()) return false;
    for (const JournalFile& f : written.files) {
        struct stat info;
        if (!ConfinedPath::statBelow(m_dest, f.path, info) || !S_ISREG(info.st_mode) || info.st_size != f.size)
            return false;
    }
    return true;
}

void RunJournal::removeOutput(const JournalWritten& written) {
    QStringList dirs;
    for (int i = 0; i < written.files.size(); ++i) {
        const JournalFile& f = written.files[i];
        const ConfinedPath::Identity recorded = ConfinedPath::Identity::fromString(f.identity);
        if (!recorded.valid()) continue;
        // Only the very file that was written, still this user's.
        ConfinedPath::removeFileBelow(m_dest, f.path, [&recorded](const struct stat& info) {
            return ConfinedPath::Identity::of(info) == recorded && info.st_uid == ::getuid();
        });
        const int slash = f.path.lastIndexOf(QLatin1Char('/'));
        if (i > 0 && slash > 0 && !dirs.contains(f.path.left(slash))) dirs << f.path.left(slash);
    }
    for (const QString& dir : dirs) ConfinedPath::removeEmptyDirectoryBelow(m_dest, dir);
}

int RunJournal::undoUnfinished() {
    QList<Begun> open;
    {
        QMutexLocker lock(&m_mutex);
        open = m_open.values();
    }
    const uid_t uid = ::getuid();
    int undone = 0;
    for (const Begun& b : open) {
        // A document that carries the item's mark was written completely (the
        // mark goes on with the record of the write, whose line was lost: a
        // journal cut or a full disk): it is kept as the item's write.
        if (!b.document.isEmpty() && ConfinedPath::isPlainRelative(b.document)) {
            struct stat info;
            const QString path = m_dest + QLatin1Char('/') + b.document;
            if (ConfinedPath::statBelow(m_dest, b.document, info) && S_ISREG(info.st_mode) && info.st_uid == uid &&
                noteMarkOf(path) == noteMarkFor(b.key, b.modified)) {
                recordWritten(b.key, b.modified, path,
                              b.attachmentDir.isEmpty() ? QString() : m_dest + QLatin1Char('/') + b.attachmentDir,
                              QString());
                continue;
            }
        }
        // The document the item would have had: this user's, and made (its
        // inode changed last) no earlier than the item was begun. A document
        // with another hard link (a kill between the two steps of putting it
        // in place) loses this name only; the data stays under the other.
        const time_t begun = time_t(b.beganMs / 1000);
        const auto madeSinceBegun = [uid, begun](const struct stat& info) {
            return info.st_uid == uid && info.st_ctime >= begun;
        };
        if (!b.document.isEmpty() && b.beganMs > 0) ConfinedPath::removeFileBelow(m_dest, b.document, madeSinceBegun);
        // The attachment folder, when it is the one recorded as made. Without
        // that record (killed between making it and recording it, or the
        // record lost with the end of the journal) it goes when it is this
        // user's and made since the item was begun, its name being free then.
        const ConfinedPath::Identity folder = ConfinedPath::Identity::fromString(b.attachmentDirIdentity);
        if (!b.attachmentDir.isEmpty() && folder.valid())
            ConfinedPath::removeDirectoryBelow(m_dest, b.attachmentDir, [uid, folder](const struct stat& info) {
                return ConfinedPath::Identity::of(info) == folder && info.st_uid == uid;
            });
        else if (!b.attachmentDir.isEmpty() && b.beganMs > 0)
            ConfinedPath::removeDirectoryBelow(m_dest, b.attachmentDir, madeSinceBegun);
        QStringList fields = keyFields(b.key);
        fields << b.document;
        append(kUndo, fields);
        ++undone;
    }
    return undone;
}

bool RunJournal::recordBegin(const JournalKey& key, const QString& modified, const QString& document,
                             const QString& attachmentDir) {
    QStringList fields = keyFields(key);
    fields << modified << relative(document) << relative(attachmentDir)
           << QString::number(QDateTime::currentMSecsSinceEpoch());
    return append(kBegin, fields);
}

bool RunJournal::recordAttachmentFolder(const JournalKey& key, const QString& document, const QString& attachmentDir) {
    struct stat info;
    if (::lstat(QFile::encodeName(attachmentDir).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) return true;
    QStringList fields = keyFields(key);
    fields << relative(document) << relative(attachmentDir) << ConfinedPath::Identity::of(info).toString();
    return append(kDir, fields);
}

bool RunJournal::recordWritten(const JournalKey& key, const QString& modified, const QString& document,
                               const QString& attachmentDir, const QString& replaces) {
    // The document says which note it is, so that it is known again should
    // the journal be lost (a file system without extended attributes keeps
    // only the journal's record).
    const QByteArray mark = noteMarkFor(key, modified).toUtf8();
    ::lsetxattr(QFile::encodeName(document).constData(), kNoteMarkAttribute, mark.constData(), size_t(mark.size()), 0);
    QStringList fields = keyFields(key);
    fields << modified << replaces;
    for (const JournalFile& f : filesOf(document, attachmentDir))
        fields << f.path << QString::number(f.size) << f.identity;
    return append(kDone, fields);
}

void RunJournal::recordFailed(const JournalKey& key, const QString& reason) {
    QStringList fields = keyFields(key);
    fields << reason;
    append(kFail, fields);
}

void RunJournal::recordSkipped(const JournalKey& key) { append(kSkip, keyFields(key)); }

void RunJournal::recordFolder(const QString& database, const QString& folder, int found) {
    append(kFolder, {database, folder, QString::number(found)});
}

void RunJournal::recordSource(const QString& database, const QString& outcome, const QString& reason) {
    append(kSource, {database, outcome, reason});
}

void RunJournal::summarize(Summary& summary) const {
    QMutexLocker lock(&m_mutex);
    QHash<QString, int> found;         // database + folder -> latest count
    QStringList foundOrder;
    QHash<QString, bool> lastOk;       // key id -> last outcome written?
    QHash<QString, Summary::Failure> lastFailure;
    QStringList order;
    int skippedThisRun = 0;
    QSet<QString> skippedKeys;
    for (const Record& r : m_records) {
        JournalKey key;
        if (r.type == kRun) {
            skippedThisRun = 0;
            skippedKeys.clear();
        } else if (r.type == kFolder && r.fields.size() >= 3) {
            const QString id = r.fields[0] + QChar(0x1F) + r.fields[1];
            if (!found.contains(id)) foundOrder << id;
            found.insert(id, r.fields[2].toInt());
        } else if (r.type == kDone && keyFrom(r.fields, key)) {
            if (!lastOk.contains(key.id())) order << key.id();
            lastOk.insert(key.id(), true);
            if (r.fields.size() > 5 && !r.fields[5].isEmpty()) ++summary.rewritten;
        } else if (r.type == kFail && r.fields.size() >= 5 && keyFrom(r.fields, key)) {
            if (!lastOk.contains(key.id())) order << key.id();
            // A failure after a complete write (a changed item that could not be
            // written again) leaves the earlier document: still written.
            if (!m_written.contains(key.id())) {
                lastOk.insert(key.id(), false);
                lastFailure.insert(key.id(), {key, r.fields[4]});
            }
        } else if (r.type == kSkip && keyFrom(r.fields, key)) {
            if (!skippedKeys.contains(key.id())) {
                skippedKeys.insert(key.id());
                ++skippedThisRun;
            }
        } else if (r.type == kSource && r.fields.size() >= 3) {
            bool replaced = false;
            for (Summary::Source& s : summary.sources)
                if (s.database == r.fields[0]) {
                    s = {r.fields[0], r.fields[1], r.fields[2]};
                    replaced = true;
                }
            if (!replaced) summary.sources.append({r.fields[0], r.fields[1], r.fields[2]});
        }
    }
    for (const QString& id : foundOrder) summary.found += found.value(id);
    summary.written += int(m_written.size());
    summary.alreadyWritten += skippedThisRun;
    for (const QString& id : order)
        if (!lastOk.value(id) && lastFailure.contains(id)) summary.failures.append(lastFailure.value(id));
}

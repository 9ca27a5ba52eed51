#include "export/RunJournal.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kJournalBase = QStringLiteral(".tesseldoc-journal");

const QString kRun = QStringLiteral("RUN");
const QString kBegin = QStringLiteral("BEGIN");
const QString kDone = QStringLiteral("DONE");
const QString kFail = QStringLiteral("FAIL");
const QString kSkip = QStringLiteral("SKIP");
const QString kUndo = QStringLiteral("UNDO");
const QString kFolder = QStringLiteral("FOLDER");
const QString kSource = QStringLiteral("SOURCE");

QByteArray checksum(const QByteArray& content) {
    return QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex().left(8);
}

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

// A path a journal may name: relative, inside the destination.
bool isSafeRelative(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/'))) return false;
    for (const QString& part : path.split(QLatin1Char('/')))
        if (part == QLatin1String("..") || part == QLatin1String(".")) return false;
    return true;
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
    while (pos < bytes.size()) {
        const qint64 eol = bytes.indexOf('\n', pos);
        if (eol < 0) {  // a last line cut off by a crash
            ++m_damaged;
            break;
        }
        const QByteArray line = bytes.mid(pos, eol - pos);
        pos = eol + 1;
        const qint64 tab = line.lastIndexOf('\t');
        if (tab < 0 || checksum(line.left(tab)) != line.mid(tab + 1)) {
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
    return true;
}

void RunJournal::apply(const Record& r) {
    JournalKey key;
    if (r.type == kBegin && r.fields.size() >= 7 && keyFrom(r.fields, key)) {
        m_open.insert(key.id() + QChar(0x1F) + r.fields[5], {key, r.fields[5], r.fields[6]});
    } else if (r.type == kDone && r.fields.size() >= 6 && keyFrom(r.fields, key)) {
        JournalWritten w;
        w.modified = r.fields[4];
        for (int i = 6; i + 1 < r.fields.size(); i += 2) w.files.append({r.fields[i], r.fields[i + 1].toLongLong()});
        if (!w.files.isEmpty()) m_open.remove(key.id() + QChar(0x1F) + w.files.front().path);
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
    return parse(file.readAll(), nullptr);
}

bool RunJournal::open(const QString& dest, const QString& fileName, QString* error) {
    QMutexLocker lock(&m_mutex);
    m_dest = QDir::cleanPath(QDir(dest).absolutePath());
    const QString path = m_dest + QLatin1Char('/') + fileName;
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

void RunJournal::append(const QString& type, const QStringList& fields) {
    QString text = type;
    for (const QString& f : fields) text += QLatin1Char('\t') + escapeField(f);
    const QByteArray content = text.toUtf8();
    const QByteArray line = content + '\t' + checksum(content) + '\n';
    QMutexLocker lock(&m_mutex);
    Record record{type, fields};
    apply(record);
    m_records.append(record);
    // One write per record: a kill leaves whole lines, or one cut-off last line.
    if (m_fd >= 0) writeAll(m_fd, line);
}

QString RunJournal::relative(const QString& absolutePath) const {
    if (absolutePath.isEmpty()) return QString();
    const QString clean = QDir::cleanPath(absolutePath);
    if (clean.startsWith(m_dest + QLatin1Char('/'))) return clean.mid(m_dest.size() + 1);
    return clean;
}

QString RunJournal::absolute(const QString& relativePath) const {
    if (!isSafeRelative(relativePath)) return QString();
    return m_dest + QLatin1Char('/') + relativePath;
}

QList<JournalFile> RunJournal::filesOf(const QString& document, const QString& attachmentDir) const {
    QList<JournalFile> files;
    files.append({relative(document), QFileInfo(document).size()});
    if (!attachmentDir.isEmpty()) {
        QDir dir(attachmentDir);
        const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
        for (const QFileInfo& e : entries) files.append({relative(e.absoluteFilePath()), e.size()});
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
        const QString path = absolute(f.path);
        if (path.isEmpty()) return false;
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_size != f.size)
            return false;
    }
    return true;
}

void RunJournal::removeOutput(const JournalWritten& written) {
    QStringList dirs;
    for (int i = 0; i < written.files.size(); ++i) {
        const QString path = absolute(written.files[i].path);
        if (path.isEmpty()) continue;
        QFile::remove(path);
        if (i > 0) {
            const QString dir = QFileInfo(path).absolutePath();
            if (!dirs.contains(dir)) dirs << dir;
        }
    }
    for (const QString& dir : dirs) QDir().rmdir(dir);
}

int RunJournal::undoUnfinished() {
    QList<Begun> open;
    {
        QMutexLocker lock(&m_mutex);
        open = m_open.values();
    }
    for (const Begun& b : open) {
        const QString doc = absolute(b.document);
        if (!doc.isEmpty()) QFile::remove(doc);
        const QString dir = absolute(b.attachmentDir);
        if (!dir.isEmpty() && QFileInfo(dir).isDir() && !QFileInfo(dir).isSymLink()) QDir(dir).removeRecursively();
        QStringList fields = keyFields(b.key);
        fields << b.document;
        append(kUndo, fields);
    }
    return int(open.size());
}

void RunJournal::recordBegin(const JournalKey& key, const QString& modified, const QString& document,
                             const QString& attachmentDir) {
    QStringList fields = keyFields(key);
    fields << modified << relative(document) << relative(attachmentDir);
    append(kBegin, fields);
}

void RunJournal::recordWritten(const JournalKey& key, const QString& modified, const QString& document,
                               const QString& attachmentDir, const QString& replaces) {
    QStringList fields = keyFields(key);
    fields << modified << replaces;
    for (const JournalFile& f : filesOf(document, attachmentDir)) fields << f.path << QString::number(f.size);
    append(kDone, fields);
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

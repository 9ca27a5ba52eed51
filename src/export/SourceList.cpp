#include "export/SourceList.h"

#include "export/FileNameCleaning.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString SourceList::FileTitle(const QString& path) {
    const int slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString title = path.mid(slash + 1).toUpper();
    title.remove(QStringLiteral(".NSF"));
    title.remove(QStringLiteral(".DXL"));
    return title;
}

void SourceList::add(const QString& textIn, const QString& origin) {
    const QString text = textIn.trimmed();
    if (text.isEmpty()) return;
    SourceEntry e;
    e.text = text;
    e.origin = origin;
    const int sep = text.indexOf(QStringLiteral("!!"));
    if (sep > 0) {
        e.server = text.left(sep);
        e.path = text.mid(sep + 2);
    } else {
        // A local file is known by its absolute, clean path, so that two
        // spellings of one file are one source.
        e.path = QDir::cleanPath(QFileInfo(text).absoluteFilePath());
        // Links, ".." and hard links: the file itself is what counts.
        struct stat info;
        if (::stat(QFile::encodeName(e.path).constData(), &info) == 0 && S_ISREG(info.st_mode))
            e.fileId = QStringLiteral("%1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
    }
    // Identity: the server name is not case-sensitive, nor is the path on it.
    const auto sameSource = [&e](const SourceEntry& o) {
        if (e.server.isEmpty() != o.server.isEmpty()) return false;
        if (e.server.isEmpty()) return o.path == e.path || (!e.fileId.isEmpty() && o.fileId == e.fileId);
        return o.server.compare(e.server, Qt::CaseInsensitive) == 0 &&
               QString(o.path).replace(QLatin1Char('\\'), QLatin1Char('/'))
                       .compare(QString(e.path).replace(QLatin1Char('\\'), QLatin1Char('/')), Qt::CaseInsensitive) == 0;
    };
    for (const SourceEntry& o : m_entries)
        if (o.duplicateOf.isEmpty() && sameSource(o)) {
            e.duplicateOf = o.origin;
            e.position = o.position;
            e.subFolder = o.subFolder;
            m_entries.append(e);
            return;
        }
    e.position = m_distinct++;
    // Two databases of one file name would share a sub-folder (and, split
    // over shards, write into it at once): later ones get a number, as a
    // taken directory name would.
    // A file name may hold what no folder name should (a tab, a bidirectional control).
    const QString title = FileTitle(e.path).isEmpty() ? QString() : WindowsSafeName(CleanNameNine(FileTitle(e.path)));
    QString folder = title.isEmpty() ? QStringLiteral("DATABASE") : title;
    const auto taken = [this](const QString& name) {
        for (const SourceEntry& o : m_entries)
            if (o.duplicateOf.isEmpty() && o.subFolder == name) return true;
        return false;
    };
    for (int n = 0; taken(folder); ++n) folder = (title.isEmpty() ? QStringLiteral("DATABASE") : title) + QString::number(n);
    e.subFolder = folder;
    m_entries.append(e);
}

bool SourceList::addManifest(const QString& file, QString* error) {
    // Opened without waiting: a named pipe that no program writes to would
    // otherwise block here for ever; read from, it then ends at once.
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = QStringLiteral("cannot read the manifest %1: %2").arg(file, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat info;
    const bool pipe = ::fstat(fd, &info) == 0 && S_ISFIFO(info.st_mode);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        if (error) *error = QStringLiteral("cannot read the manifest %1: %2").arg(file, f.errorString());
        return false;
    }
    if (pipe && f.peek(1).isEmpty()) {
        if (error) *error = QStringLiteral("the manifest %1 is a pipe with nothing written to it").arg(file);
        return false;
    }
    int line = 0;
    while (!f.atEnd()) {
        ++line;
        QByteArray bytes = f.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r')) bytes.chop(1);
        add(QString::fromUtf8(bytes), QStringLiteral("manifest line %1").arg(line));
    }
    return true;
}

QList<SourceEntry> SourceList::shard(int shard, int shardCount) const {
    QList<SourceEntry> out;
    for (const SourceEntry& e : m_entries)
        if (shardCount <= 0 || e.position % shardCount == shard) out.append(e);
    return out;
}

bool SourceList::parseShard(const QString& text, int* shard, int* shardCount) {
    const int slash = text.indexOf(QLatin1Char('/'));
    if (slash <= 0) return false;
    bool ok1 = false, ok2 = false;
    const int k = text.left(slash).toInt(&ok1);
    const int n = text.mid(slash + 1).toInt(&ok2);
    if (!ok1 || !ok2 || n <= 0 || k < 0 || k >= n) return false;
    *shard = k;
    *shardCount = n;
    return true;
}

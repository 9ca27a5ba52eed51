#include "export/UniquePaths.h"

#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSet>

#include <functional>

#include "export/FileNameCleaning.h"

namespace {

const QString kAttachmentsWord = QStringLiteral("Attachments");
// Bytes kept free for the number that UniqueDirectoryPath may append.
constexpr int kNumberReserve = 6;

int utf8Bytes(const QString& text) {
    return int(text.toUtf8().size());
}

// Splits at the last "/": ("dir/", "name").
void splitPath(const QString& path, QString& dir, QString& name) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    dir = path.left(slash + 1);
    name = path.mid(slash + 1);
}

// Where the search for a free numbered name last ended, per directory and
// stem. Many items of one subject in one folder would otherwise probe every
// taken name again for each new one. Names only get taken during a run, so
// the first free number never lies below the one found last time.
class NumberHints {
  public:
    qint64 start(const QString& key) {
        QMutexLocker lock(&m_mutex);
        return m_next.value(key, 0);
    }
    void found(const QString& key, qint64 n) {
        QMutexLocker lock(&m_mutex);
        m_next.insert(key, n);
    }

  private:
    QMutex m_mutex;
    QHash<QString, qint64> m_next;
};

NumberHints& numberHints() {
    static NumberHints hints;
    return hints;
}

QString capLastName(const QString& path) {
    QString dir, name;
    splitPath(path, dir, name);
    return dir + CapComponentBytes(name);
}

}  // namespace

namespace {

class Reservations {
  public:
    bool contains(const QString& path) {
        QMutexLocker lock(&m_mutex);
        return !m_paths.isEmpty() && m_paths.contains(path);
    }
    void insert(const QString& path) {
        QMutexLocker lock(&m_mutex);
        m_paths.insert(path);
    }
    void remove(const QString& path) {
        QMutexLocker lock(&m_mutex);
        m_paths.remove(path);
    }

  private:
    QMutex m_mutex;
    QSet<QString> m_paths;
};

Reservations& reservations() {
    static Reservations r;
    return r;
}

}  // namespace

void ReservePath(const QString& path) { reservations().insert(path); }

void ReleasePath(const QString& path) { reservations().remove(path); }

bool PathIsTaken(const QString& path) {
    if (reservations().contains(path)) return true;
    // lstat: a link counts even when it points nowhere. Any failure other
    // than a missing entry also reads as free: writing there then fails and
    // is reported, instead of the search never ending.
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString CapPathLength(const QString& path) {
    constexpr int kCapAt = 252;
    constexpr int kCapTo = 251;
    constexpr int kLastSlashLimit = 245;
    QString result = path;
    const int slash = result.lastIndexOf(QLatin1Char('/'));
    if (result.size() >= kCapAt && slash <= kLastSlashLimit) {
        int dot = result.lastIndexOf(QLatin1Char('.'));
        if (dot <= slash) dot = result.size();  // no extension: cut the name's end
        while (result.size() > kCapTo && dot - 1 > slash) {
            int cut = dot - 1;
            if (QChar::isLowSurrogate(result.at(cut).unicode()) && cut - 1 > slash &&
                QChar::isHighSurrogate(result.at(cut - 1).unicode()))
                --cut;  // a character outside the BMP goes whole
            result.remove(cut, dot - cut);
            dot = cut;
        }
    }
    return capLastName(result);
}

QString UniqueDocPath(const QString& pathIn, const QString& extension) {
    const QString path = capLastName(pathIn);
    if (!PathIsTaken(path)) return path;
    QString dir, name;
    splitPath(path, dir, name);
    const QString stem = name.endsWith(extension) ? name.left(name.size() - extension.size()) : name;
    const QString key = extension + QLatin1Char(':') + dir + stem;
    for (qint64 n = numberHints().start(key);; ++n) {
        const QString number = QString::number(n);
        const int room = kMaxNameBytes - utf8Bytes(number) - utf8Bytes(extension);
        const QString candidate = dir + CutToUtf8Bytes(stem, room) + number + extension;
        if (!PathIsTaken(candidate)) {
            numberHints().found(key, n);
            return candidate;
        }
    }
}

QString UniqueDirectoryPath(const QString& pathIn) {
    QString path = pathIn;
    QString trailing;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
        trailing += QLatin1Char('/');
    }
    path = capLastName(path);
    if (!PathIsTaken(path)) return path + trailing;
    QString dir, name;
    splitPath(path, dir, name);
    const QString key = QStringLiteral("dir:") + path;
    for (qint64 n = numberHints().start(key);; ++n) {
        const QString number = QString::number(n);
        const QString candidate = dir + CutToUtf8Bytes(name, kMaxNameBytes - utf8Bytes(number)) + number;
        if (!PathIsTaken(candidate)) {
            numberHints().found(key, n);
            return candidate + trailing;
        }
    }
}

QString DocumentPathFor(const QString& outputFolder, const QString& itemName, const QString& extension) {
    QString folder = outputFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return UniqueDocPath(CapPathLength(folder + WindowsSafeName(CleanFileName(itemName) + extension)), extension);
}

namespace {

// 1: a regular file, 2: a directory, 0: nothing or anything else (a link).
int kindAt(const QString& path) {
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return -1;
    return S_ISREG(info.st_mode) ? 1 : S_ISDIR(info.st_mode) ? 2 : 0;
}

// `first`, then `numbered(0)`, `numbered(1)`, ... while something is there:
// those of the wanted kind.
QStringList existingInOrder(const QString& first, const std::function<QString(qint64)>& numbered, int kind) {
    QStringList out;
    if (kindAt(first) == kind) out << first;
    for (qint64 n = 0;; ++n) {
        const QString candidate = numbered(n);
        const int k = kindAt(candidate);
        if (k < 0) break;
        if (k == kind) out << candidate;
    }
    return out;
}

QString folderWithSlash(const QString& outputFolder) {
    QString folder = outputFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

QStringList ExistingDocumentPathsFor(const QString& outputFolder, const QString& itemName, const QString& extension) {
    const QString path =
        capLastName(CapPathLength(folderWithSlash(outputFolder) + WindowsSafeName(CleanFileName(itemName) + extension)));
    QString dir, name;
    splitPath(path, dir, name);
    const QString stem = name.endsWith(extension) ? name.left(name.size() - extension.size()) : name;
    return existingInOrder(
        path,
        [&](qint64 n) {
            const QString number = QString::number(n);
            const int room = kMaxNameBytes - utf8Bytes(number) - utf8Bytes(extension);
            return dir + CutToUtf8Bytes(stem, room) + number + extension;
        },
        1);
}

QStringList ExistingAttachmentDirectoriesFor(const QString& outputFolder, const QString& itemName) {
    const int room = kMaxNameBytes - utf8Bytes(kAttachmentsWord) - kNumberReserve;
    const QString path = capLastName(folderWithSlash(outputFolder) + CutToUtf8Bytes(CleanNameNine(itemName), room) +
                                     kAttachmentsWord);
    QString dir, name;
    splitPath(path, dir, name);
    return existingInOrder(
        path,
        [&](qint64 n) {
            const QString number = QString::number(n);
            return dir + CutToUtf8Bytes(name, kMaxNameBytes - utf8Bytes(number)) + number;
        },
        2);
}

QString AttachmentDirectoryFor(const QString& outputFolder, const QString& itemName) {
    QString folder = outputFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    const int room = kMaxNameBytes - utf8Bytes(kAttachmentsWord) - kNumberReserve;
    return UniqueDirectoryPath(folder + CutToUtf8Bytes(CleanNameNine(itemName), room) + kAttachmentsWord);
}

#include "export/OutputFolderLayout.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>

#include "export/FileNameCleaning.h"
#include "notes/NotesFolderEntry.h"

namespace {

QString withTrailingSlash(const QString& text) {
    return text.endsWith(QLatin1Char('/')) ? text : text + QLatin1Char('/');
}

QString safeLevel(QString level) {
    for (QChar& c : level)
        if (IsControlCharacter(c)) c = QLatin1Char('_');
    if (level == QLatin1String(".") || level == QLatin1String("..")) level.fill(QLatin1Char('_'));
    if (level.startsWith(QLatin1Char('.'))) level[0] = QLatin1Char('_');  // never a hidden directory
    return WindowsSafeName(CapComponentBytes(level));
}

}  // namespace

QString OutputRootFor(const QString& destinationFolder, const QString& subFolderName) {
    return withTrailingSlash(withTrailingSlash(destinationFolder) + subFolderName);
}

QString OutputFolderFor(const QString& notesFolderName) {
    if (notesFolderName.endsWith(QLatin1Char('\\'))) {
        const QString bare = notesFolderName.left(notesFolderName.size() - 1);
        const QString shown = SystemFolderDisplayNames(bare);
        if (shown != bare || bare == QLatin1String("My Contacts")) return shown + QLatin1Char('/');
    }
    QString path = notesFolderName;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList levels = path.split(QLatin1Char('/'));
    for (QString& level : levels) level = safeLevel(level);
    return levels.join(QLatin1Char('/'));
}

bool MakeDirectories(const QString& path) {
    if (!path.contains(QLatin1Char('/'))) return false;
    QDir dir;
    for (int slash = path.indexOf(QLatin1Char('/')); slash >= 0;
         slash = path.indexOf(QLatin1Char('/'), slash + 1))
        if (slash > 0) dir.mkdir(path.left(slash));
    dir.mkdir(path);
    return true;
}

namespace {

enum class Entry { Missing, Directory, Other };

Entry entryAt(const QString& path) {
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return Entry::Missing;
    return S_ISDIR(info.st_mode) ? Entry::Directory : Entry::Other;
}

QString baseOf(const QString& root) {
    return root.isEmpty() ? QString() : withTrailingSlash(root);
}

QString levelsBelow(const QString& root, const QString& folder) {
    const QString base = baseOf(root);
    return folder.startsWith(base) ? folder.mid(base.size()) : QString();
}

}  // namespace

QString MakeOutputFolder(const QString& root, const QString& relative, int* error, QString* failedPath) {
    const QString base = baseOf(root);
    if (!base.isEmpty()) {
        struct stat info;
        int failure = 0;
        if (::stat(QFile::encodeName(base).constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) failure = ENOTDIR;
        } else if (!QDir().mkpath(base)) {
            // A file somewhere on the way makes mkdir report it as existing.
            failure = errno == EEXIST || errno == 0 ? ENOTDIR : errno;
        }
        if (failure != 0) {
            if (error) *error = failure;
            if (failedPath) *failedPath = root;
            return QString();
        }
    }
    QString current = base;
    for (const QString& level : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        QString chosen;
        for (qint64 n = -1; chosen.isEmpty(); ++n) {
            const QString name = n < 0 ? level : CapComponentBytes(level, int(QString::number(n).size())) +
                                                     QString::number(n);
            const QString candidate = current + name;
            switch (entryAt(candidate)) {
                case Entry::Directory:
                    chosen = candidate;
                    break;
                case Entry::Missing:
                    if (::mkdir(QFile::encodeName(candidate).constData(), 0777) == 0 ||
                        (errno == EEXIST && entryAt(candidate) == Entry::Directory)) {
                        chosen = candidate;
                    } else if (errno != EEXIST) {
                        if (error) *error = errno;
                        if (failedPath) *failedPath = candidate;
                        return QString();
                    }
                    break;  // made meanwhile by someone else as something else: the next number
                case Entry::Other:
                    break;  // a link or a file: never written through, the next number
            }
        }
        current = chosen + QLatin1Char('/');
    }
    return current;
}

bool OutputFolderIntact(const QString& root, const QString& folder) {
    QString current = baseOf(root);
    for (const QString& level : levelsBelow(root, folder).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        current += level;
        if (entryAt(current) != Entry::Directory) return false;
        current += QLatin1Char('/');
    }
    return true;
}

#include "export/DestinationChecks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QString parentOf(const QString& path) {
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    const int slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    if (slash == 0) return QStringLiteral("/");
    return p.left(slash);
}

// The first folder from the top of `path`'s directories that may not be
// entered (searched); empty when every one may.
QString firstUnenterableFolder(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString prefix;
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = 0; i + 1 < parts.size(); ++i) {
        prefix += QLatin1Char('/') + parts[i];
        struct stat info;
        if (::stat(native(prefix).constData(), &info) != 0) return QString();  // missing: not a permission matter
        if (S_ISDIR(info.st_mode) && ::access(native(prefix).constData(), X_OK) != 0 && errno == EACCES)
            return prefix;
    }
    return QString();
}

QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return QStringLiteral("a FIFO");
    if (S_ISCHR(mode)) return QStringLiteral("a character device");
    if (S_ISBLK(mode)) return QStringLiteral("a block device");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    if (S_ISDIR(mode)) return QStringLiteral("a directory");
    return QStringLiteral("not a regular file");
}

}  // namespace

QString ErrorWords(int error) {
    QString text = QString::fromLocal8Bit(std::strerror(error));
    if (!text.isEmpty()) text[0] = text[0].toLower();
    return text;
}

QString DatabaseFileProblem(const QString& path) {
    if (path.isEmpty()) return QString();
    struct stat info;
    if (::stat(native(path).constData(), &info) != 0) {
        const int error = errno;
        if (error == EACCES || error == ENOENT) {
            const QString folder = firstUnenterableFolder(path);
            if (!folder.isEmpty())
                return QStringLiteral("%1: permission denied: the folder %2 may not be entered").arg(path, folder);
        }
        if (error == EACCES) return QStringLiteral("%1: permission denied").arg(path);
        return QString();
    }
    if (S_ISDIR(info.st_mode)) return QString();  // the database layer names a directory itself
    if (S_ISREG(info.st_mode)) {
        if (::access(native(path).constData(), R_OK) != 0)
            return QStringLiteral("%1: permission denied: the file may not be read").arg(path);
        return QString();
    }
    return QStringLiteral("%1 is %2, not a database file; it is not read").arg(path, kindOf(info.st_mode));
}

QString DescribeWriteFailure(const QString& path, int error) {
    QString text = QStringLiteral("%1: %2").arg(path, ErrorWords(error));
    if (error == EACCES || error == EPERM) {
        const QString folder = firstUnenterableFolder(path);
        const QString parent = parentOf(path);
        if (!folder.isEmpty())
            text += QStringLiteral(" (the folder %1 may not be entered)").arg(folder);
        else if (::access(native(parent).constData(), W_OK) != 0)
            text += QStringLiteral(" (the folder %1 may not be written)").arg(parent);
    } else if (error == ENAMETOOLONG) {
        text = QStringLiteral("%1: path too long").arg(path);
    } else if (error == ENOSPC || error == EDQUOT) {
        text = QStringLiteral("%1: no space left on the device").arg(path);
    }
    return text;
}

bool MakeDestination(const QString& root, QString* problem) {
    struct stat info;
    if (::stat(native(root).constData(), &info) == 0) {
        if (!S_ISDIR(info.st_mode)) {
            if (problem) *problem = QStringLiteral("it exists and is not a directory");
            return false;
        }
        if (::access(native(root).constData(), W_OK | X_OK) != 0) {
            if (problem) *problem = QStringLiteral("permission denied: the folder may not be written");
            return false;
        }
        return true;
    }
    // Create each missing level in turn, so that a refusal names its folder.
    const QString absolute = QFileInfo(root).absoluteFilePath();
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString prefix;
    for (const QString& part : parts) {
        const QString parent = prefix.isEmpty() ? QStringLiteral("/") : prefix;
        prefix += QLatin1Char('/') + part;
        if (::stat(native(prefix).constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                if (problem) *problem = QStringLiteral("%1 is not a directory").arg(prefix);
                return false;
            }
            continue;
        }
        if (::mkdir(native(prefix).constData(), 0777) != 0 && errno != EEXIST) {
            const int error = errno;
            if (problem) {
                if (error == EACCES || error == EPERM || error == EROFS)
                    *problem = QStringLiteral("%1 in the folder %2").arg(ErrorWords(error), parent);
                else
                    *problem = ErrorWords(error);
            }
            return false;
        }
    }
    return true;
}

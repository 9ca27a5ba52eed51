#include "native/DocumentPublisher.h"

#include "files/StaleFileCleaner.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

namespace {

int writeAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        p += n;
        left -= n;
    }
    return 0;
}

// Gives `from` the name `to` unless `to` exists.
int renameNoReplace(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
    // A file system without the flag: a hard link fails as well on a taken name.
    if (::link(from.constData(), to.constData()) != 0) return errno;
    ::unlink(from.constData());
    return 0;
}

// Writes `bytes` to a file without a name in the target's folder and then
// gives it the name, unless taken: no temporary name is made, renamed or left
// behind by a killed run. -1 when the file system or /proc does not allow it
// (nothing was made); otherwise 0 or the errno.
int publishUnnamed(const QByteArray& folder, const QByteArray& finalName, const QByteArray& bytes) {
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == EROFS ? errno : -1;
    int error = writeAll(fd, bytes);
    bool linked = false;
    if (error == 0) {
        char self[64];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
        if (::linkat(AT_FDCWD, self, AT_FDCWD, finalName.constData(), AT_SYMLINK_FOLLOW) == 0) {
            linked = true;
        } else {
            error = errno;
            if (error == ENOENT && ::access("/proc/self/fd", X_OK) != 0) error = -1;  // no /proc
        }
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
        if (linked) ::unlink(finalName.constData());
    }
    return error;
}

}  // namespace

int DocumentPublisher::publish(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    const QByteArray finalName = QFile::encodeName(path);
    const int unnamed = publishUnnamed(QFile::encodeName(target.path()), finalName, bytes);
    if (unnamed >= 0) return unnamed;
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        // Named as the next run's clean-up knows it: a run killed here leaves
        // nothing it would not remove.
        temp = QFile::encodeName(target.path() + QLatin1Char('/') +
                                 StaleFileCleaner::partialFileName(QStringLiteral(".part")));
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return errno;
    }
    if (fd < 0) return EEXIST;
    // No flush to disk per document; the run syncs its output once at the end.
    int error = writeAll(fd, bytes);
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) error = renameNoReplace(temp, finalName);
    if (error != 0) ::unlink(temp.constData());
    return error;
}

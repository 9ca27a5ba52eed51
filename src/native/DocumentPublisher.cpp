#include "native/DocumentPublisher.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<quint64> g_counter{0};

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

}  // namespace

int DocumentPublisher::publish(const QString& path, const QByteArray& bytes) {
    const QFileInfo target(path);
    const QByteArray finalName = QFile::encodeName(path);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = QFile::encodeName(target.path() + QStringLiteral("/.~tesseldoc-%1-%2.tmp")
                                                     .arg(::getpid())
                                                     .arg(g_counter.fetch_add(1)));
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

#include "export/DestinationLock.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int openLockFile(const QString& path, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 && error)
        *error = QStringLiteral("cannot open the lock file %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    return fd;
}

// 0 when locked, else errno (EAGAIN/EACCES: someone else holds it).
int lockWhole(int fd, short type) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    fl.l_pid = 0;
    // Open-file-description locks: owned by this descriptor, so two locks of one
    // process conflict too, and closing another descriptor of the file drops nothing.
    return ::fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 0 : errno;
}

}  // namespace

DestinationLock::~DestinationLock() { release(); }

void DestinationLock::release() {
    // Closing the descriptors drops the record locks.
    if (m_shardFd >= 0) ::close(m_shardFd);
    if (m_mainFd >= 0) ::close(m_mainFd);
    m_shardFd = m_mainFd = -1;
}

bool DestinationLock::acquire(const QString& dest, int shard, int shardCount, QString* error) {
    release();
    const QString base = dest.endsWith(QLatin1Char('/')) ? dest : dest + QLatin1Char('/');
    m_mainFd = openLockFile(base + QStringLiteral(".tesseldoc.lock"), error);
    if (m_mainFd < 0) return false;
    const bool sharded = shardCount > 0;
    int err = lockWhole(m_mainFd, sharded ? F_RDLCK : F_WRLCK);
    if (err == 0 && sharded) {
        m_shardFd =
            openLockFile(base + QStringLiteral(".tesseldoc-shard-%1-of-%2.lock").arg(shard).arg(shardCount), error);
        if (m_shardFd < 0) {
            release();
            return false;
        }
        err = lockWhole(m_shardFd, F_WRLCK);
    }
    if (err == 0) return true;
    release();
    if (error) {
        if (err == EAGAIN || err == EACCES)
            *error = sharded ? QStringLiteral("another run is already writing shard %1/%2 (or a whole run is "
                                              "writing) into %3; wait until it has ended")
                                   .arg(shard)
                                   .arg(shardCount)
                                   .arg(dest)
                             : QStringLiteral("another run is already writing into %1; wait until it has ended "
                                              "or choose another destination")
                                   .arg(dest);
        else
            *error = QStringLiteral("cannot lock %1: %2").arg(dest, QString::fromLocal8Bit(std::strerror(err)));
    }
    return false;
}

SourceFolderLock::~SourceFolderLock() { release(); }

void SourceFolderLock::release() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool SourceFolderLock::acquire(const QString& dest, const QString& subFolder, QString* error) {
    release();
    const QString base = dest.endsWith(QLatin1Char('/')) ? dest : dest + QLatin1Char('/');
    const QString dir = base + QStringLiteral(".tesseldoc-locks");
    if (::mkdir(QFile::encodeName(dir).constData(), 0755) != 0 && errno != EEXIST) {
        if (error)
            *error = QStringLiteral("cannot make the lock folder %1: %2").arg(dir, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Named by a hash: sub-folder names may be long or nested.
    const QString name = QString::fromLatin1(
        QCryptographicHash::hash(subFolder.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
    m_fd = openLockFile(dir + QLatin1Char('/') + name + QStringLiteral(".lock"), error);
    if (m_fd < 0) return false;
    const int err = lockWhole(m_fd, F_WRLCK);
    if (err == 0) return true;
    release();
    if (error) {
        if (err == EAGAIN || err == EACCES)
            *error = QStringLiteral("another run is writing the folder %1 of %2 (a shard of another job array, or "
                                    "a run beside this one); this database is left to it")
                         .arg(subFolder, dest);
        else
            *error = QStringLiteral("cannot lock the folder %1 of %2: %3")
                         .arg(subFolder, dest, QString::fromLocal8Bit(std::strerror(err)));
    }
    return false;
}

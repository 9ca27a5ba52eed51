#include "notes/store/SafeFileWriter.h"

#include "files/StaleFileCleaner.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {
namespace {

std::atomic<int> g_flushDeferred{0};

StoreError errnoError(int err, const QString& path) {
    const QString detail = path + QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(err)) + QLatin1Char(')');
    if (err == EEXIST) return {StatusTargetExists, path};
    if (err == ENOENT) return {StatusWriteFailed, detail};
    return {StatusWriteFailed, detail};
}

}  // namespace

StoreError SafeFileWriter::writeNew(const QString& targetPath, const QByteArray& data) {
    SafeFileWriter w(targetPath);
    StoreError e = w.open();
    if (!e.ok()) return e;
    e = w.append(data.constData(), data.size());
    if (!e.ok()) return e;
    return w.commit();
}

SafeFileWriter::SafeFileWriter(const QString& targetPath) : m_target(targetPath) {}

SafeFileWriter::~SafeFileWriter() { abort(); }

StoreError SafeFileWriter::open() {
    abort();
    if (QFileInfo::exists(m_target) || QFileInfo(m_target).isSymLink()) return {StatusTargetExists, m_target};
    const QFileInfo fi(m_target);
    // A hidden name that carries our pid: a file left by a killed run is
    // recognised and removed by the next one.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString candidate = fi.absolutePath() + QLatin1Char('/') +
                                  StaleFileCleaner::partialFileName(QStringLiteral(".part"));
        m_fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0644);
        if (m_fd >= 0) {
            m_temp = candidate;
            return {};
        }
        if (errno != EEXIST) break;
    }
    return errnoError(errno, m_target);
}

StoreError SafeFileWriter::append(const char* data, qint64 size) {
    if (m_fd < 0) return {StatusWriteFailed, m_target};
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            abort();
            return errnoError(err, m_target);
        }
        data += n;
        size -= n;
    }
    return {};
}

void SafeFileWriter::beginDeferredFlush() { ++g_flushDeferred; }

void SafeFileWriter::endDeferredFlush() { --g_flushDeferred; }

StoreError SafeFileWriter::commit() {
    if (m_fd < 0) return {StatusWriteFailed, m_target};
    if (g_flushDeferred.load() == 0 && ::fsync(m_fd) != 0 && errno != EINVAL) {
        const int err = errno;
        abort();
        return errnoError(err, m_target);
    }
    if (::close(m_fd) != 0) {
        const int err = errno;
        m_fd = -1;
        abort();
        return errnoError(err, m_target);
    }
    m_fd = -1;
    const QByteArray tmp = QFile::encodeName(m_temp);
    const QByteArray target = QFile::encodeName(m_target);
    // link() refuses an existing target, so nothing is ever overwritten.
    if (::link(tmp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(tmp.constData());
        m_temp.clear();
        return errnoError(err, m_target);
    }
    ::unlink(tmp.constData());
    m_temp.clear();
    return {};
}

void SafeFileWriter::abort() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(QFile::encodeName(m_temp).constData());
        m_temp.clear();
    }
}

}  // namespace store

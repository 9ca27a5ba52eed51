#include "convert/FailFastRule.h"

#include "notes/store/StoreStatus.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The folder itself, or its nearest parent that exists.
QString existingFolder(const QString& path) {
    QString p = QDir::cleanPath(path);
    while (!p.isEmpty() && !QFileInfo(p).isDir()) {
        const QString up = QFileInfo(p).path();
        if (up == p) break;
        p = up;
    }
    return p;
}

// Less than this on the destination's file system counts as full.
constexpr unsigned long long kFullBytes = 1024 * 1024;

}  // namespace

void FailFastRule::reset() {
    m_streak = 0;
    m_cause = Cause::None;
    m_serverFailures = 0;
}

void FailFastRule::onWritten() {
    m_streak = 0;
    m_cause = Cause::None;
}

FailFastRule::Cause FailFastRule::causeOf(const QString& outputFolder, const QString& reason) {
    if (reason.contains(store::statusText(store::StatusServerUnreachable), Qt::CaseInsensitive))
        return Cause::ServerGone;
    const bool saysFull = reason.contains(QLatin1String("no space left"), Qt::CaseInsensitive) ||
                          reason.contains(QLatin1String("disk quota"), Qt::CaseInsensitive);
    const QString folder = outputFolder.isEmpty() ? QString() : existingFolder(outputFolder);
    if (!folder.isEmpty()) {
        const QByteArray native = QFile::encodeName(folder);
        struct statvfs fs {};
        if (::statvfs(native.constData(), &fs) == 0) {
            const unsigned long long free = static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
            if (free < kFullBytes) return Cause::DestinationFull;
            if (fs.f_flag & ST_RDONLY) return Cause::DestinationUnwritable;
        }
        if (::access(native.constData(), W_OK | X_OK) != 0) return Cause::DestinationUnwritable;
    }
    if (saysFull) return Cause::DestinationFull;
    if (reason.contains(QLatin1String("read-only file system"), Qt::CaseInsensitive))
        return Cause::DestinationUnwritable;
    return Cause::None;
}

QString FailFastRule::describe(Cause cause, const QString& outputFolder, const QString& lastReason) {
    const QString where = existingFolder(outputFolder);
    switch (cause) {
    case Cause::DestinationFull:
        return QStringLiteral("the destination is full (%1): no space left on the device").arg(where);
    case Cause::DestinationUnwritable:
        return QStringLiteral("the destination may not be written (%1)").arg(where);
    case Cause::ServerGone:
        return QStringLiteral("the server no longer answers: %1").arg(lastReason);
    case Cause::None:
        break;
    }
    return lastReason;
}

QString FailFastRule::onFailure(const QString& outputFolder, const QString& reason) {
    const Cause cause = causeOf(outputFolder, reason);
    if (cause == Cause::None) {
        onWritten();  // the streak ends; the server failures of the source still count
        return QString();
    }
    m_streak = cause == m_cause ? m_streak + 1 : 1;
    m_cause = cause;
    if (cause == Cause::ServerGone && m_serverBudget > 0 && ++m_serverFailures >= m_serverBudget)
        return QStringLiteral("the server failed to answer for %1 documents of this database (the last: %2); the "
                              "rest are not asked for")
            .arg(m_serverFailures)
            .arg(reason);
    if (m_streak < m_limit) return QString();
    return describe(cause, outputFolder, reason);
}

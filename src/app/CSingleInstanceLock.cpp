#include "app/CSingleInstanceLock.h"

#include "app/AppTexts.h"

#include <QDir>

CSingleInstanceLock::CSingleInstanceLock() : m_lock(std::make_unique<QLockFile>(lockFilePath())) {
    // Age alone never makes the lock stale: only a dead owner does.
    m_lock->setStaleLockTime(0);
}

QString CSingleInstanceLock::lockFilePath() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists()) dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("Tesseldoc-") + AppTexts::kInstanceGuid + QStringLiteral(".lock"));
}

bool CSingleInstanceLock::tryAcquire() {
    if (m_held) return true;
    m_held = m_lock->tryLock(0);
    if (!m_held && m_lock->error() == QLockFile::LockFailedError) {
        // tryLock already removes a lock whose owner is gone; try that once more
        // explicitly for a lock file written by another host name or a reused PID.
        qint64 pid = 0;
        QString host, app;
        if (m_lock->getLockInfo(&pid, &host, &app) && pid > 0 && !QDir(QStringLiteral("/proc/%1").arg(pid)).exists()) {
            m_lock->removeStaleLockFile();
            m_held = m_lock->tryLock(0);
        }
    }
    return m_held;
}

void CSingleInstanceLock::release() {
    if (m_held) m_lock->unlock();
    m_held = false;
}

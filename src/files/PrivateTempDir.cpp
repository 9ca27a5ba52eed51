#include "files/PrivateTempDir.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <mutex>

namespace {

struct ProcessDir {
    std::mutex mutex;
    std::unique_ptr<QTemporaryDir> dir;
    bool removed = false;
    QString error;
};

ProcessDir& state() {
    static ProcessDir s;  // destroyed at exit, which removes the directory
    return s;
}

QTemporaryDir* processDir(ProcessDir& s) {
    if (s.removed) return nullptr;
    if (!s.dir) {
        const QString base = PrivateTempDir::baseDirectory();
        if (!QFileInfo(base).isDir()) {
            // Never somewhere else instead (Qt's own temporary path would be empty here).
            s.error = QStringLiteral("it does not exist");
            return nullptr;
        }
        s.dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tesseldoc-%1-XXXXXX").arg(::getpid()));
        if (s.dir->isValid()) {
            QFile::setPermissions(s.dir->path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        } else {
            s.error = s.dir->errorString();
        }
    }
    return s.dir && s.dir->isValid() ? s.dir.get() : nullptr;
}

}  // namespace

QString PrivateTempDir::baseDirectory() {
    QString base = qEnvironmentVariable("TMPDIR");
    if (base.isEmpty()) base = QStringLiteral("/tmp");
    while (base.size() > 1 && base.endsWith(QLatin1Char('/'))) base.chop(1);
    return QFileInfo(base).absoluteFilePath();
}

QString PrivateTempDir::path() {
    ProcessDir& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    QTemporaryDir* dir = processDir(s);
    return dir ? dir->path() : QString();
}

QString PrivateTempDir::filePath(const QString& name) {
    const QString base = path();
    return base.isEmpty() ? QString() : base + QLatin1Char('/') + name;
}

bool PrivateTempDir::usable() {
    const QString base = path();
    return !base.isEmpty() && ::access(QFile::encodeName(base).constData(), W_OK | X_OK) == 0;
}

QString PrivateTempDir::problem() {
    const QString base = path();
    const QString where = baseDirectory();
    if (!base.isEmpty()) {
        if (::access(QFile::encodeName(base).constData(), W_OK | X_OK) == 0) return QString();
        return QStringLiteral("the temporary directory %1 cannot be used: it cannot be written").arg(base);
    }
    ProcessDir& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.removed) return QStringLiteral("the temporary directory was removed");
    QString cause = s.error;
    const QFileInfo info(where);
    if (!info.exists())
        cause = QStringLiteral("it does not exist");
    else if (!info.isDir())
        cause = QStringLiteral("it is not a directory");
    else if (!info.isWritable())
        cause = QStringLiteral("permission denied");
    if (cause.isEmpty()) cause = QStringLiteral("a directory cannot be created in it");
    return QStringLiteral("the temporary directory %1 cannot be used (set TMPDIR to a writable directory): %2")
        .arg(where, cause);
}

void PrivateTempDir::removeNow() {
    ProcessDir& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.dir.reset();  // removes it
    s.removed = true;
}

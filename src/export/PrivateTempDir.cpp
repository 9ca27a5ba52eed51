#include "export/PrivateTempDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QTemporaryDir& processDir() {
    // Function-local static: created once, thread-safe, removed at exit.
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tesseldoc-XXXXXX"));
    static const bool secured =
        dir.isValid() && QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                               QFileDevice::ExeOwner);
    (void)secured;
    return dir;
}

}  // namespace

QString PrivateTempDir::path() {
    QTemporaryDir& dir = processDir();
    return dir.isValid() ? dir.path() : QString();
}

QString PrivateTempDir::filePath(const QString& name) {
    const QString base = path();
    return base.isEmpty() ? QString() : base + QLatin1Char('/') + name;
}

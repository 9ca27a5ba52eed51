#include "files/UserSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

#include <mutex>

namespace {

const char kOldFolder[] = "Local AppWizard-Generated Applications1";
const char kOldFile[] = "Tesseldoc.conf";

}  // namespace

QString UserSettings::configHome() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString UserSettings::filePath() {
    return configHome() + QLatin1Char('/') + QLatin1String(kOrganisation) + QLatin1Char('/') +
           QLatin1String(kApplication) + QStringLiteral(".conf");
}

QString UserSettings::oldFilePath() {
    return configHome() + QLatin1Char('/') + QLatin1String(kOldFolder) + QLatin1Char('/') + QLatin1String(kOldFile);
}

UserSettings::Move UserSettings::moveOldFileNow() {
    const QString oldPath = oldFilePath();
    const QString newPath = filePath();
    if (!QFileInfo(oldPath).isFile()) return Move::NothingToMove;
    if (QFileInfo::exists(newPath)) return Move::KeptNew;
    QFile old(oldPath);
    if (!old.open(QIODevice::ReadOnly)) return Move::Failed;
    const QByteArray content = old.readAll();
    if (old.error() != QFileDevice::NoError) return Move::Failed;
    old.close();
    if (!QDir().mkpath(QFileInfo(newPath).absolutePath())) return Move::Failed;
    // Written whole or not at all: an interrupted move leaves the old file in use.
    QSaveFile copy(newPath);
    if (!copy.open(QIODevice::WriteOnly)) return Move::Failed;
    copy.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (copy.write(content) != content.size() || !copy.commit()) return Move::Failed;
    QFile::remove(oldPath);
    QDir().rmdir(QFileInfo(oldPath).absolutePath());  // only when nothing else is in it
    return Move::Moved;
}

UserSettings::Move UserSettings::moveOldFile() {
    static std::once_flag once;
    static Move result = Move::NothingToMove;
    std::call_once(once, [] { result = moveOldFileNow(); });
    return result;
}

std::unique_ptr<QSettings> UserSettings::open() {
    moveOldFile();
    return std::make_unique<QSettings>(QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication));
}

#include "files/UserSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// A private $XDG_CONFIG_HOME for one test.
class ConfigHome {
public:
    ConfigHome() : m_saved(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", m_dir.path().toUtf8()); }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", m_saved); }
    static void write(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_saved;
};

const QByteArray kOld =
    "[General]\nLastSavingMode=2\nLastDestination=/home/u/Documents/out\n\n"
    "[DominoServers]\nMail1\\url=https://mail1.example.com\nMail1\\proxy=none\n\n"
    "[Advanced]\nHeaderTemplate=3\nFolder%20with%20space=\\x65e5\\x672c\n";

}  // namespace

TEST(UserSettings, LivesInTheXdgFolderOfTheProgram) {
    ConfigHome home;
    EXPECT_EQ(UserSettings::filePath(), home.path() + QStringLiteral("/tesseldoc/tesseldoc.conf"));
    EXPECT_EQ(UserSettings::oldFilePath(),
              home.path() + QStringLiteral("/Local AppWizard-Generated Applications1/Tesseldoc.conf"));
    // A relative XDG_CONFIG_HOME is not valid; the default is used.
    qputenv("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(UserSettings::filePath(), QDir::homePath() + QStringLiteral("/.config/tesseldoc/tesseldoc.conf"));
}

TEST(UserSettings, OldFileMovesWithEveryByte) {
    ConfigHome home;
    ConfigHome::write(UserSettings::oldFilePath(), kOld);
    EXPECT_EQ(UserSettings::moveOldFileNow(), UserSettings::Move::Moved);
    EXPECT_EQ(ConfigHome::read(UserSettings::filePath()), kOld);
    EXPECT_FALSE(QFileInfo::exists(UserSettings::oldFilePath()));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(UserSettings::oldFilePath()).absolutePath()));
    // Only its owner reads it (server addresses, user names).
    EXPECT_EQ(QFileInfo(UserSettings::filePath()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QFileDevice::Permissions());

    QSettings moved(UserSettings::filePath(), QSettings::IniFormat);
    EXPECT_EQ(moved.value(QStringLiteral("LastSavingMode")).toInt(), 2);
    EXPECT_EQ(moved.value(QStringLiteral("DominoServers/Mail1/url")).toString(),
              QStringLiteral("https://mail1.example.com"));
    EXPECT_EQ(moved.value(QStringLiteral("Advanced/HeaderTemplate")).toInt(), 3);

    // Done once: a second call has nothing to move.
    EXPECT_EQ(UserSettings::moveOldFileNow(), UserSettings::Move::NothingToMove);
}

TEST(UserSettings, NewFileWinsAndTheOldOneStays) {
    ConfigHome home;
    ConfigHome::write(UserSettings::oldFilePath(), kOld);
    ConfigHome::write(UserSettings::filePath(), "[General]\nLastSavingMode=1\n");
    EXPECT_EQ(UserSettings::moveOldFileNow(), UserSettings::Move::KeptNew);
    EXPECT_EQ(ConfigHome::read(UserSettings::filePath()), QByteArray("[General]\nLastSavingMode=1\n"));
    EXPECT_EQ(ConfigHome::read(UserSettings::oldFilePath()), kOld);
}

TEST(UserSettings, OtherFilesInTheOldFolderStay) {
    ConfigHome home;
    ConfigHome::write(UserSettings::oldFilePath(), kOld);
    const QString other = QFileInfo(UserSettings::oldFilePath()).absolutePath() + QStringLiteral("/Other.conf");
    ConfigHome::write(other, "[General]\nx=1\n");
    EXPECT_EQ(UserSettings::moveOldFileNow(), UserSettings::Move::Moved);
    EXPECT_EQ(ConfigHome::read(other), QByteArray("[General]\nx=1\n"));
}

TEST(UserSettings, UnwritableNewPlaceKeepsTheOldFile) {
    ConfigHome home;
    ConfigHome::write(UserSettings::oldFilePath(), kOld);
    // A file where the new folder should be: the move fails and loses nothing.
    ConfigHome::write(home.path() + QStringLiteral("/tesseldoc"), "not a folder");
    EXPECT_EQ(UserSettings::moveOldFileNow(), UserSettings::Move::Failed);
    EXPECT_EQ(ConfigHome::read(UserSettings::oldFilePath()), kOld);
}

TEST(UserSettings, NothingToMoveOnAFreshAccount) {
    ConfigHome home;
    EXPECT_EQ(UserSettings::moveOldFileNow(), UserSettings::Move::NothingToMove);
    EXPECT_FALSE(QFileInfo::exists(UserSettings::filePath()));
}

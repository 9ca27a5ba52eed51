#include "notes/das/DominoServerConfig.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using das::AuthMode;
using das::DominoServerConfig;

namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

}  // namespace

TEST(DominoServerConfig, ReadsUserAndAdminServersWithoutDuplicates) {
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user.ini"));
    const QString admin = dir.filePath(QStringLiteral("admin.ini"));
    writeFile(user,
              "[DominoServers]\n"
              "Mail01\\url=https://mail01.example.com:8443/\n"
              "Mail01\\auth=session\n"
              "Mail01\\user=Ann Lee\n"
              "Mail01\\allowHttp=false\n"
              "Mail01\\proxy=none\n");
    writeFile(admin,
              "[DominoServers]\n"
              "mail01\\url=https://other.example.com\n"
              "Archive\\url=http://archive.example.com\n"
              "Archive\\auth=basic\n"
              "Archive\\allowHttp=true\n"
              "Archive\\caFile=/etc/ssl/corp.pem\n");
    DominoServerConfig config(user, {dir.filePath(QStringLiteral("missing.ini")), admin});
    EXPECT_EQ(config.serverNames(), (QStringList{QStringLiteral("Mail01"), QStringLiteral("Archive")}));

    auto mail = config.find(QStringLiteral("MAIL01"));
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->url.toString(), QStringLiteral("https://mail01.example.com:8443"));
    EXPECT_EQ(mail->auth, AuthMode::Session);
    EXPECT_EQ(mail->user, QStringLiteral("Ann Lee"));
    EXPECT_EQ(mail->proxy, QStringLiteral("none"));
    EXPECT_FALSE(mail->fromAdminFile);

    auto archive = config.find(QStringLiteral("archive"));
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->fromAdminFile);
    EXPECT_TRUE(archive->allowHttp);
    EXPECT_EQ(archive->auth, AuthMode::Basic);
    EXPECT_EQ(archive->caFile, QStringLiteral("/etc/ssl/corp.pem"));
}

TEST(DominoServerConfig, ResolvesNamesUrlsAndHosts) {
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user.ini"));
    writeFile(user, "[DominoServers]\nMail01\\url=https://mail01.example.com\nMail01\\auth=basic\n");
    DominoServerConfig config(user, {});

    QString error;
    auto byName = config.resolve(QStringLiteral("mail01"), &error);
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->auth, AuthMode::Basic);

    // A URL that a configured server has takes that server's settings.
    auto byUrl = config.resolve(QStringLiteral("https://MAIL01.example.com/"), &error);
    ASSERT_TRUE(byUrl);
    EXPECT_EQ(byUrl->auth, AuthMode::Basic);

    auto loopback = config.resolve(QStringLiteral("http://127.0.0.1:8080"), &error);
    ASSERT_TRUE(loopback);
    EXPECT_EQ(loopback->url.port(), 8080);
    EXPECT_EQ(loopback->auth, AuthMode::Auto);

    auto host = config.resolve(QStringLiteral("Notes2.Example.org"), &error);
    ASSERT_TRUE(host);
    EXPECT_EQ(host->url.toString(), QStringLiteral("https://notes2.example.org"));

    EXPECT_FALSE(config.resolve(QStringLiteral("CN=Mail/O=Org"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(config.resolve(QStringLiteral("ftp://host"), &error));
}

TEST(DominoServerConfig, AddServerPersistsWithoutPassword) {
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("user.ini"));
    {
        DominoServerConfig config(user, {});
        ASSERT_TRUE(config.addServer(QStringLiteral("Notes3")));
        EXPECT_TRUE(config.addServer(QStringLiteral("NOTES3")));  // already known: unchanged
    }
    DominoServerConfig again(user, {});
    ASSERT_EQ(again.serverNames(), QStringList{QStringLiteral("Notes3")});
    EXPECT_EQ(again.find(QStringLiteral("notes3"))->url.toString(), QStringLiteral("https://notes3"));
    QFile f(user);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().toLower().contains("password"));
}

TEST(DominoServerConfig, SplitsAndComparesServerPaths) {
    QString server, path;
    ASSERT_TRUE(DominoServerConfig::splitServerPath(QStringLiteral("https://h:8443!!mail\\alee.nsf"), server, path));
    EXPECT_EQ(server, QStringLiteral("https://h:8443"));
    EXPECT_EQ(path, QStringLiteral("mail\\alee.nsf"));
    EXPECT_FALSE(DominoServerConfig::splitServerPath(QStringLiteral("/tmp/x.nsf"), server, path));
    EXPECT_EQ(DominoServerConfig::normalisePath(QStringLiteral("\\mail\\\\alee.nsf")), QStringLiteral("mail/alee.nsf"));
    EXPECT_TRUE(DominoServerConfig::samePath(QStringLiteral("Mail\\ALee.NSF"), QStringLiteral("mail/alee.nsf")));
    EXPECT_FALSE(DominoServerConfig::samePath(QStringLiteral("mail/alee.nsf"), QStringLiteral("mail/alee2.nsf")));
}

#include "convert/CNotesConverter.h"
#include "notes/ServerDirectory.h"
#include "convert/ServerDiscoveryTexts.h"

#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace store;

namespace {

// Servers and databases as a test wants them; each database may fail to open.
class FakeDirectory : public IServerDirectory {
public:
    QStringList servers;
    StoreError serversError;
    std::vector<ServerDatabase> databases;
    StoreError listError;
    std::map<QString, StoreError> openErrors;  // by path
    QStringList opened;
    std::function<void(const QString&)> onOpen;

    StoreError ServerNames(QStringList& names) override {
        names = servers;
        return serversError;
    }
    StoreError Databases(const QString&, std::vector<ServerDatabase>& out, const std::atomic<int>*) override {
        out = databases;
        return listError;
    }
    StoreError OpenDatabase(const QString&, const QString& path, ServerDatabase& db,
                            const std::atomic<int>*) override {
        opened.append(path);
        if (onOpen) onOpen(path);
        auto it = openErrors.find(path);
        if (it != openErrors.end()) return it->second;
        db.path = path;
        db.title = ServerDirectory::FileNameOf(path);
        return {};
    }
};

class ServerDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        notes.serverDirectory = &dir;
        dir.databases = {{"mail/ada.nsf", "Ada"}, {"apps/engine.nsf", "Engine"}, {"mail/bob.nsf", "Bob"}};
    }
    FakeDirectory dir;
    CNotesConverter notes;
    QStringList paths, names;
};

}  // namespace

TEST_F(ServerDiscoveryTest, ServerNamesInOrderAndTheirFailures) {
    dir.servers = {"mail01", "APPS/Acme"};
    QStringList servers;
    EXPECT_EQ(notes.ListServers(servers), 1);
    EXPECT_EQ(servers, QStringList({"mail01", "APPS/Acme"}));

    // No server known: success with nothing, and a text that says what to do.
    dir.servers.clear();
    servers.clear();
    EXPECT_EQ(notes.ListServers(servers), 1);
    EXPECT_TRUE(servers.isEmpty());
    EXPECT_EQ(notes.lastErrorText, ServerDiscoveryTexts::kNoServerKnown);

    dir.serversError = {StatusReadError, "servers.ini"};
    EXPECT_EQ(notes.ListServers(servers), 0);
    EXPECT_EQ(notes.lastErrorText, QStringLiteral("Unable to find server, please try after some time"));
}

TEST_F(ServerDiscoveryTest, DatabasesInServerOrderLeavingOutThoseThatDoNotOpen) {
    dir.openErrors["apps/engine.nsf"] = {StatusAccessDenied, "no access"};
    notes.lastErrorText = "earlier";
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names), 1);
    EXPECT_EQ(paths, QStringList({"mail/ada.nsf", "mail/bob.nsf"}));
    // The server's titles where it gives them.
    EXPECT_EQ(names, QStringList({"Ada", "Bob"}));
    EXPECT_EQ(notes.lastErrorText, QStringLiteral("earlier"));
    // The one left out is named with its reason, for the browser to show.
    ASSERT_EQ(notes.serverDatabaseProblems.size(), 1);
    EXPECT_TRUE(notes.serverDatabaseProblems[0].startsWith("apps/engine.nsf: "));
    EXPECT_TRUE(notes.serverDatabaseProblems[0].contains("no access"));
}

TEST_F(ServerDiscoveryTest, ListFailuresGiveTheirTexts) {
    dir.databases.clear();
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names), 0);
    EXPECT_EQ(notes.lastErrorText, QStringLiteral("No file found in selected server"));

    dir.listError = {StatusServerUnreachable, "connection refused"};
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names), 0);
    // The fixed text, then the server and the cause.
    EXPECT_TRUE(notes.lastErrorText.startsWith(
        QStringLiteral("Unable to find database from server, please try after some time\r\n\r\nMAIL01: ")));
    EXPECT_TRUE(notes.lastErrorText.contains(QStringLiteral("connection refused")));

    // Any other refusal is named as the driver words it (here: the switch to ask for).
    const QString why = "The Domino data service is not enabled on this server";
    dir.listError = {StatusAccessDenied, why};
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names), 0);
    EXPECT_TRUE(notes.lastErrorText.contains(why)) << notes.lastErrorText.toStdString();
}

TEST_F(ServerDiscoveryTest, WhenNoDatabaseOpensTheLastReasonIsShownNotAStaleText) {
    const QString why = "The Domino data service is not enabled for this database.";
    for (const ServerDatabase& db : dir.databases) dir.openErrors[db.path] = {StatusAccessDenied, why};
    notes.lastErrorText = "some earlier failure";
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names), 1);
    EXPECT_TRUE(paths.isEmpty());
    EXPECT_TRUE(notes.lastErrorText.startsWith("mail/bob.nsf: ")) << notes.lastErrorText.toStdString();
    EXPECT_TRUE(notes.lastErrorText.contains(why));
}

TEST_F(ServerDiscoveryTest, StopEndsAfterTheCurrentDatabaseWithWhatWasRead) {
    int checks = 0;
    dir.onOpen = [this](const QString& path) {
        if (path == "apps/engine.nsf") notes.cancelRequested = 1;
    };
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names, [&] { ++checks; }), 1);
    EXPECT_EQ(paths, QStringList({"mail/ada.nsf", "apps/engine.nsf"}));
    EXPECT_EQ(dir.opened.size(), 2);
    EXPECT_EQ(checks, 3);  // the hook runs before every database, the last one included

    // Stopped while the server was still listing: nothing, no message.
    notes.cancelRequested = 0;
    paths.clear();
    notes.lastErrorText.clear();
    dir.listError = {StatusCancelled, QString()};
    EXPECT_EQ(notes.ListServerDatabases("MAIL01", paths, names), 1);
    EXPECT_TRUE(paths.isEmpty());
    EXPECT_TRUE(notes.lastErrorText.isEmpty());
}

TEST(ServerDirectoryTest, TypedServersAreRememberedOnceWithHttpsUrl) {
    QStandardPaths::setTestModeEnabled(true);
    QSettings settings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc"));
    settings.remove(QStringLiteral("DominoServers"));
    settings.setValue(QStringLiteral("DominoServers/APPS/url"), QStringLiteral("https://apps.example.com:8443"));
    settings.sync();

    std::shared_ptr<IServerDirectory> dir = ServerDirectory::Current();
    EXPECT_TRUE(dir->RememberServer(QStringLiteral("MAIL01")).ok());
    EXPECT_TRUE(dir->RememberServer(QStringLiteral("apps")).ok());  // configured already: left alone
    settings.sync();
    EXPECT_EQ(settings.value(QStringLiteral("DominoServers/MAIL01/url")).toString(), QStringLiteral("https://mail01"));
    EXPECT_EQ(settings.value(QStringLiteral("DominoServers/APPS/url")).toString(),
              QStringLiteral("https://apps.example.com:8443"));
    EXPECT_FALSE(settings.contains(QStringLiteral("DominoServers/apps/url")));

    QStringList names;
    EXPECT_TRUE(dir->ServerNames(names).ok());
    EXPECT_TRUE(names.contains(QStringLiteral("MAIL01")));
    EXPECT_TRUE(names.contains(QStringLiteral("APPS")));
    settings.remove(QStringLiteral("DominoServers"));
    EXPECT_EQ(ServerDirectory::FileNameOf(QStringLiteral("mail\\sub/ada.nsf")), QStringLiteral("ada.nsf"));
}

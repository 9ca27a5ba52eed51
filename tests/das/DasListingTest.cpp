#include "DasTestSupport.h"
#include "notes/das/DominoDatabaseList.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <thread>

using namespace dastest;

TEST(DasListing, ListsDatabasesShownInTheOpenDialog) {
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("mail/alee.nsf"), QStringLiteral("Ann Lee"), memoStore(2)));
    fakedomino::Database hidden = dbOf(QStringLiteral("hidden.nsf"), QStringLiteral("Hidden"), memoStore(1));
    hidden.showInDialog = false;
    fake.addDatabase(hidden);
    fake.addDatabase(dbOf(QStringLiteral("Apps\\Projects.nsf"), QStringLiteral("Projects"), memoStore(1)));
    ASSERT_NE(fake.start(), 0);
    ProviderScope scope(nullptr);

    std::vector<das::ServerDatabase> dbs;
    ASSERT_TRUE(das::DominoDatabaseList::list(serverFor(fake), dbs, das::cancelCheck()).ok());
    ASSERT_EQ(dbs.size(), 2u);
    EXPECT_EQ(dbs[0].path, QStringLiteral("mail/alee.nsf"));
    EXPECT_EQ(dbs[0].title, QStringLiteral("Ann Lee"));
    EXPECT_EQ(dbs[1].path, QStringLiteral("Apps\\Projects.nsf"));
}

TEST(DasListing, ReadableListLeavesOutDatabasesWithTheServiceOff) {
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("a.nsf"), QStringLiteral("A"), memoStore(1)));
    fakedomino::Database off = dbOf(QStringLiteral("off.nsf"), QStringLiteral("Off"), memoStore(1));
    off.access = fakedomino::DbAccess::Never;
    fake.addDatabase(off);
    fake.addDatabase(dbOf(QStringLiteral("mail/b b.nsf"), QStringLiteral("B"), memoStore(1)));
    ASSERT_NE(fake.start(), 0);
    ProviderScope scope(nullptr);

    std::vector<das::ServerDatabase> dbs;
    std::vector<das::SkippedDatabase> skipped;
    ASSERT_TRUE(das::DominoDatabaseList::listReadable(serverFor(fake), dbs, skipped, das::cancelCheck()).ok());
    ASSERT_EQ(dbs.size(), 2u);
    EXPECT_EQ(dbs[1].path, QStringLiteral("mail/b b.nsf"));
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].error.status, store::StatusServiceDisabled);
    EXPECT_TRUE(skipped[0].error.message().contains(QLatin1String("Allow Domino Data Service"))) << skipped[0].error.message().toStdString();
}

TEST(DasListing, ServerSwitchOffAndRefusedConnectionAreNamed) {
    fakedomino::Profile profile;
    profile.dataServiceEnabled = false;
    fakedomino::Server fake(profile);
    ASSERT_NE(fake.start(), 0);
    ProviderScope scope(nullptr);
    std::vector<das::ServerDatabase> dbs;
    store::StoreError e = das::DominoDatabaseList::list(serverFor(fake), dbs, das::cancelCheck());
    EXPECT_EQ(e.status, store::StatusServiceDisabled);
    EXPECT_TRUE(e.message().contains(QLatin1String("enabled Domino Access Services"))) << e.message().toStdString();

    const das::DominoServer server = serverFor(fake);
    fake.stop();
    e = das::DominoDatabaseList::list(server, dbs, das::cancelCheck());
    EXPECT_EQ(e.status, store::StatusServerUnreachable);
    EXPECT_TRUE(e.message().contains(QLatin1String("127.0.0.1"))) << e.message().toStdString();
}

TEST(DasListing, StopDuringTheCheckedListKeepsWhatWasRead) {
    fakedomino::Server fake;
    for (int i = 0; i < 5; ++i) fake.addDatabase(dbOf(QStringLiteral("db%1.nsf").arg(i), QString(), memoStore(1)));
    fakedomino::Fault slow;
    slow.match = QStringLiteral("/db2.nsf/");
    slow.delayMs = 5000;
    fake.addFault(slow);
    ASSERT_NE(fake.start(), 0);
    ProviderScope scope(nullptr);

    std::atomic<int> stop{0};
    std::vector<das::ServerDatabase> dbs;
    std::vector<das::SkippedDatabase> skipped;
    QElapsedTimer timer;
    timer.start();
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        stop = 1;
    });
    store::StoreError e = das::DominoDatabaseList::listReadable(serverFor(fake), dbs, skipped, das::cancelCheck(&stop));
    stopper.join();
    EXPECT_TRUE(e.ok());
    EXPECT_LT(timer.elapsed(), 1500);
    EXPECT_EQ(dbs.size(), 2u);
    EXPECT_TRUE(skipped.empty());
}

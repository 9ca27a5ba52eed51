#include "DasTestSupport.h"
#include "notes/das/DasStore.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <set>

using namespace dastest;

namespace {

std::unique_ptr<das::DasStore> openLoopback(const fakedomino::Server& fake, const QString& path = QStringLiteral("db.nsf")) {
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), path, e);
    EXPECT_TRUE(db) << e.message().toStdString();
    return db;
}

}  // namespace

TEST(DasPaging, EdgeSizesGiveEveryEntryOnceInOrder) {
    ProviderScope scope(nullptr);
    for (int size : {0, 1, 99, 100, 101, 250}) {
        fakedomino::Server fake;
        auto s = memoStore(size);
        fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), s));
        ASSERT_NE(fake.start(), 0);
        auto db = openLoopback(fake);
        ASSERT_TRUE(db);
        std::vector<uint32_t> ids;
        const int before = fake.requestCount();
        ASSERT_TRUE(db->folderEntries(0, ids).ok()) << size;
        std::vector<uint32_t> expected;
        s->folderEntries(0, expected);
        EXPECT_EQ(ids, expected) << size;
        // Pages of 100 until a short one: 100 entries take a second, empty page.
        EXPECT_EQ(fake.requestCount() - before, size / 100 + 1) << size;
    }
}

TEST(DasPaging, LimitAnswerIsRetriedAtTheLimit) {
    ProviderScope scope(nullptr);
    fakedomino::Profile profile;
    profile.maxViewEntries = 40;
    fakedomino::Server fake(profile);
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(95)));
    ASSERT_NE(fake.start(), 0);
    auto db = openLoopback(fake);
    ASSERT_TRUE(db);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    EXPECT_EQ(ids.size(), 95u);
    int refused = 0;
    for (const auto& r : fake.log()) refused += r.status == 400;
    EXPECT_EQ(refused, 1);  // the lower page size is kept for the next pages
}

TEST(DasPaging, OldServerWithoutLimitAndACategorisedAnswer) {
    ProviderScope scope(nullptr);
    fakedomino::Profile profile;
    profile.level = fakedomino::Level::V901;
    profile.maxViewEntries = 10;  // not enforced before FP8
    fakedomino::Server fake(profile);
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(30)));
    ASSERT_NE(fake.start(), 0);
    auto db = openLoopback(fake);
    ASSERT_TRUE(db);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    EXPECT_EQ(ids.size(), 30u);
}

TEST(DasPaging, ViewChangingBetweenPagesGivesNoDuplicates) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fakedomino::Database d = dbOf(QStringLiteral("db.nsf"), QString(), memoStore(250));
    d.changingViews.insert(QStringLiteral("($Inbox)"));
    fake.addDatabase(d);
    ASSERT_NE(fake.start(), 0);
    auto db = openLoopback(fake);
    ASSERT_TRUE(db);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    EXPECT_EQ(ids.size(), 250u);
    EXPECT_EQ(std::set<uint32_t>(ids.begin(), ids.end()).size(), 250u);
}

TEST(DasPaging, PageThatNeverEndsIsStoppedWithAMessage) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fakedomino::Database d = dbOf(QStringLiteral("db.nsf"), QString(), memoStore(150));
    d.endlessViews.insert(QStringLiteral("($Inbox)"));
    fake.addDatabase(d);
    ASSERT_NE(fake.start(), 0);
    auto db = openLoopback(fake);
    ASSERT_TRUE(db);
    std::vector<uint32_t> ids;
    QElapsedTimer timer;
    timer.start();
    store::StoreError e = db->folderEntries(0, ids);
    EXPECT_EQ(e.status, store::StatusBadAnswer);
    EXPECT_TRUE(e.message().contains(QLatin1String("($Inbox)"))) << e.message().toStdString();
    EXPECT_TRUE(ids.empty());
    EXPECT_LT(fake.requestCount(), 10);
    // The list of every document is cut too: said, not reported as whole.
    (void)db->allDocumentIds();
    ASSERT_EQ(db->problems().size(), 1);
    EXPECT_TRUE(db->problems()[0].contains("($Inbox)")) << db->problems()[0].toStdString();
    EXPECT_TRUE(db->problems()[0].contains("lacks the documents")) << db->problems()[0].toStdString();
}

TEST(DasPaging, ViewWithTheServiceOffNamesTheSwitch) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    auto s = memoStore(3);
    s->addFolder(QStringLiteral("Projects\\2012"), true, {});
    fakedomino::Database d = dbOf(QStringLiteral("db.nsf"), QString(), s);
    d.disabledViews.insert(QStringLiteral("($Inbox)"));
    fake.addDatabase(d);
    ASSERT_NE(fake.start(), 0);
    auto db = openLoopback(fake);
    ASSERT_TRUE(db);
    std::vector<uint32_t> ids;
    store::StoreError e = db->folderEntries(0, ids);
    EXPECT_EQ(e.status, store::StatusServiceDisabled);
    EXPECT_TRUE(e.message().contains(QLatin1String("Allow Domino Data Service operations"))) << e.message().toStdString();
    EXPECT_TRUE(e.message().contains(QLatin1String("($Inbox)")));
    EXPECT_FALSE(db->folders()[0].problem.isEmpty());
    EXPECT_TRUE(db->folderEntries(1, ids).ok());  // the next view still reads
}

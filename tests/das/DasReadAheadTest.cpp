// Documents read ahead: the same notes as read one by one, failures read
// again, and a store that goes away stops what it had in flight.

#include "DasTestSupport.h"
#include "notes/das/DasStore.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

using namespace dastest;

namespace {

int requestsFor(const fakedomino::Server& fake, const QString& unid) {
    int n = 0;
    for (const auto& r : fake.log()) n += r.target.contains(QLatin1String("/documents/unid/") + unid);
    return n;
}

std::vector<QString> subjects(das::DasStore& db, const std::vector<uint32_t>& ids) {
    std::vector<QString> out;
    for (uint32_t id : ids) {
        store::StoreNote note;
        const store::StoreError e = db.loadNote(id, note);
        EXPECT_TRUE(e.ok()) << e.message().toStdString();
        const store::StoreItem* subject = note.item(QStringLiteral("Subject"));
        out.push_back(subject && !subject->texts.isEmpty() ? note.unid + subject->texts.front() : QString());
    }
    return out;
}

}  // namespace

TEST(DasReadAhead, GivesTheNotesReadOneByOneAndReadsFailuresAgain) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(20)));
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto plain = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(plain);
    plain->setReadAhead(0);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(plain->folderEntries(0, ids).ok());
    ASSERT_EQ(ids.size(), 20u);
    const std::vector<QString> oneByOne = subjects(*plain, ids);
    EXPECT_EQ(plain->readAheadHits(), 0);

    auto ahead = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(ahead);
    ASSERT_TRUE(ahead->folderEntries(0, ids).ok());
    EXPECT_EQ(subjects(*ahead, ids), oneByOne);
    EXPECT_GT(ahead->readAheadHits(), 10);
    ahead.reset();

    // The third document fails while read ahead: it is read again when loaded.
    auto again = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(again);
    ASSERT_TRUE(again->folderEntries(0, ids).ok());
    const QString third = oneByOne[2].left(32);
    fakedomino::Fault failing;
    failing.match = QStringLiteral("/documents/unid/") + third;
    failing.error500 = true;
    failing.times = 1;
    fake.addFault(failing);
    fake.clearLog();
    store::StoreNote note;
    ASSERT_TRUE(again->loadNote(ids[0], note).ok());
    for (int i = 0; i < 100 && requestsFor(fake, third) == 0; ++i) QThread::msleep(20);
    QThread::msleep(200);  // the failed answer is in
    ASSERT_EQ(requestsFor(fake, third), 1);
    ASSERT_TRUE(again->loadNote(ids[1], note).ok());
    e = again->loadNote(ids[2], note);
    EXPECT_TRUE(e.ok()) << e.message().toStdString();
    EXPECT_EQ(note.unid, third);
    EXPECT_EQ(requestsFor(fake, third), 2);
}

TEST(DasReadAhead, AStoreThatGoesAwayStopsWhatIsInFlight) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(10)));
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(ids[0], note).ok());
    fakedomino::Fault slow;
    slow.match = QStringLiteral("/documents/unid/");
    slow.delayMs = 20000;
    fake.addFault(slow);
    ASSERT_TRUE(db->loadNote(ids[1], note).ok());  // read ahead before the fault
    QThread::msleep(100);                           // the next ones are in flight, answers far off
    QElapsedTimer timer;
    timer.start();
    db.reset();
    EXPECT_LT(timer.elapsed(), 5000);
}

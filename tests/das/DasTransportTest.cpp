#include "DasTestSupport.h"
#include "notes/das/DasStore.h"
#include "notes/das/DominoDatabaseList.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <thread>

using namespace dastest;

namespace {

das::DominoServer quick(const fakedomino::Server& fake, int timeoutSeconds = 1) {
    das::DominoServer s = serverFor(fake);
    s.timeoutSeconds = timeoutSeconds;
    return s;
}

// A self-signed certificate for 127.0.0.1, made with openssl; false when it cannot be.
bool makeCertificate(const QString& dir, QByteArray& cert, QByteArray& key) {
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) return false;
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-keyout"), QStringLiteral("key.pem"), QStringLiteral("-out"),
             QStringLiteral("cert.pem"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return false;
    QFile c(dir + QStringLiteral("/cert.pem")), k(dir + QStringLiteral("/key.pem"));
    if (!c.open(QIODevice::ReadOnly) || !k.open(QIODevice::ReadOnly)) return false;
    cert = c.readAll();
    key = k.readAll();
    return true;
}

}  // namespace

TEST(DasTransport, SlowAnswersAreWaitedForAndStallsTimeOut) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(60)));
    ASSERT_NE(fake.start(), 0);
    std::vector<das::ServerDatabase> dbs;

    fakedomino::Fault slowStart;
    slowStart.match = QStringLiteral("/api/data?");
    slowStart.delayMs = 600;
    slowStart.times = 1;
    fake.addFault(slowStart);
    EXPECT_TRUE(das::DominoDatabaseList::list(quick(fake, 3), dbs, das::cancelCheck()).ok());

    // A body that trickles in steadily is not cut by the inactivity timeout.
    fakedomino::Fault trickle;
    trickle.match = QStringLiteral("/collections/unid/");
    trickle.trickleBytesPerTick = 800;
    trickle.times = 1;
    fake.addFault(trickle);
    store::StoreError e;
    auto db = das::DasStore::open(quick(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    std::vector<uint32_t> ids;
    EXPECT_TRUE(db->folderEntries(0, ids).ok());
    EXPECT_EQ(ids.size(), 60u);

    fakedomino::Fault stall;
    stall.match = QStringLiteral("/collections/unid/");
    stall.stall = true;
    stall.times = 1;
    fake.addFault(stall);
    QElapsedTimer timer;
    timer.start();
    e = db->folderEntries(0, ids);
    EXPECT_EQ(e.status, store::StatusServerUnreachable);
    EXPECT_TRUE(e.message().contains(QLatin1String("did not answer in time"))) << e.message().toStdString();
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_TRUE(db->folderEntries(0, ids).ok());  // and the next call works

    fakedomino::Fault drop;
    drop.match = QStringLiteral("/collections/unid/");
    drop.closeMidBody = true;
    drop.times = 1;
    fake.addFault(drop);
    e = db->folderEntries(0, ids);
    EXPECT_EQ(e.status, store::StatusBadAnswer);
    EXPECT_TRUE(ids.empty());
    fakedomino::Fault reset;
    reset.match = QStringLiteral("/collections/unid/");
    reset.resetConnection = true;
    reset.times = 3;  // a dropped keep-alive connection is retried once by the client
    fake.addFault(reset);
    EXPECT_FALSE(db->folderEntries(0, ids).ok());
}

TEST(DasTransport, StopAnswersWithinASecond) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(5)));
    fakedomino::Fault stall;
    stall.match = QStringLiteral("/collections/unid/");
    stall.stall = true;
    fake.addFault(stall);
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(quick(fake, 30), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db);
    std::atomic<int> stop{0};
    das::DasCancel::watch(&stop);
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop = 1;
    });
    QElapsedTimer timer;
    timer.start();
    std::vector<uint32_t> ids;
    e = db->folderEntries(0, ids);
    const qint64 stoppedAfter = timer.elapsed() - 300;
    stopper.join();
    das::DasCancel::unwatch(&stop);
    EXPECT_EQ(e.status, store::StatusCancelled);
    EXPECT_LT(stoppedAfter, 1000);
}

TEST(DasTransport, ProxyNoneIsHonouredWhenTheEnvironmentNamesOne) {
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(1)));
    ASSERT_NE(fake.start(), 0);
    const QByteArray saved = qgetenv("http_proxy");
    qputenv("http_proxy", "http://127.0.0.1:9");  // nothing listens there
    std::vector<das::ServerDatabase> dbs;
    das::DominoServer server = quick(fake, 3);
    server.proxy = QStringLiteral("none");
    const store::StoreError e = das::DominoDatabaseList::list(server, dbs, das::cancelCheck());
    server.proxy = QStringLiteral("http://127.0.0.1:9");
    das::DasSession::resetAll();
    const store::StoreError viaProxy = das::DominoDatabaseList::list(server, dbs, das::cancelCheck());
    if (saved.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", saved);
    EXPECT_TRUE(e.ok()) << e.message().toStdString();
    EXPECT_FALSE(viaProxy.ok());  // an explicit proxy is used
}

TEST(DasTransport, CertificatesAreCheckedAndAConfiguredAuthorityTrusted) {
    QTemporaryDir dir;
    QByteArray cert, key;
    if (!makeCertificate(dir.path(), cert, key)) GTEST_SKIP() << "openssl could not make a test certificate";
    ProviderScope scope(nullptr);
    fakedomino::Profile profile;
    profile.certificatePem = cert;
    profile.keyPem = key;
    fakedomino::Server fake(profile);
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QStringLiteral("Secure"), memoStore(1)));
    ASSERT_NE(fake.start(), 0);
    ASSERT_TRUE(fake.baseUrl().startsWith(QLatin1String("https://")));

    std::vector<das::ServerDatabase> dbs;
    das::DominoServer server = quick(fake, 5);
    store::StoreError e = das::DominoDatabaseList::list(server, dbs, das::cancelCheck());
    EXPECT_EQ(e.status, store::StatusUntrustedCertificate);
    EXPECT_TRUE(e.message().contains(QLatin1String("not trusted"))) << e.message().toStdString();
    EXPECT_TRUE(dbs.empty());

    server.caFile = dir.filePath(QStringLiteral("cert.pem"));
    das::DasSession::resetAll();
    e = das::DominoDatabaseList::list(server, dbs, das::cancelCheck());
    ASSERT_TRUE(e.ok()) << e.message().toStdString();
    ASSERT_EQ(dbs.size(), 1u);
    EXPECT_EQ(dbs[0].title, QStringLiteral("Secure"));
}

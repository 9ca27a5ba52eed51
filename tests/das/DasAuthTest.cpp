#include "DasTestSupport.h"
#include "notes/das/DasStore.h"
#include "notes/das/DominoDatabaseList.h"

#include <gtest/gtest.h>

using namespace dastest;

namespace {

fakedomino::Profile withAuth(fakedomino::Auth auth) {
    fakedomino::Profile p;
    p.auth = auth;
    p.users = {{QStringLiteral("Ann Lee"), QStringLiteral("s3cret")}};
    return p;
}

int countLogins(const fakedomino::Server& fake) {
    int n = 0;
    for (const auto& r : fake.log()) n += r.method == "POST";
    return n;
}

}  // namespace

class DasSignIn : public ::testing::TestWithParam<fakedomino::Auth> {};

TEST_P(DasSignIn, GoodPasswordIsAskedOnceAndKept) {
    fakedomino::Server fake(withAuth(GetParam()));
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(120)));
    ASSERT_NE(fake.start(), 0);
    auto provider = std::make_shared<FixedCredentials>(QStringLiteral("Ann Lee"), QStringLiteral("s3cret"));
    ProviderScope scope(provider);

    std::vector<das::ServerDatabase> dbs;
    ASSERT_TRUE(das::DominoDatabaseList::list(serverFor(fake), dbs, das::cancelCheck()).ok());
    EXPECT_EQ(dbs.size(), 1u);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    EXPECT_EQ(ids.size(), 120u);
    EXPECT_EQ(provider->asked, 1);
    EXPECT_EQ(provider->acceptedCount, 1);
    EXPECT_EQ(provider->refusedCount, 0);
    if (GetParam() != fakedomino::Auth::Basic) {
        EXPECT_EQ(countLogins(fake), 1);
    }
}

TEST_P(DasSignIn, WrongPasswordFailsOnceWithAClearText) {
    fakedomino::Server fake(withAuth(GetParam()));
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(1)));
    ASSERT_NE(fake.start(), 0);
    auto provider = std::make_shared<FixedCredentials>(QStringLiteral("Ann Lee"), QStringLiteral("wrong"));
    ProviderScope scope(provider);
    std::vector<das::ServerDatabase> dbs;
    const store::StoreError e = das::DominoDatabaseList::list(serverFor(fake), dbs, das::cancelCheck());
    EXPECT_EQ(e.status, store::StatusNotAuthorized);
    EXPECT_TRUE(e.message().contains(QLatin1String("refused the name and password of Ann Lee"))) << e.message().toStdString();
    EXPECT_EQ(provider->asked, 1);
    EXPECT_EQ(provider->refusedCount, 1);
    EXPECT_LE(fake.requestCount(), 3);  // no loop
}

INSTANTIATE_TEST_SUITE_P(Modes, DasSignIn,
                         ::testing::Values(fakedomino::Auth::Basic, fakedomino::Auth::Session,
                                           fakedomino::Auth::SessionForce401));

TEST(DasSession, ExpiredSessionSignsInAgainAndGoesOn) {
    fakedomino::Profile profile = withAuth(fakedomino::Auth::Session);
    profile.sessionExpiresAfter = 2;
    fakedomino::Server fake(profile);
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(450)));
    ASSERT_NE(fake.start(), 0);
    auto provider = std::make_shared<FixedCredentials>(QStringLiteral("Ann Lee"), QStringLiteral("s3cret"));
    ProviderScope scope(provider);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    EXPECT_EQ(ids.size(), 450u);
    EXPECT_GE(countLogins(fake), 3);   // five pages and the views, two requests per session
    EXPECT_EQ(provider->asked, 1);     // the password is kept for the new sign-ins
}

TEST(DasSession, CredentialsAreNotSentOverPlainHttpUnlessAllowed) {
    fakedomino::Server fake(withAuth(fakedomino::Auth::Basic));
    ASSERT_NE(fake.start(), 0);
    auto provider = std::make_shared<FixedCredentials>(QStringLiteral("Ann Lee"), QStringLiteral("s3cret"));
    ProviderScope scope(provider);
    std::vector<das::ServerDatabase> dbs;
    const store::StoreError e =
        das::DominoDatabaseList::list(serverFor(fake, das::AuthMode::Auto, false), dbs, das::cancelCheck());
    EXPECT_EQ(e.status, store::StatusNotAuthorized);
    EXPECT_TRUE(e.message().contains(QLatin1String("plain http"))) << e.message().toStdString();
    EXPECT_EQ(provider->asked, 0);
    for (const auto& r : fake.log()) EXPECT_FALSE(r.headers.contains("authorization"));
}

TEST(DasSession, NoProviderAndAnonymousModeGiveTheirOwnTexts) {
    fakedomino::Server fake(withAuth(fakedomino::Auth::Basic));
    ASSERT_NE(fake.start(), 0);
    ProviderScope scope(nullptr);
    std::vector<das::ServerDatabase> dbs;
    store::StoreError e = das::DominoDatabaseList::list(serverFor(fake), dbs, das::cancelCheck());
    EXPECT_TRUE(e.message().contains(QLatin1String("needs a name and password"))) << e.message().toStdString();
    e = das::DominoDatabaseList::list(serverFor(fake, das::AuthMode::None), dbs, das::cancelCheck());
    EXPECT_TRUE(e.message().contains(QLatin1String("anonymous"))) << e.message().toStdString();
}

// Credentials stay with the origin they were given for: a redirect to another
// port of the same host is refused and named, before anything is sent there;
// redirects within the origin are followed, a few of them.
TEST(DasRedirects, CredentialsNeverFollowARedirectToAnotherOrigin) {
    for (const fakedomino::Auth auth : {fakedomino::Auth::Basic, fakedomino::Auth::Session}) {
        SCOPED_TRACE(auth == fakedomino::Auth::Basic ? "basic" : "session");
        fakedomino::Server home(withAuth(auth));
        fakedomino::Server other(withAuth(auth));
        home.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(3)));
        other.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), memoStore(3)));
        ASSERT_NE(home.start(), 0);
        ASSERT_NE(other.start(), 0);
        auto provider = std::make_shared<FixedCredentials>(QStringLiteral("Ann Lee"), QStringLiteral("s3cret"));
        ProviderScope scope(provider);
        std::vector<das::ServerDatabase> dbs;
        ASSERT_TRUE(das::DominoDatabaseList::list(serverFor(home), dbs, das::cancelCheck()).ok());

        fakedomino::Fault away;
        away.match = QStringLiteral("/db.nsf/api/data/collections");
        away.redirectTo = (other.baseUrl() + QStringLiteral("/db.nsf/api/data/collections")).toUtf8();
        home.addFault(away);
        store::StoreError e;
        auto db = das::DasStore::open(serverFor(home), QStringLiteral("db.nsf"), e);
        EXPECT_FALSE(db);
        EXPECT_TRUE(e.message().contains(QLatin1String("redirected to another address"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QString::number(other.port()))) << e.message().toStdString();
        EXPECT_EQ(other.requestCount(), 0);  // not even a connection without credentials
        home.clearFaults();

        // Within the origin: followed, with the credentials.
        fakedomino::Fault moved;
        moved.match = QStringLiteral("/old.nsf/api/data/collections");
        moved.redirectTo = QByteArrayLiteral("/db.nsf/api/data/collections");
        home.addFault(moved);
        home.clearLog();
        db = das::DasStore::open(serverFor(home), QStringLiteral("old.nsf"), e);
        EXPECT_TRUE(db) << e.message().toStdString();
        bool followedSignedIn = false;
        for (const auto& r : home.log())
            if (r.target.startsWith(QLatin1String("/db.nsf/api/data/collections")) && r.status == 200)
                followedSignedIn = r.headers.contains("authorization") || r.headers.contains("cookie");
        EXPECT_TRUE(followedSignedIn);

        // A redirect loop within the origin is bounded and named.
        fakedomino::Fault loop;
        loop.match = QStringLiteral("/loop.nsf/");
        loop.redirectTo = QByteArrayLiteral("/loop.nsf/api/data/collections");
        home.addFault(loop);
        home.clearLog();
        db = das::DasStore::open(serverFor(home), QStringLiteral("loop.nsf"), e);
        EXPECT_FALSE(db);
        EXPECT_TRUE(e.message().contains(QLatin1String("redirected more than"))) << e.message().toStdString();
        EXPECT_LE(home.requestCount(), 40);
    }
}

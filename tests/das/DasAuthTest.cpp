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

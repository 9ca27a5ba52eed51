#pragma once

#include "fake/FakeDomino.h"
#include "notes/das/DasSession.h"
#include "notes/das/DominoCredentials.h"
#include "notes/das/DominoServerConfig.h"
#include "notes/store/MemoryStore.h"

#include <memory>

namespace dastest {

// A mail-like memory store: `count` memos in one folder named "($Inbox)".
std::shared_ptr<store::MemoryStore> memoStore(int count, const QString& folder = QStringLiteral("($Inbox)"));

// A database for the loopback server.
fakedomino::Database dbOf(const QString& path, const QString& title, std::shared_ptr<store::NoteStore> store);

// The server entry the client uses for a loopback server (no proxy).
das::DominoServer serverFor(const fakedomino::Server& server, das::AuthMode auth = das::AuthMode::Auto,
                            bool allowHttp = true);

// A provider that answers with fixed credentials and counts the questions.
class FixedCredentials : public das::ICredentialsProvider {
public:
    FixedCredentials(QString user, QString password) : m_user(std::move(user)), m_password(std::move(password)) {}
    bool credentials(const QString&, const QString&, bool, das::Credentials& c) override {
        ++asked;
        c.user = m_user;
        c.password = m_password;
        return true;
    }
    void accepted(const QString&, const das::Credentials&) override { ++acceptedCount; }
    void refused(const QString&, const das::Credentials&) override { ++refusedCount; }
    int asked = 0;
    int acceptedCount = 0;
    int refusedCount = 0;

private:
    QString m_user;
    QString m_password;
};

// Sets the provider for the scope of a test and forgets sessions on both ends.
class ProviderScope {
public:
    explicit ProviderScope(std::shared_ptr<das::ICredentialsProvider> p) {
        das::DasSession::resetAll();
        das::setCredentialsProvider(std::move(p));
    }
    ~ProviderScope() {
        das::setCredentialsProvider(nullptr);
        das::DasSession::resetAll();
    }
};

}  // namespace dastest

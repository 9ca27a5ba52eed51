#pragma once

#include "notes/das/DasNetwork.h"
#include "notes/das/DominoCredentials.h"
#include "notes/das/DominoServerConfig.h"
#include "notes/store/StoreStatus.h"

#include <QJsonDocument>
#include <QUrlQuery>

#include <memory>
#include <mutex>

namespace das {

// What to do with a request's body.
struct DasCall {
    QString path;              // below the server's URL, already percent-encoded
    QUrlQuery query;
    bool expectJson = true;
    int inactivityMs = 0;      // 0: the server's timeout
    int deadlineMs = 0;        // 0: four times the server's timeout; -1: none (downloads)
    std::function<bool(const char*, qint64)> sink;  // streaming download
};

// The connection to one server for the whole process: its address and
// settings, the sign-in (Basic or session cookie), and the translation of
// the server's refusals into messages. Shared by every database read from
// that server; safe to use from several threads.
class DasSession {
public:
    explicit DasSession(DominoServer server);

    // The process's session for this server (one per server URL).
    static std::shared_ptr<DasSession> forServer(const DominoServer& server);
    // Forgets every session (tests).
    static void resetAll();

    const DominoServer& server() const { return m_server; }
    QUrl url(const QString& encodedPath, const QUrlQuery& query = QUrlQuery()) const;

    // One request, signing in when the server asks (once per expiry). On
    // success `reply` holds the answer; an error carries a message naming the
    // server (the caller adds the database, view or item).
    store::StoreError send(const DasCall& call, const CancelCheck& cancel, HttpReply& reply);
    // send() and parse the JSON body (a 2xx answer that is not complete JSON is an error).
    store::StoreError getJson(const DasCall& call, const CancelCheck& cancel, QJsonDocument& json,
                              HttpReply* reply = nullptr);

    // The message for a 4xx/5xx answer or a transport failure. `what` names the
    // database, view or document asked for.
    store::StoreError errorFor(const HttpReply& reply, const QString& what) const;

    // True when the reply is Domino's HTML sign-in form (status 200 or 401).
    static bool isLoginPage(const HttpReply& reply);

    // Requests sent so far (for tests and the log).
    int requestCount() const { return m_requests.load(); }

private:
    enum class Mode { Unknown, None, Basic, Session };
    HttpRequest buildRequest(const DasCall& call) const;
    store::StoreError signIn(Mode mode, bool refusedBefore, const CancelCheck& cancel);
    store::StoreError sessionLogin(const Credentials& credentials, const CancelCheck& cancel, bool& refused);
    store::StoreError credentialsAllowed() const;
    QString serverLabel() const;

    DominoServer m_server;
    std::mutex m_mutex;          // sign-in state
    Mode m_mode = Mode::Unknown;
    Credentials m_credentials;
    bool m_haveCredentials = false;
    int m_generation = 0;        // bumped by each successful sign-in
    std::atomic<int> m_requests{0};
};

}  // namespace das

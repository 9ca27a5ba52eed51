#include "notes/das/DasSession.h"

#include <QHash>
#include <QJsonObject>
#include <QJsonParseError>
#include <QMutex>

#include <algorithm>

namespace das {
namespace {

QMutex& registryMutex() {
    static QMutex m;
    return m;
}
QHash<QString, std::shared_ptr<DasSession>>& registry() {
    static QHash<QString, std::shared_ptr<DasSession>> r;
    return r;
}

bool sameSettings(const DominoServer& a, const DominoServer& b) {
    return a.auth == b.auth && a.user == b.user && a.caFile == b.caFile && a.allowHttp == b.allowHttp &&
           a.proxy == b.proxy && a.timeoutSeconds == b.timeoutSeconds;
}

// The "message" (or "text") of a DAS error body, when it is one.
QString dasMessage(const QByteArray& body) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return QString();
    const QJsonObject o = doc.object();
    const QString message = o.value(QStringLiteral("message")).toString();
    return message.isEmpty() ? o.value(QStringLiteral("text")).toString() : message;
}

}  // namespace

DasSession::DasSession(DominoServer server) : m_server(std::move(server)) {}

std::shared_ptr<DasSession> DasSession::forServer(const DominoServer& server) {
    QMutexLocker lock(&registryMutex());
    auto it = registry().find(server.key());
    if (it != registry().end() && sameSettings(it.value()->server(), server)) return it.value();
    auto session = std::make_shared<DasSession>(server);
    registry().insert(server.key(), session);
    return session;
}

void DasSession::resetAll() {
    QMutexLocker lock(&registryMutex());
    registry().clear();
}

QString DasSession::serverLabel() const {
    const QString url = m_server.url.toString();
    if (m_server.name.isEmpty() || m_server.name == url) return url;
    return QStringLiteral("%1 (%2)").arg(m_server.name, url);
}

QUrl DasSession::url(const QString& encodedPath, const QUrlQuery& query) const {
    QString base = m_server.url.toString(QUrl::FullyEncoded);
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    QString path = encodedPath;
    if (!path.startsWith(QLatin1Char('/'))) path.prepend(QLatin1Char('/'));
    QUrl u(base + path, QUrl::StrictMode);
    if (!query.isEmpty()) u.setQuery(query);
    return u;
}

HttpRequest DasSession::buildRequest(const DasCall& call) const {
    HttpRequest r;
    r.url = url(call.path, call.query);
    const int timeout = std::max(1, m_server.timeoutSeconds) * 1000;
    r.inactivityMs = call.inactivityMs > 0 ? call.inactivityMs : timeout;
    r.deadlineMs = call.deadlineMs > 0 ? call.deadlineMs : call.deadlineMs < 0 ? 0 : 4 * timeout;
    r.caFile = m_server.caFile;
    r.proxy = m_server.proxy;
    r.sink = call.sink;
    if (call.expectJson) r.headers.append(qMakePair(QByteArray("Accept"), QByteArray("application/json")));
    return r;
}

store::StoreError DasSession::credentialsAllowed() const {
    if (m_server.url.scheme() == QLatin1String("http") && !m_server.allowHttp)
        return {store::StatusNotAuthorized,
                QStringLiteral("%1 asks for a name and password, which are not sent over plain http. "
                               "Use its https address, or allow plain http for this server in its settings")
                    .arg(serverLabel())};
    return {};
}

bool DasSession::isLoginPage(const HttpReply& reply) {
    if (reply.status != 200 && reply.status != 401) return false;
    const QByteArray type = reply.header("Content-Type").toLower();
    const QByteArray head = reply.body.left(64 * 1024).toLower();
    const bool html = type.contains("html") || head.trimmed().startsWith('<');
    if (!html) return false;
    return head.contains("type=\"password\"") || head.contains("type=password") ||
           head.contains("type='password'") || head.contains("?login") || head.contains("name=\"password\"");
}

store::StoreError DasSession::sessionLogin(const Credentials& credentials, const CancelCheck& cancel, bool& refused) {
    refused = false;
    HttpRequest r;
    r.url = url(QStringLiteral("/names.nsf"), QUrlQuery(QStringLiteral("Login")));
    r.method = "POST";
    r.followRedirects = false;
    r.inactivityMs = std::max(1, m_server.timeoutSeconds) * 1000;
    r.deadlineMs = 4 * r.inactivityMs;
    r.caFile = m_server.caFile;
    r.proxy = m_server.proxy;
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/x-www-form-urlencoded")));
    QUrlQuery form;
    const auto enc = [](const QString& s) { return QString::fromLatin1(QUrl::toPercentEncoding(s)); };
    form.addQueryItem(QStringLiteral("Username"), enc(credentials.user));
    form.addQueryItem(QStringLiteral("Password"), enc(credentials.password));
    form.addQueryItem(QStringLiteral("RedirectTo"), enc(QStringLiteral("/")));
    r.body = form.toString(QUrl::FullyEncoded).toUtf8();
    DasNetwork::instance().clearCookies(r.url);
    HttpReply reply = DasNetwork::instance().perform(r, cancel);
    ++m_requests;
    if (reply.status == 0 || reply.cancelled || reply.timedOut) return errorFor(reply, QString());
    const QUrl base = url(QStringLiteral("/"));
    const bool cookie = DasNetwork::instance().hasCookie(base, "DomAuthSessId") ||
                        DasNetwork::instance().hasCookie(base, "LtpaToken") ||
                        DasNetwork::instance().hasCookie(base, "LtpaToken2");
    if (!cookie || reply.status >= 400) {
        refused = true;
        return {store::StatusNotAuthorized,
                QStringLiteral("%1 refused the name and password of %2").arg(serverLabel(), credentials.user)};
    }
    return {};
}

store::StoreError DasSession::signIn(Mode mode, bool refusedBefore, const CancelCheck& cancel) {
    // Called with m_mutex held.
    auto provider = credentialsProvider();
    if (refusedBefore && m_haveCredentials) {
        if (provider) provider->refused(m_server.name, m_credentials);
        const QString user = m_credentials.user;
        m_haveCredentials = false;
        m_credentials.password.clear();
        m_mode = Mode::Unknown;
        return {store::StatusNotAuthorized,
                QStringLiteral("%1 refused the name and password of %2").arg(serverLabel(), user)};
    }
    if (store::StoreError e = credentialsAllowed(); !e.ok()) return e;
    if (!m_haveCredentials) {
        Credentials c;
        c.user = m_credentials.user.isEmpty() ? m_server.user : m_credentials.user;
        if (!provider || !provider->credentials(m_server.name, m_server.url.toString(), false, c))
            return {store::StatusNotAuthorized,
                    QStringLiteral("%1 needs a name and password, and none was given").arg(serverLabel())};
        m_credentials = c;
        m_haveCredentials = true;
    }
    if (mode == Mode::Session) {
        bool refused = false;
        store::StoreError e = sessionLogin(m_credentials, cancel, refused);
        if (!e.ok()) {
            if (refused) {
                if (provider) provider->refused(m_server.name, m_credentials);
                m_haveCredentials = false;
                m_credentials.password.clear();
            }
            return e;
        }
        if (provider) provider->accepted(m_server.name, m_credentials);
    }
    m_mode = mode;
    ++m_generation;
    return {};
}

store::StoreError DasSession::send(const DasCall& call, const CancelCheck& cancel, HttpReply& reply) {
    bool signedInThisCall = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        Mode mode;
        int generation;
        HttpRequest request = buildRequest(call);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            mode = m_mode;
            generation = m_generation;
            if (mode == Mode::Basic && m_haveCredentials) {
                if (store::StoreError e = credentialsAllowed(); !e.ok()) return e;
                const QByteArray token = (m_credentials.user + QLatin1Char(':') + m_credentials.password).toUtf8();
                request.headers.append(qMakePair(QByteArray("Authorization"), QByteArray("Basic ") + token.toBase64()));
            }
        }
        reply = DasNetwork::instance().perform(request, cancel);
        ++m_requests;
        if (reply.cancelled || reply.untrustedCertificate || reply.status == 0 || reply.redirectRefused ||
            reply.tooManyRedirects)
            return errorFor(reply, QString());
        const bool login = call.expectJson && isLoginPage(reply);
        if (reply.status != 401 && !login) {
            if (mode == Mode::Basic && reply.status < 400 && !reply.timedOut) {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_generation == generation && m_haveCredentials && signedInThisCall) {
                    if (auto provider = credentialsProvider()) provider->accepted(m_server.name, m_credentials);
                }
            }
            return {};
        }
        // The server wants a sign-in.
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_generation != generation) continue;  // another thread signed in meanwhile
        Mode want;
        switch (m_server.auth) {
            case AuthMode::Basic: want = Mode::Basic; break;
            case AuthMode::Session: want = Mode::Session; break;
            case AuthMode::None:
                return {store::StatusNotAuthorized,
                        QStringLiteral("%1 refused anonymous access (the server is set to sign in as nobody)")
                            .arg(serverLabel())};
            case AuthMode::Auto:
            default:
                want = (!login && reply.header("WWW-Authenticate").toLower().contains("basic")) ? Mode::Basic
                       : login                                                              ? Mode::Session
                       : mode == Mode::Session                                               ? Mode::Session
                                                                                             : Mode::Basic;
        }
        // Basic credentials sent and refused, or a fresh session refused at
        // once: the name and password are wrong. A session that worked before
        // has expired: one new sign-in.
        const bool refused = signedInThisCall || (mode == Mode::Basic && want == Mode::Basic && m_haveCredentials);
        if (store::StoreError e = signIn(want, refused, cancel); !e.ok()) return e;
        signedInThisCall = true;
    }
    return {store::StatusNotAuthorized, QStringLiteral("%1 keeps asking for a sign-in").arg(serverLabel())};
}

store::StoreError DasSession::getJson(const DasCall& call, const CancelCheck& cancel, QJsonDocument& json,
                                      HttpReply* replyOut) {
    HttpReply reply;
    store::StoreError e = send(call, cancel, reply);
    if (replyOut) *replyOut = reply;
    if (!e.ok()) return e;
    if (!reply.transportOk() || reply.error != QNetworkReply::NoError || reply.status >= 300)
        return errorFor(reply, QString());
    QJsonParseError parse;
    json = QJsonDocument::fromJson(reply.body, &parse);
    if (parse.error != QJsonParseError::NoError)
        return {store::StatusBadAnswer,
                QStringLiteral("%1 sent an incomplete or damaged answer (%2 at byte %3 of %4)")
                    .arg(serverLabel(), parse.errorString())
                    .arg(parse.offset)
                    .arg(reply.body.size())};
    return {};
}

store::StoreError DasSession::errorFor(const HttpReply& reply, const QString& what) const {
    const QString where = what.isEmpty() ? serverLabel() : QStringLiteral("%1, %2").arg(serverLabel(), what);
    if (reply.cancelled) return {store::StatusCancelled, where};
    if (reply.untrustedCertificate)
        return {store::StatusUntrustedCertificate,
                QStringLiteral("%1: %2. The connection was refused; if the server is the right one, trust its "
                               "certificate in the wizard (Add Domino Server) or add the certificate of "
                               "the server's authority to its settings (caFile)")
                    .arg(serverLabel(), reply.sslErrors.isEmpty() ? reply.errorText : reply.sslErrors)};
    if (reply.timedOut)
        return {store::StatusServerUnreachable, QStringLiteral("%1 did not answer in time").arg(where)};
    if (reply.redirectRefused)
        return {store::StatusBadAnswer,
                QStringLiteral("%1: the server redirected to another address (%2), which was not followed: the "
                               "name and password are only sent to the address configured for the server")
                    .arg(where, reply.redirectTarget.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery))};
    if (reply.tooManyRedirects)
        return {store::StatusBadAnswer,
                QStringLiteral("%1: the server redirected more than %2 times (last to %3)")
                    .arg(where)
                    .arg(kMaxRedirects)
                    .arg(reply.redirectTarget.toString(QUrl::RemoveUserInfo | QUrl::RemoveQuery))};
    if (reply.tooLarge)
        return {store::StatusBadAnswer, QStringLiteral("%1: the answer is larger than expected").arg(where)};
    if (reply.sinkFailed) return {store::StatusWriteFailed, where};
    if (reply.status == 0)
        return {store::StatusServerUnreachable, QStringLiteral("%1: %2").arg(serverLabel(), reply.errorText)};
    const QString message = dasMessage(reply.body);
    if (reply.status == 401 || (reply.status == 200 && isLoginPage(reply)))
        return {store::StatusNotAuthorized, QStringLiteral("%1: no access with this name").arg(where)};
    if (reply.status == 403) {
        if (message.contains(QLatin1String("not enabled for this database")) ||
            message.contains(QLatin1String("Cannot access resource")))
            return {store::StatusServiceDisabled,
                    QStringLiteral("%1: the Domino data service is not enabled for this database. Ask the "
                                   "administrator to set the database property \"Allow Domino Data Service\" "
                                   "to \"Views and documents\"")
                        .arg(where)};
        if (message.contains(QLatin1String("not enabled for this view")))
            return {store::StatusServiceDisabled,
                    QStringLiteral("%1: the Domino data service is not enabled for this view. Ask the "
                                   "administrator to tick \"Allow Domino Data Service operations\" in the "
                                   "view's properties")
                        .arg(where)};
        if (message.isEmpty() || message == QLatin1String("Forbidden"))
            return {store::StatusServiceDisabled,
                    QStringLiteral("%1: the Domino data service is not enabled on this server. Ask the "
                                   "administrator to add \"Data\" to the enabled Domino Access Services "
                                   "of the server (or of its Internet Site document)")
                        .arg(where)};
        return {store::StatusNotAuthorized, QStringLiteral("%1: %2").arg(where, message)};
    }
    if (reply.status == 404)
        return {store::StatusFileNotFound,
                QStringLiteral("%1: not found on the server%2")
                    .arg(where, message.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(message))};
    if (reply.status >= 300 || reply.error != QNetworkReply::NoError) {
        QString detail = message;
        if (detail.isEmpty() && reply.status < 300)
            detail = QStringLiteral("the connection ended before the answer was complete (%1)").arg(reply.errorText);
        if (detail.isEmpty()) detail = QStringLiteral("HTTP status %1").arg(reply.status);
        return {store::StatusBadAnswer, QStringLiteral("%1: %2").arg(where, detail)};
    }
    return {};
}

}  // namespace das

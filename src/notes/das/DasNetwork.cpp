#include "notes/das/DasNetwork.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>
#include <QWaitCondition>

#include <condition_variable>
#include <mutex>

namespace das {

QByteArray HttpReply::header(const QByteArray& name) const {
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0) return h.second;
    return QByteArray();
}

bool sameOrigin(const QUrl& a, const QUrl& b) {
    const QString scheme = a.scheme().toLower();
    if (scheme != b.scheme().toLower()) return false;
    if (a.host().compare(b.host(), Qt::CaseInsensitive) != 0) return false;
    const int defaultPort = scheme == QLatin1String("https") ? 443 : 80;
    return a.port(defaultPort) == b.port(defaultPort);
}

namespace {

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// One call in flight, shared between the caller and the network thread.
struct Call {
    HttpRequest request;
    HttpReply reply;
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abortAsked = false;   // caller's stop
    bool deadlineHit = false;
    QPointer<QNetworkReply> network;
};

// Chooses the proxy per request from the server's setting: "none" is direct
// whatever the environment says, "" or "system" the system's choice, else the URL.
class ServerProxyFactory : public QNetworkProxyFactory {
public:
    void set(const QUrl& url, const QString& proxy) {
        QMutexLocker lock(&m_mutex);
        m_settings.insert(key(url), proxy);
    }
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        QString setting;
        {
            QMutexLocker lock(&m_mutex);
            setting = m_settings.value(key(query.url()));
        }
        const QString s = setting.trimmed().toLower();
        if (s == QLatin1String("none") || s == QLatin1String("direct")) return {QNetworkProxy(QNetworkProxy::NoProxy)};
        if (s.isEmpty() || s == QLatin1String("system")) return systemProxyForQuery(query);
        const QUrl p(setting.trimmed());
        if (p.isValid() && !p.host().isEmpty()) {
            const bool socks = p.scheme().startsWith(QLatin1String("socks"));
            return {QNetworkProxy(socks ? QNetworkProxy::Socks5Proxy : QNetworkProxy::HttpProxy, p.host(),
                                  quint16(p.port(socks ? 1080 : 8080)), p.userName(), p.password())};
        }
        return systemProxyForQuery(query);
    }

private:
    static QString key(const QUrl& url) {
        return url.scheme().toLower() + QLatin1Char('|') + url.host().toLower() + QLatin1Char('|') +
               QString::number(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
    }
    QMutex m_mutex;
    QHash<QString, QString> m_settings;
};

QString describeSslErrors(const QList<QSslError>& errors) {
    QStringList texts;
    for (const QSslError& e : errors) texts << e.errorString();
    texts.removeDuplicates();
    return texts.join(QStringLiteral("; "));
}

}  // namespace

// The network thread. Everything touching the QNetworkAccessManager runs here.
class NetworkThread : public QThread {
public:
    void run() override {
        QNetworkAccessManager manager;
        auto factory = new ServerProxyFactory;  // owned by the manager
        m_factory = factory;
        manager.setProxyFactory(factory);
        manager.setAutoDeleteReplies(false);
        {
            std::lock_guard<std::mutex> lock(m_readyMutex);
            m_manager = &manager;
            m_ready = true;
        }
        m_readyCond.notify_all();
        exec();
        m_manager = nullptr;
    }
    void waitReady() {
        std::unique_lock<std::mutex> lock(m_readyMutex);
        m_readyCond.wait(lock, [this] { return m_ready; });
    }

    QNetworkAccessManager* manager() const { return m_manager; }

    // Runs on the network thread.
    void begin(const std::shared_ptr<Call>& call) {
        {
            std::lock_guard<std::mutex> lock(call->mutex);
            if (call->abortAsked) {
                call->reply.cancelled = true;
                finish(call);
                return;
            }
        }
        const HttpRequest& r = call->request;
        m_factory->set(r.url, r.proxy);
        QNetworkRequest request(r.url);
        // Redirects are judged by perform(), never followed by the manager:
        // it would carry the request's Authorization header to any host.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        if (r.inactivityMs > 0) request.setTransferTimeout(r.inactivityMs);
        for (const auto& h : r.headers) request.setRawHeader(h.first, h.second);
        if (r.url.scheme() == QLatin1String("https")) request.setSslConfiguration(sslConfiguration(r.caFile));

        QNetworkReply* reply = nullptr;
        if (r.method == "GET")
            reply = m_manager->get(request);
        else if (r.method == "POST")
            reply = m_manager->post(request, r.body);
        else
            reply = m_manager->sendCustomRequest(request, r.method, r.body);
        call->network = reply;
        reply->setReadBufferSize(256 * 1024);
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [this, call] { readBody(call); });
        QObject::connect(reply, &QNetworkReply::sslErrors, reply, [call](const QList<QSslError>& errors) {
            call->reply.sslErrors = describeSslErrors(errors);
        });
        QObject::connect(reply, &QNetworkReply::finished, reply, [this, call] { finished(call); });
        if (r.deadlineMs > 0) {
            QTimer::singleShot(r.deadlineMs, reply, [call] {
                call->deadlineHit = true;
                if (call->network) call->network->abort();
            });
        }
    }

    void abort(const std::shared_ptr<Call>& call) {
        if (call->network) call->network->abort();
    }

    void clearCookies(const QUrl& url) {
        QNetworkCookieJar* jar = m_manager->cookieJar();
        for (const QNetworkCookie& c : jar->cookiesForUrl(url)) jar->deleteCookie(c);
    }
    bool hasCookie(const QUrl& url, const QByteArray& name) {
        for (const QNetworkCookie& c : m_manager->cookieJar()->cookiesForUrl(url))
            if (c.name().compare(name, Qt::CaseInsensitive) == 0) return true;
        return false;
    }

private:
    QSslConfiguration sslConfiguration(const QString& caFile) {
        QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
        if (!caFile.isEmpty()) {
            auto it = m_caCache.find(caFile);
            if (it == m_caCache.end()) it = m_caCache.insert(caFile, QSslCertificate::fromPath(caFile, QSsl::Pem));
            QList<QSslCertificate> cas = conf.caCertificates();
            cas += it.value();
            conf.setCaCertificates(cas);
        }
        return conf;
    }

    void readBody(const std::shared_ptr<Call>& call) {
        QNetworkReply* reply = call->network;
        if (!reply) return;
        HttpReply& out = call->reply;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const bool stream = call->request.sink && status >= 200 && status < 300;
        while (reply->bytesAvailable() > 0) {
            const QByteArray chunk = reply->read(256 * 1024);
            if (chunk.isEmpty()) break;
            out.received += chunk.size();
            if (stream) {
                if (!call->request.sink(chunk.constData(), chunk.size())) {
                    out.sinkFailed = true;
                    reply->abort();
                    return;
                }
            } else {
                if (out.body.size() + chunk.size() > call->request.maxBodyBytes) {
                    out.tooLarge = true;
                    reply->abort();
                    return;
                }
                out.body += chunk;
            }
        }
    }

    void finished(const std::shared_ptr<Call>& call) {
        QNetworkReply* reply = call->network;
        if (!reply) return;
        if (!call->reply.tooLarge && !call->reply.sinkFailed) readBody(call);
        HttpReply& out = call->reply;
        out.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        out.headers = reply->rawHeaderPairs();
        out.error = reply->error();
        out.errorText = reply->errorString();
        bool asked = false;
        {
            std::lock_guard<std::mutex> lock(call->mutex);
            asked = call->abortAsked;
        }
        if (out.error == QNetworkReply::OperationCanceledError && !out.tooLarge && !out.sinkFailed) {
            if (asked)
                out.cancelled = true;
            else
                out.timedOut = true;  // the transfer timeout or the deadline
        }
        if (out.error == QNetworkReply::SslHandshakeFailedError) {
            out.untrustedCertificate = true;
            // A refused connection must not be reused once the trust settings change.
            m_manager->clearConnectionCache();
        }
        if (out.cancelled || out.timedOut) out.status = out.status > 0 ? out.status : 0;
        reply->deleteLater();
        call->network = nullptr;
        finish(call);
    }

    static void finish(const std::shared_ptr<Call>& call) {
        {
            std::lock_guard<std::mutex> lock(call->mutex);
            call->finished = true;
        }
        call->done.notify_all();
    }

    QNetworkAccessManager* m_manager = nullptr;
    ServerProxyFactory* m_factory = nullptr;
    QHash<QString, QList<QSslCertificate>> m_caCache;
    std::mutex m_readyMutex;
    std::condition_variable m_readyCond;
    bool m_ready = false;
};

struct DasNetwork::Impl {
    NetworkThread thread;
    QObject* context = nullptr;  // lives in the network thread: target of posted calls
};

DasNetwork& DasNetwork::instance() {
    static DasNetwork network;
    return network;
}

DasNetwork::DasNetwork() : m_impl(std::make_unique<Impl>()) {
    m_impl->thread.setObjectName(QStringLiteral("Domino network"));
    m_impl->thread.start();
    m_impl->thread.waitReady();
}

DasNetwork::~DasNetwork() {
    m_impl->thread.quit();
    m_impl->thread.wait();
}

HttpReply DasNetwork::perform(const HttpRequest& request, const CancelCheck& cancel) {
    if (!request.followRedirects) return performOnce(request, cancel);
    HttpRequest hop = request;
    QElapsedTimer clock;
    clock.start();
    for (int redirects = 0;; ++redirects) {
        HttpReply reply = performOnce(hop, cancel);
        const QByteArray location = reply.header("Location");
        if (!isRedirect(reply.status) || location.isEmpty() || !reply.transportOk()) return reply;
        const QUrl target = hop.url.resolved(QUrl::fromEncoded(location.trimmed()));
        reply.redirectTarget = target;
        if (!target.isValid() || !sameOrigin(target, request.url)) {
            reply.redirectRefused = true;
            return reply;
        }
        if (redirects == kMaxRedirects) {
            reply.tooManyRedirects = true;
            return reply;
        }
        if (request.deadlineMs > 0) {
            hop.deadlineMs = request.deadlineMs - int(clock.elapsed());
            if (hop.deadlineMs <= 0) {
                reply.timedOut = true;
                return reply;
            }
        }
        // 303, and 301/302 after a POST, continue as GET without the body.
        if (reply.status == 303 || ((reply.status == 301 || reply.status == 302) && hop.method == "POST")) {
            hop.method = "GET";
            hop.body.clear();
            hop.headers.removeIf([](const QPair<QByteArray, QByteArray>& h) {
                return h.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
            });
        }
        hop.url = target;
    }
}

HttpReply DasNetwork::performOnce(const HttpRequest& request, const CancelCheck& cancel) {
    auto call = std::make_shared<Call>();
    call->request = request;
    if (cancel && cancel()) {
        call->reply.cancelled = true;
        return call->reply;
    }
    NetworkThread* thread = &m_impl->thread;
    QMetaObject::invokeMethod(thread->manager(), [thread, call] { thread->begin(call); }, Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(call->mutex);
    while (!call->finished) {
        call->done.wait_for(lock, std::chrono::milliseconds(50));
        if (call->finished) break;
        if (!call->abortAsked && cancel && cancel()) {
            call->abortAsked = true;
            QMetaObject::invokeMethod(thread->manager(), [thread, call] { thread->abort(call); },
                                      Qt::QueuedConnection);
        }
    }
    return call->reply;
}

void DasNetwork::clearCookies(const QUrl& url) {
    NetworkThread* thread = &m_impl->thread;
    QMetaObject::invokeMethod(thread->manager(), [thread, url] { thread->clearCookies(url); },
                              Qt::BlockingQueuedConnection);
}

bool DasNetwork::hasCookie(const QUrl& url, const QByteArray& name) {
    NetworkThread* thread = &m_impl->thread;
    bool found = false;
    QMetaObject::invokeMethod(thread->manager(), [thread, url, name, &found] { found = thread->hasCookie(url, name); },
                              Qt::BlockingQueuedConnection);
    return found;
}

}  // namespace das

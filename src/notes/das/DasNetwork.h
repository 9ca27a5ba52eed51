#pragma once

#include "notes/das/DasCancel.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QPair>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace das {

// Redirects followed for one request at most.
constexpr int kMaxRedirects = 5;

// Whether two URLs share an origin: scheme, host and port (default ports filled in).
bool sameOrigin(const QUrl& a, const QUrl& b);

struct HttpRequest {
    QUrl url;
    QByteArray method = "GET";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Redirects within the request's origin (scheme, host and port) are
    // followed, at most kMaxRedirects of them; one to another origin is never
    // followed (the request's headers carry the credentials): the reply says so.
    bool followRedirects = true;
    int inactivityMs = 30000;   // no data for this long: timed out
    int deadlineMs = 0;         // the whole call at most this long; 0: no bound
    qint64 maxBodyBytes = qint64(64) << 20;  // a longer kept body is an error
    QString caFile;             // extra trusted CA certificates (PEM)
    QString proxy;              // "" or "system", "none", "http://host:port"
    // Streaming: each chunk of a 2xx body goes here (on the network thread)
    // instead of into HttpReply::body; false stops the transfer.
    std::function<bool(const char* data, qint64 size)> sink;
};

struct HttpReply {
    int status = 0;                      // HTTP status; 0 when none came
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    QByteArray body;                     // error bodies are kept too
    QList<QNetworkReply::RawHeaderPair> headers;
    qint64 received = 0;                 // body bytes received
    bool cancelled = false;              // the caller stopped it
    bool timedOut = false;
    bool tooLarge = false;
    bool sinkFailed = false;
    bool untrustedCertificate = false;
    QString sslErrors;                   // the certificate problems, when any
    bool redirectRefused = false;        // a redirect to another origin, not followed
    bool tooManyRedirects = false;       // more than kMaxRedirects within the origin
    QUrl redirectTarget;                 // where the refused or last redirect pointed
    bool transportOk() const {
        return status > 0 && !cancelled && !timedOut && !tooLarge && !sinkFailed && !redirectRefused &&
               !tooManyRedirects;
    }
    QByteArray header(const QByteArray& name) const;
};

// One network thread owning one QNetworkAccessManager (one connection pool,
// one cookie jar) for the whole process. perform() blocks the calling thread
// (never the network thread) until the answer is complete, the cancel check
// answers true (polled every 50 ms; the transfer is aborted), or a timeout.
class DasNetwork {
public:
    static DasNetwork& instance();
    ~DasNetwork();

    HttpReply perform(const HttpRequest& request, const CancelCheck& cancel);
    // Drops the cookies the jar holds for url (a new sign-in follows).
    void clearCookies(const QUrl& url);
    // True when the jar holds a cookie named `name` for url.
    bool hasCookie(const QUrl& url, const QByteArray& name);

    struct Impl;
private:
    DasNetwork();
    HttpReply performOnce(const HttpRequest& request, const CancelCheck& cancel);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace das

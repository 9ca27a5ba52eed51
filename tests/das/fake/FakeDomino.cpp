#include "fake/FakeDomino.h"

#include "fake/FakeDominoJson.h"

#include <QFile>
#include <QJsonDocument>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>

#include <condition_variable>
#include <mutex>

namespace fakedomino {

namespace {

struct Request {
    QByteArray method;
    QByteArray target;
    QHash<QByteArray, QByteArray> headers;
    QByteArray body;
};

struct Response {
    int status = 200;
    QByteArray contentType = "application/json";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    QString filePath;  // a body streamed from this file instead
    std::shared_ptr<QTemporaryDir> tempDir;
};

QByteArray reason(int status) {
    switch (status) {
        case 200: return "OK";
        case 302: return "Found";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 500: return "Internal Server Error";
        default: return "Status";
    }
}

Response json(int status, const QJsonDocument& doc) {
    Response r;
    r.status = status;
    r.body = doc.toJson(QJsonDocument::Compact);
    return r;
}

Response error(int status, const QString& message = QString()) {
    QJsonObject o;
    o.insert(QStringLiteral("code"), status);
    o.insert(QStringLiteral("text"), QString::fromLatin1(reason(status)));
    if (!message.isEmpty()) o.insert(QStringLiteral("message"), message);
    return json(status, QJsonDocument(o));
}

const char kLoginForm[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html><head><title>Server Login</title></head>"
    "<body><form method=\"post\" action=\"/names.nsf?Login\" name=\"_DominoForm\">"
    "<input name=\"Username\" type=\"text\"><input name=\"Password\" type=\"password\">"
    "<input type=\"hidden\" name=\"RedirectTo\" value=\"/\"></form></body></html>";

}  // namespace

class Connection;

struct Server::Impl {
    Server* owner = nullptr;
    mutable QMutex mutex;
    Profile profile;
    std::vector<Database> databases;
    std::vector<Fault> faults;
    std::vector<LoggedRequest> log;
    QHash<QString, int> sessions;  // token -> requests left (-1: forever)
    QHash<QString, int> viewRequests;  // view key -> page requests so far
    QThread thread;
    QTcpServer* server = nullptr;

    // ---- running on the server's thread
    void onConnection(QTcpSocket* socket);
    void handle(Connection* connection, const Request& request);
    Response route(const Request& request, Fault& fault, bool& faulted);
    bool authorised(const Request& request, Response& refusal);
    Response login(const Request& request);
    Response api(const QString& dbPath, const QString& rest, const QUrlQuery& query, const Request& request);
    void send(Connection* connection, Response response, const Fault& fault, bool faulted, bool keepAlive);

    Database* findDatabase(const QString& path) {
        for (Database& d : databases)
            if (d.path.compare(path, Qt::CaseInsensitive) == 0) return &d;
        return nullptr;
    }
};

Profile owner_profile(Server::Impl* impl);

Server::Server(Profile profile) : m_impl(std::make_unique<Impl>()) {
    m_impl->owner = this;
    m_impl->profile = std::move(profile);
}

Server::~Server() { stop(); }

void Server::addDatabase(Database db) {
    QMutexLocker lock(&m_impl->mutex);
    if (db.title.isEmpty()) db.title = db.path;
    m_impl->databases.push_back(std::move(db));
}

bool Server::addDatabaseFile(const QString& path, const QString& file, QString* errorText) {
    store::StoreError e;
    std::unique_ptr<store::NoteStore> s = store::openStore(file, QString(), e);
    if (!s) {
        if (errorText) *errorText = e.message();
        return false;
    }
    Database db;
    db.path = path;
    db.title = s->title().isEmpty() ? path : s->title();
    db.store = std::shared_ptr<store::NoteStore>(std::move(s));
    addDatabase(std::move(db));
    return true;
}

void Server::addFault(const Fault& fault) {
    QMutexLocker lock(&m_impl->mutex);
    m_impl->faults.push_back(fault);
}

void Server::clearFaults() {
    QMutexLocker lock(&m_impl->mutex);
    m_impl->faults.clear();
}

void Server::setProfile(const Profile& profile) {
    QMutexLocker lock(&m_impl->mutex);
    m_impl->profile = profile;
}

Profile Server::profile() const {
    QMutexLocker lock(&m_impl->mutex);
    return m_impl->profile;
}

Database* Server::database(const QString& path) {
    QMutexLocker lock(&m_impl->mutex);
    return m_impl->findDatabase(path);
}

std::vector<LoggedRequest> Server::log() const {
    QMutexLocker lock(&m_impl->mutex);
    return m_impl->log;
}

void Server::clearLog() {
    QMutexLocker lock(&m_impl->mutex);
    m_impl->log.clear();
}

void Server::expireSessions() {
    QMutexLocker lock(&m_impl->mutex);
    m_impl->sessions.clear();
}

QString Server::baseUrl() const {
    const bool tls = !profile().certificatePem.isEmpty();
    return QStringLiteral("%1://127.0.0.1:%2").arg(tls ? QStringLiteral("https") : QStringLiteral("http")).arg(m_port);
}

quint16 Server::start(quint16 port) {
    Impl* impl = m_impl.get();
    impl->thread.start();
    std::mutex m;
    std::condition_variable cv;
    bool done = false;
    quint16 bound = 0;
    QObject context;
    context.moveToThread(&impl->thread);
    QMetaObject::invokeMethod(&context, [&] {
        const Profile p = owner_profile(impl);
        QTcpServer* server = nullptr;
        if (!p.certificatePem.isEmpty()) {
            auto ssl = new QSslServer;
            QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
            conf.setLocalCertificate(QSslCertificate(p.certificatePem, QSsl::Pem));
            conf.setPrivateKey(QSslKey(p.keyPem, QSsl::Rsa, QSsl::Pem));
            conf.setPeerVerifyMode(QSslSocket::VerifyNone);
            ssl->setSslConfiguration(conf);
            server = ssl;
        } else {
            server = new QTcpServer;
        }
        impl->server = server;
        QObject::connect(server, &QTcpServer::pendingConnectionAvailable, server, [impl, server] {
            while (QTcpSocket* s = server->nextPendingConnection()) impl->onConnection(s);
        });
        if (server->listen(QHostAddress::LocalHost, port)) bound = server->serverPort();
        std::lock_guard<std::mutex> lock(m);
        done = true;
        cv.notify_all();
    });
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return done; });
    m_port = bound;
    return bound;
}

void Server::stop() {
    Impl* impl = m_impl.get();
    if (!impl->thread.isRunning()) return;
    QObject context;
    context.moveToThread(&impl->thread);
    QMetaObject::invokeMethod(&context, [impl] {
        if (impl->server) {
            impl->server->close();
            for (QTcpSocket* s : impl->server->findChildren<QTcpSocket*>()) s->abort();
            delete impl->server;
            impl->server = nullptr;
        }
    }, Qt::BlockingQueuedConnection);
    impl->thread.quit();
    impl->thread.wait();
}

Profile owner_profile(Server::Impl* impl) {
    QMutexLocker lock(&impl->mutex);
    return impl->profile;
}

// One client connection: requests are answered one after the other.
class Connection : public QObject {
public:
    Connection(QTcpSocket* socket, Server::Impl* impl) : QObject(socket), socket(socket), impl(impl) {
        QObject::connect(socket, &QTcpSocket::readyRead, this, [this] {
            buffer += this->socket->readAll();
            next();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
    void next() {
        if (busy) return;
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        Request request;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const int length = request.headers.value("content-length").toInt();
        if (buffer.size() < end + 4 + length) return;
        request.body = buffer.mid(end + 4, length);
        buffer.remove(0, end + 4 + length);
        busy = true;
        impl->handle(this, request);
    }
    void answered() {
        busy = false;
        next();
    }

    QTcpSocket* socket;
    Server::Impl* impl;
    QByteArray buffer;
    bool busy = false;
};

void Server::Impl::onConnection(QTcpSocket* socket) {
    socket->setParent(server);
    // As servers do: an answer's last segment goes out at once, not after the
    // client's delayed acknowledgement of the one before.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto connection = new Connection(socket, this);  // owned by the socket
    if (socket->bytesAvailable() > 0) {
        connection->buffer += socket->readAll();
        connection->next();
    }
}

void Server::Impl::handle(Connection* connection, const Request& request) {
    Fault fault;
    bool faulted = false;
    Response response = route(request, fault, faulted);
    const bool keepAlive = request.headers.value("connection").toLower() != "close";
    {
        QMutexLocker lock(&mutex);
        LoggedRequest logged;
        logged.method = request.method;
        logged.target = QString::fromUtf8(request.target);
        logged.headers = request.headers;
        logged.status = faulted && fault.error500 ? 500 : response.status;
        log.push_back(logged);
    }
    owner->m_requestCount.fetch_add(1);
    QPointer<Connection> guard(connection);
    if (faulted && fault.delayMs > 0) {
        QTimer::singleShot(fault.delayMs, connection, [this, guard, response, fault, keepAlive] {
            if (guard) send(guard, response, fault, true, keepAlive);
        });
        return;
    }
    send(connection, response, fault, faulted, keepAlive);
}

void Server::Impl::send(Connection* connection, Response response, const Fault& fault, bool faulted, bool keepAlive) {
    QTcpSocket* socket = connection->socket;
    if (faulted && fault.resetConnection) {
        socket->abort();
        return;
    }
    if (faulted && !fault.body.isEmpty()) {
        response = Response();
        response.body = fault.body;
        if (!fault.contentRange.isEmpty()) response.headers.append(qMakePair(QByteArray("Content-Range"), fault.contentRange));
    }
    if (faulted && !fault.redirectTo.isEmpty()) {
        response = Response();
        response.status = 302;
        response.contentType = "text/html";
        response.headers.append(qMakePair(QByteArray("Location"), fault.redirectTo));
    }
    if (faulted && fault.error500) {
        QJsonObject o;
        o.insert(QStringLiteral("code"), 500);
        o.insert(QStringLiteral("text"), QStringLiteral("Internal Server Error"));
        o.insert(QStringLiteral("message"), QStringLiteral("Error while reading the document"));
        o.insert(QStringLiteral("type"), QStringLiteral("text"));
        o.insert(QStringLiteral("data"), QStringLiteral("lotus.domino.NotesException: ..."));
        response = json(500, QJsonDocument(o));
    }
    QByteArray body = response.body;
    if (!response.filePath.isEmpty()) {
        QFile f(response.filePath);
        // Files are sent in pieces below; only the size here.
        body.clear();
        body.resize(0);
    }
    qint64 total = response.filePath.isEmpty() ? body.size() : QFileInfo(response.filePath).size();
    if (faulted && !fault.padBody.isEmpty()) {
        if (!response.filePath.isEmpty()) {
            QFile f(response.filePath);
            if (f.open(QIODevice::ReadOnly)) body = f.readAll();
            response.filePath.clear();
        }
        body += fault.padBody;
        total = body.size();
    }
    if (faulted && fault.noContentLength) keepAlive = false;
    if (faulted && fault.truncatedJson) {
        body = body.left(body.size() * 2 / 3);
        total = body.size();
    }
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " " + reason(response.status) + "\r\n";
    head += "Content-Type: " + response.contentType + "\r\n";
    for (const auto& h : response.headers) head += h.first + ": " + h.second + "\r\n";
    if (!faulted || !fault.noContentLength) head += "Content-Length: " + QByteArray::number(total) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);

    if (faulted && (fault.stall || fault.closeMidBody)) {
        QByteArray half = response.filePath.isEmpty() ? body.left(body.size() / 2) : QByteArray();
        if (!response.filePath.isEmpty()) {
            QFile f(response.filePath);
            if (f.open(QIODevice::ReadOnly)) half = f.read(total / 2);
        }
        socket->write(half);
        socket->flush();
        if (fault.closeMidBody) {
            QPointer<QTcpSocket> g(socket);
            QTimer::singleShot(20, socket, [g] {
                if (g) g->disconnectFromHost();
            });
        }
        return;  // a stall: the rest never comes
    }

    QPointer<QTcpSocket> guard(socket);
    QPointer<Connection> conn(connection);
    const auto finished = [guard, conn, keepAlive] {
        if (!guard || !conn) return;
        if (!keepAlive) {
            guard->disconnectFromHost();
            return;
        }
        QTimer::singleShot(0, conn, [conn] {
            if (conn) conn->answered();
        });
    };
    if (faulted && fault.trickleBytesPerTick > 0) {
        auto offset = std::make_shared<qint64>(0);
        auto timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [guard, body, offset, timer, fault, finished] {
            if (!guard) return;
            guard->write(body.mid(*offset, fault.trickleBytesPerTick));
            *offset += fault.trickleBytesPerTick;
            if (*offset >= body.size()) {
                timer->stop();
                timer->deleteLater();
                finished();
            }
        });
        timer->start(50);
        return;
    }
    if (response.filePath.isEmpty()) {
        socket->write(body);
        finished();
        return;
    }
    // A file: written as the socket drains, so a large one never sits in memory.
    auto file = std::make_shared<QFile>(response.filePath);
    if (!file->open(QIODevice::ReadOnly)) {
        socket->abort();
        return;
    }
    auto dir = response.tempDir;
    auto pump = std::make_shared<std::function<void()>>();
    *pump = [guard, file, dir, pump, finished] {
        if (!guard) return;
        while (guard->bytesToWrite() < 1024 * 1024 && !file->atEnd()) guard->write(file->read(256 * 1024));
        if (file->atEnd()) {
            QObject::disconnect(guard, &QTcpSocket::bytesWritten, nullptr, nullptr);
            finished();
            *pump = nullptr;  // releases the file and its directory
        }
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [pump] {
        if (*pump) (*pump)();
    });
    (*pump)();
}

bool Server::Impl::authorised(const Request& request, Response& refusal) {
    QMutexLocker lock(&mutex);
    const Profile& p = profile;
    if (p.auth == Auth::None) return true;
    if (p.auth == Auth::Basic) {
        const QByteArray header = request.headers.value("authorization");
        if (header.startsWith("Basic ")) {
            const QString pair = QString::fromUtf8(QByteArray::fromBase64(header.mid(6)));
            for (const User& u : p.users)
                if (pair == u.name + QLatin1Char(':') + u.password) return true;
        }
        refusal.status = 401;
        refusal.contentType = "text/html";
        refusal.headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"/\"")));
        refusal.body = "<html><body>Error 401 You are not authorized to perform this operation</body></html>";
        return false;
    }
    // Sessions: the cookie.
    const QList<QByteArray> cookies = request.headers.value("cookie").split(';');
    for (const QByteArray& c : cookies) {
        const QByteArray t = c.trimmed();
        if (!t.startsWith("DomAuthSessId=")) continue;
        const QString token = QString::fromLatin1(t.mid(14));
        auto it = sessions.find(token);
        if (it == sessions.end()) continue;
        if (it.value() == 0) {
            sessions.erase(it);
            continue;
        }
        if (it.value() > 0) --it.value();
        return true;
    }
    refusal.status = p.auth == Auth::SessionForce401 ? 401 : 200;
    refusal.contentType = "text/html; charset=UTF-8";
    refusal.body = kLoginForm;
    return false;
}

Response Server::Impl::login(const Request& request) {
    const QUrlQuery form(QString::fromUtf8(request.body).replace(QLatin1Char('+'), QLatin1Char(' ')));
    const QString user = form.queryItemValue(QStringLiteral("Username"), QUrl::FullyDecoded);
    const QString password = form.queryItemValue(QStringLiteral("Password"), QUrl::FullyDecoded);
    QMutexLocker lock(&mutex);
    for (const User& u : profile.users) {
        if (u.name == user && u.password == password) {
            const QString token = QUuid::createUuid().toString(QUuid::Id128);
            sessions.insert(token, profile.sessionExpiresAfter > 0 ? profile.sessionExpiresAfter : -1);
            Response r;
            r.status = 302;
            r.contentType = "text/html";
            r.headers.append(qMakePair(QByteArray("Location"), QByteArray("/")));
            r.headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray("DomAuthSessId=" + token.toLatin1() + "; path=/; HttpOnly")));
            return r;
        }
    }
    Response r;
    r.status = 200;
    r.contentType = "text/html; charset=UTF-8";
    r.body = kLoginForm;
    return r;
}

Response Server::Impl::route(const Request& request, Fault& fault, bool& faulted) {
    const QString target = QString::fromUtf8(request.target);
    {
        QMutexLocker lock(&mutex);
        for (Fault& f : faults) {
            if (f.times == 0 || !target.contains(f.match)) continue;
            if (f.times > 0) --f.times;
            fault = f;
            faulted = true;
            break;
        }
    }
    const QUrl url(target);
    const QString path = url.path(QUrl::FullyEncoded);
    const QUrlQuery query(url.query(QUrl::FullyEncoded));
    if (path.compare(QLatin1String("/names.nsf"), Qt::CaseInsensitive) == 0 && request.method == "POST" &&
        target.contains(QLatin1String("?Login"), Qt::CaseInsensitive))
        return login(request);
    Response refusal;
    if (!authorised(request, refusal)) return refusal;
    if (path == QLatin1String("/api")) {
        QJsonObject data;
        data.insert(QStringLiteral("name"), QStringLiteral("Data"));
        data.insert(QStringLiteral("enabled"), owner_profile(this).dataServiceEnabled);
        data.insert(QStringLiteral("version"), QStringLiteral("9.0.1"));
        data.insert(QStringLiteral("href"), QStringLiteral("/api/data"));
        QJsonObject o;
        o.insert(QStringLiteral("services"), QJsonArray{data});
        return json(200, QJsonDocument(o));
    }
    const int api = path.indexOf(QLatin1String("/api/data"));
    if (api < 0) return error(404, QStringLiteral("No such resource"));
    if (!owner_profile(this).dataServiceEnabled) return error(403);
    const QString dbPath = QUrl::fromPercentEncoding(path.left(api).mid(1).toUtf8());
    const QString rest = path.mid(api + 9);
    return this->api(dbPath, rest, query, request);
}

Response Server::Impl::api(const QString& dbPath, const QString& rest, const QUrlQuery& query, const Request& request) {
    const Profile p = owner_profile(this);
    const bool fp8 = p.level != Level::V901;
    const bool fp9 = p.level == Level::FP9;
    QMutexLocker lock(&mutex);
    if (dbPath.isEmpty()) {
        if (!rest.isEmpty()) return error(404);
        QJsonArray list;
        for (const Database& d : databases) {
            if (!d.showInDialog) continue;
            QJsonObject o;
            o.insert(QStringLiteral("@title"), d.title);
            o.insert(QStringLiteral("@filepath"), d.path);
            o.insert(QStringLiteral("@replicaid"), QStringLiteral("C1257A5B0036E6F1"));
            o.insert(QStringLiteral("@template"), QString());
            const QString href = QLatin1Char('/') + d.path + QStringLiteral("/api/data/collections");
            o.insert(QStringLiteral("@href"), p.absoluteHrefs ? QStringLiteral("127.0.0.1") + href : href);
            list.append(o);
        }
        return json(200, QJsonDocument(list));
    }
    Database* db = findDatabase(dbPath);
    if (!db) {
        Response r;
        r.status = 404;
        r.contentType = "text/html";
        r.body = "<html><body>Error 404 File does not exist</body></html>";
        return r;
    }
    if (db->access == DbAccess::Never) return error(403, QStringLiteral("The Domino data service is not enabled for this database."));
    const std::vector<store::StoreFolderInfo> folders = db->store->folders();
    if (rest == QLatin1String("/collections") || rest == QLatin1String("/collections/")) {
        QJsonArray list;
        for (const auto& f : folders) {
            QJsonObject o;
            o.insert(QStringLiteral("@title"), f.name);
            o.insert(QStringLiteral("@folder"), f.isFolder);
            o.insert(QStringLiteral("@private"), false);
            o.insert(QStringLiteral("@modified"), QStringLiteral("2019-05-02T08:15:00Z"));
            o.insert(QStringLiteral("@unid"), unidOfFolder(f));
            o.insert(QStringLiteral("@href"),
                     QLatin1Char('/') + db->path + QStringLiteral("/api/data/collections/unid/") + unidOfFolder(f));
            list.append(o);
        }
        return json(200, QJsonDocument(list));
    }
    if (rest.startsWith(QLatin1String("/collections/"))) {
        const QStringList parts = rest.mid(13).split(QLatin1Char('/'));
        if (parts.size() < 2) return error(404, QStringLiteral("The URI must refer to an existing view."));
        const QString key = QUrl::fromPercentEncoding(parts[1].toUtf8());
        size_t index = folders.size();
        for (size_t i = 0; i < folders.size(); ++i)
            if ((parts[0] == QLatin1String("unid") && unidOfFolder(folders[i]).compare(key, Qt::CaseInsensitive) == 0) ||
                (parts[0] == QLatin1String("name") && folders[i].name.compare(key, Qt::CaseInsensitive) == 0))
                index = i;
        if (index == folders.size()) return error(404, QStringLiteral("The URI must refer to an existing view."));
        const store::StoreFolderInfo& info = folders[index];
        if (db->disabledViews.contains(info.name))
            return error(403, QStringLiteral("The Domino data service is not enabled for this view [%1].").arg(info.name));
        bool okStart = true, okCount = true;
        qint64 start = query.hasQueryItem(QStringLiteral("start")) ? query.queryItemValue(QStringLiteral("start")).toLongLong(&okStart) : 0;
        qint64 count = query.hasQueryItem(QStringLiteral("count")) ? query.queryItemValue(QStringLiteral("count")).toLongLong(&okCount) : 10;
        if (query.hasQueryItem(QStringLiteral("ps"))) {
            count = query.queryItemValue(QStringLiteral("ps")).toLongLong(&okCount);
            start = count * query.queryItemValue(QStringLiteral("page")).toLongLong() +
                    query.queryItemValue(QStringLiteral("si")).toLongLong();
        }
        const QByteArray range = request.headers.value("range");
        if (range.startsWith("items=")) {
            const QList<QByteArray> ab = range.mid(6).split('-');
            start = ab.value(0).toLongLong();
            count = ab.value(1).toLongLong() - start + 1;
        }
        if (!okStart || !okCount || start < 0 || count < 0) return error(400, QStringLiteral("Invalid parameter."));
        if (fp8 && count > p.maxViewEntries)
            return error(400, QStringLiteral("Limit exceeded.  Cannot read more than %1 entries.").arg(p.maxViewEntries));
        std::vector<uint32_t> ids;
        store::StoreError e = db->store->folderEntries(index, ids);
        if (!e.ok() && e.status != store::StatusUnsupportedFormula) return error(500, e.message());
        const QString viewKey = db->path + QLatin1Char('|') + info.name;
        const int served = viewRequests.value(viewKey);
        viewRequests.insert(viewKey, served + 1);
        qint64 first = start;
        if (db->changingViews.contains(info.name)) first = std::max<qint64>(0, start - served);  // one new entry on top per page
        if (db->endlessViews.contains(info.name)) first = 0;
        QJsonArray entries;
        const qint64 total = qint64(ids.size());
        for (qint64 i = first; i < total && i < first + count; ++i) {
            store::StoreNote note;
            if (!db->store->loadNote(ids[size_t(i)], note).ok()) continue;
            const QString unid = unidOfNote(note);
            QJsonObject o;
            const QString docHref = QLatin1Char('/') + db->path + QStringLiteral("/api/data/documents/unid/") + unid;
            o.insert(QStringLiteral("@href"), QLatin1Char('/') + db->path + QStringLiteral("/api/data/collections/unid/") +
                                                  unidOfFolder(info) + QStringLiteral("/unid/") + unid);
            o.insert(QStringLiteral("@link"), QJsonObject{{QStringLiteral("rel"), QStringLiteral("document")},
                                                          {QStringLiteral("href"), docHref}});
            o.insert(QStringLiteral("@entryid"), QStringLiteral("%1-%2").arg(i + 1).arg(unid));
            o.insert(QStringLiteral("@unid"), unid);
            o.insert(QStringLiteral("@noteid"), noteIdHex(note.noteId));
            o.insert(QStringLiteral("@position"), QString::number(i + 1));
            o.insert(QStringLiteral("@siblings"), total);
            if (const store::StoreItem* form = note.item(QStringLiteral("Form")); form && !form->texts.isEmpty())
                o.insert(QStringLiteral("@form"), form->texts.front());
            if (const store::StoreItem* subject = note.item(QStringLiteral("Subject")); subject && !subject->texts.isEmpty())
                o.insert(QStringLiteral("$Subject"), subject->texts.front());
            entries.append(o);
        }
        Response r = json(200, QJsonDocument(entries));
        if (total > 0 && start < total)
            r.headers.append(qMakePair(QByteArray("Content-Range"), QByteArray(QStringLiteral("items %1-%2/%3")
                                                   .arg(start)
                                                   .arg(start + entries.size() - 1)
                                                   .arg(total)
                                                   .toLatin1())));
        return r;
    }
    if (rest.startsWith(QLatin1String("/documents/unid/"))) {
        if (db->access != DbAccess::ViewsAndDocuments) return error(403, QStringLiteral("Cannot access resource"));
        const QStringList parts = rest.mid(16).split(QLatin1Char('/'));
        const QString unid = parts.value(0);
        // Find the note by UNID.
        std::vector<uint32_t> all = db->store->allDocumentIds();
        store::StoreNote note;
        bool found = false;
        for (uint32_t id : all) {
            store::StoreNote n;
            if (db->store->loadNote(id, n).ok() && unidOfNote(n).compare(unid, Qt::CaseInsensitive) == 0) {
                note = std::move(n);
                found = true;
                break;
            }
        }
        if (!found) return error(404, QStringLiteral("Invalid universal id"));
        const QString hrefBase = QLatin1Char('/') + db->path + QStringLiteral("/api/data/documents/unid/") + unidOfNote(note);
        if (parts.size() >= 3) {
            if (!fp9) return error(404, QStringLiteral("No such resource"));
            const QString file = QUrl::fromPercentEncoding(parts[2].toUtf8());
            for (const store::StoreAttachment& a : note.attachments) {
                if (a.name != file) continue;
                Response r;
                r.contentType = "application/octet-stream";
                r.tempDir = std::make_shared<QTemporaryDir>();
                r.filePath = r.tempDir->filePath(QStringLiteral("file"));
                if (!db->store->detachAttachment(note.noteId, a, r.filePath).ok()) return error(500, QStringLiteral("Cannot read the attachment"));
                return r;
            }
            return error(404, QStringLiteral("Attachment not found"));
        }
        DocumentOptions options;
        options.hidden = query.queryItemValue(QStringLiteral("hidden")) == QLatin1String("true");
        options.strongtype = query.queryItemValue(QStringLiteral("strongtype")) == QLatin1String("true");
        options.attachmentLinks = fp9 && query.queryItemValue(QStringLiteral("attachmentlinks")) == QLatin1String("true");
        options.hrefBase = hrefBase;
        return json(200, QJsonDocument(documentJson(note, *db->store, options)));
    }
    return error(404, QStringLiteral("No such resource"));
}

}  // namespace fakedomino

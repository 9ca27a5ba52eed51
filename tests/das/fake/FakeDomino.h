#pragma once

// A loopback stand-in for a Domino server's data service (/api/data), made
// from the published descriptions of the service. It serves any store the
// program can open, in the service's JSON shapes, with switchable service
// level, enablement, sign-in and injected faults.

#include "notes/store/NoteStore.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

namespace fakedomino {

enum class Level { V901, FP8, FP9 };
enum class Auth { None, Basic, Session, SessionForce401 };
enum class DbAccess { Never, ViewsOnly, ViewsAndDocuments };

// A fault applied to requests whose path (with query) contains `match`.
struct Fault {
    QString match;
    int delayMs = 0;              // before answering
    bool stall = false;           // send the headers and half the body, then nothing
    bool closeMidBody = false;    // announce the full length, send half, close
    bool error500 = false;        // 500 with the service's error JSON
    bool truncatedJson = false;   // 200 with the JSON cut short
    bool resetConnection = false; // close without answering
    int trickleBytesPerTick = 0;  // slow body: this many bytes every 50 ms
    QByteArray body;              // answer 200 with this JSON instead
    QByteArray contentRange;      // with this Content-Range header, when set
    QByteArray redirectTo;        // answer 302 with this Location instead
    bool noContentLength = false; // no Content-Length: the body ends when the connection closes
    QByteArray padBody;           // appended to the body (and counted in Content-Length)
    int times = -1;               // how many requests it hits (-1: all)
};

struct Database {
    QString path;                 // as listed, e.g. "mail/alee.nsf"
    QString title;
    std::shared_ptr<store::NoteStore> store;
    DbAccess access = DbAccess::ViewsAndDocuments;
    bool showInDialog = true;
    QSet<QString> disabledViews;  // view names without the service flag
    QSet<QString> changingViews;  // views whose entries shift between pages
    QSet<QString> endlessViews;   // views that answer every page with the same full page
};

struct User {
    QString name;
    QString password;
};

struct Profile {
    Level level = Level::FP9;
    bool dataServiceEnabled = true;
    Auth auth = Auth::None;
    std::vector<User> users;
    int sessionExpiresAfter = 0;  // requests a session lasts (0: forever)
    int maxViewEntries = 100;
    bool absoluteHrefs = false;
    QByteArray certificatePem;    // TLS when set (with the key)
    QByteArray keyPem;
};

// One request as the server saw it.
struct LoggedRequest {
    QByteArray method;
    QString target;               // path and query as sent
    QHash<QByteArray, QByteArray> headers;  // names lower-cased
    int status = 0;
};

class Server {
public:
    explicit Server(Profile profile = Profile());
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Adds a database before or while serving.
    void addDatabase(Database db);
    // Opens a store by file path ("memory:NAME" too) and adds it under `path`.
    bool addDatabaseFile(const QString& path, const QString& file, QString* error = nullptr);
    void addFault(const Fault& fault);
    void clearFaults();
    void setProfile(const Profile& profile);
    Profile profile() const;
    Database* database(const QString& path);  // adjust before requests run

    // Starts listening on 127.0.0.1 (port 0: any free one); returns the port or 0.
    quint16 start(quint16 port = 0);
    void stop();
    quint16 port() const { return m_port; }
    QString baseUrl() const;

    std::vector<LoggedRequest> log() const;
    void clearLog();
    int requestCount() const { return m_requestCount.load(); }
    // Ends every session (the next request finds it expired).
    void expireSessions();

    struct Impl;
private:
    std::unique_ptr<Impl> m_impl;
    quint16 m_port = 0;
    std::atomic<int> m_requestCount{0};
};

}  // namespace fakedomino

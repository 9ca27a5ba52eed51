#pragma once

#include "notes/store/StoreStatus.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

// One database a Domino server lists: its path as the server gives it and
// its title.
struct ServerDatabase {
    QString path;
    QString title;
};

// What the program knows about Domino servers: the servers it may talk to
// and, per server, the databases there. The Domino driver supplies the real
// one; tests put in their own. Calls block and may run on any worker thread;
// `cancel`, when given, ends a call early (with StatusCancelled).
class IServerDirectory {
public:
    virtual ~IServerDirectory() = default;

    // The known server names, in their configured order.
    virtual store::StoreError ServerNames(QStringList& names) = 0;
    // The databases of one server, in the server's order.
    virtual store::StoreError Databases(const QString& server, std::vector<ServerDatabase>& databases,
                                        const std::atomic<int>* cancel) = 0;
    // Opens one database of the server as a conversion would, to learn
    // whether it can be read; `opened` receives its path and file name.
    virtual store::StoreError OpenDatabase(const QString& server, const QString& path, ServerDatabase& opened,
                                           const std::atomic<int>* cancel);
    // Keeps a server typed by the user among the known servers, reached at
    // `url` (empty: https://<name>); a server already configured is left as it is.
    virtual store::StoreError RememberServer(const QString& name, const QString& url = QString());
};

namespace ServerDirectory {
// The directory in use (never null): the one installed last, otherwise the
// built-in one over the settings.
std::shared_ptr<IServerDirectory> Current();
void Install(std::shared_ptr<IServerDirectory> directory);
// The file name part of a server path ("mail/jdoe.nsf" -> "jdoe.nsf"; either separator).
QString FileNameOf(const QString& path);
// A server as a user types it: "host", "host:port", or an http(s) URL
// "https://host[:port]" (no path). `name` is what it is listed under
// ("host" or "host:port"), `url` where it is reached (https unless the URL
// says http). False for anything else (spaces, a Notes hierarchical name
// "Mail01/Acme", a port outside 1-65535, another scheme, a path).
bool ParseServerAddress(const QString& typed, QString* name, QString* url);
}  // namespace ServerDirectory

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
    // Keeps a server typed by the user, reached at https://<name>, among the
    // known servers; a server already configured is left as it is.
    virtual store::StoreError RememberServer(const QString& name);
};

namespace ServerDirectory {
// The directory in use (never null): the one installed last, otherwise the
// built-in one over the settings.
std::shared_ptr<IServerDirectory> Current();
void Install(std::shared_ptr<IServerDirectory> directory);
// The file name part of a server path ("mail/jdoe.nsf" -> "jdoe.nsf"; either separator).
QString FileNameOf(const QString& path);
}  // namespace ServerDirectory

#pragma once

#include "notes/das/DasCancel.h"
#include "notes/das/DominoServerConfig.h"
#include "notes/store/StoreStatus.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace das {

// A database as the server lists it.
struct ServerDatabase {
    QString path;          // relative to the server's data directory, as the server gives it
    QString title;
    QString replicaId;
    QString templateName;
};

// A database left out of a checked list, and why.
struct SkippedDatabase {
    QString path;
    store::StoreError error;
};

// The databases of a Domino server through its data service.
class DominoDatabaseList {
public:
    // The server's list (/api/data), one request. Fails with a message naming
    // the server when it cannot be read.
    static store::StoreError list(const DominoServer& server, std::vector<ServerDatabase>& databases,
                                  const CancelCheck& cancel);

    // As list(), then each database is asked for its views in turn: those whose
    // data service refuses go to `skipped` with the reason. A stop returns the
    // databases checked so far with no error.
    static store::StoreError listReadable(const DominoServer& server, std::vector<ServerDatabase>& databases,
                                          std::vector<SkippedDatabase>& skipped, const CancelCheck& cancel);

    // Maps the JSON of the database list; false when it is not one.
    static bool parse(const QByteArray& json, std::vector<ServerDatabase>& databases);

    // The URL path of a database: segments percent-encoded, "/" between them.
    static QString encodePath(const QString& path);
};

}  // namespace das

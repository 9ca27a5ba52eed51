// Server and database discovery for the Domino server browser.
#include "convert/CNotesConverter.h"
#include "convert/ServerDiscoveryTexts.h"

IServerDirectory& CNotesConverter::Directory() {
    if (serverDirectory) return *serverDirectory;
    m_defaultDirectory = ServerDirectory::Current();
    return *m_defaultDirectory;
}

int CNotesConverter::ListServers(QStringList& servers) {
    QStringList names;
    store::StoreError error;
    try {
        error = Directory().ServerNames(names);
    } catch (...) {
        error = {store::StatusInternal, QString()};
    }
    if (!error.ok()) {
        lastErrorText = ServerDiscoveryTexts::kNoServer;
        return 0;
    }
    for (const QString& name : names) servers.append(name);
    // An empty list is no failure, but the browser then shows this text.
    if (names.isEmpty()) lastErrorText = ServerDiscoveryTexts::kNoServerKnown;
    return 1;
}

int CNotesConverter::ListServerDatabases(const QString& serverName, QStringList& paths, QStringList& names,
                                         const std::function<void()>& betweenDatabases) {
    IServerDirectory& directory = Directory();
    serverDatabaseProblems.clear();
    std::vector<ServerDatabase> listed;
    const store::StoreError error = directory.Databases(serverName, listed, &cancelRequested);
    if (error.status == store::StatusCancelled) return 1;  // stopped: nothing read, nothing to say
    if (!error.ok()) {
        // A server that cannot be reached gets the fixed text; any other
        // refusal (credentials, certificate, data service switched off...)
        // is named as the server or the driver reports it.
        lastErrorText = error.status == store::StatusServerUnreachable ? ServerDiscoveryTexts::kNoDatabaseList
                                                                      : error.message();
        return 0;
    }
    if (listed.empty()) {
        lastErrorText = ServerDiscoveryTexts::kNoFileFound;
        return 0;
    }
    QString lastSkip;
    for (const ServerDatabase& db : listed) {
        if (betweenDatabases) betweenDatabases();
        if (cancelRequested) break;
        ServerDatabase opened;
        store::StoreError openError;
        try {
            openError = directory.OpenDatabase(serverName, db.path, opened, &cancelRequested);
        } catch (...) {
            openError = {store::StatusInternal, db.path};
        }
        if (!openError.ok()) {
            // That database is left out; its reason is kept in case none opens.
            if (openError.status != store::StatusCancelled) {
                lastSkip = db.path + QStringLiteral(": ") + openError.message();
                serverDatabaseProblems.append(lastSkip);
            }
            continue;
        }
        paths.append(opened.path);
        names.append(opened.title);
    }
    if (paths.isEmpty() && !lastSkip.isEmpty()) lastErrorText = lastSkip;
    return 1;
}

int CNotesConverter::RememberServer(const QString& serverName) {
    const store::StoreError error = Directory().RememberServer(serverName);
    if (!error.ok()) {
        lastErrorText = error.message();
        return 0;
    }
    return 1;
}

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

class QSettings;

namespace das {

// How the program signs in to a server.
enum class AuthMode {
    Auto,     // nothing sent until asked: a Basic challenge or a login form decides
    Basic,    // HTTP Basic on every request
    Session,  // form login (names.nsf?Login), then the session cookie
    None,     // anonymous
};

// One Domino server the program knows.
struct DominoServer {
    QString name;            // as configured, or the URL when given as one
    QUrl url;                // base URL without a trailing slash
    AuthMode auth = AuthMode::Auto;
    QString user;
    QString caFile;          // extra trusted CA certificates (PEM), may be empty
    bool allowHttp = false;  // credentials may go over plain http
    QString proxy;           // "" or "system", "none", or "http://host:port"
    int timeoutSeconds = 30; // no data for this long: the server is not answering
    bool fromAdminFile = false;

    // The key that identifies the server within this process (lower-case URL).
    QString key() const;
};

// The servers the program knows: the user's list in the settings
// (group DominoServers/<NAME>: url, auth, user, caFile, allowHttp, proxy)
// and, read-only, an administrator's file with the same keys
// ($XDG_CONFIG_DIRS/tesseldoc/domino-servers.ini, first one found).
// Passwords are never read from or written to either.
class DominoServerConfig {
public:
    // The program's settings and the admin file.
    DominoServerConfig();
    // For tests: these settings and these admin files only.
    DominoServerConfig(const QString& userSettingsFile, const QStringList& adminFiles);

    // Names of the known servers: the user's first, in settings order, then the
    // admin file's that the user's list does not already name.
    QStringList serverNames() const;
    const std::vector<DominoServer>& servers() const { return m_servers; }

    // A configured server by name (case-insensitive).
    std::optional<DominoServer> find(const QString& name) const;

    // The server a SERVER part names: a configured name (case-insensitive), an
    // http:// or https:// URL, or else a host name reached as https://<name>.
    // Empty with `error` set when SERVER is unusable.
    std::optional<DominoServer> resolve(const QString& server, QString* error = nullptr) const;

    // Adds NAME to the user's list with `url` (empty: https://<name>) unless it
    // is known. Returns false when the settings cannot be written.
    bool addServer(const QString& name, const QString& url = QString());

    // Stores (or replaces) a server in the user's settings. The password is
    // never part of it.
    bool saveServer(const DominoServer& server);

    // The admin files looked at, in order ($XDG_CONFIG_DIRS, default /etc/xdg).
    static QStringList defaultAdminFiles();

    // "SERVER!!PATH" split at the first "!!". False when there is none.
    static bool splitServerPath(const QString& text, QString& server, QString& path);
    // PATH with "/" between segments and no leading slash ("mail\\x.nsf" -> "mail/x.nsf").
    static QString normalisePath(const QString& path);
    // True when both name the same database: separators equal, case ignored.
    static bool samePath(const QString& a, const QString& b);

private:
    void load(QSettings& settings, bool admin);
    static std::optional<DominoServer> fromUrl(const QString& name, const QString& url, QString* error);

    QString m_userFile;   // empty: the program's own settings
    std::vector<DominoServer> m_servers;
};

}  // namespace das

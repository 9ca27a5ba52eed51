#include "notes/das/DominoServerConfig.h"

#include "files/UserSettings.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <memory>

namespace das {
namespace {

const char kGroup[] = "DominoServers";

AuthMode parseAuth(const QString& text) {
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("basic")) return AuthMode::Basic;
    if (t == QLatin1String("session") || t == QLatin1String("form")) return AuthMode::Session;
    if (t == QLatin1String("none") || t == QLatin1String("anonymous")) return AuthMode::None;
    return AuthMode::Auto;
}

QString authText(AuthMode mode) {
    switch (mode) {
        case AuthMode::Basic: return QStringLiteral("basic");
        case AuthMode::Session: return QStringLiteral("session");
        case AuthMode::None: return QStringLiteral("none");
        case AuthMode::Auto: break;
    }
    return QStringLiteral("auto");
}

bool isUrl(const QString& text) {
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

std::unique_ptr<QSettings> openUserSettings(const QString& file) {
    if (file.isEmpty()) return UserSettings::open();
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

}  // namespace

QString DominoServer::key() const {
    QString k = url.toString(QUrl::StripTrailingSlash).toLower();
    return k;
}

DominoServerConfig::DominoServerConfig() : DominoServerConfig(QString(), defaultAdminFiles()) {}

DominoServerConfig::DominoServerConfig(const QString& userSettingsFile, const QStringList& adminFiles)
    : m_userFile(userSettingsFile) {
    {
        auto settings = openUserSettings(m_userFile);
        load(*settings, false);
    }
    for (const QString& file : adminFiles) {
        if (!QFileInfo(file).isFile()) continue;
        QSettings admin(file, QSettings::IniFormat);
        load(admin, true);
        break;
    }
}

QStringList DominoServerConfig::defaultAdminFiles() {
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty()) dirs = QStringLiteral("/etc/xdg");
    QStringList files;
    for (const QString& dir : dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        files << dir + QStringLiteral("/tesseldoc/domino-servers.ini");
    return files;
}

void DominoServerConfig::load(QSettings& settings, bool admin) {
    settings.beginGroup(QString::fromLatin1(kGroup));
    const QStringList groups = settings.childGroups();
    for (const QString& name : groups) {
        if (name.trimmed().isEmpty() || find(name)) continue;
        settings.beginGroup(name);
        const QString url = settings.value(QStringLiteral("url")).toString().trimmed();
        auto server = fromUrl(name, url.isEmpty() ? QStringLiteral("https://") + name.toLower() : url, nullptr);
        if (server) {
            server->auth = parseAuth(settings.value(QStringLiteral("auth")).toString());
            server->user = settings.value(QStringLiteral("user")).toString();
            server->caFile = settings.value(QStringLiteral("caFile")).toString();
            server->allowHttp = settings.value(QStringLiteral("allowHttp"), false).toBool();
            server->proxy = settings.value(QStringLiteral("proxy")).toString().trimmed();
            server->timeoutSeconds = std::max(1, settings.value(QStringLiteral("timeout"), 30).toInt());
            server->fromAdminFile = admin;
            m_servers.push_back(*server);
        }
        settings.endGroup();
    }
    settings.endGroup();
}

QStringList DominoServerConfig::serverNames() const {
    QStringList names;
    for (const DominoServer& s : m_servers) names << s.name;
    return names;
}

std::optional<DominoServer> DominoServerConfig::find(const QString& name) const {
    const QString wanted = name.trimmed();
    for (const DominoServer& s : m_servers)
        if (s.name.compare(wanted, Qt::CaseInsensitive) == 0) return s;
    return std::nullopt;
}

std::optional<DominoServer> DominoServerConfig::fromUrl(const QString& name, const QString& text, QString* error) {
    QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty()) {
        if (error) *error = QStringLiteral("Not a usable server address: %1").arg(text);
        return std::nullopt;
    }
    url.setScheme(scheme);
    url.setQuery(QString());
    url.setFragment(QString());
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    url.setPath(path);
    DominoServer server;
    server.name = name;
    server.url = url;
    return server;
}

std::optional<DominoServer> DominoServerConfig::resolve(const QString& serverText, QString* error) const {
    const QString text = serverText.trimmed();
    if (text.isEmpty()) {
        if (error) *error = QStringLiteral("No server named");
        return std::nullopt;
    }
    if (auto known = find(text)) return known;
    if (isUrl(text)) {
        // A URL that a configured entry also names takes that entry's settings.
        auto server = fromUrl(text, text, error);
        if (!server) return std::nullopt;
        for (const DominoServer& s : m_servers)
            if (s.key() == server->key()) {
                DominoServer copy = s;
                copy.name = text;
                return copy;
            }
        return server;
    }
    // A bare host name: its own https address. Anything with characters a
    // host name cannot hold is refused rather than guessed at.
    for (const QChar c : text)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_'))) {
            if (error) *error = QStringLiteral("Unknown server: %1 (not configured, and not a host name or URL)").arg(text);
            return std::nullopt;
        }
    return fromUrl(text, QStringLiteral("https://") + text.toLower(), error);
}

bool DominoServerConfig::addServer(const QString& name, const QString& url) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) return false;
    if (find(trimmed)) return true;
    auto server = fromUrl(trimmed, url.isEmpty() ? QStringLiteral("https://") + trimmed.toLower() : url, nullptr);
    if (!server) return false;
    return saveServer(*server);
}

bool DominoServerConfig::saveServer(const DominoServer& server) {
    if (server.name.trimmed().isEmpty() || server.name.contains(QLatin1Char('/'))) return false;
    auto settings = openUserSettings(m_userFile);
    settings->beginGroup(QString::fromLatin1(kGroup));
    settings->beginGroup(server.name);
    settings->setValue(QStringLiteral("url"), server.url.toString());
    settings->setValue(QStringLiteral("auth"), authText(server.auth));
    settings->setValue(QStringLiteral("user"), server.user);
    if (server.caFile.isEmpty())
        settings->remove(QStringLiteral("caFile"));
    else
        settings->setValue(QStringLiteral("caFile"), server.caFile);
    settings->setValue(QStringLiteral("allowHttp"), server.allowHttp);
    if (server.proxy.isEmpty())
        settings->remove(QStringLiteral("proxy"));
    else
        settings->setValue(QStringLiteral("proxy"), server.proxy);
    settings->endGroup();
    settings->endGroup();
    settings->sync();
    if (settings->status() != QSettings::NoError) return false;
    bool replaced = false;
    for (DominoServer& s : m_servers)
        if (s.name.compare(server.name, Qt::CaseInsensitive) == 0) {
            s = server;
            replaced = true;
        }
    if (!replaced) m_servers.insert(m_servers.begin(), server);
    return true;
}

bool DominoServerConfig::splitServerPath(const QString& text, QString& server, QString& path) {
    const int sep = text.indexOf(QStringLiteral("!!"));
    if (sep <= 0) return false;
    server = text.left(sep);
    path = text.mid(sep + 2);
    return true;
}

QString DominoServerConfig::normalisePath(const QString& path) {
    QString p = path.trimmed();
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (p.startsWith(QLatin1Char('/'))) p.remove(0, 1);
    while (p.contains(QStringLiteral("//"))) p.replace(QStringLiteral("//"), QStringLiteral("/"));
    return p;
}

bool DominoServerConfig::samePath(const QString& a, const QString& b) {
    return normalisePath(a).compare(normalisePath(b), Qt::CaseInsensitive) == 0;
}

}  // namespace das

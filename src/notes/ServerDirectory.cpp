#include "notes/ServerDirectory.h"

#include "notes/das/DasServerDirectory.h"
#include "notes/store/NoteStore.h"
#include "files/UserSettings.h"

#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSettings>

namespace {

QMutex& directoryMutex() {
    static QMutex m;
    return m;
}
std::shared_ptr<IServerDirectory>& installed() {
    static std::shared_ptr<IServerDirectory> d;
    return d;
}

}  // namespace

store::StoreError IServerDirectory::OpenDatabase(const QString& server, const QString& path, ServerDatabase& opened,
                                                 const std::atomic<int>* cancel) {
    if (cancel && cancel->load()) return {store::StatusCancelled, QString()};
    store::StoreError error;
    std::unique_ptr<store::NoteStore> db = store::openStore(path, server, error);
    if (!db) return error.ok() ? store::StoreError{store::StatusInternal, path} : error;
    opened.path = path;
    opened.title = ServerDirectory::FileNameOf(path);
    return {};
}

store::StoreError IServerDirectory::RememberServer(const QString& name, const QString& url) {
    if (name.isEmpty()) return {store::StatusInternal, QStringLiteral("no server name")};
    const std::unique_ptr<QSettings> stored = UserSettings::open();
    QSettings& settings = *stored;
    settings.beginGroup(QStringLiteral("DominoServers"));
    for (const QString& known : settings.childGroups())
        if (known.compare(name, Qt::CaseInsensitive) == 0) return {};
    settings.setValue(name + QStringLiteral("/url"), url.isEmpty() ? QStringLiteral("https://") + name.toLower() : url);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) return {store::StatusWriteFailed, settings.fileName()};
    return {};
}

namespace ServerDirectory {

namespace {
bool validHost(const QString& host) {
    static const QRegularExpression rule(QStringLiteral("^[A-Za-z0-9_]([A-Za-z0-9_.-]*[A-Za-z0-9_])?$"));
    return rule.match(host).hasMatch();
}
bool validPort(const QString& text, int* port) {
    bool ok = false;
    *port = text.toInt(&ok);
    return ok && !text.startsWith(QLatin1Char('+')) && *port >= 1 && *port <= 65535;
}
}  // namespace

bool ParseServerAddress(const QString& typed, QString* name, QString* url) {
    const QString t = typed.trimmed();
    if (t.isEmpty()) return false;
    QString scheme = QStringLiteral("https");
    QString rest = t;
    const int sep = t.indexOf(QStringLiteral("://"));
    if (sep >= 0) {
        scheme = t.left(sep).toLower();
        if (scheme != QLatin1String("https") && scheme != QLatin1String("http")) return false;
        rest = t.mid(sep + 3);
        if (rest.endsWith(QLatin1Char('/'))) rest.chop(1);  // "https://host/" is the host
    }
    QString host = rest;
    QString portText;
    const int colon = rest.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        host = rest.left(colon);
        portText = rest.mid(colon + 1);
    }
    int port = 0;
    if (!validHost(host) || (colon >= 0 && !validPort(portText, &port))) return false;
    const QString hostPort = port > 0 ? QStringLiteral("%1:%2").arg(host).arg(port) : host;
    *name = hostPort;
    *url = scheme + QStringLiteral("://") + hostPort.toLower();
    return true;
}

std::shared_ptr<IServerDirectory> Current() {
    QMutexLocker lock(&directoryMutex());
    if (!installed()) installed() = das::makeServerDirectory();
    return installed();
}

void Install(std::shared_ptr<IServerDirectory> directory) {
    QMutexLocker lock(&directoryMutex());
    installed() = std::move(directory);
}

QString FileNameOf(const QString& path) {
    const int cut = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

}  // namespace ServerDirectory

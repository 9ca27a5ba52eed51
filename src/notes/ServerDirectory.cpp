#include "notes/ServerDirectory.h"

#include "notes/das/DasServerDirectory.h"
#include "notes/store/NoteStore.h"

#include <QMutex>
#include <QMutexLocker>
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

store::StoreError IServerDirectory::RememberServer(const QString& name) {
    if (name.isEmpty()) return {store::StatusInternal, QStringLiteral("no server name")};
    QSettings settings(QStringLiteral("Local AppWizard-Generated Applications1"), QStringLiteral("Tesseldoc"));
    settings.beginGroup(QStringLiteral("DominoServers"));
    for (const QString& known : settings.childGroups())
        if (known.compare(name, Qt::CaseInsensitive) == 0) return {};
    settings.setValue(name + QStringLiteral("/url"), QStringLiteral("https://") + name.toLower());
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) return {store::StatusWriteFailed, settings.fileName()};
    return {};
}

namespace ServerDirectory {

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

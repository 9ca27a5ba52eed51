#include "notes/store/NoteStore.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <vector>

namespace store {
namespace {

QMutex& driversMutex() {
    static QMutex m;
    return m;
}
std::vector<StoreDriver>& drivers() {
    static std::vector<StoreDriver> d;
    return d;
}

}  // namespace

void registerMemoryDriver();

}  // namespace store
namespace das {
void registerDominoDriver();
}  // namespace das
namespace store {

// Drivers live in a static library: registration is explicit so that the
// linker keeps them.
static void ensureBuiltinDrivers() {
    static const bool done = [] {
        registerMemoryDriver();
        registerDxlDriver();
        registerNsfDriver();
        das::registerDominoDriver();
        return true;
    }();
    (void)done;
}

void registerStoreDriver(const StoreDriver& driver) {
    QMutexLocker lock(&driversMutex());
    for (const StoreDriver& d : drivers())
        if (qstrcmp(d.name, driver.name) == 0) return;
    drivers().push_back(driver);
}

std::unique_ptr<NoteStore> openStore(const QString& path, const QString& server, StoreError& error) {
    error = {};
    ensureBuiltinDrivers();
    std::vector<StoreDriver> list;
    {
        QMutexLocker lock(&driversMutex());
        list = drivers();
    }
    if (!server.isEmpty()) {
        // Databases on Domino servers: "SERVER!!PATH" goes to a driver named "domino".
        for (const StoreDriver& d : list)
            if (qstrcmp(d.name, "domino") == 0) return d.open(server + QStringLiteral("!!") + path, error);
        error = {StatusServerUnreachable, server + QStringLiteral(": Domino server access is not available")};
        return nullptr;
    }
    QByteArray head;
    if (!path.startsWith(QLatin1String("memory:"))) {
        const QFileInfo fi(path);
        if (!fi.exists()) {
            error = {StatusFileNotFound, path};
            return nullptr;
        }
        if (fi.isDir()) {
            error = {StatusIsDirectory, path};
            return nullptr;
        }
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            error = {StatusAccessDenied, path};
            return nullptr;
        }
        head = f.read(4096);
        if (head.isEmpty()) {
            error = {StatusEmptyFile, path};
            return nullptr;
        }
    }
    for (const StoreDriver& d : list)
        if (d.claims(path, head)) return d.open(path, error);
    error = {StatusUnsupportedFormat, path};
    return nullptr;
}

}  // namespace store

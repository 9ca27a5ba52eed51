#include "notes/das/DasServerDirectory.h"

#include "notes/das/DominoDatabaseList.h"
#include "notes/das/DominoServerConfig.h"

namespace das {
namespace {

class DasServerDirectory : public IServerDirectory {
public:
    store::StoreError ServerNames(QStringList& names) override {
        names = DominoServerConfig().serverNames();
        return {};
    }

    store::StoreError Databases(const QString& serverName, std::vector<::ServerDatabase>& databases,
                                const std::atomic<int>* cancel) override {
        databases.clear();
        QString problem;
        const auto server = DominoServerConfig().resolve(serverName, &problem);
        if (!server) return {store::StatusServerUnreachable, problem};
        std::vector<das::ServerDatabase> listed;
        const store::StoreError e = DominoDatabaseList::list(*server, listed, cancelCheck(cancel));
        if (!e.ok()) return e;
        for (const das::ServerDatabase& db : listed) databases.push_back({db.path, db.title});
        return {};
    }

    store::StoreError RememberServer(const QString& name, const QString& url) override {
        if (name.trimmed().isEmpty()) return {store::StatusInternal, QStringLiteral("no server name")};
        DominoServerConfig config;
        if (!config.addServer(name, url)) return {store::StatusWriteFailed, name};
        return {};
    }
};

}  // namespace

std::shared_ptr<IServerDirectory> makeServerDirectory() { return std::make_shared<DasServerDirectory>(); }

}  // namespace das

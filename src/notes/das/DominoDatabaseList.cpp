#include "notes/das/DominoDatabaseList.h"

#include "notes/das/DasSession.h"

#include <QJsonArray>
#include <QJsonObject>

namespace das {

QString DominoDatabaseList::encodePath(const QString& path) {
    const QStringList segments = DominoServerConfig::normalisePath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList encoded;
    for (const QString& s : segments) encoded << QString::fromLatin1(QUrl::toPercentEncoding(s));
    return encoded.join(QLatin1Char('/'));
}

bool DominoDatabaseList::parse(const QByteArray& json, std::vector<ServerDatabase>& databases) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) return false;
    for (const QJsonValue& v : doc.array()) {
        if (!v.isObject()) continue;
        const QJsonObject o = v.toObject();
        ServerDatabase db;
        db.path = o.value(QStringLiteral("@filepath")).toString();
        if (db.path.isEmpty()) continue;
        db.title = o.value(QStringLiteral("@title")).toString();
        db.replicaId = o.value(QStringLiteral("@replicaid")).toString();
        db.templateName = o.value(QStringLiteral("@template")).toString();
        databases.push_back(db);
    }
    return true;
}

store::StoreError DominoDatabaseList::list(const DominoServer& server, std::vector<ServerDatabase>& databases,
                                           const CancelCheck& cancel) {
    auto session = DasSession::forServer(server);
    DasCall call;
    call.path = QStringLiteral("/api/data");
    call.query.addQueryItem(QStringLiteral("compact"), QStringLiteral("true"));
    HttpReply reply;
    QJsonDocument json;
    store::StoreError e = session->getJson(call, cancel, json, &reply);
    if (!e.ok()) return e;
    std::vector<ServerDatabase> parsed;
    if (!parse(reply.body, parsed))
        return {store::StatusBadAnswer,
                QStringLiteral("%1: the list of databases could not be read").arg(server.url.toString())};
    databases = std::move(parsed);
    return {};
}

store::StoreError DominoDatabaseList::listReadable(const DominoServer& server, std::vector<ServerDatabase>& databases,
                                                   std::vector<SkippedDatabase>& skipped, const CancelCheck& cancel) {
    std::vector<ServerDatabase> all;
    store::StoreError e = list(server, all, cancel);
    if (!e.ok()) return e;
    auto session = DasSession::forServer(server);
    for (const ServerDatabase& db : all) {
        if (cancel && cancel()) break;
        DasCall call;
        call.path = QLatin1Char('/') + encodePath(db.path) + QStringLiteral("/api/data/collections");
        call.query.addQueryItem(QStringLiteral("compact"), QStringLiteral("true"));
        QJsonDocument json;
        store::StoreError one = session->getJson(call, cancel, json);
        if (one.status == store::StatusCancelled) break;
        if (one.ok() && json.isArray())
            databases.push_back(db);
        else
            skipped.push_back({db.path, one.ok() ? store::StoreError{store::StatusBadAnswer, db.path} : one});
    }
    return {};
}

}  // namespace das

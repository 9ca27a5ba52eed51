#include "DasTestSupport.h"

namespace dastest {

std::shared_ptr<store::MemoryStore> memoStore(int count, const QString& folder) {
    auto s = std::make_shared<store::MemoryStore>();
    std::vector<uint32_t> ids;
    for (int i = 0; i < count; ++i) {
        store::StoreNote note;
        note.unid = QStringLiteral("%1").arg(i + 1, 32, 16, QLatin1Char('0')).toUpper();
        store::StoreItem form;
        form.name = QStringLiteral("Form");
        form.texts = {QStringLiteral("Memo")};
        store::StoreItem subject;
        subject.name = QStringLiteral("Subject");
        subject.texts = {QStringLiteral("Memo %1").arg(i + 1)};
        note.items = {form, subject};
        ids.push_back(s->addNote(note));
    }
    s->addFolder(folder, true, ids);
    return s;
}

fakedomino::Database dbOf(const QString& path, const QString& title, std::shared_ptr<store::NoteStore> store) {
    fakedomino::Database db;
    db.path = path;
    db.title = title;
    db.store = std::move(store);
    return db;
}

das::DominoServer serverFor(const fakedomino::Server& server, das::AuthMode auth, bool allowHttp) {
    das::DominoServer s;
    s.name = QStringLiteral("Loopback");
    s.url = QUrl(server.baseUrl());
    s.auth = auth;
    s.allowHttp = allowHttp;
    s.proxy = QStringLiteral("none");
    return s;
}

}  // namespace dastest

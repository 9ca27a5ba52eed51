// Lists a folder of many mails and contacts and builds their header blocks,
// printing the time per item. Usage: bench_items [ITEMS]
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "export/OutputNaming.h"
#include "convert/CNotesConverter.h"
#include "items/ItemRecordReaders.h"
#include "notes/ln/LNDatabase.h"
#include "notes/ln/LNDocument.h"
#include "notes/store/MemoryStore.h"

namespace {

store::StoreItem text(const QString& name, const QStringList& values) {
    store::StoreItem it;
    it.name = name;
    it.type = values.size() > 1 ? store::TypeTextList : store::TypeText;
    it.texts = values;
    return it;
}

class CountingList : public IItemList {
  public:
    int addRow(int, const QString&) override { return rows++; }
    void setColumn(int, int, const QString&) override {}
    void setRowNoteId(int, quint32) override {}
    int rows = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    auto db = std::make_shared<store::MemoryStore>();
    std::vector<uint32_t> ids;
    QStringList recipients;
    for (int r = 0; r < 40; ++r) recipients << QStringLiteral("CN=Person %1/OU=Sales/O=Acme").arg(r);
    for (int i = 0; i < count; ++i) {
        store::StoreNote n;
        n.size = 4000;
        n.items = {text("Subject", {QStringLiteral("Quarterly plan %1").arg(i)}),
                   text("From", {"CN=Ann Lee/O=Acme"}), text("SendTo", recipients),
                   text("CopyTo", recipients.mid(0, 10))};
        if (i % 10 == 0) n.items.push_back(text("LastName", {"Lee"}));
        ids.push_back(db->addNote(std::move(n)));
    }
    db->addFolder("Bench", true, ids);
    store::MemoryStore::registerStore("bench", db);

    CNotesConverter converter;
    converter.Initialize();
    QStringList names;
    converter.EnumerateFolders("memory:bench", "", names, 1);

    QElapsedTimer timer;
    timer.start();
    CountingList list;
    converter.OpenFolder(&list, "Bench\\");
    const double listMs = double(timer.nsecsElapsed()) / 1e6;

    timer.restart();
    qint64 headerChars = 0;
    for (uint32_t id : ids) {
        LNDocument doc;
        converter.database().GetDocument(id, &doc);
        doc.Open(0);
        headerChars += ReadMailRecord(doc).BuildHeaderText().size();
        doc.Close();
    }
    const double headerMs = double(timer.nsecsElapsed()) / 1e6;

    QTemporaryDir dir;
    timer.restart();
    for (int i = 0; i < 2000; ++i) DocumentPathFor(dir.path(), QStringLiteral("Re: same subject"));
    const double namingMs = double(timer.nsecsElapsed()) / 1e6;

    // Many items of one subject in one folder: each new name probes the taken ones.
    const int same = 3000;
    timer.restart();
    for (int i = 0; i < same; ++i) {
        QFile f(DocumentPathFor(dir.path(), QStringLiteral("Undeliverable mail")));
        f.open(QIODevice::WriteOnly);
    }
    const double collideMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    for (int i = 0; i < same; ++i) {
        QFile f(dir.path() + QStringLiteral("/plain%1.doc").arg(i));
        f.open(QIODevice::WriteOnly);
    }
    std::printf("creating %d files alone: %.1f ms\n", same, double(timer.nsecsElapsed()) / 1e6);

    std::printf("items listed: %d rows in %.1f ms (%.1f us per item)\n", list.rows, listMs,
                listMs * 1000 / count);
    std::printf("mail records + header blocks: %d in %.1f ms (%.1f us per item, %lld chars)\n", count,
                headerMs, headerMs * 1000 / count, static_cast<long long>(headerChars));
    std::printf("document paths (free name): 2000 in %.1f ms (%.1f us each)\n", namingMs,
                namingMs * 1000 / 2000);
    std::printf("same subject %d times: %.1f ms (%.1f us per document)\n", same, collideMs,
                collideMs * 1000 / same);
    return 0;
}

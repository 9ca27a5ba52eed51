// The client read against answers written by hand from the service's
// published descriptions (not made by the loopback server).

#include "DasTestSupport.h"
#include "notes/das/DasDocumentMapper.h"
#include "notes/das/DasStore.h"
#include "notes/das/DominoDatabaseList.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace dastest;

namespace {

QByteArray fixture(const char* name) {
    QFile f(QStringLiteral(TESSELDOC_TEST_DATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

}  // namespace

TEST(DasFixtures, DatabaseList) {
    std::vector<das::ServerDatabase> dbs;
    ASSERT_TRUE(das::DominoDatabaseList::parse(fixture("databases.json"), dbs));
    ASSERT_EQ(dbs.size(), 2u);
    EXPECT_EQ(dbs[0].path, QStringLiteral("mail/alovelace.nsf"));
    EXPECT_EQ(dbs[0].title, QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(dbs[0].templateName, QStringLiteral("StdR9Mail"));
    EXPECT_FALSE(das::DominoDatabaseList::parse("{\"code\":403}", dbs));
}

TEST(DasFixtures, DocumentItemsDatesAndRichText) {
    store::StoreNote note;
    std::vector<das::AttachmentSource> files;
    ASSERT_TRUE(das::DasDocumentMapper::map(fixture("document.json"), note, files));
    EXPECT_EQ(note.noteId, 0x8F6u);
    EXPECT_EQ(note.unid, QStringLiteral("9A8B7C6D5E4F30211203F4E5D6C7B8A9"));
    ASSERT_TRUE(note.item(QStringLiteral("Form")));
    EXPECT_EQ(note.item(QStringLiteral("Form"))->texts, QStringList{QStringLiteral("Memo")});
    const store::StoreItem* sendTo = note.item(QStringLiteral("SendTo"));
    ASSERT_TRUE(sendTo);
    EXPECT_EQ(sendTo->type, store::TypeTextList);
    EXPECT_EQ(sendTo->texts.size(), 2);
    ASSERT_TRUE(note.item(QStringLiteral("$MessageID")));
    // UTC from the server, shown in the machine's zone (the tests run at UTC+1).
    const store::StoreItem* delivered = note.item(QStringLiteral("DeliveredDate"));
    ASSERT_TRUE(delivered);
    ASSERT_EQ(delivered->type, store::TypeTime);
    ASSERT_EQ(delivered->times.size(), 1u);
    EXPECT_EQ(delivered->times[0].text(), QStringLiteral("08/08/2014 18:18:33"));
    const store::StoreItem* size = note.item(QStringLiteral("Size"));
    ASSERT_TRUE(size);
    EXPECT_EQ(size->type, store::TypeNumber);
    EXPECT_DOUBLE_EQ(size->numbers.at(0), 1.75);
    EXPECT_EQ(note.item(QStringLiteral("Counts"))->numbers.size(), 3u);
    EXPECT_TRUE(note.item(QStringLiteral("Range"))->unreadable);

    const store::StoreItem* body = note.item(QStringLiteral("Body"));
    ASSERT_TRUE(body);
    ASSERT_EQ(body->type, store::TypeComposite);
    ASSERT_TRUE(body->richText);
    EXPECT_EQ(body->richText->plainText(), QString::fromUtf8("Notes on the engine \u2013 gear"));
    bool bold = false;
    for (const auto& block : body->richText->blocks)
        for (const auto& run : block.runs) bold = bold || (run.font.bold && run.text.contains(QLatin1String("engine")));
    EXPECT_TRUE(bold);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, QStringLiteral("plan.pdf"));
    EXPECT_EQ(files[0].data, QByteArray("%PDF-1.4\n"));
    ASSERT_EQ(note.attachments.size(), 0u);  // the store fills these from `files`
}

TEST(DasFixtures, EntriesAndViewsThroughTheStore) {
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("mail/alovelace.nsf"), QStringLiteral("Ada"), memoStore(1)));
    fakedomino::Fault views;
    views.match = QStringLiteral("/api/data/collections?");
    views.body = fixture("collections.json");
    fake.addFault(views);
    fakedomino::Fault entries;
    entries.match = QStringLiteral("/collections/unid/3F1C0D2E8A7B6C5D4E3F2A1B0C9D8E7F");
    entries.body = fixture("entries.json");
    entries.contentRange = "items 0-2/57";
    fake.addFault(entries);
    ASSERT_NE(fake.start(), 0);
    ProviderScope scope(nullptr);

    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("mail\\alovelace.nsf"), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    const auto folders = db->folders();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[1].name, QStringLiteral("Projects\\2012"));
    EXPECT_TRUE(folders[1].isFolder);
    EXPECT_FALSE(folders[2].isFolder);
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    // The category row has no note; a short page ends the view.
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x8F6, 0x90A}));
}

#include "DasTestSupport.h"
#include "notes/das/DasStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace dastest;

namespace {

store::StoreItem text(const QString& name, const QStringList& values) {
    store::StoreItem i;
    i.name = name;
    i.type = values.size() > 1 ? store::TypeTextList : store::TypeText;
    i.texts = values;
    return i;
}

// One memo with every kind of item and two files.
std::shared_ptr<store::MemoryStore> richStore(uint32_t& id, const QByteArray& fileA, const QByteArray& fileB) {
    auto s = std::make_shared<store::MemoryStore>();
    store::StoreNote note;
    note.unid = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");
    note.items.push_back(text(QStringLiteral("Form"), {QStringLiteral("Memo")}));
    note.items.push_back(text(QStringLiteral("Subject"), {QString::fromUtf8("Gr\u00fc\u00dfe \u2013 \u65e5\u672c")}));
    note.items.push_back(text(QStringLiteral("SendTo"), {QStringLiteral("CN=Ann Lee/O=Demo"), QStringLiteral("bob@example.org")}));
    note.items.push_back(text(QStringLiteral("$Hidden"), {QStringLiteral("yes")}));
    store::StoreItem number;
    number.name = QStringLiteral("Priority");
    number.type = store::TypeNumber;
    number.numbers = {3};
    note.items.push_back(number);
    store::StoreItem when;
    when.name = QStringLiteral("PostedDate");
    when.type = store::TypeTime;
    store::NotesTime t;
    t.date = QDate(2011, 12, 5);
    t.time = QTime(9, 30, 0);
    t.utcOffsetSeconds = -5 * 3600;
    t.hasZone = true;
    when.times = {t};
    note.items.push_back(when);
    store::StoreItem range;
    range.name = QStringLiteral("Window");
    range.type = store::TypeTimeRange;
    range.timeRanges = {{t, t}};
    note.items.push_back(range);
    auto doc = std::make_shared<store::RichTextDoc>();
    store::RtBlock p1;
    store::RtRun r1;
    r1.text = QStringLiteral("Hello ");
    store::RtRun r2;
    r2.text = QStringLiteral("world");
    r2.font.bold = true;
    p1.runs = {r1, r2};
    store::RtBlock p2;
    store::RtRun r3;
    r3.text = QStringLiteral("Second line & <more>");
    p2.runs = {r3};
    doc->blocks = {p1, p2};
    store::StoreItem body;
    body.name = QStringLiteral("Body");
    body.type = store::TypeComposite;
    body.richText = doc;
    note.items.push_back(body);
    id = s->addNote(note);
    s->addAttachment(id, QStringLiteral("plan 100% #1.bin"), fileA);
    s->addAttachment(id, QString::fromUtf8("\u00fcbersicht.txt"), fileB);
    s->addFolder(QStringLiteral("($Inbox)"), true, {id});
    return s;
}

QByteArray pattern(int size) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i) b[i] = char((i * 131 + 7) & 0xFF);
    return b;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class DasDocuments : public ::testing::TestWithParam<fakedomino::Level> {};

TEST_P(DasDocuments, ItemsRichTextAndFilesAsTheStoreHasThem) {
    ProviderScope scope(nullptr);
    const QByteArray fileA = pattern(300000), fileB = "plain text\r\n";
    uint32_t id = 0;
    auto s = richStore(id, fileA, fileB);
    fakedomino::Profile profile;
    profile.level = GetParam();
    fakedomino::Server fake(profile);
    fake.addDatabase(dbOf(QStringLiteral("mail/ann lee.nsf"), QString(), s));
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("mail\\ann lee.nsf"), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    std::vector<uint32_t> ids;
    ASSERT_TRUE(db->folderEntries(0, ids).ok());
    ASSERT_EQ(ids, std::vector<uint32_t>{id});

    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(id, note).ok());
    EXPECT_EQ(note.noteId, id);
    EXPECT_EQ(note.unid, QStringLiteral("0123456789ABCDEF0123456789ABCDEF"));
    EXPECT_EQ(note.item(QStringLiteral("Form"))->texts.front(), QStringLiteral("Memo"));
    EXPECT_EQ(note.item(QStringLiteral("Subject"))->texts.front(), QString::fromUtf8("Gr\u00fc\u00dfe \u2013 \u65e5\u672c"));
    EXPECT_EQ(note.item(QStringLiteral("SendTo"))->texts.size(), 2);
    ASSERT_TRUE(note.item(QStringLiteral("$Hidden")));
    EXPECT_EQ(note.item(QStringLiteral("Priority"))->numbers, std::vector<double>{3});
    // 09:30 at UTC-5 is 14:30 UTC, 15:30 here (UTC+1).
    const store::StoreItem* posted = note.item(QStringLiteral("PostedDate"));
    ASSERT_TRUE(posted && posted->type == store::TypeTime);
    EXPECT_EQ(posted->times.at(0).text(), QStringLiteral("05/12/2011 15:30:00"));
    EXPECT_TRUE(note.item(QStringLiteral("Window"))->unreadable);
    const store::StoreItem* body = note.item(QStringLiteral("Body"));
    ASSERT_TRUE(body && body->richText);
    EXPECT_EQ(body->richText->plainText(), QStringLiteral("Hello world\r\nSecond line & <more>"));

    ASSERT_EQ(note.attachments.size(), 2u);
    QTemporaryDir dir;
    for (const auto& a : note.attachments) {
        const QString target = dir.filePath(a.name);
        ASSERT_TRUE(db->detachAttachment(id, a, target).ok()) << a.name.toStdString();
        EXPECT_EQ(readFile(target), a.name.startsWith(QLatin1String("plan")) ? fileA : fileB) << a.name.toStdString();
    }
    // The documents are asked for with hidden items, typed values and unread marks kept.
    bool documentAsked = false;
    for (const auto& r : fake.log())
        if (r.target.contains(QLatin1String("/documents/unid/")) && !r.target.contains(QLatin1String("/Body/"))) {
            documentAsked = true;
            EXPECT_TRUE(r.target.contains(QLatin1String("hidden=true")));
            EXPECT_TRUE(r.target.contains(QLatin1String("strongtype=true")));
            EXPECT_TRUE(r.target.contains(QLatin1String("markread=false")));
        }
    EXPECT_TRUE(documentAsked);
}

INSTANTIATE_TEST_SUITE_P(Levels, DasDocuments,
                         ::testing::Values(fakedomino::Level::V901, fakedomino::Level::FP8, fakedomino::Level::FP9));

TEST(DasAttachments, ConnectionClosedMidFileLeavesNoFile) {
    ProviderScope scope(nullptr);
    uint32_t id = 0;
    auto s = richStore(id, pattern(2000000), "x");
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), s));
    fakedomino::Fault cut;
    cut.match = QStringLiteral("/Body/plan");
    cut.closeMidBody = true;
    fake.addFault(cut);
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(id, note).ok());  // the note ID is found by listing the views
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("plan.bin"));
    e = db->detachAttachment(id, note.attachments.at(0), target);
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(e.message().contains(QLatin1String("plan 100% #1.bin"))) << e.message().toStdString();
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    // The other file still comes.
    EXPECT_TRUE(db->detachAttachment(id, note.attachments.at(1), dir.filePath(QStringLiteral("b.txt"))).ok());
}

TEST(DasAttachments, LargeFileIsStreamedWithFlatMemory) {
    ProviderScope scope(nullptr);
    uint32_t id = 0;
    const QByteArray big = pattern(50 * 1024 * 1024);
    auto s = richStore(id, big, "x");
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), s));
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(id, note).ok());
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("big.bin"));
    // Peak memory from here on (the loopback server shares the process).
    const auto memory = [](const char* key) {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly)) return qint64(0);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith(key)) return line.mid(int(qstrlen(key))).trimmed().split(' ').front().toLongLong();
        return qint64(0);
    };
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool canMeasure = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 before = memory("VmRSS:");
    ASSERT_TRUE(db->detachAttachment(id, note.attachments.at(0), target).ok());
    const qint64 peak = memory("VmHWM:");
    if (canMeasure && before > 0) {
        EXPECT_LT(peak - before, 24 * 1024) << "kB before " << before << ", peak " << peak;
    }
    EXPECT_EQ(QFileInfo(target).size(), big.size());
    EXPECT_TRUE(readFile(target) == big);
}

TEST(DasDocumentsErrors, UnknownNoteAndBrokenAnswersAreNamed) {
    ProviderScope scope(nullptr);
    uint32_t id = 0;
    auto s = richStore(id, "a", "b");
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), s));
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db);
    store::StoreNote note;
    EXPECT_EQ(db->loadNote(0x1234, note).status, store::StatusNoSuchNote);

    fakedomino::Fault truncated;
    truncated.match = QStringLiteral("/documents/unid/");
    truncated.truncatedJson = true;
    truncated.times = 1;
    fake.addFault(truncated);
    e = db->loadNote(id, note);
    EXPECT_EQ(e.status, store::StatusBadAnswer);
    EXPECT_TRUE(e.message().contains(QLatin1String("db.nsf"))) << e.message().toStdString();

    fakedomino::Fault failing;
    failing.match = QStringLiteral("/documents/unid/");
    failing.error500 = true;
    failing.times = 1;
    fake.addFault(failing);
    e = db->loadNote(id, note);
    EXPECT_FALSE(e.ok());
    EXPECT_TRUE(e.message().contains(QLatin1String("Error while reading the document"))) << e.message().toStdString();
    EXPECT_TRUE(db->loadNote(id, note).ok());  // the next read works again
}

// A file body is checked against the size the document announces: cut short
// without a Content-Length, or longer than announced, it is a named failure
// and leaves no file.
TEST(DasAttachments, ABodyOfAnotherLengthThanAnnouncedLeavesNoFile) {
    ProviderScope scope(nullptr);
    uint32_t id = 0;
    auto s = richStore(id, pattern(300000), "x");
    fakedomino::Server fake;
    fake.addDatabase(dbOf(QStringLiteral("db.nsf"), QString(), s));
    ASSERT_NE(fake.start(), 0);
    store::StoreError e;
    auto db = das::DasStore::open(serverFor(fake), QStringLiteral("db.nsf"), e);
    ASSERT_TRUE(db);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(id, note).ok());
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("plan.bin"));

    fakedomino::Fault closeEarly;
    closeEarly.match = QStringLiteral("/Body/plan");
    closeEarly.noContentLength = true;
    closeEarly.closeMidBody = true;
    closeEarly.times = 1;
    fake.addFault(closeEarly);
    e = db->detachAttachment(id, note.attachments.at(0), target);
    EXPECT_EQ(e.status, store::StatusAttachmentUnreadable);
    EXPECT_TRUE(e.message().contains(QLatin1String("of the 300000 bytes the document announces"))) << e.message().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    fakedomino::Fault padded;
    padded.match = QStringLiteral("/Body/plan");
    padded.padBody = QByteArray(5000, 'J');
    padded.times = 1;
    fake.addFault(padded);
    e = db->detachAttachment(id, note.attachments.at(0), target);
    EXPECT_EQ(e.status, store::StatusAttachmentUnreadable);
    EXPECT_TRUE(e.message().contains(QLatin1String("more than the 300000 bytes"))) << e.message().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);

    // Whole, it comes.
    ASSERT_TRUE(db->detachAttachment(id, note.attachments.at(0), target).ok());
    EXPECT_EQ(QFileInfo(target).size(), 300000);
}

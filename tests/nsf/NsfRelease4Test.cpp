// Notes Release 4 (ODS 20) databases: the layout read from a database built
// here, the four Release 4 samples (their listing and documents), and the
// message for versions that are refused.
#include "MiniNsf.h"
#include "NsfSampleReading.h"
#include "NsfWalk.h"

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/NsfFile.h"
#include "notes/nsf/NsfHeader.h"
#include "notes/store/NoteStore.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace nsf;

namespace {

MiniNsf::Item textItem(const QString& name, const QByteArray& value) {
    MiniNsf::Item i;
    i.name = name;
    i.value = value;
    return i;
}

MiniNsf::Item bodyItem(const QByteArray& text) {
    MiniNsf::Item i;
    i.name = QStringLiteral("Body");
    i.type = i.nameType = 0x0001;
    i.flags = 0;  // non-summary
    QByteArray cd("\x85\xFF\x00\x00\x00\x00\x00\x0A", 8);
    MiniNsf::put16(cd, 2, uint16_t(8 + text.size()));
    cd += text;
    if (cd.size() % 2) cd += '\0';
    i.value = cd;
    return i;
}

MiniNsf::Item objectItem(const QString& name, uint16_t objectType, uint32_t objectId) {
    MiniNsf::Item i;
    i.name = name;
    i.type = i.nameType = 0x0003;
    i.typeWord = true;
    i.value = QByteArray(6, '\0');
    MiniNsf::put16(i.value, 0, objectType);
    MiniNsf::put32(i.value, 2, objectId);
    return i;
}

// Documents with their non-summary values apart and inline, a view and a
// folder holding the first document, a file attachment.
MiniNsf release4Mini() {
    MiniNsf mini;
    mini.title = QStringLiteral("Release Four");
    MiniNsf::Note first;
    first.id = MiniNsf::kFirstId;
    first.items = {textItem("Form", "Memo"), textItem("Subject", "Apart"), bodyItem("Separate values")};
    first.items.push_back(MiniNsf::Item{QStringLiteral("$FILE"), 0x0003, 0x0004,
                                        MiniNsf::fileObject(MiniNsf::kFirstId + 4 * 5000, "a.txt", 0, 5), true,
                                        0x0003});
    MiniNsf::Note second;
    second.id = MiniNsf::kFirstId + 4;
    second.placement = MiniNsf::NonSummary::Inline;
    second.items = {textItem("Form", "Memo"), textItem("Subject", "Inline"), bodyItem("Inline values")};
    MiniNsf::Note view;
    view.id = MiniNsf::kFirstId + 4 * 4000;
    view.noteClass = 0x0008;
    view.items = {textItem("$TITLE", "By Subject"), textItem("$Flags", "")};
    MiniNsf::Note folder;
    folder.id = view.id + 4;
    folder.noteClass = 0x0008;
    folder.items = {textItem("$TITLE", "Kept"), textItem("$Flags", "F"),
                    objectItem("$FolderIDTable", 10, view.id + 8)};
    mini.notes = {first, second, view, folder};
    QByteArray table(18 + 5, '\0');
    MiniNsf::put32(table, 0, 4);
    MiniNsf::put16(table, 4, 1);
    MiniNsf::put16(table, 6, 1);
    MiniNsf::put16(table, 8, 1);
    MiniNsf::put32(table, 19, first.id);
    mini.objects = {{view.id + 8, table}, {MiniNsf::kFirstId + 4 * 5000, QByteArray("hello")}};
    return mini;
}

QString bodyText(const store::StoreNote& note) {
    for (const store::StoreItem& i : note.items)
        if (i.name == QLatin1String("Body") && i.richText) return i.richText->plainText();
    return QString();
}

QString textOf(const store::StoreNote& note, const char* name) {
    for (const store::StoreItem& i : note.items)
        if (i.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return i.texts.join(QLatin1Char(';'));
    return QString();
}

}  // namespace

TEST(NsfRelease4, ReadsNotesItemsFoldersAndAttachmentsOfTheLayout) {
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(release4Mini().buildRelease4()), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    EXPECT_TRUE(db->header().release4);
    EXPECT_EQ(db->header().ods, 20u);
    EXPECT_EQ(db->title(), "Release Four");
    EXPECT_EQ(db->documentIds(), (std::vector<uint32_t>{MiniNsf::kFirstId, MiniNsf::kFirstId + 4}));
    ASSERT_EQ(db->designEntries().size(), 2u);
    EXPECT_EQ(db->designEntries()[0].name, "By Subject");
    EXPECT_FALSE(db->designEntries()[0].isFolder);
    EXPECT_EQ(db->designEntries()[1].name, "Kept");
    EXPECT_TRUE(db->designEntries()[1].isFolder);
    EXPECT_TRUE(db->problems().isEmpty()) << db->problems().join('\n').toStdString();

    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(MiniNsf::kFirstId, note).ok());
    EXPECT_EQ(textOf(note, "Subject"), "Apart");
    EXPECT_EQ(bodyText(note), "Separate values");
    ASSERT_EQ(note.attachments.size(), 1u);
    EXPECT_EQ(note.attachments[0].name, "a.txt");
    EXPECT_TRUE(note.attachments[0].decodable);
    QByteArray detached;
    EXPECT_TRUE(db->extractAttachment(MiniNsf::kFirstId, note.attachments[0].key, [&](const char* d, size_t n) {
                      detached.append(d, qsizetype(n));
                      return true;
                  }).ok());
    EXPECT_EQ(detached, "hello");

    ASSERT_TRUE(db->loadNote(MiniNsf::kFirstId + 4, note).ok());
    EXPECT_EQ(textOf(note, "Subject"), "Inline");
    EXPECT_EQ(bodyText(note), "Inline values");

    std::vector<uint32_t> members;
    ASSERT_TRUE(db->folderMembers(db->designEntries()[1].noteId, members).ok());
    EXPECT_EQ(members, std::vector<uint32_t>{MiniNsf::kFirstId});
}

// Values that are not where the note says are the note's damage, named;
// a damaged or truncated file never crashes the reader.
TEST(NsfRelease4, DamageIsNamedAndNeverCrashes) {
    MiniNsf mini = release4Mini();
    mini.notes[0].placement = MiniNsf::NonSummary::Missing;
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(mini.buildRelease4()), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(MiniNsf::kFirstId, note).ok());
    bool bodyNamed = false;
    for (const store::StoreItem& i : note.items)
        if (i.name == QLatin1String("Body")) bodyNamed = i.unreadable || !i.problem.isEmpty();
    EXPECT_TRUE(bodyNamed);

    // A view whose column format is zeros would list its entries unsorted: named.
    MiniNsf zeroedFormat = release4Mini();
    MiniNsf::Item format;
    format.name = QStringLiteral("$VIEWFORMAT");
    format.type = format.nameType = 0x0005;
    format.flags = 0;
    format.value = QByteArray(64, '\0');
    zeroedFormat.notes[2].items.push_back(format);
    auto unsorted = NsfDatabase::open(NsfFile::fromBytes(zeroedFormat.buildRelease4()), e);
    ASSERT_TRUE(unsorted) << e.message().toStdString();
    ASSERT_EQ(unsorted->problems().size(), 1);
    EXPECT_TRUE(unsorted->problems()[0].contains("(By Subject): its columns cannot be read"))
        << unsorted->problems()[0].toStdString();

    const QByteArray sound = release4Mini().buildRelease4();
    EXPECT_EQ(walkAllBytes(sound), 4);
    // No checksum guards the BDB: a name with zeroed bytes refuses the database.
    QByteArray zeroedName = sound;
    const qsizetype bdb = qsizetype(uchar(sound[6 + 44])) | qsizetype(uchar(sound[6 + 45])) << 8 |
                          qsizetype(uchar(sound[6 + 46])) << 16;
    const qsizetype used = qsizetype(uchar(sound[bdb + 12])) | qsizetype(uchar(sound[bdb + 13])) << 8;
    zeroedName[bdb + used - 2] = '\0';
    EXPECT_FALSE(NsfDatabase::open(NsfFile::fromBytes(zeroedName), e));
    EXPECT_EQ(e.status, store::StatusDamaged);
    EXPECT_TRUE(e.detail.contains("item name")) << e.detail.toStdString();
    for (qsizetype cut = 0; cut < sound.size(); cut += 61) walkAllBytes(sound.left(cut));
    uint32_t seed = 4242;
    for (int round = 0; round < 200; ++round) {
        QByteArray b = sound;
        for (int k = 0; k < 8; ++k) {
            seed = seed * 1103515245u + 12345u;
            b[qsizetype(seed % uint32_t(b.size()))] = char(seed >> 16);
        }
        walkAllBytes(b);
    }
}

TEST(NsfRelease4, VersionsNotReadAreRefusedByVersionAndRelease) {
    struct Case {
        uint32_t ods;
        uint32_t headerSize;
        const char* message;
    };
    const Case cases[] = {
        {17, 768, "a Notes Release 3 database (ODS 17): not supported"},
        {16, 512, "a Notes Release 3 database (ODS 16): not supported"},
        {20, 1024, "a Notes Release 4 database (ODS 20) with a header of 1024 bytes: not supported"},
        {43, 768, "a Notes Release 6 or 7 database (ODS 43) with a header of 768 bytes: not supported"},
        {58, 2048, "a database of a release newer than Domino 12 (ODS 58): not supported"},
        {19, 768, "a database of a release before Notes Release 5 (ODS 19): not supported"},
        {0, 768, "a database of unknown on-disk structure version 0: not supported"},
    };
    for (const Case& c : cases) {
        QByteArray bytes(4096, '\0');
        MiniNsf::put16(bytes, 0, 0x001A);
        MiniNsf::put32(bytes, 2, c.headerSize);
        MiniNsf::put32(bytes, 6, c.ods);
        store::StoreError e;
        EXPECT_FALSE(NsfDatabase::open(NsfFile::fromBytes(bytes), e));
        EXPECT_EQ(e.status, store::StatusUnsupportedFormat) << c.ods;
        EXPECT_EQ(e.detail, QString::fromLatin1(c.message));
    }
    EXPECT_EQ(NsfHeader::releaseName(20), "Notes Release 4");
    EXPECT_EQ(NsfHeader::releaseName(55), "Domino 12");
    EXPECT_TRUE(NsfHeader::releaseName(44).isEmpty());
}

namespace {

struct R4Sample {
    const char* file;
    const char* title;
    int documents;
    // Views and folders in listing order: name, "/F" for a folder, "=n"
    // entries when they can be listed, "=?" when the view names why not.
    const char* listing;
};

const R4Sample kR4Samples[] = {
    {"VIEW.NSF", "View Demo", 21,
     "By Author=21;($Profiles)=0;Main Navigator=?;(Default View)=21;($All)=21;By Category=21;My Favorites/F=0;"
     "_Archiving=0;NewFolder/F=0"},
    {"dumpme.nsf", "DumpMe", 3,
     "By Author=3;($Profiles)=0;Main Navigator=?;(Default View)=3;($All)=3;By Category=3;My Favorites/F=0;"
     "_Archiving=0"},
    {"linkdemo.nsf", "LinkDemo", 1,
     "By Author=1;($Profiles)=0;Main Navigator=?;(Default View)=1;($All)=1;By Category=1;My Favorites/F=0;"
     "_Archiving=0"},
    {"rtxtsamp.nsf", "rtxtsamp", 3, "($All)=3"},
};

QString r4Path(const char* file) { return NsfSamples::dir() + QStringLiteral("/notes-r4/") + QLatin1String(file); }

}  // namespace

TEST(NsfRelease4Samples, ListingAndDocumentCountOfEachFile) {
    for (const R4Sample& s : kR4Samples) {
        SCOPED_TRACE(s.file);
        if (!QFile::exists(r4Path(s.file))) GTEST_SKIP() << "Release 4 samples not found at " << r4Path("").toStdString();
        store::StoreError e;
        auto store = store::openStore(r4Path(s.file), QString(), e);
        ASSERT_TRUE(store) << e.message().toStdString();
        EXPECT_EQ(store->title(), s.title);
        EXPECT_EQ(int(store->allDocumentIds().size()), s.documents);
        EXPECT_TRUE(store->problems().isEmpty()) << store->problems().join('\n').toStdString();
        QStringList listing;
        const std::vector<store::StoreFolderInfo> folders = store->folders();
        for (size_t k = 0; k < folders.size(); ++k) {
            QString line = folders[k].name + (folders[k].isFolder ? QStringLiteral("/F") : QString());
            std::vector<uint32_t> ids;
            const store::StoreError fe = store->folderEntries(k, ids);
            line += folders[k].problem.isEmpty() && fe.ok() ? QStringLiteral("=%1").arg(ids.size()) : QStringLiteral("=?");
            listing << line;
        }
        EXPECT_EQ(listing.join(QLatin1Char(';')), QString::fromLatin1(s.listing));
    }
}

TEST(NsfRelease4Samples, EveryDocumentLoadsWithItsTextAndNoUnreadableItem) {
    const std::map<QString, QStringList> expected = {
        {"VIEW.NSF", {"1- New Year's Day", "20 - Martin Luther King Day"}},
        {"linkdemo.nsf", {"Here are some links for testing", "The Habenero hot spot now points"}},
        {"rtxtsamp.nsf", {}},
        {"dumpme.nsf", {}},
    };
    for (const auto& [file, snippets] : expected) {
        SCOPED_TRACE(file.toStdString());
        const QString path = r4Path(file.toLatin1().constData());
        if (!QFile::exists(path)) GTEST_SKIP() << "Release 4 samples not found at " << path.toStdString();
        store::StoreError e;
        auto store = store::openStore(path, QString(), e);
        ASSERT_TRUE(store) << e.message().toStdString();
        QString allText;
        for (uint32_t id : store->allDocumentIds()) {
            store::StoreNote note;
            ASSERT_TRUE(store->loadNote(id, note).ok()) << id;
            EXPECT_FALSE(textOf(note, "Form").isEmpty()) << id;
            for (const store::StoreItem& i : note.items)
                EXPECT_TRUE(!i.unreadable && i.problem.isEmpty())
                    << id << " " << i.name.toStdString() << ": " << i.problem.toStdString();
            allText += bodyText(note) + QLatin1Char('\n');
        }
        for (const QString& snippet : snippets) EXPECT_TRUE(allText.contains(snippet)) << snippet.toStdString();
    }
}

// Doclinks: a CDLINK2 names its link by index into the note's $Links; a
// CDLINKEXPORT2 carries it. Each shows its comment and carries a notes://
// address of the replica, view and document.
TEST(NsfRelease4, DoclinksShowTheirCommentAndCarryTheLinkedDocument) {
    QByteArray links(2 + 2 * 40, '\0');
    MiniNsf::put16(links, 0, 2);
    MiniNsf::put32(links, 2 + 40 + 0, 0x00560F1E);   // replica ID (low, high word)
    MiniNsf::put32(links, 2 + 40 + 4, 0x85255E8E);
    MiniNsf::put32(links, 2 + 40 + 8, 0x11111111);   // view UNID
    MiniNsf::put32(links, 2 + 40 + 24, 0x00A200BA);  // note UNID
    MiniNsf::put32(links, 2 + 40 + 28, 0x006900C8);
    MiniNsf::put32(links, 2 + 40 + 32, 0x0059EA8F);
    MiniNsf::put32(links, 2 + 40 + 36, 0x85255E6F);
    MiniNsf::Item linkList;
    linkList.name = QStringLiteral("$Links");
    linkList.type = linkList.nameType = 0x0007;
    linkList.value = links;

    QByteArray body("\x91\xFF\x00\x00\x01\x00" "Document 'Welcome'\0", 25);
    MiniNsf::put16(body, 2, uint16_t(body.size()));
    body += '\0';  // even length
    QByteArray exported(4 + 40, '\0');
    exported[0] = char(0x92);
    exported[1] = char(0xFF);
    MiniNsf::put32(exported, 4, 0x006DCD1F);  // a database link: replica ID only
    MiniNsf::put32(exported, 8, 0x8525667B);
    exported += QByteArray("\0", 1);
    MiniNsf::put16(exported, 2, uint16_t(exported.size()));
    exported += '\0';
    MiniNsf::Item bodyItem;
    bodyItem.name = QStringLiteral("Body");
    bodyItem.type = bodyItem.nameType = 0x0001;
    bodyItem.flags = 0;
    bodyItem.value = body + exported;

    MiniNsf mini;
    MiniNsf::Note doc;
    doc.id = MiniNsf::kFirstId;
    doc.items = {textItem("Form", "Memo"), linkList, bodyItem};
    mini.notes = {doc};
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(mini.buildRelease4()), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(MiniNsf::kFirstId, note).ok());
    std::vector<store::RtRun> runs;
    for (const store::StoreItem& i : note.items)
        if (i.name == QLatin1String("Body") && i.richText)
            for (const store::RtBlock& b : i.richText->blocks) runs.insert(runs.end(), b.runs.begin(), b.runs.end());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].kind, store::RtRun::Kind::DocLink);
    EXPECT_EQ(runs[0].text, "Document 'Welcome'");
    EXPECT_EQ(runs[0].target,
              "notes:///85255E8E00560F1E/00000000111111110000000000000000/006900C800A200BA85255E6F0059EA8F");
    EXPECT_EQ(runs[1].text, "Link to a database");
    EXPECT_EQ(runs[1].target, "notes:///8525667B006DCD1F");
}

TEST(NsfRelease4Samples, LinkdemoLinksShowTheirDocumentAndAddress) {
    const QString path = r4Path("linkdemo.nsf");
    if (!QFile::exists(path)) GTEST_SKIP() << "Release 4 samples not found at " << path.toStdString();
    store::StoreError e;
    auto store = store::openStore(path, QString(), e);
    ASSERT_TRUE(store) << e.message().toStdString();
    ASSERT_EQ(store->allDocumentIds().size(), 1u);
    store::StoreNote note;
    ASSERT_TRUE(store->loadNote(store->allDocumentIds()[0], note).ok());
    const QString text = bodyText(note);
    EXPECT_TRUE(text.contains("Database 'Full Text Search Demo', View 'Categorized', Document 'Welcome to Notes!' "
                              "<notes:///85255E8E00560F1E/85255B970055655F852558AC00697645/"
                              "006900C800A200BA85255E6F0059EA8F>"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Database 'View Demo', View 'By Author' <notes:///"));
    EXPECT_EQ(text.count(QStringLiteral("<notes:///")), 21);
}

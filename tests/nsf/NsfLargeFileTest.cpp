// Structures that only large databases have: summary-bucket descriptors over
// several superblock pages, many RRV buckets, records past 2 GB and 4 GB.
#include "MiniNsf.h"

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/NsfStore.h"

#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace nsf;

namespace {

MiniNsf::Item item(const QString& name, uint16_t type, const QByteArray& value, bool typeWord = false) {
    MiniNsf::Item i;
    i.name = name;
    i.type = i.nameType = type;
    i.value = value;
    i.typeWord = typeWord;
    return i;
}

uint8_t pattern(uint32_t id, uint64_t offset) { return uint8_t(offset * 7 + id); }

}  // namespace

TEST(NsfLargeFile, BucketDescriptorsOverTwoPagesAndSeveralRrvBuckets) {
    MiniNsf mini;
    mini.notesPerBucket = 1;  // 700 buckets: 570 on the first descriptor page, 130 on the second
    for (uint32_t k = 0; k < 700; ++k) {
        MiniNsf::Note n;
        n.id = MiniNsf::kFirstId + 8 * k;  // every other of 1,400 IDs: three RRV buckets
        n.placement = MiniNsf::NonSummary::Inline;
        n.items = {item("Form", 0x0500, "Memo"), item("Subject", 0x0500, QByteArray::number(k))};
        mini.notes.push_back(n);
    }
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(mini.build()), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    EXPECT_EQ(db->superblock().summaryBucketCount(), 700u);
    EXPECT_EQ(db->bdb().rrvBuckets().size(), 3u);
    ASSERT_EQ(db->documentIds().size(), 700u);
    for (uint32_t k : {0u, 569u, 570u, 699u}) {
        store::StoreNote note;
        ASSERT_TRUE(db->loadNote(MiniNsf::kFirstId + 8 * k, note).ok()) << k;
        EXPECT_EQ(note.item("Subject")->texts.value(0), QString::number(k));
    }
}

// Attachments whose records lie past 2 GB and past 4 GB (file positions are
// u32 multiples of 256: the offset needs 64 bits). The file is sparse: the
// hole before them takes no disk.
TEST(NsfLargeFile, RecordsPastTwoAndFourGigabytesAreRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (QStorageInfo(dir.path()).bytesAvailable() < (qint64(64) << 20)) GTEST_SKIP() << "no room for the test file";
    MiniNsf mini;
    const uint32_t doc = MiniNsf::kFirstId;
    MiniNsf::Note n;
    n.id = doc;
    n.placement = MiniNsf::NonSummary::Inline;
    n.items = {item("Form", 0x0500, "Memo"),
               item("$FILE", 0x0003, MiniNsf::fileObject(doc + 4, "past-2gb.bin", 0, 300000), true),
               item("$FILE", 0x0003, MiniNsf::fileObject(doc + 8, "past-4gb.bin", 0, 200000), true)};
    mini.notes.push_back(n);
    const uint64_t gap = (uint64_t(2) << 30) + 4096;
    mini.streamedGap = gap;
    mini.streamedObjects.push_back({doc + 4, 300000, [&](uint64_t o, char* out, size_t c) {
                                        for (size_t i = 0; i < c; ++i) out[i] = char(pattern(doc + 4, o + i));
                                    }});
    mini.streamedObjects.push_back({doc + 8, 200000,
                                    [&](uint64_t o, char* out, size_t c) {
                                        for (size_t i = 0; i < c; ++i) out[i] = char(pattern(doc + 8, o + i));
                                    },
                                    (uint64_t(2) << 30) + 65536});
    const QString path = dir.filePath("large.nsf");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(mini.write(f));
    }
    EXPECT_GT(QFile(path).size(), qint64(4) << 30);
    QString fe;
    auto file = NsfFile::open(path, fe);
    ASSERT_TRUE(file) << fe.toStdString();
    store::StoreError e;
    auto db = NsfDatabase::open(std::move(file), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    const RrvMap::Entry* two = db->rrv().find(doc + 4);
    const RrvMap::Entry* four = db->rrv().find(doc + 8);
    ASSERT_TRUE(two && four);
    EXPECT_GT(two->fileOffset(), uint64_t(2) << 30);
    EXPECT_GT(four->fileOffset(), uint64_t(4) << 30);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(doc, note).ok());
    ASSERT_EQ(note.attachments.size(), 2u);
    for (const store::StoreAttachment& a : note.attachments) {
        ASSERT_TRUE(a.decodable) << a.problem.toStdString();
        const uint32_t objectId = a.name == "past-2gb.bin" ? doc + 4 : doc + 8;
        uint64_t at = 0, wrong = 0;
        ASSERT_TRUE(db->extractAttachment(doc, a.key, [&](const char* p, size_t c) {
                          for (size_t i = 0; i < c; ++i) wrong += uint8_t(p[i]) != pattern(objectId, at + i);
                          at += c;
                          return true;
                      }).ok());
        EXPECT_EQ(at, uint64_t(a.size));
        EXPECT_EQ(wrong, 0u) << a.name.toStdString();
    }
}

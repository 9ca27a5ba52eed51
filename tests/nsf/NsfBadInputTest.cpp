// Damaged and hostile input: a clear error for the database, the note or the
// item; never a crash, an endless loop or an unbounded allocation.
#include "MiniNsf.h"
#include "NsfSampleReading.h"
#include "NsfWalk.h"

#include "notes/nsf/CxDecompressor.h"
#include "notes/nsf/HuffmanDecoder.h"
#include "notes/nsf/IdTable.h"
#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/NsfStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace nsf;

namespace {

// LSB-first bit writer for CX streams.
struct CxWriter {
    QByteArray out;
    int bit = 0;
    void put(uint32_t v, int n) {
        for (int i = 0; i < n; ++i, ++bit) {
            if (bit % 8 == 0) out.append('\0');
            if ((v >> i) & 1) out[bit / 8] = char(uchar(out[bit / 8]) | (1 << (bit % 8)));
        }
    }
    void gamma(uint32_t value) {
        int n = 1;
        while (value > (1u << (n + 1)) - 2) ++n;
        put(0, n - 1);
        put(1, 1);
        put(value - ((1u << n) - 1), n);
    }
    void literal(char c) {
        put(0, 1);
        put(uchar(c), 8);
    }
    void match(uint32_t length, uint32_t distance) {
        put(1, 1);
        if (length == 2) {
            put(1, 1);
        } else {
            put(0, 1);
            gamma(length - 2);
            if (distance >= 256) {
                put(0, 1);
                gamma(distance / 256);
            } else {
                put(1, 1);
            }
        }
        put(distance % 256, 8);
    }
    void end() {
        put(1, 1);
        put(0, 1);
        gamma(256);
    }
};

QByteArray cxStream(void (*body)(CxWriter&)) {
    CxWriter w;
    w.put(4, 3);
    body(w);
    return w.out;
}

// Huffman stream for the alphabet A (code 1), B (01), end (00).
QByteArray huffman(const QByteArray& text) {
    QByteArray s(4, 0);
    uint32_t sum = 0;
    for (char c : text) sum += uchar(c);
    MiniNsf::put32(s, 0, sum);
    QByteArray table(10, 0);
    MiniNsf::put16(table, 0, 8);
    MiniNsf::put16(table, 2, 'A');
    MiniNsf::put16(table, 4, 0xFFFF);
    MiniNsf::put16(table, 6, 'B');
    MiniNsf::put16(table, 8, 256);
    s += table;
    QString bits;
    for (char c : text) bits += c == 'A' ? "1" : "01";
    bits += "00";
    while (bits.size() % 8) bits += '0';
    for (int i = 0; i < bits.size(); i += 8) s.append(char(bits.mid(i, 8).toUInt(nullptr, 2)));
    return s;
}

MiniNsf::Item fileItem(uint32_t objectId, const QByteArray& name, uint16_t compression, uint32_t size) {
    MiniNsf::Item i;
    i.name = "$FILE";
    i.type = i.nameType = 0x0003;
    i.typeWord = true;
    i.flags = 0x0004;
    i.value = MiniNsf::fileObject(objectId, name, compression, size);
    return i;
}

MiniNsf miniWithAttachments() {
    MiniNsf mini;
    MiniNsf::Note n;
    n.id = 0x8F6;
    MiniNsf::Item form;
    form.name = "Form";
    form.value = "Memo";
    n.items.push_back(form);
    n.items.push_back(fileItem(0x902, "plain.txt", 0, 11));
    n.items.push_back(fileItem(0x906, "packed.txt", 1, 4));
    n.items.push_back(fileItem(0x90A, "newer.bin", 2, 100));
    n.items.push_back(fileItem(0x906, "huge.bin", 1, 0x80000000u));
    n.items.push_back(fileItem(0x90E, "short.bin", 0, 5000));
    n.items.push_back(fileItem(0x906, "overrun.txt", 1, 9));
    mini.notes.push_back(n);
    mini.objects.push_back({0x902, "hello world"});
    mini.objects.push_back({0x906, huffman("ABBA")});
    mini.objects.push_back({0x90A, QByteArray(40, 'x')});
    mini.objects.push_back({0x90E, QByteArray(100, 'y')});
    return mini;
}

}  // namespace

TEST(NsfCx, DecodesLiteralsAndOverlappingMatches) {
    const QByteArray s = cxStream([](CxWriter& w) {
        w.literal('a');
        w.literal('b');
        w.literal('c');
        w.match(6, 3);
        w.match(2, 1);
        w.end();
    });
    QByteArray out;
    QString e;
    ASSERT_TRUE(CxDecompressor::decompress(ByteView(s.constData(), size_t(s.size())), 11, out, e)) << e.toStdString();
    EXPECT_EQ(out, "abcabcabccc");
}

TEST(NsfCx, LongDistancesUseTheGammaHighPart) {
    const QByteArray s = cxStream([](CxWriter& w) {
        for (int i = 0; i < 300; ++i) w.literal(char('a' + i % 26));
        w.match(4, 300);
        w.end();
    });
    QByteArray out;
    QString e;
    ASSERT_TRUE(CxDecompressor::decompress(ByteView(s.constData(), size_t(s.size())), 304, out, e)) << e.toStdString();
    EXPECT_EQ(out.right(4), "abcd");
}

TEST(NsfCx, RejectsBadStreams) {
    QByteArray out;
    QString e;
    const QByteArray back = cxStream([](CxWriter& w) {
        w.literal('a');
        w.match(3, 5);  // before the start
    });
    EXPECT_FALSE(CxDecompressor::decompress(ByteView(back.constData(), size_t(back.size())), 4, out, e));
    const QByteArray longer = cxStream([](CxWriter& w) {
        w.literal('a');
        w.match(200, 1);
        w.end();
    });
    EXPECT_FALSE(CxDecompressor::decompress(ByteView(longer.constData(), size_t(longer.size())), 50, out, e));
    EXPECT_TRUE(e.contains("past its declared size")) << e.toStdString();
    EXPECT_FALSE(CxDecompressor::decompress(ByteView(longer.constData(), size_t(longer.size())), 0x7FFFFFFF, out, e));
    EXPECT_TRUE(out.isEmpty());
    const QByteArray shortStream = cxStream([](CxWriter& w) { w.literal('a'); });
    EXPECT_FALSE(CxDecompressor::decompress(ByteView(shortStream.constData(), size_t(shortStream.size())), 2, out, e));
    const QByteArray mode("\x05\x00", 2);
    EXPECT_FALSE(CxDecompressor::decompress(ByteView(mode.constData(), 2), 1, out, e));
    EXPECT_TRUE(e.contains("mode")) << e.toStdString();
}

TEST(NsfHuffman, DecodesAndChecksAndStopsOnShortData) {
    const QByteArray s = huffman("ABBA");
    QByteArray out;
    auto sink = [&](const char* d, size_t n) {
        out.append(d, qsizetype(n));
        return true;
    };
    QString e;
    ASSERT_TRUE(HuffmanDecoder::decode(ByteView(s.constData(), size_t(s.size())), 4, sink, e)) << e.toStdString();
    EXPECT_EQ(out, "ABBA");
    out.clear();
    EXPECT_FALSE(HuffmanDecoder::decode(ByteView(s.constData(), size_t(s.size())), 9, sink, e));
    QByteArray badSum = s;
    badSum[0] = char(badSum[0] + 1);
    EXPECT_FALSE(HuffmanDecoder::decode(ByteView(badSum.constData(), size_t(badSum.size())), 4, sink, e));
    EXPECT_TRUE(e.contains("checksum"));
    QByteArray loop = s;
    MiniNsf::put16(loop, 8, 0xFF00);  // a child pointing far past the table
    EXPECT_FALSE(HuffmanDecoder::decode(ByteView(loop.constData(), size_t(loop.size())), 4, sink, e));
}

TEST(NsfIdTable, DecodesRunsAndRejectsDisorder) {
    QByteArray t(18, 0);
    MiniNsf::put32(t, 0, 4);
    MiniNsf::put16(t, 4, 4);
    MiniNsf::put16(t, 6, 2);
    t += QByteArray("\x02\xFE\x20\x00\x00", 5);
    t += QByteArray("\x00\x4A\x21\x00\x00", 5);
    t += QByteArray(8, '\xAA');  // padding after the table
    std::vector<uint32_t> ids;
    QString e;
    ASSERT_TRUE(IdTable::decode(ByteView(t.constData(), size_t(t.size())), ids, e)) << e.toStdString();
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x20FE, 0x2102, 0x2106, 0x214A}));
    QByteArray disorder = t;
    MiniNsf::put32(disorder, 24, 0x20FE);
    EXPECT_FALSE(IdTable::decode(ByteView(disorder.constData(), size_t(disorder.size())), ids, e));
    QByteArray tooMany = t;
    MiniNsf::put16(tooMany, 6, 900);
    EXPECT_FALSE(IdTable::decode(ByteView(tooMany.constData(), size_t(tooMany.size())), ids, e));
}

TEST(NsfAttachments, ExactBytesOrAClearProblem) {
    const QByteArray bytes = miniWithAttachments().build();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString dbPath = dir.filePath("mini.nsf");
    QFile f(dbPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    store::StoreError error;
    auto st = store::openStore(dbPath, QString(), error);
    ASSERT_TRUE(st) << error.message().toStdString();
    store::StoreNote note;
    ASSERT_TRUE(st->loadNote(0x8F6, note).ok());
    ASSERT_EQ(note.attachments.size(), 6u);
    QMap<QString, store::StoreAttachment> byName;
    for (const auto& a : note.attachments) byName[a.name] = a;

    auto detach = [&](const QString& name) {
        const QString target = dir.filePath("out-" + name);
        const store::StoreError e = st->detachAttachment(0x8F6, byName[name], target);
        QFile out(target);
        QByteArray data;
        if (out.open(QIODevice::ReadOnly)) data = out.readAll();
        return std::make_pair(e, data);
    };
    EXPECT_TRUE(byName["plain.txt"].decodable);
    EXPECT_EQ(detach("plain.txt").second, "hello world");
    EXPECT_EQ(detach("packed.txt").second, "ABBA");
    // Detaching never replaces an existing file.
    EXPECT_EQ(detach("plain.txt").first.status, store::StatusTargetExists);

    EXPECT_FALSE(byName["newer.bin"].decodable);
    EXPECT_TRUE(byName["newer.bin"].problem.contains("LZ1"));
    EXPECT_FALSE(byName["huge.bin"].decodable);
    EXPECT_EQ(byName["huge.bin"].size, 0x80000000LL);
    EXPECT_FALSE(byName["short.bin"].decodable);
    for (const char* n : {"newer.bin", "huge.bin", "short.bin"}) {
        const QString name = QString::fromLatin1(n);
        const auto [e, data] = detach(name);
        EXPECT_EQ(e.status, store::StatusAttachmentUnreadable) << name.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("out-" + name))) << name.toStdString();
    }
    // Data that ends before the declared size: an error, and no partial file.
    EXPECT_TRUE(byName["overrun.txt"].decodable);
    const auto [e, data] = detach("overrun.txt");
    EXPECT_EQ(e.status, store::StatusAttachmentUnreadable);
    EXPECT_FALSE(QFile::exists(dir.filePath("out-overrun.txt")));
}

TEST(NsfBadInput, NotADatabase) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\x1A", 1), QByteArray("\x1A\x00\x00\x04\x00\x00", 6),
                                    QByteArray(4096, '\0'), QByteArray("<?xml version='1.0'?>")}) {
        store::StoreError e;
        EXPECT_FALSE(NsfDatabase::open(NsfFile::fromBytes(bytes), e));
        EXPECT_FALSE(e.ok());
        EXPECT_FALSE(e.detail.isEmpty());
    }
    QByteArray wrongOds = MiniNsf().build();
    MiniNsf::put32(wrongOds, 6, 20);
    store::StoreError e;
    EXPECT_FALSE(NsfDatabase::open(NsfFile::fromBytes(wrongOds), e));
    EXPECT_EQ(e.status, store::StatusUnsupportedFormat);
    EXPECT_TRUE(e.detail.contains("20"));
}

TEST(NsfBadInput, BucketAndSlotOutOfRangeAreErrorsOfTheOneNote) {
    MiniNsf mini;
    MiniNsf::Note good;
    good.id = 0x8F6;
    MiniNsf::Item form;
    form.name = "Form";
    form.value = "Memo";
    good.items.push_back(form);
    MiniNsf::Note badBucket = good;
    badBucket.id = 0x8FA;
    badBucket.rrvBucket = 99;
    MiniNsf::Note badSlot = good;
    badSlot.id = 0x8FE;
    badSlot.rrvSlot = 2000;
    mini.notes = {good, badBucket, badSlot};
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(mini.build()), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    store::StoreNote note;
    EXPECT_TRUE(db->loadNote(0x8F6, note).ok());
    e = db->loadNote(0x8FA, note);
    EXPECT_EQ(e.status, store::StatusDamaged);
    EXPECT_TRUE(e.detail.contains("bucket 99")) << e.detail.toStdString();
    e = db->loadNote(0x8FE, note);
    EXPECT_EQ(e.status, store::StatusDamaged);
    EXPECT_TRUE(e.detail.contains("slot 2000")) << e.detail.toStdString();
    EXPECT_EQ(db->loadNote(0x12345, note).status, store::StatusNoSuchNote);
}

// What cannot be read is named, never dropped: a document record whose class
// cannot be read, a view note that fails a check. A sound file names nothing.
TEST(NsfBadInput, UnreadableRecordsAndViewNotesAreNamedAsProblems) {
    MiniNsf mini;
    MiniNsf::Note doc;
    doc.id = 0x8F6;
    MiniNsf::Item form;
    form.name = "Form";
    form.value = "Memo";
    doc.items.push_back(form);
    MiniNsf::Note lost = doc;
    lost.id = 0x8FA;
    lost.rrvBucket = 99;
    MiniNsf::Note view;
    view.id = 0x8FE;
    view.noteClass = 0x0008;
    MiniNsf::Item title;
    title.name = "$TITLE";
    title.value = "Inbox";
    view.items.push_back(title);
    MiniNsf::Note wrongId = view;
    wrongId.id = 0x902;
    wrongId.storedId = 0x906;

    mini.notes = {doc, view};
    store::StoreError e;
    auto sound = NsfDatabase::open(NsfFile::fromBytes(mini.build()), e);
    ASSERT_TRUE(sound) << e.message().toStdString();
    EXPECT_TRUE(sound->problems().isEmpty()) << sound->problems().join('\n').toStdString();
    EXPECT_EQ(sound->designEntries().size(), 1u);

    mini.notes = {doc, lost, view, wrongId};
    auto db = NsfDatabase::open(NsfFile::fromBytes(mini.build()), e);
    ASSERT_TRUE(db) << e.message().toStdString();
    EXPECT_EQ(db->documentIds(), std::vector<uint32_t>{0x8F6});
    ASSERT_EQ(db->designEntries().size(), 1u);
    EXPECT_EQ(db->designEntries()[0].name, "Inbox");
    const QStringList problems = db->problems();
    ASSERT_EQ(problems.size(), 2) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].startsWith("note 0x8FA cannot be read: ")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].startsWith("note 0x902 cannot be read: ")) << problems[1].toStdString();
}

TEST(NsfBadInput, TruncatedAndCorruptedFilesNeverCrash) {
    const QByteArray mini = miniWithAttachments().build();
    for (qsizetype cut = 0; cut < mini.size(); cut += 97) walkAllBytes(mini.left(cut));
    // Deterministic corruption: flip bytes across the file, many times.
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 300; ++round) {
        QByteArray b = mini;
        for (int k = 0; k < 8; ++k) b[qsizetype(next() % uint32_t(b.size()))] = char(next() >> 16);
        walkAllBytes(b);
    }
}

TEST(NsfBadInput, TruncatedRealSamplesGiveErrorsNotCrashes) {
    const QString path = NsfSamples::dir() + "/domino-c-api-samples/notedata_MIMEMsg.nsf";
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) GTEST_SKIP() << "NSF samples not found at " << NsfSamples::dir().toStdString();
    const QByteArray all = f.readAll();
    for (qsizetype cut : {qsizetype(100), qsizetype(1000), qsizetype(0x500), qsizetype(0x9000), all.size() / 3,
                          all.size() / 2, all.size() - 4096, all.size() - 1})
        walkAllBytes(all.left(cut));
    uint32_t seed = 777;
    for (int round = 0; round < 40; ++round) {
        QByteArray b = all;
        for (int k = 0; k < 16; ++k) {
            seed = seed * 1103515245u + 12345u;
            const qsizetype at = qsizetype(seed % uint32_t(b.size()));
            b[at] = char(b[at] ^ char(1 << (seed >> 29)));
        }
        walkAllBytes(b);
    }
}

// The decoding rules of the reader on small databases written by MiniNsf.
#include "MiniNsf.h"

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/NsfStore.h"
#include "notes/nsf/SlotBucket.h"
#include "notes/nsf/TimeDateDecoder.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace nsf;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

std::unique_ptr<NsfDatabase> openBytes(const QByteArray& bytes, store::StoreError* errorOut = nullptr) {
    store::StoreError error;
    auto db = NsfDatabase::open(NsfFile::fromBytes(bytes), error);
    if (errorOut) *errorOut = error;
    return db;
}

MiniNsf::Item textItem(const QString& name, const QByteArray& value, uint16_t flags = 0x0004) {
    MiniNsf::Item i;
    i.name = name;
    i.type = 0x0500;
    i.nameType = 0x0500;
    i.flags = flags;
    i.value = value;
    return i;
}

// One document with summary, response IDs and non-summary values.
MiniNsf::Note document(uint32_t id, MiniNsf::NonSummary placement) {
    MiniNsf::Note n;
    n.id = id;
    n.placement = placement;
    n.items.push_back(textItem("Form", "Memo"));
    n.items.push_back(textItem("Subject", "Quarterly figures, part one of the long subject line"));
    n.items.push_back(textItem("Notes", "kept outside the summary", 0));
    MiniNsf::Item num;
    num.name = "Amount";
    num.type = num.nameType = 0x0300;
    num.flags = 0;
    num.value = MiniNsf::number(329.5);
    n.items.push_back(num);
    n.responses = {0x1234, 0x5678};
    return n;
}

QString textOf(const store::StoreNote& note, const QString& name) {
    const store::StoreItem* i = note.item(name);
    return i ? i->texts.join(QLatin1Char('|')) : QStringLiteral("<missing>");
}

}  // namespace

TEST(NsfFormat, SectorNibblesAreRestoredFromTheFooter) {
    // 8 KiB bucket: 16 sectors, footer of 8 bytes = 16 nibbles.
    std::vector<uint8_t> b(8192, 0);
    for (size_t s = 0; s < 16; ++s) b[s * 512 + 0x42] = uint8_t(0xA0 | 0x7);  // stamp 7 everywhere
    // Original nibble of sector s is s (0..15); sector 0 lives in the high
    // nibble of the last footer byte, sector 1 in its low nibble, ...
    for (size_t s = 0; s < 16; ++s) {
        const size_t nibble = 15 - s;
        uint8_t& fb = b[8192 - 8 + nibble / 2];
        fb = (nibble & 1) ? uint8_t((fb & 0x0F) | (s << 4)) : uint8_t((fb & 0xF0) | s);
    }
    EXPECT_EQ(b[8191], 0x01);  // sectors 0 and 1
    SlotBucket::restoreSectorNibbles(b.data(), b.size());
    for (size_t s = 0; s < 16; ++s) EXPECT_EQ(b[s * 512 + 0x42], uint8_t(0xA0 | s)) << "sector " << s;
    // Odd 256-byte blocks are untouched data.
    EXPECT_EQ(b[256 + 0x42], 0);
}

TEST(NsfFormat, StampedSectorsReadCorrectlyThroughTheBucket) {
    MiniNsf mini;
    // Enough notes that records cross several sectors' 0x42 bytes.
    for (uint32_t k = 0; k < 24; ++k) mini.notes.push_back(document(MiniNsf::kFirstId + 4 * k, MiniNsf::NonSummary::Inline));
    mini.stamp = 0xB;
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    for (uint32_t k = 0; k < 24; ++k) {
        store::StoreNote note;
        const store::StoreError e = db->loadNote(MiniNsf::kFirstId + 4 * k, note);
        ASSERT_TRUE(e.ok()) << k << " " << e.message().toStdString();
        EXPECT_EQ(textOf(note, "Subject"), "Quarterly figures, part one of the long subject line") << k;
        EXPECT_EQ(textOf(note, "Form"), "Memo") << k;
    }
}

TEST(NsfFormat, PlacementRuleInlineSeparateAndMissing) {
    MiniNsf mini;
    mini.notes.push_back(document(0x8F6, MiniNsf::NonSummary::Inline));
    mini.notes.push_back(document(0x8FA, MiniNsf::NonSummary::Separate));
    mini.notes.push_back(document(0x8FE, MiniNsf::NonSummary::Missing));
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    for (uint32_t id : {0x8F6u, 0x8FAu}) {
        store::StoreNote note;
        ASSERT_TRUE(db->loadNote(id, note).ok());
        EXPECT_EQ(textOf(note, "Notes"), "kept outside the summary") << id;
        ASSERT_TRUE(note.item("Amount"));
        ASSERT_EQ(note.item("Amount")->numbers.size(), 1u);
        EXPECT_EQ(note.item("Amount")->numbers[0], 329.5);
    }
    RawNote raw;
    QString e;
    ASSERT_EQ(db->readRaw(0x8F6, raw, e), NoteReader::Result::Note);
    EXPECT_EQ(raw.responseIds, (std::vector<uint32_t>{0x1234, 0x5678}));

    // Without any non-summary location the summary items still read; the others name the fault.
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(0x8FE, note).ok());
    EXPECT_EQ(textOf(note, "Subject"), "Quarterly figures, part one of the long subject line");
    ASSERT_TRUE(note.item("Notes"));
    EXPECT_TRUE(note.item("Notes")->unreadable);
    EXPECT_TRUE(note.item("Notes")->problem.contains("missing"));
}

TEST(NsfFormat, TypeWordOverridesTheNameTableType) {
    MiniNsf mini;
    MiniNsf::Note n;
    n.id = 0x8F6;
    MiniNsf::Item list = textItem("Editors", MiniNsf::textList({"Anna", "Ben"}));
    list.nameType = 0x0500;  // the name's usual type is TEXT
    list.type = 0x0501;
    list.typeWord = true;
    n.items.push_back(list);
    MiniNsf::Item plain = textItem("Plain", "no type word");
    n.items.push_back(plain);
    mini.notes.push_back(n);
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(0x8F6, note).ok());
    ASSERT_TRUE(note.item("Editors"));
    EXPECT_EQ(note.item("Editors")->type, store::TypeTextList);
    EXPECT_EQ(note.item("Editors")->texts, QStringList({"Anna", "Ben"}));
    EXPECT_EQ(textOf(note, "Plain"), "no type word");
}

TEST(NsfFormat, CurrentRrvBucketComesFromTheSuperblock) {
    MiniNsf mini;
    mini.notes.push_back(document(0x8F6, MiniNsf::NonSummary::Inline));
    mini.staleDiskRrvHasNotes = false;  // the on-disk copy maps nothing
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    EXPECT_EQ(db->documentIds(), std::vector<uint32_t>{0x8F6});
}

TEST(NsfFormat, DeletionStubsEncryptionAndIdMismatch) {
    MiniNsf mini;
    MiniNsf::Note stub;
    stub.id = 0x8F6;
    stub.deletionStub = true;
    mini.notes.push_back(stub);
    MiniNsf::Note sealed = document(0x8FA, MiniNsf::NonSummary::Inline);
    MiniNsf::Item seal;
    seal.name = "$Seal";
    seal.type = seal.nameType = 0x0009;
    seal.value = QByteArray(16, '\x5A');
    sealed.items.push_back(seal);
    sealed.items[2].flags |= 0x0002;  // "Notes" is sealed
    mini.notes.push_back(sealed);
    MiniNsf::Note wrong = document(0x8FE, MiniNsf::NonSummary::Inline);
    wrong.storedId = 0x902;
    mini.notes.push_back(wrong);
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    store::StoreNote note;
    EXPECT_EQ(db->loadNote(0x8F6, note).status, store::StatusNoSuchNote);
    ASSERT_TRUE(db->loadNote(0x8FA, note).ok());
    EXPECT_TRUE(note.encrypted);
    EXPECT_TRUE(note.item("Notes")->unreadable);
    const store::StoreError e = db->loadNote(0x8FE, note);
    EXPECT_EQ(e.status, store::StatusDamaged);
    EXPECT_TRUE(e.detail.contains("0x902")) << e.detail.toStdString();
    EXPECT_EQ(db->documentIds(), std::vector<uint32_t>{0x8FA});
}

TEST(NsfFormat, TextTimeAndRangeValues) {
    MiniNsf mini;
    MiniNsf::Note n;
    n.id = 0x8F6;
    n.items.push_back(textItem("Address", QByteArray("28 Lord Marlboro\0Tuscany, ITALY\0", 32)));
    n.items.push_back(textItem("City", QByteArray("\x10\x8F\xE3\x10\x8A\x43", 6)));  // LMBCS group 0x10
    MiniNsf::Item when;
    when.name = "When";
    when.type = when.nameType = 0x0400;
    // 2020-10-05 17:10:07 UTC, zone UTC-5 observing daylight saving time.
    when.value = MiniNsf::timeDate(0x005E4F5C, 0x852585F8);
    n.items.push_back(when);
    MiniNsf::Item dateOnly = when;
    dateOnly.name = "Day";
    dateOnly.value = MiniNsf::timeDate(0xFFFFFFFF, 0x002585F8);
    n.items.push_back(dateOnly);
    MiniNsf::Item bad = when;
    bad.name = "Bad";
    bad.value = QByteArray("\xBC\x2E\x36\xCD\xBF\x8D\xBB\x8F", 8);
    n.items.push_back(bad);
    MiniNsf::Item range;
    range.name = "RouteTimes";
    range.type = range.nameType = 0x0401;
    QByteArray rv(4, 0);
    MiniNsf::put16(rv, 0, 0);
    MiniNsf::put16(rv, 2, 1);
    rv += MiniNsf::timeDate(0xFFFFFFFF, 0xFFFFFFFF).replace(0, 4, QByteArray("\x00\x00\x00\x00", 4));
    rv += MiniNsf::timeDate(360000 * 17, 0xFFFFFFFF);
    range.value = rv;
    n.items.push_back(range);
    mini.notes.push_back(n);
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(0x8F6, note).ok());
    EXPECT_EQ(textOf(note, "Address"), "28 Lord Marlboro\nTuscany, ITALY");
    EXPECT_EQ(textOf(note, "City"), QString::fromUtf8("上海"));
    ASSERT_EQ(note.item("When")->times.size(), 1u);
    const store::NotesTime t = note.item("When")->times[0];
    EXPECT_EQ(t.text(), "05/10/2020 13:10:07");  // EDT
    EXPECT_EQ(t.utcOffsetSeconds, -4 * 3600);
    EXPECT_EQ(t.instantMs(), QDateTime(QDate(2020, 10, 5), QTime(17, 10, 7), Qt::UTC).toMSecsSinceEpoch());
    EXPECT_EQ(note.item("Day")->times[0].text(), "05/10/2020");
    EXPECT_TRUE(note.item("Bad")->unreadable);
    ASSERT_EQ(note.item("RouteTimes")->timeRanges.size(), 1u);
    EXPECT_EQ(note.item("RouteTimes")->timeRanges[0].upper.text(), "17:00:00");
}

TEST(NsfFormat, DaylightSavingRulesByZone) {
    // New York in January: standard time; in July: daylight time.
    store::NotesTime t;
    const uint32_t west5Dst = 0x85000000u;
    const uint32_t jan = 2459946;  // 2023-01-01
    const uint32_t jul = 2460127;  // 2023-07-01
    ASSERT_EQ(TimeDateDecoder::decode(12 * 360000, west5Dst | jan, t), TimeDateDecoder::Kind::Valid);
    EXPECT_EQ(t.text(), "01/01/2023 07:00:00");
    ASSERT_EQ(TimeDateDecoder::decode(12 * 360000, west5Dst | jul, t), TimeDateDecoder::Kind::Valid);
    EXPECT_EQ(t.text(), "01/07/2023 08:00:00");
    // India, +5:30, no daylight saving.
    const uint32_t india = 0x40000000u | (5u << 24) | (2u << 28);
    ASSERT_EQ(TimeDateDecoder::decode(12 * 360000, india | jul, t), TimeDateDecoder::Kind::Valid);
    EXPECT_EQ(t.text(), "01/07/2023 17:30:00");
    // Central Europe in July: +2.
    ASSERT_EQ(TimeDateDecoder::decode(12 * 360000, 0xC1000000u | jul, t), TimeDateDecoder::Kind::Valid);
    EXPECT_EQ(t.text(), "01/07/2023 14:00:00");
    EXPECT_EQ(TimeDateDecoder::decode(0, 0, t), TimeDateDecoder::Kind::Empty);
}

TEST(NsfFormat, RichTextParagraphsTablesAndMultiPartFields) {
    auto rec = [](std::initializer_list<int> bytes) {
        QByteArray b;
        for (int v : bytes) b.append(char(v));
        return b;
    };
    auto text = [](const QByteArray& s, uint8_t attrib = 0) {
        QByteArray r(8, 0);
        r[0] = char(0x85);
        r[1] = char(0xFF);
        MiniNsf::put16(r, 2, uint16_t(8 + s.size()));
        r[4] = 1;  // swiss
        r[5] = char(attrib);
        r[7] = 10;
        r += s;
        if (r.size() % 2) r.append('\0');
        return r;
    };
    const QByteArray paragraph = rec({0x81, 0x02});
    const QByteArray pabRef = rec({0x83, 0x04, 0x01, 0x00});
    // Paragraph records end paragraphs: the empty one first is a paragraph too.
    QByteArray part1 = pabRef + text("") + paragraph + pabRef + text(QByteArray("Hello\0World", 11), 0x01) + paragraph;
    QByteArray table = rec({0xA3, 14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    QByteArray cell00 = rec({0xA4, 18, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    QByteArray cell01 = rec({0xA4, 18, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    QByteArray end = rec({0xA5, 6, 0, 0, 0, 0});
    QByteArray part2 = table + cell00 + text("a") + cell01 + text("b") + end + pabRef + text("after");

    MiniNsf mini;
    MiniNsf::Note n;
    n.id = 0x8F6;
    for (const QByteArray& part : {part1, part2}) {
        MiniNsf::Item body;
        body.name = "Body";
        body.type = body.nameType = 0x0001;
        body.flags = 0;
        body.value = part;
        n.items.push_back(body);
    }
    mini.notes.push_back(n);
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    store::StoreNote note;
    ASSERT_TRUE(db->loadNote(0x8F6, note).ok());
    int bodies = 0;
    for (const auto& i : note.items) bodies += i.name == "Body";
    EXPECT_EQ(bodies, 1);  // the parts make one field
    const store::StoreItem* body = note.item("Body");
    ASSERT_TRUE(body && body->richText);
    EXPECT_EQ(body->richText->rawRecords, part1 + part2);
    EXPECT_EQ(body->richText->plainText().toStdString(), "\r\nHello\r\nWorld\r\na\tb\r\nafter");
    ASSERT_GE(body->richText->blocks.size(), 2u);
    ASSERT_FALSE(body->richText->blocks[1].runs.empty());
    EXPECT_TRUE(body->richText->blocks[1].runs[0].font.bold);
    EXPECT_EQ(body->richText->blocks[1].runs[0].font.face, "Arial");
}

TEST(NsfFormat, FoldersListTheirLiveMembersAndViewsWithoutFormulaOrIndexSayWhy) {
    MiniNsf mini;
    MiniNsf::Note doc = document(0x8F6, MiniNsf::NonSummary::Inline);
    MiniNsf::Note stub;
    stub.id = 0x8FA;
    stub.deletionStub = true;
    auto design = [](uint32_t id, const QByteArray& title, const QByteArray& flags) {
        MiniNsf::Note n;
        n.id = id;
        n.noteClass = 0x0008;
        n.items.push_back(textItem("$TITLE", title));
        n.items.push_back(textItem("$Flags", flags));
        return n;
    };
    MiniNsf::Note folder = design(0x8FE, "Projects\\2012 | P2012", "F");
    MiniNsf::Item table;
    table.name = "$FolderIDTable";
    table.type = table.nameType = 0x0003;
    table.typeWord = true;
    table.value = QByteArray(6, 0);
    MiniNsf::put16(table.value, 0, 10);
    MiniNsf::put32(table.value, 2, 0x90A);
    folder.items.push_back(table);
    MiniNsf::Note view = design(0x902, "By Date", "");
    mini.notes = {doc, stub, folder, view};
    // Members: the document, the deleted one and an ID never used.
    QByteArray ids(18, 0);
    MiniNsf::put32(ids, 0, 4);
    MiniNsf::put16(ids, 4, 3);
    MiniNsf::put16(ids, 6, 2);
    ids += QByteArray("\x01\xF6\x08\x00\x00", 5) + QByteArray("\x00\x00\x30\x00\x00", 5);
    mini.objects.push_back({0x90A, ids});
    auto db = openBytes(mini.build());
    ASSERT_TRUE(db);
    NsfStore st(std::move(db));
    const auto folders = st.folders();
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].name, "Projects\\2012");
    EXPECT_TRUE(folders[0].isFolder);
    EXPECT_TRUE(folders[0].problem.isEmpty()) << folders[0].problem.toStdString();
    std::vector<uint32_t> entries;
    ASSERT_TRUE(st.folderEntries(0, entries).ok());
    EXPECT_EQ(entries, std::vector<uint32_t>{0x8F6});
    EXPECT_EQ(folders[1].name, "By Date");
    EXPECT_FALSE(folders[1].isFolder);
    EXPECT_TRUE(folders[1].problem.contains("no selection formula")) << folders[1].problem.toStdString();
    EXPECT_TRUE(folders[1].problem.contains("no stored index")) << folders[1].problem.toStdString();
    EXPECT_EQ(st.folderEntries(1, entries).status, store::StatusUnsupportedFormula);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(st.folderEntries(2, entries).status, store::StatusIndexOutOfRange);
}

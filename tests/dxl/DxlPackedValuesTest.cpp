#include "DxlTestFiles.h"
#include "notes/dxl/DxlPackedValues.h"
#include "notes/dxl/DxlStore.h"
#include "notes/formula/EntryOrder.h"

#include <gtest/gtest.h>

#include <set>

using store::NotesTime;
using store::dxl::DxlPackedValues;
using store::dxl::DxlValueArena;
using store::formula::EntryOrder;
using store::formula::FormulaValue;

namespace {

NotesTime time(const char* dxl) { return *NotesTime::fromDxl(QString::fromLatin1(dxl)); }

}  // namespace

// What the index packs reads back as the values it was given, and sorts as
// formula::EntryOrder sorts the values themselves.
TEST(DxlPackedValues, ValuesReadBackAndSortLikeTheValues) {
    DxlPackedValues::Values values;
    values.emplace_back(3, FormulaValue::texts({QStringLiteral("Ärger über Öl"), QStringLiteral("日本語 😀"), QString()}));
    values.emplace_back(200, FormulaValue::numbers({1.5, -2}));
    values.emplace_back(7, FormulaValue::times({time("20120304T101112,34+0130"), time("19991231"), time("T080000")}));
    std::vector<double> many(70);
    for (size_t i = 0; i < many.size(); ++i) many[i] = double(i) / 4;
    values.emplace_back(1000, FormulaValue::numbers(many));  // a count past what the kind's byte holds
    const QByteArray packed = DxlPackedValues::pack(values);

    const DxlPackedValues::Values back = DxlPackedValues::unpackAll(packed);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[3].first, 1000);
    EXPECT_EQ(back[3].second.numberList(), many);
    EXPECT_EQ(back[0].second.textList(), values[0].second.textList());
    EXPECT_EQ(back[1].first, 200);
    EXPECT_EQ(back[1].second.numberList(), values[1].second.numberList());
    ASSERT_EQ(back[2].second.timeList().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const NotesTime& a = values[2].second.timeList()[i];
        const NotesTime& b = back[2].second.timeList()[i];
        EXPECT_EQ(a.date, b.date);
        EXPECT_EQ(a.time, b.time);
        EXPECT_EQ(a.utcOffsetSeconds, b.utcOffsetSeconds);
        EXPECT_EQ(a.hasZone, b.hasZone);
    }
    FormulaValue one;
    EXPECT_TRUE(DxlPackedValues::find(packed, 7, one));
    EXPECT_EQ(one.timeList().size(), 3u);
    EXPECT_FALSE(DxlPackedValues::find(packed, 8, one));
    EXPECT_TRUE(DxlPackedValues::contains(packed, 200));

    // Sort keys read in place give EntryOrder's order, missing values first.
    const std::vector<FormulaValue> column = {
        FormulaValue::text(QStringLiteral("banana")), FormulaValue::text(QStringLiteral("Apple")),
        FormulaValue::number(3),  FormulaValue::times({time("20120304T101112,00+01")}),
        FormulaValue::times({time("20120304T101112,00+02")}), FormulaValue::text(QStringLiteral("apple")),
        FormulaValue::text(QStringLiteral("Éclair")), FormulaValue::texts({})};
    std::vector<QByteArray> runs;
    for (const FormulaValue& v : column) runs.push_back(DxlPackedValues::pack({{1, v}}));
    runs.push_back(QByteArray());  // no value at all
    for (bool descending : {false, true}) {
        for (size_t a = 0; a < runs.size(); ++a) {
            for (size_t b = 0; b < runs.size(); ++b) {
                const FormulaValue* va = a < column.size() ? &column[a] : nullptr;
                const FormulaValue* vb = b < column.size() ? &column[b] : nullptr;
                const int c = DxlPackedValues::order(DxlPackedValues::sortKey(runs[a], 1),
                                                     DxlPackedValues::sortKey(runs[b], 1), descending);
                EXPECT_EQ(c < 0, EntryOrder::before(va, vb, descending)) << a << " " << b << " " << descending;
                EXPECT_EQ(c > 0, EntryOrder::before(vb, va, descending)) << a << " " << b << " " << descending;
            }
        }
    }
}

TEST(DxlPackedValues, ArenaKeepsEveryRun) {
    DxlValueArena arena;
    std::vector<std::pair<quint32, QByteArray>> stored;
    for (int i = 0; i < 3000; ++i) {
        const QByteArray run = QByteArray(1 + (i * 37) % 900, char('a' + i % 26));
        stored.emplace_back(arena.add(run), run);
    }
    const QByteArray large(300000, 'L');  // larger than a block's share
    stored.emplace_back(arena.add(large), large);
    for (const auto& [handle, run] : stored)
        EXPECT_TRUE(arena.bytes(handle, quint32(run.size())) == QByteArrayView(run));
}

// Documents are found by note ID whether the file gives the IDs in increasing
// order (searched in place), out of order or not at all (then assigned); a
// note ID given twice is damage either way.
TEST(DxlNoteIds, FoundInAnyOrderAndWithoutIds) {
    using F = DxlTestFiles;
    DxlTestFiles files;
    const struct {
        const char* name;
        std::vector<QByteArray> ids;
    } cases[] = {{"increasing.dxl", {"4", "8", "c", "10"}},
                 {"unordered.dxl", {"c", "4", "10", "8"}},
                 {"missing.dxl", {"8", "", "4", ""}}};
    for (const auto& c : cases) {
        QByteArray docs;
        for (size_t i = 0; i < c.ids.size(); ++i)
            docs += F::document(c.ids[i], F::textItem("Subject", "doc " + QByteArray::number(int(i))));
        store::StoreError e;
        auto db = store::dxl::DxlStore::open(files.write(F::database(docs), QString::fromLatin1(c.name)), e);
        ASSERT_TRUE(db) << c.name << ": " << e.message().toStdString();
        const std::vector<uint32_t> ids = db->allDocumentIds();
        ASSERT_EQ(ids.size(), c.ids.size()) << c.name;
        std::set<QString> subjects;
        for (uint32_t id : ids) {
            store::StoreNote note;
            ASSERT_TRUE(db->loadNote(id, note).ok()) << c.name << " " << id;
            EXPECT_EQ(note.noteId, id);
            subjects.insert(note.item(QStringLiteral("Subject"))->texts.value(0));
        }
        EXPECT_EQ(subjects.size(), c.ids.size()) << c.name;
        store::StoreNote none;
        EXPECT_FALSE(db->loadNote(0x7FFC, none).ok());
    }
    store::StoreError e;
    const QByteArray twice = F::document("8", "") + F::document("4", "") + F::document("c", "") + F::document("4", "");
    EXPECT_FALSE(store::dxl::DxlStore::open(files.write(F::database(twice), QStringLiteral("twice.dxl")), e));
    EXPECT_TRUE(e.message().contains(QLatin1String("two documents have note ID 4"))) << e.message().toStdString();
}

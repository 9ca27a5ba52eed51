// View entries of NSF files: compiled selection formulas, the stored view
// index as the fallback, the order by the sorted column.
#include "MiniNsf.h"

#include "notes/nsf/CompiledFormula.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/NsfStore.h"
#include "notes/nsf/ViewCollection.h"
#include "notes/nsf/ViewFormat.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <cstring>

using namespace nsf;
using store::formula::FormulaValue;

namespace {

// Compiled formula code, written token by token.
struct Code {
    QByteArray bytes;
    Code& op(uint16_t opcode) {
        QByteArray w(2, 0);
        MiniNsf::put16(w, 0, opcode);
        bytes += w;
        return *this;
    }
    Code& operand(uint16_t opcode, const QByteArray& s) {
        op(opcode);
        QByteArray w(2, 0);
        MiniNsf::put16(w, 0, uint16_t(s.size()));
        bytes += w + s;
        if (s.size() % 2) bytes += '\0';
        return *this;
    }
    Code& text(const QByteArray& s) { return operand(0x0001, s); }
    Code& item(const QByteArray& s) { return operand(0x0005, s); }
    Code& number(double d) {
        op(0x0000);
        bytes += MiniNsf::number(d);
        return *this;
    }
    Code& end() { return op(0x0003); }
};

// A $FORMULA value: the summary names record, an empty marker, then the code.
QByteArray formulaValue(const QByteArray& code) {
    QByteArray v(2, 0);
    QByteArray marker(4, 0);
    MiniNsf::put16(marker, 0, 4);
    MiniNsf::put16(marker, 2, 4);
    QByteArray main(4, 0);
    MiniNsf::put16(main, 0, 0);
    MiniNsf::put16(main, 2, uint16_t(4 + code.size()));
    v += marker + main + code;
    MiniNsf::put16(v, 0, uint16_t(v.size()));
    return v;
}

// A column formula: one column record (the column's name, then the code).
QByteArray columnFormula(const QByteArray& name, const QByteArray& code) {
    QByteArray record(4, 0);
    MiniNsf::put16(record, 0, 2);
    QByteArray nameLength(2, 0);
    MiniNsf::put16(nameLength, 0, uint16_t(name.size()));
    record += nameLength + name + (name.size() % 2 ? QByteArray(1, '\0') : QByteArray()) + code;
    MiniNsf::put16(record, 2, uint16_t(record.size()));
    QByteArray v(2, 0);
    v += record;
    MiniNsf::put16(v, 0, uint16_t(v.size()));
    return v;
}

// A $VIEWFORMAT value with one column per (item, flags); a column whose
// item starts with "$" gets a computed formula.
QByteArray viewFormat(const std::vector<std::pair<QByteArray, uint16_t>>& columns) {
    QByteArray table(10, 0);
    table[0] = 1;
    MiniNsf::put16(table, 2, uint16_t(columns.size()));
    QByteArray descriptors, data;
    for (const auto& [item, flags] : columns) {
        QByteArray d(32, 0);
        MiniNsf::put16(d, 0, 0x4356);
        MiniNsf::put16(d, 2, flags);
        const QByteArray code = columnFormula(item, item.startsWith('$')
                                                        ? Code().item("Subject").item("From").op(0x021F).end().bytes
                                                        : Code().item(item).end().bytes);
        const QByteArray title = "Title of " + item;
        MiniNsf::put16(d, 4, uint16_t(item.size()));
        MiniNsf::put16(d, 6, uint16_t(title.size()));
        MiniNsf::put16(d, 8, uint16_t(code.size()));
        descriptors += d;
        data += item + title + code;
    }
    return table + descriptors + data;
}

// A $Collection payload of version 0x6B with the given entry IDs.
QByteArray collection(const std::vector<uint32_t>& ids, bool filler = false) {
    QByteArray p(161, 0);
    MiniNsf::put16(p, 0, 0xCCCC);
    MiniNsf::put16(p, 2, 0x6B);
    const QByteArray formulaCopy = Code().op(0x0066).end().bytes;
    MiniNsf::put16(p, 12, uint16_t(formulaCopy.size()));
    p += formulaCopy;
    QByteArray collation(8, 0);
    MiniNsf::put16(collation, 0, 6);
    MiniNsf::put16(collation, 2, 1);
    p += collation + QByteArray("\x44\x00\x66\x00\x00\x00", 6);
    if (filler) p += QByteArray("\xAA\xAD", 2) + QByteArray(510, '\x55');
    QByteArray table(18, 0);
    MiniNsf::put32(table, 0, 4);
    MiniNsf::put16(table, 4, uint16_t(ids.size()));
    MiniNsf::put16(table, 6, uint16_t(ids.size()));
    MiniNsf::put16(table, 8, 1);
    for (uint32_t id : ids) {
        QByteArray run(5, 0);
        MiniNsf::put32(run, 1, id);
        table += run;
    }
    return p + table + QByteArray(7, '\xAA');
}

MiniNsf::Item item(const QString& name, uint16_t type, const QByteArray& value, bool typeWord = false) {
    MiniNsf::Item i;
    i.name = name;
    i.type = i.nameType = type;
    i.value = value;
    i.typeWord = typeWord;
    return i;
}

MiniNsf::Item objectItem(const QString& name, uint16_t objectType, uint32_t objectId) {
    QByteArray v(6, 0);
    MiniNsf::put16(v, 0, objectType);
    MiniNsf::put32(v, 2, objectId);
    return item(name, 0x0003, v, true);
}

MiniNsf::Note doc(uint32_t id, const QByteArray& form, const QByteArray& subject) {
    MiniNsf::Note n;
    n.id = id;
    n.placement = MiniNsf::NonSummary::Inline;
    n.items.push_back(item("Form", 0x0500, form));
    if (!subject.isNull()) n.items.push_back(item("Subject", 0x0500, subject));
    return n;
}

MiniNsf::Note view(uint32_t id, const QByteArray& title, const QByteArray& formulaCode,
                   const std::vector<std::pair<QByteArray, uint16_t>>& columns = {}) {
    MiniNsf::Note n;
    n.id = id;
    n.noteClass = 0x0008;
    n.items.push_back(item("$TITLE", 0x0500, title));
    n.items.push_back(item("$Flags", 0x0500, ""));
    if (!formulaCode.isNull()) n.items.push_back(item("$FORMULA", 0x0600, formulaValue(formulaCode), true));
    if (!columns.empty()) n.items.push_back(item("$VIEWFORMAT", 0x0605, viewFormat(columns), true));
    return n;
}

std::unique_ptr<NsfStore> openStore(const MiniNsf& mini) {
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(mini.build()), e);
    EXPECT_TRUE(db) << e.message().toStdString();
    return db ? std::make_unique<NsfStore>(std::move(db)) : nullptr;
}

std::unique_ptr<store::formula::FormulaExpression> compile(const QByteArray& code, QString& problem) {
    LmbcsConverter lmbcs;
    std::vector<CompiledFormula::Token> tokens;
    const ByteView bytes(code.constData(), size_t(code.size()));
    if (!CompiledFormula::tokenize(bytes, lmbcs, tokens, problem)) return nullptr;
    return CompiledFormula::build(tokens, problem);
}

bool selects(const QByteArray& code, const QHash<QString, FormulaValue>& items) {
    QString problem;
    auto f = compile(code, problem);
    EXPECT_TRUE(f) << problem.toStdString();
    if (!f) return false;
    return f->selects([&](const QString& n) -> const FormulaValue* {
        auto it = items.constFind(n);
        return it == items.constEnd() ? nullptr : &*it;
    });
}

}  // namespace

TEST(NsfViews, CompiledFormulasTokenizeAndEvaluateLikeFormulaText) {
    const QHash<QString, FormulaValue> memo = {{"form", FormulaValue::text("Memo")},
                                               {"sendto", FormulaValue::texts({"Ann", "Bob"})},
                                               {"size", FormulaValue::number(3)}};
    // Form = "Memo": item, literal, then the operator.
    EXPECT_TRUE(selects(Code().item("Form").text("Memo").op(0x020A).end().bytes, memo));
    EXPECT_FALSE(selects(Code().item("Form").text("memo").op(0x020A).end().bytes, memo));  // exact text
    EXPECT_TRUE(selects(Code().item("FORM").text("Memo").op(0x020A).end().bytes, memo));   // names in any case
    // Any pair of values: SendTo = "Bob"; SendTo != "Ann" holds through "Bob".
    EXPECT_TRUE(selects(Code().item("SendTo").text("Bob").op(0x020A).end().bytes, memo));
    EXPECT_TRUE(selects(Code().item("SendTo").text("Ann").op(0x020B).end().bytes, memo));
    EXPECT_FALSE(selects(Code().item("Form").text("Memo").op(0x020B).end().bytes, memo));
    // Form = "Reply" : "Memo" (a list), & and |, parenthesis markers, numbers.
    EXPECT_TRUE(selects(Code().item("Form").text("Reply").text("Memo").op(0x021F).op(0x020A).end().bytes, memo));
    EXPECT_FALSE(selects(Code().op(0x0004).item("Form").text("Memo").op(0x020A).op(0x0004).item("Size")
                             .number(4).op(0x020A).op(0x021C).end().bytes,
                         memo));
    EXPECT_TRUE(selects(Code().item("Form").text("Memo").op(0x020A).item("Size").number(4).op(0x020A).op(0x021D)
                            .end().bytes,
                        memo));
    // @All, @IsAvailable; a missing item reads as "".
    EXPECT_TRUE(selects(Code().op(0x0066).end().bytes, {}));
    EXPECT_TRUE(selects(Code().item("SendTo").op(0x0168).end().bytes, memo));
    EXPECT_FALSE(selects(Code().item("CopyTo").op(0x0168).end().bytes, memo));
    EXPECT_TRUE(selects(Code().item("CopyTo").text("").op(0x020A).end().bytes, memo));
    // An odd-length text is padded to an even length before the next opcode.
    EXPECT_TRUE(selects(Code().item("Form").text("Odd").text("Memo").op(0x021F).op(0x020A).end().bytes, memo));
}

TEST(NsfViews, AddressBookSelectionsTestAGroupTypeThatMayBeMissing) {
    // ($ServerAccess): Type = "Group" & (@IsUnavailable(GroupType) | GroupType = "0" : "2" : "3" : "4")
    // & Form = "Group", as the address books store it.
    const QByteArray serverAccess = Code()
                                        .item("Type").text("Group").op(0x020A)
                                        .item("GroupType").op(0x0159)
                                        .item("GroupType").text("0").text("2").op(0x021F).text("3").op(0x021F)
                                        .text("4").op(0x021F).op(0x020A)
                                        .op(0x021D).op(0x0004).op(0x021C).op(0x0004)
                                        .item("Form").text("Group").op(0x020A).op(0x021C)
                                        .end().bytes;
    const FormulaValue group = FormulaValue::text("Group");
    EXPECT_TRUE(selects(serverAccess, {{"type", group}, {"form", group}}));  // a group of an older release
    EXPECT_TRUE(selects(serverAccess, {{"type", group}, {"form", group}, {"grouptype", FormulaValue::text("2")}}));
    EXPECT_FALSE(selects(serverAccess, {{"type", group}, {"form", group}, {"grouptype", FormulaValue::text("1")}}));
    // An item that is there but empty is available.
    EXPECT_FALSE(selects(serverAccess, {{"type", group}, {"form", group}, {"grouptype", FormulaValue::text("")}}));
    EXPECT_FALSE(selects(serverAccess, {{"type", FormulaValue::text("Person")}, {"form", group}}));
    QString problem;
    EXPECT_FALSE(compile(Code().text("GroupType").op(0x0159).end().bytes, problem));
    EXPECT_EQ(problem, "@IsUnavailable at 14 has no item name");
}

TEST(NsfViews, ContainsSelectsEveryValueThatHoldsThePart) {
    // @Contains(Form; "Archive"): both archiving forms, exact case, any value of a list.
    const QByteArray archive = Code().item("Form").text("Archive").op(0x0247).end().bytes;
    EXPECT_TRUE(selects(archive, {{"form", FormulaValue::text("Archive Profile")}}));
    EXPECT_TRUE(selects(archive, {{"form", FormulaValue::text("Archive Log")}}));
    EXPECT_TRUE(selects(archive, {{"form", FormulaValue::texts({"Memo", "Archive Log"})}}));
    EXPECT_FALSE(selects(archive, {{"form", FormulaValue::text("archive log")}}));
    EXPECT_FALSE(selects(archive, {{"form", FormulaValue::text("Arch")}}));
    EXPECT_FALSE(selects(archive, {}));
    // (@Contains(Country; "USA")) with its parenthesis marker: "US" is not "USA".
    const QByteArray usa = Code().item("Country").text("USA").op(0x0247).op(0x0004).end().bytes;
    EXPECT_TRUE(selects(usa, {{"country", FormulaValue::text("USA")}}));
    EXPECT_FALSE(selects(usa, {{"country", FormulaValue::text("US")}}));
    QString problem;
    EXPECT_FALSE(compile(Code().text("USA").op(0x0247).end().bytes, problem));
    EXPECT_TRUE(problem.contains("lacks its operands")) << problem.toStdString();
}

TEST(NsfViews, AttachmentsCountsTheFilesTheDriverGives) {
    const QByteArray withFiles = Code().op(0x0072).end().bytes;
    QString problem;
    auto f = compile(withFiles, problem);
    ASSERT_TRUE(f) << problem.toStdString();
    // The formula asks for the count under a name no item can have.
    EXPECT_EQ(f->itemNames(), QStringList{store::formula::FormulaExpression::kAttachmentCount});
    EXPECT_TRUE(selects(withFiles, {{"@attachments", FormulaValue::number(2)}}));
    EXPECT_FALSE(selects(withFiles, {{"@attachments", FormulaValue::number(0)}}));
    EXPECT_FALSE(selects(withFiles, {}));
    EXPECT_EQ(f->evaluate([](const QString&) { return nullptr; }).numberList(), std::vector<double>{0});
}

TEST(NsfViews, NowIsTheCurrentTimeAndSelectsNothing) {
    QString problem;
    auto f = compile(Code().op(0x002C).end().bytes, problem);
    ASSERT_TRUE(f) << problem.toStdString();
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const FormulaValue v = f->evaluate([](const QString&) { return nullptr; });
    ASSERT_EQ(v.kind(), FormulaValue::Kind::Time);
    ASSERT_EQ(v.size(), 1);
    EXPECT_GE(v.timeList()[0].instantMs(), before - 1000);
    EXPECT_LE(v.timeList()[0].instantMs(), QDateTime::currentMSecsSinceEpoch() + 1000);
    EXPECT_FALSE(f->selects([](const QString&) { return nullptr; }));  // a date/time is not true
}

TEST(NsfViews, CompiledCodeCarriesNumbersKeywordsAndTwoOperandJumps) {
    LmbcsConverter lmbcs;
    // @If(@IsAvailable(ListName); @Name([CN]; ListName); "") as a column stores it:
    // the conditional jump has two operands, the keyword eight bytes, and the
    // item name ends at a NUL before bytes the compiler keeps for itself.
    Code c;
    c.item("ListName").op(0x0168).op(0x00AF);
    QByteArray two(4, 0);
    MiniNsf::put16(two, 0, 42);
    MiniNsf::put16(two, 2, 30);
    c.bytes += two;
    c.op(0x0002);
    c.bytes += QByteArray("\x05\0\0\0\0\0\0\0", 8);
    c.operand(0x0005, QByteArray("ListName\0\x2d\xba\x55\0", 13));
    c.op(0x02B4).op(0x00AE);
    c.bytes += QByteArray("\x0c\0", 2);
    c.text("").op(0x00AE);
    c.bytes += QByteArray("\x04\0", 2);
    c.op(0x03B5).number(1.5).end();
    std::vector<CompiledFormula::Token> tokens;
    QString e;
    ASSERT_TRUE(CompiledFormula::tokenize(ByteView(c.bytes.constData(), size_t(c.bytes.size())), lmbcs, tokens, e))
        << e.toStdString();
    std::vector<uint16_t> opcodes;
    for (const auto& t : tokens) opcodes.push_back(t.opcode);
    EXPECT_EQ(opcodes, (std::vector<uint16_t>{0x0005, 0x0168, 0x00AF, 0x0002, 0x0005, 0x02B4, 0x00AE, 0x0001,
                                              0x00AE, 0x03B5, 0x0000, 0x0003}));
    EXPECT_EQ(tokens[2].operand, 42);
    EXPECT_EQ(tokens[4].text, "ListName");
    EXPECT_EQ(tokens[10].number, 1.5);
    // A cut keyword or conditional jump is refused.
    QByteArray cut = Code().op(0x0002).bytes + QByteArray(6, 0);
    EXPECT_FALSE(CompiledFormula::tokenize(ByteView(cut.constData(), size_t(cut.size())), lmbcs, tokens, e));
    EXPECT_EQ(e, "the keyword at 0 is cut short");
    cut = Code().op(0x00AF).bytes + QByteArray(2, 0);
    EXPECT_FALSE(CompiledFormula::tokenize(ByteView(cut.constData(), size_t(cut.size())), lmbcs, tokens, e));
    EXPECT_EQ(e, "the jump at 0 is cut short");
    // A column of one item reference names it without the compiler's bytes.
    const QByteArray column =
        columnFormula("Name", Code().operand(0x0005, QByteArray("Subject\0\x11\x22", 10)).end().bytes);
    EXPECT_EQ(CompiledFormula::singleItem(ByteView(column.constData(), size_t(column.size())), lmbcs), "Subject");
}

TEST(NsfViews, CompiledFormulasThatCannotBeEvaluatedSayWhy) {
    QString problem;
    EXPECT_FALSE(compile(Code().item("Form").text("Memo").op(0x0256).end().bytes, problem));
    EXPECT_EQ(problem, "opcode 0x0256 at 16 of the compiled formula is not known");
    EXPECT_FALSE(compile(Code().item("Form").op(0x020A).end().bytes, problem));
    EXPECT_TRUE(problem.contains("lacks its operands")) << problem.toStdString();
    EXPECT_FALSE(compile(Code().item("Form").item("Subject").end().bytes, problem));
    EXPECT_TRUE(problem.contains("leaves 2 values")) << problem.toStdString();
    EXPECT_FALSE(compile(Code().text("x").op(0x0168).end().bytes, problem));
    EXPECT_TRUE(problem.contains("@IsAvailable")) << problem.toStdString();
    // Operands running past the code, code without an end.
    QByteArray cut = Code().item("Form").bytes;
    cut.chop(2);
    EXPECT_FALSE(compile(cut, problem));
    EXPECT_TRUE(problem.contains("runs past the code")) << problem.toStdString();
    EXPECT_FALSE(compile(Code().number(1).bytes.left(6), problem));
    EXPECT_FALSE(compile(Code().op(0x0066).bytes, problem));
    EXPECT_EQ(problem, "the formula code has no end");
    // Nesting deeper than the evaluator takes is refused, not evaluated.
    Code deep;
    deep.item("a");
    for (int i = 0; i < 300; ++i) deep.item("a").op(0x021C);
    EXPECT_FALSE(compile(deep.end().bytes, problem));
    EXPECT_EQ(problem, "the compiled formula is nested too deeply");
    // Records that do not fit the value.
    LmbcsConverter lmbcs;
    QByteArray value = formulaValue(Code().op(0x0066).end().bytes);
    MiniNsf::put16(value, 0, uint16_t(value.size() + 10));
    EXPECT_FALSE(CompiledFormula::selection(ByteView(value.constData(), size_t(value.size())), lmbcs, problem));
    EXPECT_TRUE(problem.contains("does not fit")) << problem.toStdString();
    value = formulaValue(Code().op(0x0066).end().bytes);
    MiniNsf::put16(value, 8, 0);
    MiniNsf::put16(value, 10, 200);
    EXPECT_FALSE(CompiledFormula::selection(ByteView(value.constData(), size_t(value.size())), lmbcs, problem));
    EXPECT_TRUE(problem.contains("impossible length")) << problem.toStdString();
}

TEST(NsfViews, ViewFormatFindsTheFirstSortedColumnThatShowsAnItem) {
    LmbcsConverter lmbcs;
    const QByteArray v = viewFormat({{"Date", 0}, {"$1", ViewFormat::kSort}, {"Subject", ViewFormat::kSort | 4}});
    ViewFormat vf;
    QString e;
    ASSERT_TRUE(vf.parse(ByteView(v.constData(), size_t(v.size())), lmbcs, e)) << e.toStdString();
    ASSERT_EQ(vf.columns().size(), 3u);
    EXPECT_EQ(vf.columns()[1].title, "Title of $1");
    EXPECT_TRUE(vf.columns()[1].shownItem.isEmpty());  // computed
    ASSERT_TRUE(vf.sortColumn());
    EXPECT_EQ(vf.sortColumn()->shownItem, "Subject");
    const QByteArray cut = v.left(v.size() - 3);
    EXPECT_FALSE(vf.parse(ByteView(cut.constData(), size_t(cut.size())), lmbcs, e));
    EXPECT_EQ(e, "column 3 of the view format runs past it");
}

TEST(NsfViews, StoredIndexReadsItsIdTableAfterFormulaAndCollation) {
    std::vector<uint32_t> ids;
    QString e;
    for (bool filler : {false, true}) {
        const QByteArray p = collection({0x8F6, 0x902}, filler);
        ASSERT_TRUE(ViewCollection::readIds(ByteView(p.constData(), size_t(p.size())), ids, e)) << e.toStdString();
        EXPECT_EQ(ids, (std::vector<uint32_t>{0x8F6, 0x902}));
    }
    QByteArray p = collection({0x8F6});
    MiniNsf::put16(p, 2, 0x99);
    EXPECT_FALSE(ViewCollection::readIds(ByteView(p.constData(), size_t(p.size())), ids, e));
    EXPECT_EQ(e, "the view index has a layout not known (0x99)");
    p = collection({0x8F6});
    p.truncate(170);
    EXPECT_FALSE(ViewCollection::readIds(ByteView(p.constData(), size_t(p.size())), ids, e));
    p = collection({0x8F6, 0x902});
    MiniNsf::put32(p, p.size() - 7 - 5 + 1, 0x800);  // runs out of order
    EXPECT_FALSE(ViewCollection::readIds(ByteView(p.constData(), size_t(p.size())), ids, e));
    EXPECT_EQ(e, "the view index's ID table does not decode");
}

TEST(NsfViews, EntriesComeFromTheFormulaThenTheStoredIndexThenNone) {
    MiniNsf mini;
    mini.notes = {doc(0x8F6, "Memo", "b"), doc(0x8FA, "Task", "a"), doc(0x8FE, "Memo", "A"),
                  doc(0x902, "Memo", QByteArray())};
    const QByteArray memoCode = Code().item("Form").text("Memo").op(0x020A).end().bytes;
    // 1: evaluable, with a stale index that must not be used; sorted by Subject.
    MiniNsf::Note byFormula = view(0x906, "Memos", memoCode, {{"Subject", ViewFormat::kSort}});
    byFormula.items.push_back(objectItem("$Collection", 1, 0x91A));
    // 2: an opcode not known, an index: the index, with a warning; descending.
    MiniNsf::Note byIndex = view(0x90A, "Stale", Code().item("Form").op(0x0256).end().bytes,
                                 {{"Subject", ViewFormat::kSort | ViewFormat::kSortDescending}});
    byIndex.items.push_back(objectItem("$Collection", 1, 0x91E));
    // 3: neither.
    MiniNsf::Note none = view(0x90E, "Nothing", Code().item("Form").op(0x0256).end().bytes);
    // 4: an index that does not decode.
    MiniNsf::Note broken = view(0x912, "Broken", Code().item("Form").op(0x0256).end().bytes);
    broken.items.push_back(objectItem("$Collection", 1, 0x922));
    // 5: no columns, @All: note ID order.
    MiniNsf::Note all = view(0x916, "All", Code().op(0x0066).end().bytes);
    mini.notes.insert(mini.notes.end(), {byFormula, byIndex, none, broken, all});
    mini.objects.push_back({0x91A, collection({0x8F6})});
    mini.objects.push_back({0x91E, collection({0x8F6, 0x8FA, 0x8FE, 0xFFE})});  // 0xFFE: gone since
    QByteArray bad = collection({0x8F6});
    MiniNsf::put16(bad, 2, 0x99);
    mini.objects.push_back({0x922, bad});
    auto st = openStore(mini);
    ASSERT_TRUE(st);
    const auto folders = st->folders();
    ASSERT_EQ(folders.size(), 5u);
    std::vector<uint32_t> ids;

    EXPECT_TRUE(folders[0].problem.isEmpty()) << folders[0].problem.toStdString();
    ASSERT_TRUE(st->folderEntries(0, ids).ok());
    // Missing Subject first, then "A" and "b" (case-blind), "A" before "b".
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x902, 0x8FE, 0x8F6}));

    EXPECT_EQ(folders[1].problem,
              "the selection formula cannot be evaluated (opcode 0x0256 at 8 of the compiled formula is not "
              "known); the entries come from the stored view index, which may be older than the data");
    ASSERT_TRUE(st->folderEntries(1, ids).ok());
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x8F6, 0x8FA, 0x8FE}));  // "b", then "a" and "A" tie: by note ID

    EXPECT_EQ(folders[2].problem,
              "the view lists no entries: opcode 0x0256 at 8 of the compiled formula is not known; no stored index");
    EXPECT_EQ(st->folderEntries(2, ids).status, store::StatusUnsupportedFormula);
    EXPECT_TRUE(ids.empty());

    EXPECT_TRUE(folders[3].problem.contains("the stored index cannot be read: the view index has a layout not known"))
        << folders[3].problem.toStdString();
    EXPECT_EQ(st->folderEntries(3, ids).status, store::StatusUnsupportedFormula);

    ASSERT_TRUE(st->folderEntries(4, ids).ok());
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x8F6, 0x8FA, 0x8FE, 0x902}));
}

TEST(NsfViews, AViewOfDocumentsWithAttachmentsAndANavigator) {
    MiniNsf mini;
    MiniNsf::Note withFile = doc(0x8F6, "Memo", "files");
    withFile.items.push_back(objectItem("$FILE", 0x0019, 0x920));
    withFile.items.push_back(objectItem("$FILE", 0x0019, 0x924));
    mini.notes = {withFile, doc(0x8FA, "Memo", "none")};
    MiniNsf::Note attachments = view(0x906, "Attachments", Code().op(0x0072).end().bytes);
    MiniNsf::Note navigator = view(0x90A, "Main Navigator", QByteArray());
    navigator.items[1].value = "G3";
    mini.notes.insert(mini.notes.end(), {attachments, navigator});
    auto st = openStore(mini);
    ASSERT_TRUE(st);
    const auto folders = st->folders();
    ASSERT_EQ(folders.size(), 2u);
    std::vector<uint32_t> ids;
    EXPECT_TRUE(folders[0].problem.isEmpty()) << folders[0].problem.toStdString();
    ASSERT_TRUE(st->folderEntries(0, ids).ok());
    EXPECT_EQ(ids, (std::vector<uint32_t>{0x8F6}));
    // A navigator is a map of the views: no entries, and no failure.
    EXPECT_EQ(folders[1].problem, "a navigator, which lists no documents");
    ASSERT_TRUE(st->folderEntries(1, ids).ok());
    EXPECT_TRUE(ids.empty());
}

// Paragraph margins and table widths of CD records, with the values the shared
// samples hold, and what the RTF writer makes of them.
#include "notes/nsf/CdTextExtractor.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/PabDefinition.h"
#include "rtf/RtfWriter.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <initializer_list>

using store::RtParagraphStyle;

namespace {

QByteArray le16(uint32_t v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); }

// A record with a WSIG (4-byte) or BSIG (2-byte) header.
QByteArray wsig(uint8_t sig, const QByteArray& payload) {
    QByteArray r = QByteArray(1, char(sig)) + char(0xFF) + le16(uint32_t(4 + payload.size())) + payload;
    if (r.size() % 2) r += char(0);
    return r;
}
QByteArray bsig(uint8_t sig, const QByteArray& payload) {
    QByteArray r = QByteArray(1, char(sig)) + char(2 + payload.size()) + payload;
    if (r.size() % 2) r += char(0);
    return r;
}

struct Pab {
    uint16_t id = 1;
    uint16_t left = 1440, right = 0, firstLine = 1440;
    uint16_t spacingBefore = 0;
    uint16_t flags = 0x0100;
    uint16_t flags2 = 0;
    std::vector<uint16_t> marginWords;  // empty: the Release 4 form (70 bytes)
};

// `tabs`: at most 20 stops.
QByteArray pabRecord(const Pab& p, const std::vector<int16_t>& tabs = {}) {
    QByteArray b = le16(p.id) + le16(0) + le16(0) + le16(p.spacingBefore) + le16(0) + le16(p.left) + le16(p.right) +
                   le16(p.firstLine) + le16(uint32_t(tabs.size()));
    for (int16_t t : tabs) b += le16(uint16_t(t));
    b += QByteArray(int(40 - 2 * tabs.size()), 0) + le16(p.flags) + QByteArray(4, 0) + le16(p.flags2);
    for (uint16_t w : p.marginWords) b += le16(w);
    if (!p.marginWords.empty()) b += QByteArray(8, 0);  // the extended flags of a 90-byte record
    return wsig(0x82, b);
}

nsf::PabDefinition definition(const Pab& p, const std::vector<int16_t>& tabs = {}) {
    const QByteArray r = pabRecord(p, tabs);
    nsf::PabDefinition d;
    EXPECT_TRUE(d.read(nsf::ByteView(r.constData(), size_t(r.size()))));
    return d;
}

QByteArray pabReference(uint16_t id) { return bsig(0x83, le16(id)); }
QByteArray paragraph() { return bsig(0x81, {}); }
QByteArray text(const QByteArray& t) { return wsig(0x85, QByteArray("\x00\x00\x00\x0a", 4) + t); }
QByteArray tableBegin(uint16_t leftMargin, uint16_t flags) {
    return bsig(0xA3, le16(leftMargin) + le16(60) + le16(60) + le16(0) + le16(0) + le16(flags));
}
QByteArray tableCell(uint8_t row, uint8_t column, uint16_t left, uint16_t right, uint16_t fraction) {
    return bsig(0xA4, QByteArray(1, char(row)) + char(column) + le16(left) + le16(right) + le16(fraction) +
                          QByteArray("\x55\x02\x11\x11\x01\x01\x00\x00", 8));
}
QByteArray tableEnd() { return bsig(0xA5, QByteArray(4, 0)); }

std::vector<store::RtBlock> extract(const QByteArray& records) {
    nsf::LmbcsConverter lmbcs;
    nsf::CdTextExtractor x(lmbcs, {});
    x.addPart(nsf::ByteView(records.constData(), size_t(records.size())));
    return x.finish();
}

QByteArray bestRtf(const std::vector<store::RtBlock>& blocks) {
    store::RichTextDoc doc;
    doc.blocks = blocks;
    return rtf::RtfWriter(rtf::RtfQuality::Best).write(doc);
}

const store::RtTable* firstTable(const std::vector<store::RtBlock>& blocks) {
    for (const auto& b : blocks)
        if (b.table) return b.table.get();
    return nullptr;
}

std::vector<int> controlValues(const QByteArray& rtf, const char* word) {
    std::vector<int> values;
    const QRegularExpression re(QStringLiteral("\\\\%1(-?\\d+)").arg(QLatin1String(word)));
    for (auto it = re.globalMatch(QString::fromLatin1(rtf)); it.hasNext();) values.push_back(it.next().captured(1).toInt());
    return values;
}

void expectIndents(const RtParagraphStyle& s, int left, int first, int right, int leftPct = 0, int rightPct = 0) {
    EXPECT_EQ(s.leftIndent, left);
    EXPECT_EQ(s.firstLineIndent, first);
    EXPECT_EQ(s.rightIndent, right);
    EXPECT_EQ(s.leftIndentPercent, leftPct);
    EXPECT_EQ(s.rightIndentPercent, rightPct);
}

}  // namespace

// Release 5 definitions end in six margin words; Flags2 says which one holds
// for each edge, or that it is the default. The older fields then hold what
// one window showed and must not become indents.
TEST(CdLayout, MarginWordsAndFlagsGiveTheIndentsNotTheWindowsValues) {
    // sample.nsf: every margin the default, the old fields 3.1 and 16.1 inches.
    Pab sample{1, 4474, 23235, 4474, 0, 0x0186, 0x8754, {0, 0, 0, 0, 0, 0}};
    expectIndents(definition(sample).styleFor(nullptr), 0, 0, 0);

    // apiug.nsf body text: offsets from the paper (one inch is no indent), the right margin default.
    Pab body{1, 1440, 0, 1440, 0, 0x0100, 0x8494, {1440, 12, 1440, 12, 0, 0}};
    expectIndents(definition(body).styleFor(nullptr), 0, 0, 0);
    body.marginWords = {2160, 18, 2160, 18, 0, 0};
    expectIndents(definition(body).styleFor(nullptr), 720, 0, 0);
    body.marginWords = {1800, 15, 1440, 12, 0, 0};  // a hanging first line
    expectIndents(definition(body).styleFor(nullptr), 360, -360, 0);
    body.marginWords = {360, 0, 360, 16, 10440, 100};  // left of the page margin: outside the text area
    body.flags2 = 0x8094;
    EXPECT_LT(definition(body).styleFor(nullptr).leftIndent, 0);

    // A right margin at 90% of the width: a tenth of it is indent.
    Pab ninety{1, 1440, 0, 1440, 0, 0x0100, 0x8094, {1440, 12, 1440, 12, 10800, 90}};
    expectIndents(definition(ninety).styleFor(nullptr), 0, 0, 0, 0, 10);

    // apiug.nsf code boxes: percentages of the cell (0% to 100%), the old fields
    // where the cell lay in a window 15 inches wide.
    const nsf::PabDefinition::CellFrame box{1620, 22665};
    Pab code{1, 1635, 22665, 1635, 0, 0x0186, 0x80a8, {40, 0, 40, 0, 10520, 100}};
    expectIndents(definition(code).styleFor(&box), 0, 0, 0);
    code.marginWords = {40, 1, 40, 1, 5060, 99};
    expectIndents(definition(code).styleFor(&box), 0, 0, 0, 1, 1);
    // Offsets in a cell count from the cell.
    Pab cellOffset{1, 1635, 22665, 1635, 0, 0x0186, 0x8454, {15, 0, 15, 0, 0, 0}};
    expectIndents(definition(cellOffset).styleFor(&box), 15, 0, 0);
}

TEST(CdLayout, OlderDefinitionsCountFromThePaperAndTheirRightMarginOnlyInTables) {
    // notedata_hierarch.nsf: left 1.25 in on the paper, a right margin the body ignores.
    const Pab hierarch{1, 1800, 10080, 1800, 0, 0x0000, 0, {}};
    expectIndents(definition(hierarch).styleFor(nullptr), 360, 0, 0);
    // notedata_ftsearch.nsf: a bullet hanging an eighth of an inch out.
    const Pab bullet{1, 1800, 0, 1620, 0, 0x0100, 0, {}};
    expectIndents(definition(bullet).styleFor(nullptr), 360, -180, 0);
    // In a cell the positions count from the cell's left edge; the right margin
    // (a position too) is the cell's width less it.
    const nsf::PabDefinition::CellFrame cell{1620, 6570};
    const Pab inCell{1, 1710, 5000, 1710, 0, 0x0080, 0, {}};
    const RtParagraphStyle s = definition(inCell).styleFor(&cell);
    expectIndents(s, 90, 0, -3380, 0, 100);
    // Spacing counts in half lines.
    const Pab spaced{1, 1440, 0, 1440, 2, 0, 0, {}};
    EXPECT_EQ(definition(spaced).styleFor(nullptr).spaceBefore, 240);
}

// A code box of apiug.nsf: a one-column table sized to the window. Before, its
// paragraphs came out as \li1635\ri22665 in a cell 9000 twips wide.
TEST(CdLayout, CodeBoxIsACellAsWideAsThePageWithItsTextUnindented) {
    const QByteArray records =
        pabRecord({1, 1440, 0, 1440, 0, 0x0100, 0x8494, {1440, 12, 1440, 12, 0, 0}}) +
        pabRecord({2, 1635, 22665, 1635, 0, 0x0186, 0x80a8, {40, 0, 40, 0, 10520, 100}}) + paragraph() +
        pabReference(1) + text("Before the box.") + tableBegin(1440, 0x0003) + tableCell(0, 0, 1620, 22665, 28800) +
        paragraph() + pabReference(2) + text("STATUS LNPUBLIC NSFNoteOpen(DBHANDLE hDb, NOTEID id);") + paragraph() +
        text("  /* the same style goes on */") + tableEnd() + paragraph() + pabReference(1) + text("After.");
    const auto blocks = extract(records);
    const store::RtTable* table = firstTable(blocks);
    ASSERT_TRUE(table);
    const auto& cell = table->rows.at(0).cells.at(0);
    ASSERT_GE(cell.blocks.size(), 2u);
    for (const auto& b : cell.blocks) expectIndents(b.style, 0, 0, 0);

    const QByteArray rtf = bestRtf(blocks);
    EXPECT_EQ(controlValues(rtf, "cellx"), std::vector<int>{rtf::RtfWriter::PageTextTwips}) << rtf.constData();
    EXPECT_TRUE(controlValues(rtf, "li").empty()) << rtf.constData();
    EXPECT_TRUE(controlValues(rtf, "ri").empty()) << rtf.constData();
}

// Cell widths: a fixed table keeps its cells' widths (apiug's two-column
// tables), one sized to the window shares the page by its cells' fractions.
TEST(CdLayout, TableCellsKeepTheirWidthsOrTheirSharesOfThePage) {
    const QByteArray fixed = tableBegin(1800, 0x0002) + tableCell(0, 0, 1800, 4680, 0) + text("Item") +
                             tableCell(0, 1, 4680, 6570, 0) + text("Type") + tableEnd();
    auto blocks = extract(fixed);
    ASSERT_TRUE(firstTable(blocks));
    const auto& row = firstTable(blocks)->rows.at(0);
    EXPECT_EQ(row.cells.at(0).widthTwips, 2880);
    EXPECT_EQ(row.cells.at(1).widthTwips, 1890);
    QByteArray rtf = bestRtf(blocks);
    EXPECT_EQ(controlValues(rtf, "cellx"), (std::vector<int>{2880, 4770})) << rtf.constData();

    // apiug.nsf's item tables: spacer columns between the real ones, 16 inches of window.
    const QByteArray window = tableBegin(1440, 0x0003) + tableCell(0, 0, 1440, 1721, 378) +
                              tableCell(0, 1, 1721, 4125, 3230) + text("$AlarmDescription") +
                              tableCell(0, 2, 4125, 4406, 378) + tableCell(0, 3, 4406, 9253, 6513) +
                              text("Date/Time") + tableCell(0, 4, 9253, 14100, 6513) +
                              text("The text to display when the alarm triggers.") +
                              tableCell(0, 5, 14100, 18947, 6513) + tableCell(0, 6, 18947, 19228, 378) +
                              tableCell(0, 7, 19228, 22593, 4521) + tableCell(0, 8, 22593, 22874, 378) + tableEnd();
    blocks = extract(window);
    rtf = bestRtf(blocks);
    const std::vector<int> right = controlValues(rtf, "cellx");
    ASSERT_EQ(right.size(), 9u) << rtf.constData();
    EXPECT_EQ(right.back(), rtf::RtfWriter::PageTextTwips);
    int previous = 0;
    for (int r : right) {
        EXPECT_GT(r - previous, 2 * rtf::RtfWriter::CellGapTwips) << rtf.constData();
        previous = r;
    }
    // The wide columns stay wider than the spacers, in the window's proportions.
    EXPECT_GT(right[3] - right[2], 3 * (right[2] - right[1]));
}

TEST(CdLayout, TabStopsCountFromTheLeftMarginAndStayOnTheLine) {
    // A code box's stops as apiug.nsf keeps them; a negative, a repeated and
    // an out-of-order stop are dropped.
    const RtParagraphStyle style = definition(Pab(), {720, 1440, -5, 1440, 1000, 2160, 12240}).styleFor(nullptr);
    EXPECT_EQ(style.tabStops, (std::vector<int>{720, 1440, 2160, 12240}));
    store::RichTextDoc doc;
    store::RtBlock block;
    block.style = style;
    store::RtRun run;
    run.text = QStringLiteral("a");
    block.runs.push_back(run);
    doc.blocks.push_back(block);
    const QByteArray rtf = rtf::RtfWriter(rtf::RtfQuality::Best).write(doc);
    EXPECT_TRUE(rtf.contains("\\tx720\\tx1440\\tx2160")) << rtf.toStdString();
    // 12240 twips is past the end of a Letter or A4 line.
    EXPECT_FALSE(rtf.contains("\\tx12240")) << rtf.toStdString();
}

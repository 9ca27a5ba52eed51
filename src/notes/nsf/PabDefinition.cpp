#include "notes/nsf/PabDefinition.h"

#include "notes/store/NotesMargins.h"

#include <algorithm>

namespace nsf {
namespace {

// PABFLAG_xxx (Flags)
constexpr uint16_t kFlagDisplayRightMargin = 0x0080;  // before Release 5: the right margin holds (in tables)
constexpr uint16_t kFlagBullet = 0x0400;
constexpr uint16_t kFlagNumbered = 0x1000;

// PABFLAG2_xxx (Flags2): which margin word holds, per edge.
constexpr uint16_t kLeftOffset = 0x0004, kLeftPercent = 0x0008;
constexpr uint16_t kFirstOffset = 0x0010, kFirstPercent = 0x0020;
constexpr uint16_t kRightOffset = 0x0040, kRightPercent = 0x0080;
constexpr uint16_t kLeftDefault = 0x0100, kFirstDefault = 0x0200, kRightDefault = 0x0400;

// Fields after the WSIG header (offsets from the record's start).
constexpr int kOffsetTabCount = 20;     // WORD, then up to 20 tab positions (SWORD, twips)
constexpr int kOffsetTabs = 22;
constexpr int kMaxTabs = 20;
constexpr int kOffsetMarginWords = 70;  // six WORDs, present from Release 5 on
constexpr int kLengthWithMarginWords = kOffsetMarginWords + 12;

// Paragraph spacing counts in half lines (0 single, 1 one and a half, 2 double);
// a line of 12 points is 240 twips.
int spacingTwips(uint16_t halfLines) { return std::min<int>(halfLines, 20) * 120; }

}  // namespace

bool PabDefinition::read(ByteView b) {
    if (b.size() < size_t(MinimumLength)) return false;
    m_id = b.u16(4);
    m_base = store::RtParagraphStyle();
    switch (b.u16(6)) {
        case 1: m_base.align = store::RtAlign::Right; break;
        case 2: m_base.align = store::RtAlign::Justify; break;
        case 3: m_base.align = store::RtAlign::Center; break;
        case 4: m_base.align = store::RtAlign::NoWrap; break;
        default: m_base.align = store::RtAlign::Left; break;
    }
    m_base.spaceBefore = spacingTwips(b.u16(10));
    m_base.spaceAfter = spacingTwips(b.u16(12));
    m_left = b.u16(14);
    m_right = b.u16(16);
    m_firstLine = b.u16(18);
    m_flags = b.u16(62);
    m_flags2 = b.u16(68);
    // Tab stops count from the left margin (the samples' code boxes keep the
    // default half-inch stops, 720, beside a left margin of 1440 from the paper).
    const int tabs = std::min<int>(b.u16(kOffsetTabCount), kMaxTabs);
    for (int i = 0; i < tabs; ++i) {
        const int at = int16_t(b.u16(kOffsetTabs + 2 * i));
        if (at > 0 && b.has(uint64_t(kOffsetTabs + 2 * i), 2) &&
            (m_base.tabStops.empty() || at > m_base.tabStops.back()))
            m_base.tabStops.push_back(at);
    }
    m_base.bullet = m_flags & kFlagBullet;
    m_base.numbered = m_flags & kFlagNumbered;
    m_hasMarginWords = b.size() >= size_t(kLengthWithMarginWords);
    for (int i = 0; i < 6; ++i) m_margin[i] = m_hasMarginWords ? b.u16(kOffsetMarginWords + 2 * i) : 0;
    return true;
}

store::RtParagraphStyle PabDefinition::styleFor(const CellFrame* cell) const {
    using Edge = store::NotesMargins::Edge;
    // The older fields count from the paper even in a table; inside a cell they
    // are taken from the cell's left edge.
    const auto legacy = [&](int twips) {
        if (cell && cell->left > 0 && twips >= cell->left) twips -= cell->left;
        return Edge::twips(twips);
    };
    const auto pick = [&](uint16_t defaultBit, uint16_t percentBit, uint16_t offsetBit, int word, Edge old) {
        if (!m_hasMarginWords) return old;
        if (m_flags2 & defaultBit) return Edge();
        if (m_flags2 & percentBit) return Edge::percent(m_margin[word + 1]);
        if (m_flags2 & offsetBit) return Edge::twips(m_margin[word]);
        return old;
    };

    store::NotesMargins margins;
    margins.left = pick(kLeftDefault, kLeftPercent, kLeftOffset, 0, legacy(m_left));
    margins.firstLine = pick(kFirstDefault, kFirstPercent, kFirstOffset, 2, legacy(m_firstLine));
    Edge oldRight;  // before Release 5 only a paragraph in a table has one
    if (cell && (m_flags & kFlagDisplayRightMargin) && m_right > 0) oldRight = legacy(m_right);
    margins.right = pick(kRightDefault, kRightPercent, kRightOffset, 4, oldRight);
    if (margins.right.kind == Edge::Kind::Twips && margins.right.value == 0) margins.right = Edge();  // 0: the default

    store::RtParagraphStyle style = m_base;
    margins.applyTo(style, cell != nullptr);
    return style;
}

}  // namespace nsf

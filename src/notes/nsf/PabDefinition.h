#pragma once

#include "notes/nsf/ByteView.h"
#include "richtext/RichTextModel.h"

#include <cstdint>

namespace nsf {

// One CDPABDEFINITION: a paragraph style of a rich-text field. Its margins are
// kept as stored and turned into indents only where a paragraph uses the style,
// since they count from the paper in the body and from the cell in a table.
//
// Margins come in two forms. Since Release 5 the record may end in six margin
// words (left, first line and right, each in twips and in percent) and Flags2
// says for each edge which of them holds, or that the edge is the default; the
// older fields then hold what one window showed when the document was saved
// (inches beyond any page) and are not used. Without those words the older
// fields hold: left and first-line margins in twips from the paper's edge, and
// a right margin that only means something inside a table.
class PabDefinition {
public:
    // Where a table cell lies on the paper (CDTABLECELL's margins), in twips.
    struct CellFrame {
        int left = 0;
        int right = 0;
    };

    // The definition in `record` (WSIG header included); false when it is too
    // short to be one.
    bool read(ByteView record);

    uint16_t id() const { return m_id; }
    // The style for a paragraph in the body (cell null) or in a table cell.
    store::RtParagraphStyle styleFor(const CellFrame* cell) const;

    static constexpr int MinimumLength = 22;

private:
    uint16_t m_id = 0;
    store::RtParagraphStyle m_base;  // alignment, spacing, list marks
    uint16_t m_left = 0;
    uint16_t m_right = 0;
    uint16_t m_firstLine = 0;
    uint16_t m_flags = 0;
    uint16_t m_flags2 = 0;
    bool m_hasMarginWords = false;
    uint16_t m_margin[6] = {};
};

}  // namespace nsf

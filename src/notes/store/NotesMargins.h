#pragma once

#include "richtext/RichTextModel.h"

namespace store {

// A Notes paragraph's horizontal margins as Notes keeps them: each edge is a
// position measured from the left edge of what the paragraph sits in, in twips
// or as a percentage of its width, or left to the default. In the body that is
// the paper, whose text area starts one inch in (the default left margin) and
// ends one inch before the right edge; in a table cell it is the cell. The
// right margin is a position from the left too (100% is the default), not a
// distance from the right.
class NotesMargins {
public:
    struct Edge {
        enum class Kind { Default, Twips, Percent };
        Kind kind = Kind::Default;
        int value = 0;

        static Edge twips(int v) { return {Kind::Twips, v}; }
        static Edge percent(int v) { return {Kind::Percent, v}; }
    };

    Edge left;
    Edge firstLine;  // Default: where the other lines start
    Edge right;

    // Notes' default left margin on the paper, one inch.
    static constexpr int PageMarginTwips = 1440;

    // Sets the style's indents (left, first line, right, in twips and in
    // percent of the text area) for a paragraph in the body or in a table cell.
    void applyTo(RtParagraphStyle& style, bool inCell) const;
};

}  // namespace store

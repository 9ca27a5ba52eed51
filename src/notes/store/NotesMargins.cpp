#include "notes/store/NotesMargins.h"

#include <algorithm>

namespace store {
namespace {

// An edge as an offset from the left edge of the text area: twips plus percent
// of the area's width. `fallback` stands for Default.
struct Offset {
    int twips = 0;
    int percent = 0;
};

Offset leftOffset(const NotesMargins::Edge& e, bool inCell, const Offset& fallback) {
    using Kind = NotesMargins::Edge::Kind;
    switch (e.kind) {
        case Kind::Twips: return {inCell ? e.value : e.value - NotesMargins::PageMarginTwips, 0};
        case Kind::Percent: return {0, std::clamp(e.value, 0, 100)};
        case Kind::Default: break;
    }
    return fallback;
}

}  // namespace

void NotesMargins::applyTo(RtParagraphStyle& style, bool inCell) const {
    const Offset l = leftOffset(left, inCell, {});
    const Offset f = leftOffset(firstLine, inCell, l);
    style.leftIndent = l.twips;
    style.leftIndentPercent = l.percent;
    style.firstLineIndent = f.twips - l.twips;
    style.firstLineIndentPercent = f.percent - l.percent;

    // The right edge counts from the left: the indent from the right edge of
    // the text area is the area's whole width less the position.
    style.rightIndent = 0;
    style.rightIndentPercent = 0;
    switch (right.kind) {
        case Edge::Kind::Twips:
            if (right.value > 0) {
                style.rightIndent = (inCell ? 0 : PageMarginTwips) - right.value;
                style.rightIndentPercent = 100;
            }
            break;
        case Edge::Kind::Percent:
            if (right.value > 0) style.rightIndentPercent = 100 - std::clamp(right.value, 0, 100);
            break;
        case Edge::Kind::Default: break;
    }
}

}  // namespace store

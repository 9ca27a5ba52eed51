#include "richtext/ParagraphIndents.h"

#include <algorithm>
#include <cstdint>

namespace store {

int percentOfWidth(int width, int percent) {
    return int(int64_t(width) * std::clamp(percent, -100, 100) / 100);
}

ParagraphIndents ParagraphIndents::fit(const RtParagraphStyle& style, int width) {
    width = std::max(width, 1);
    ParagraphIndents in;
    in.left = style.leftIndent + percentOfWidth(width, style.leftIndentPercent);
    in.first = style.firstLineIndent + percentOfWidth(width, style.firstLineIndentPercent);
    in.right = style.rightIndent + percentOfWidth(width, style.rightIndentPercent);
    if ((style.bullet || style.numbered) && in.first == 0) {
        in.left = std::max(in.left, 0) + kListMarkIndent;
        in.first = -kListMarkIndent;
    }
    in.left = std::max(in.left, 0);
    in.right = std::max(in.right, 0);
    const int indentRoom = width - width / 2;
    if (in.left + in.right > indentRoom) {
        const int64_t total = int64_t(in.left) + in.right;
        in.left = int(in.left * int64_t(indentRoom) / total);
        in.right = indentRoom - in.left;
    }
    const int text = width - in.left - in.right;
    in.first = std::clamp(in.first, -in.left, text / 2);
    return in;
}

}  // namespace store

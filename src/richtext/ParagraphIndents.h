#pragma once

#include "richtext/RichTextModel.h"

namespace store {

// The room a list item's bullet or number gets before its text, in twips.
constexpr int kListMarkIndent = 360;

// `percent` (clamped to -100..100) of `width`.
int percentOfWidth(int width, int percent);

// A paragraph's indents as laid out in a text area `width` twips wide.
struct ParagraphIndents {
    int left = 0;
    int first = 0;  // relative to left
    int right = 0;

    // The style's indents with their percentages of the width added, list
    // items given room for their mark, and kept within the area: neither edge
    // goes outside it, and at least half the width is left to the text. Values
    // beyond that (margins measured in a wider window, quotes nested very deep)
    // would put one letter on each line. Every writer lays paragraphs out so.
    static ParagraphIndents fit(const RtParagraphStyle& style, int width);
};

}  // namespace store

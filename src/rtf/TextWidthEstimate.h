#pragma once

#include <QStringView>

namespace rtf {

// How wide text comes out on the page, reckoned without the fonts: each letter
// at a little above its advance in Arial and Times (narrow, capital and wide
// letters apart), at 0.6 em in a monospaced face. Enough to keep a column
// from being made narrower than its words, not to lay text out.
class TextWidthEstimate {
public:
    // One letter, in ems of a proportional face.
    static double letterEm(QChar c);
    // The text on one line, in twips.
    static int twips(QStringView text, double sizePt, bool bold, bool monospaced);
};

}  // namespace rtf

#pragma once

#include "richtext/RichTextModel.h"

#include <QString>

namespace rtf {

// Renders the rich-text model as the HTML subset a QTextBrowser shows:
// paragraphs with alignment and indents, styled spans, tables with borders and
// cell colours, pictures as data: URLs (PNG, JPEG, GIF, BMP; other formats as
// "[picture]"), links as anchors.
class RichTextHtmlWriter {
public:
    static QString toHtml(const store::RichTextDoc& doc);
};

}  // namespace rtf

#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

#include "richtext/PictureData.h"

namespace store {

// Driver-neutral model of a Notes rich-text item: what the DXL and NSF drivers
// read, what the RTF writer renders and what plain-text reads are made from.
// Sizes are in points, lengths in twips (1/1440 inch).

struct RtFont {
    QString face;            // empty: the default face
    double sizePt = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool superscript = false;
    bool subscript = false;
    bool hasColor = false;
    unsigned rgb = 0;        // 0xRRGGBB when hasColor
    bool hasHighlight = false;
    unsigned highlightRgb = 0;  // 0xRRGGBB background of the text when hasHighlight
};

enum class RtAlign { Left, Right, Center, Justify, NoWrap };

// Indents are measured from the edges of the text area the paragraph sits in:
// the page's margins, or a table cell's. A source may give part of an indent as
// a share of that area's width (Notes does); the writer adds the percentage of
// the width it lays the paragraph out in to the twips beside it.
struct RtParagraphStyle {
    RtAlign align = RtAlign::Left;
    int leftIndent = 0;        // twips
    int firstLineIndent = 0;   // twips, relative to leftIndent
    int rightIndent = 0;       // twips
    int leftIndentPercent = 0;       // percent of the width, added to leftIndent
    int firstLineIndentPercent = 0;  // percent of the width, added to firstLineIndent
    int rightIndentPercent = 0;      // percent of the width, added to rightIndent
    int spaceBefore = 0;       // twips
    int spaceAfter = 0;        // twips
    std::vector<int> tabStops; // twips from the left margin
    bool bullet = false;
    bool numbered = false;
};

struct RtRun {
    enum class Kind {
        Text,           // text in font
        LineBreak,      // a line break inside the paragraph
        Tab,
        Picture,        // picture.data in picture.format ("gif", "jpeg", "png", "bmp", ...)
        AttachmentRef,  // reference to an attachment: text = file name
        DocLink,        // link to a document or view: text = its description, target = a
                        // notes:///REPLICA/VIEW/NOTE address when known
        Url,            // a URL link: text = shown text, target = address
    };
    Kind kind = Kind::Text;
    QString text;
    QString target;
    RtFont font;
    struct Picture {
        PictureData data;  // may be made only when first read (see PictureData)
        QString format;
        int widthPx = 0;
        int heightPx = 0;
    } picture;
};

struct RtTable;

// A block of the body: a paragraph, or a table (then `table` is set).
struct RtBlock {
    RtParagraphStyle style;
    std::vector<RtRun> runs;
    std::shared_ptr<RtTable> table;
};

struct RtTableCell {
    std::vector<RtBlock> blocks;
    int widthTwips = 0;      // 0: widthPercent, or else the table's even share
    int widthPercent = 0;    // share of the table's width when widthTwips is 0
    bool hasBackground = false;
    unsigned backgroundRgb = 0xFFFFFF;
};

struct RtTableRow {
    std::vector<RtTableCell> cells;
};

struct RtTable {
    std::vector<RtTableRow> rows;
    bool borders = true;
    // Where the source put the table's left edge, from the text area's (RTF's
    // \trleft), and its borders' look when it gave them; 0 / false: the writer's own.
    int leftTwips = 0;
    int borderWidthTwips = 0;
    bool hasBorderColor = false;
    unsigned borderRgb = 0;  // 0xRRGGBB when hasBorderColor
};

struct RichTextDoc {
    std::vector<RtBlock> blocks;
    // Set by drivers that keep the item's raw stored form (NSF CD records).
    QByteArray rawRecords;
    // A body that came with its own plain-text form (a MIME message's
    // text/plain alternative beside the HTML that made the blocks): what
    // plainText() gives when set.
    QString plainAlternative;

    // The plain text: paragraphs end in "\r\n" (none after the last); table
    // cells are separated by a tab and rows end in "\r\n"; pictures give nothing,
    // attachment references and links their text (a doclink with a notes:// address
    // the address after it, in angle brackets). `plainAlternative` instead when set.
    QString plainText() const;
    bool isEmpty() const { return blocks.empty(); }
};

}  // namespace store

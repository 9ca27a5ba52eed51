#pragma once

#include "richtext/RichTextModel.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace rtf {

enum class RtfQuality {
    Low,   // paragraphs, alignment and character formatting; tables become tab-separated lines
    Best,  // also tables, pictures, tab stops, indents, bullets, attachment and link references
};

// Renders a rich-text body as an RTF document. The output is 7-bit ASCII: every
// character outside it is written as \uN with a code page 1252 fallback, so no
// character is lost whatever reads the file. Line breaks are placed only where
// dropping them cannot join a control word to the text after it.
class RtfWriter {
public:
    explicit RtfWriter(RtfQuality quality);

    QByteArray write(const store::RichTextDoc& doc);

    // Pictures of the last write that could not be embedded and were written as
    // pictureFallbackText: formats other than PNG, JPEG, GIF and uncompressed
    // BMP (GIF and BMP go in as PNG), or data that cannot be read.
    int pictureFallbacks() const { return m_pictureFallbacks; }
    static QString pictureFallbackText();
    static QString attachmentText(const QString& name);
    static QString docLinkText(const QString& description);

    // Width of the text area the body is laid out in: what fits between one-inch
    // margins on A4 and on Letter paper. Percentages of the page's width and
    // tables count from it.
    static constexpr int PageTextTwips = 9000;
    // Width of a table whose cells carry no width of their own.
    static constexpr int DefaultTableTwips = PageTextTwips;
    // A table whose words need more room than the text area may reach this far
    // into the page's margins (half an inch on either side), centred on it.
    static constexpr int WidestTableTwips = PageTextTwips + 1440;
    // Half the space between the texts of two cells (\trgaph).
    static constexpr int CellGapTwips = 108;
    // Tables nested deeper than this are written as text lines.
    static constexpr int MaxTableNesting = 8;

private:
    void writeBlocks(const std::vector<store::RtBlock>& blocks);
    // `widthTwips`: the width of the text area the paragraph sits in.
    void writeParagraphStart(const store::RtParagraphStyle& style, int tableLevel, int widthTwips);
    void writeRuns(const std::vector<store::RtRun>& runs);
    void writeRunsInline(const std::vector<store::RtBlock>& blocks);
    void writeTextRun(const store::RtRun& run, const QString& text);
    void writePicture(const store::RtRun& run);
    void writeUrl(const store::RtRun& run);
    void writeTableBest(const store::RtTable& table, int level, int availableTwips);
    void writeRowDefinition(const store::RtTableRow& row, const store::RtTable& table,
                            const std::vector<int>& cellWidths, int leftTwips);
    void writeCell(const store::RtTableCell& cell, int level, int widthTwips);
    void writeTableLow(const store::RtTable& table);
    void fontControls(const store::RtFont& font);

    int fontIndex(const QString& face);
    int colorIndex(unsigned rgb);
    QByteArray header() const;

    RtfQuality m_quality;
    QByteArray m_body;
    std::vector<QString> m_fonts;
    QHash<QString, int> m_fontIndex;
    std::vector<unsigned> m_colors;
    QHash<unsigned, int> m_colorIndex;
    int m_pictureFallbacks = 0;
    int m_numberCounter = 0;
    bool m_needPar = false;
};

}  // namespace rtf

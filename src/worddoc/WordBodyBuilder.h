#pragma once

#include "richtext/RichTextModel.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace worddoc {

// Turns the rich-text model into what the Word binary format stores of the
// main text: the characters (UTF-16), the character runs and paragraphs with
// their property modifiers (sprms), the field characters, the fonts used and
// the Data stream (pictures, long paragraph properties).
class WordBodyBuilder {
public:
    struct CharRun {
        int cp = 0;         // first character of the run
        QByteArray sprms;   // character properties over the Normal style
    };
    struct Paragraph {
        int cpEnd = 0;      // one past the paragraph mark (or cell mark)
        QByteArray papx;    // style index (2 bytes) and paragraph sprms
    };
    struct FieldChar {
        int cp = 0;
        unsigned char ch = 0;     // 0x13 begin, 0x14 separator, 0x15 end
        unsigned char flags = 0;  // field type (begin) or flags (end)
    };

    // `textWidthTwips`: the width between the page's margins.
    explicit WordBodyBuilder(int textWidthTwips);

    void build(const store::RichTextDoc& doc);

    const QString& text() const { return m_text; }
    const std::vector<CharRun>& charRuns() const { return m_runs; }
    const std::vector<Paragraph>& paragraphs() const { return m_paragraphs; }
    const std::vector<FieldChar>& fields() const { return m_fields; }
    const std::vector<QString>& fonts() const { return m_fonts; }
    const QByteArray& dataStream() const { return m_data; }
    bool hasPictures() const { return m_pictures > 0; }
    int pictureFallbacks() const { return m_pictureFallbacks; }

    // The face Word gets for a face of the model (Notes' generic names mapped).
    static QString actualFace(const QString& face);
    // The Normal style's character sprms: the default face (font 0), 10 points.
    static QByteArray normalChpx();

    static constexpr int CellGapTwips = 108;
    static constexpr int MaxTableNesting = 8;
    static constexpr int MaxTableColumns = 63;

private:
    void writeBlocks(const std::vector<store::RtBlock>& blocks, int width);
    void writeParagraph(const store::RtBlock& block, int level, int width, QChar mark, const QByteArray& extra);
    void writeTable(const store::RtTable& table, int level, int width);
    void writeCell(const store::RtTableCell& cell, int level, int width);
    void writeRowEnd(const store::RtTable& table, const store::RtTableRow& row, const std::vector<int>& widths,
                     int left, int level);
    void writeRuns(const std::vector<store::RtRun>& runs);
    void writeRunsInline(const std::vector<store::RtBlock>& blocks);
    void writeText(const QString& text, const QByteArray& chpx);
    void writeHyperlink(const QString& target, const QString& shown, const store::RtFont& font);
    void writePicture(const store::RtRun& run);
    void writeFieldChar(unsigned char ch, unsigned char flags, const QByteArray& chpx);
    void endParagraph(QChar mark, const QByteArray& papx);
    void setChpx(const QByteArray& chpx);
    QByteArray paragraphSprms(const store::RtParagraphStyle& style, int width) const;
    QByteArray tableSprms(int level) const;
    QByteArray chpxFor(const store::RtFont& font);
    int fontIndex(const QString& face);
    QByteArray placeLongPapx(const QByteArray& papx);

    int m_textWidth;
    int m_currentWidth = 0;
    QString m_text;
    std::vector<CharRun> m_runs;
    std::vector<Paragraph> m_paragraphs;
    std::vector<FieldChar> m_fields;
    std::vector<QString> m_fonts;
    QHash<QString, int> m_fontIndex;
    QByteArray m_data;
    QByteArray m_lastChpx;  // of the last text: the paragraph mark takes it
    int m_pictures = 0;
    int m_pictureFallbacks = 0;
    int m_numberCounter = 0;
};

}  // namespace worddoc

#pragma once

#include <QHash>
#include <QString>
#include <QXmlStreamReader>

#include "notes/store/NotesMargins.h"
#include "richtext/RichTextModel.h"

namespace store::dxl {

// Reads a <richtext> element into the driver-neutral rich-text model:
// paragraphs with their <pardef> style, runs with their <font>, line breaks,
// tabs, tables, pictures, attachment references and links. Elements that
// only matter to the Notes client (code, hide-when formulas, computed text)
// are skipped; unknown containers are read through for their paragraphs.
class DxlRichTextReader {
  public:
    // The reader stands on <richtext>; returns with it on </richtext>.
    // Returns false when picture data is not valid base64 (`problem` says where).
    bool read(QXmlStreamReader& xml, RichTextDoc& doc, QString& problem);

    // Length in a DXL attribute ("1in", "0.5000in", "2cm", "10pt", "96px",
    // a bare number in inches) as twips; `ok` false when it is not a length.
    static int twips(QStringView text, bool* ok = nullptr);
    // "#rrggbb" or a Notes colour name; false for "system" and unknown names.
    static bool colour(QStringView text, unsigned& rgb);

  private:
    void readBlocks(QXmlStreamReader& xml, std::vector<RtBlock>& blocks);
    void readBlocksAt(QXmlStreamReader& xml, std::vector<RtBlock>& blocks);
    void readInline(QXmlStreamReader& xml, std::vector<RtRun>& runs, RtFont font);
    void readInlineAt(QXmlStreamReader& xml, std::vector<RtRun>& runs, RtFont font);
    void readTable(QXmlStreamReader& xml, RtBlock& block);
    void readPicture(QXmlStreamReader& xml, std::vector<RtRun>& runs);
    void readPardef(QXmlStreamReader& xml);
    QString innerText(QXmlStreamReader& xml);
    static void applyFont(const QXmlStreamAttributes& attrs, RtFont& font);
    static void addText(std::vector<RtRun>& runs, QStringView text, const RtFont& font);

    // Nesting deeper than this is skipped rather than followed (no stack overflow).
    static constexpr int kMaxDepth = 64;
    // A <pardef>: its style, and its margins, which become indents where a
    // paragraph uses it (they count from the paper in the body, from the cell
    // in a table).
    struct Pardef {
        RtParagraphStyle style;
        NotesMargins margins;
    };
    RtParagraphStyle styleOf(const QString& pardefId) const;
    // A margin attribute: a length, a percentage, or absent (the default).
    static NotesMargins::Edge marginEdge(const QXmlStreamAttributes& attrs, const char* name);

    QHash<QString, Pardef> m_pardefs;
    QString m_problem;
    int m_depth = 0;
    int m_tableDepth = 0;  // tables the reader is inside
};

}  // namespace store::dxl

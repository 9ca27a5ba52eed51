#pragma once

#include "richtext/RichTextModel.h"
#include "rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace rtf {

class RtfCodePage;

// Reads RTF into the rich-text model: paragraphs with alignment, indents and
// tab stops; runs with font face, size, bold, italic, underline, strike,
// super/subscript and colour; \uN (with \ucN fallbacks skipped) and \'hh in
// the document's or the font's code page; tables (nested ones too); PNG, JPEG
// and device-independent bitmap pictures; hyperlink fields. Destinations it
// does not show (font and colour tables, style sheet, document information,
// headers and footers, \*\ groups) are left out.
//
// Any input is read without failing: unbalanced braces, a cut-off file, a
// huge \binN or absurd nesting give the text that could be made out. Memory
// stays proportional to the input: group nesting, table nesting, cells per row
// and the number of paragraphs and runs are bounded.
class RtfReader {
public:
    RtfReader();
    ~RtfReader();
    RtfReader(const RtfReader&) = delete;
    RtfReader& operator=(const RtfReader&) = delete;

    store::RichTextDoc read(const QByteArray& rtf);
    // Set when read() stopped early because the document exceeded the limits.
    bool truncated() const { return m_truncated; }

    // HTML for a QTextBrowser (pictures as data: URLs).
    static QString toHtml(const QByteArray& rtf);
    // The text: paragraphs and table rows end in "\n", cells are separated by tabs.
    static QString toPlainText(const QByteArray& rtf);
    // True when the data starts, after blanks, with "{\rtf".
    static bool looksLikeRtf(const QByteArray& data);
    static bool looksLikeRtf(const QString& text);
    // RTF held in a wide string back to its bytes (Latin-1, or UTF-8 when the
    // string holds characters beyond it).
    static QByteArray bytesOf(const QString& rtfText);

    static constexpr int MaxGroupDepth = 512;
    static constexpr int MaxTableNesting = 16;
    static constexpr int MaxCellsPerRow = 256;
    static constexpr qsizetype MaxElements = 200000;

private:
    enum class Dest { Body, Skip, FontTable, ColorTable, Picture, FieldInstruction, ShapeInstruction };
    struct State {
        Dest dest = Dest::Body;
        int uc = 1;
        int font = -1;  // -1: the default font
        double sizePt = 12.0;
        bool bold = false, italic = false, underline = false, strike = false;
        bool superscript = false, subscript = false, hidden = false;
        int color = 0;
        store::RtParagraphStyle para;
        bool inTable = false;
        int itap = 1;
        bool nestProps = false;
        QString link;
    };
    struct FontDef {
        QString name;
        int charset = 0;
    };
    struct RowDef {
        std::vector<int> rights;
        std::vector<int> backgrounds;  // colour index per cell, 0: none
        int left = 0;
        bool borders = false;
        int borderColor = 0;  // colour index of the last border, 0: automatic
        int borderWidth = 0;  // twips of the last border
    };
    struct OpenTable {
        std::shared_ptr<store::RtTable> table = std::make_shared<store::RtTable>();
        store::RtTableRow row;
        store::RtTableCell cell;
        bool cellOpen = false;
    };
    struct Picture {
        QString format;
        QByteArray data;
        int hiNibble = -1;
        int picw = 0, pich = 0, goalw = 0, goalh = 0, scalex = 100, scaley = 100;
        bool dib = false;
    };
    enum class ParaEnd { Par, Cell, NestCell, Document };

    void handle(const RtfToken& token);
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void controlSymbol(QByteArrayView symbol);
    bool destination(QByteArrayView word, bool starred);
    void groupStart();
    void groupEnd();
    void bytesIn(QByteArrayView bytes);
    void flushBytes();
    void flushText();
    void textIn(const QString& text);
    void addRun(store::RtRun run);
    void addBodyText(const QString& text);
    void addSpecial(store::RtRun::Kind kind);
    void finishFontEntry();
    void finishPicture();
    void endParagraph(ParaEnd how);
    void endRow(int level);
    void ensureLevel(int level);
    void closeTopTable();
    void applyRowDef(OpenTable& t, int level);
    store::RtFont currentFont() const;
    int tableLevel() const;
    RowDef& rowDef();
    bool budget();
    const RtfCodePage& codePage(int cp);

    State& st() { return m_stack.back(); }
    const State& st() const { return m_stack.back(); }

    const QByteArray* m_input = nullptr;
    std::vector<State> m_stack;
    int m_overflowDepth = 0;
    bool m_starPending = false;
    bool m_groupJustStarted = false;
    int m_skipFallback = 0;
    QByteArray m_pendingBytes;   // 8-bit body text not yet decoded
    QString m_pendingText;       // body text not yet made into runs
    int m_pendingCodePage = 1252;
    bool m_pendingSymbol = false;

    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;
    std::map<int, FontDef> m_fonts;
    int m_fontEntry = -1;
    int m_fontEntryCharset = 0;
    QString m_fontEntryName;
    std::vector<unsigned> m_colors;  // index 0 unused ("auto")
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSeen = false;
    std::map<int, std::unique_ptr<RtfCodePage>> m_codePages;

    store::RichTextDoc m_doc;
    std::vector<store::RtRun> m_runs;
    std::vector<OpenTable> m_tables;
    RowDef m_rowDefs[MaxTableNesting + 1];
    int m_pendingCellBackground = 0;
    bool m_borderPending = false;
    Picture m_picture;
    QString m_fieldInstruction;
    bool m_shapeHadPicture = false;
    qsizetype m_elements = 0;
    bool m_truncated = false;
};

}  // namespace rtf

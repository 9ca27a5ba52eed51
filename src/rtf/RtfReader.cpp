#include "rtf/RtfReader.h"

#include "rtf/RichTextHtmlWriter.h"
#include "rtf/RtfCodePage.h"
#include "richtext/RtfImageInfo.h"

#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cmath>

using store::RtBlock;
using store::RtFont;
using store::RtRun;

namespace rtf {
namespace {

constexpr unsigned kAutoColor = 0xFF000000u;
constexpr int kMaxTabStops = 64;
constexpr int kMaxTableEntries = 4096;
constexpr int kMaxFontName = 256;

bool sameFont(const RtFont& a, const RtFont& b) {
    return a.face == b.face && a.sizePt == b.sizePt && a.bold == b.bold && a.italic == b.italic &&
           a.underline == b.underline && a.strike == b.strike && a.superscript == b.superscript &&
           a.subscript == b.subscript && a.hasColor == b.hasColor && (!a.hasColor || a.rgb == b.rgb);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The target of a HYPERLINK field instruction, or "" for other fields.
QString hyperlinkTarget(const QString& instruction) {
    const QString s = instruction.trimmed();
    if (!s.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive)) return QString();
    const qsizetype q1 = s.indexOf(QLatin1Char('"'));
    if (q1 >= 0) {
        const qsizetype q2 = s.indexOf(QLatin1Char('"'), q1 + 1);
        return s.mid(q1 + 1, q2 < 0 ? -1 : q2 - q1 - 1);
    }
    const QStringList parts = s.mid(9).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& p : parts)
        if (!p.startsWith(QLatin1Char('\\'))) return p;
    return QString();
}

// A device-independent bitmap (\dibitmap) becomes a BMP file by prefixing the
// file header.
QByteArray bmpFromDib(const QByteArray& dib) {
    if (dib.size() < 16) return dib;
    const auto* d = reinterpret_cast<const uchar*>(dib.constData());
    const quint32 headerSize = qFromLittleEndian<quint32>(d);
    if (headerSize < 12 || headerSize > quint32(dib.size())) return dib;
    quint32 paletteBytes = 0;
    if (headerSize >= 40 && dib.size() >= 36) {
        const quint16 bits = qFromLittleEndian<quint16>(d + 14);
        const quint32 compression = qFromLittleEndian<quint32>(d + 16);
        quint32 used = qFromLittleEndian<quint32>(d + 32);
        if (bits <= 8 && used == 0) used = 1u << bits;
        paletteBytes = std::min<quint32>(used, 256) * 4;
        if (compression == 3 && headerSize == 40) paletteBytes += 12;
    } else if (headerSize == 12) {
        const quint16 bits = qFromLittleEndian<quint16>(d + 10);
        if (bits <= 8) paletteBytes = (1u << bits) * 3;
    }
    QByteArray file(14, '\0');
    uchar* h = reinterpret_cast<uchar*>(file.data());
    h[0] = 'B';
    h[1] = 'M';
    qToLittleEndian<quint32>(quint32(dib.size() + 14), h + 2);
    qToLittleEndian<quint32>(14 + headerSize + paletteBytes, h + 10);
    return file + dib;
}

bool isSkippedDestination(QByteArrayView w) {
    static const char* const words[] = {
        "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
        "footerf", "footnote", "pn", "listtable", "listoverridetable", "revtbl", "rsidtbl", "filetbl",
        "pgdsctbl", "xe", "tc", "txe", "rxe", "objdata", "objclass", "nonshppict", "nonesttables",
        "annotation", "atnid", "atnauthor", "atndate", "atnref", "atnparent", "bkmkstart", "bkmkend",
        "template", "private", "comment", "datafield", "themedata", "colorschememapping", "datastore",
        "latentstyles", "xmlnstbl", "generator", "mmathPr", "userprops", "docvar", "ftnsep", "ftnsepc",
        "aftnsep", "aftnsepc", "background", "fchars", "lchars", "pgptbl", "protusertbl", "wgrffmtfilter",
        "listpicture", "blipuid", "passwordhash", "sp", "sn", "sv"};
    for (const char* word : words)
        if (w == word) return true;
    return false;
}

QChar specialChar(QByteArrayView w) {
    struct Entry {
        const char* word;
        char16_t ch;
    };
    static const Entry table[] = {{"emdash", 0x2014},   {"endash", 0x2013},    {"bullet", 0x2022},
                                  {"lquote", 0x2018},   {"rquote", 0x2019},    {"ldblquote", 0x201C},
                                  {"rdblquote", 0x201D}, {"emspace", 0x2003},  {"enspace", 0x2002},
                                  {"qmspace", 0x2005},  {"zwj", 0x200D},       {"zwnj", 0x200C},
                                  {"zwbo", 0x200B}};
    for (const Entry& e : table)
        if (w == e.word) return QChar(e.ch);
    return QChar();
}

}  // namespace

RtfReader::RtfReader() = default;
RtfReader::~RtfReader() = default;

bool RtfReader::looksLikeRtf(const QByteArray& data) {
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
    return data.mid(i, 5) == "{\\rtf";
}

bool RtfReader::looksLikeRtf(const QString& text) { return looksLikeRtf(text.left(64).toLatin1()); }

QByteArray RtfReader::bytesOf(const QString& rtfText) {
    const bool latin1 = std::all_of(rtfText.begin(), rtfText.end(), [](QChar c) { return c.unicode() < 0x100; });
    return latin1 ? rtfText.toLatin1() : rtfText.toUtf8();
}

QString RtfReader::toHtml(const QByteArray& rtf) {
    RtfReader reader;
    return RichTextHtmlWriter::toHtml(reader.read(rtf));
}

QString RtfReader::toPlainText(const QByteArray& rtf) {
    RtfReader reader;
    QString text = reader.read(rtf).plainText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

store::RichTextDoc RtfReader::read(const QByteArray& rtf) {
    m_input = &rtf;
    m_stack.assign(1, State{});
    m_overflowDepth = 0;
    m_starPending = false;
    m_groupJustStarted = false;
    m_skipFallback = 0;
    m_pendingBytes.clear();
    m_ansiCodePage = 1252;
    m_defaultFont = 0;
    m_fonts.clear();
    m_fontEntry = -1;
    m_fontEntryName.clear();
    m_colors.clear();
    m_doc = store::RichTextDoc{};
    m_runs.clear();
    m_tables.clear();
    for (RowDef& d : m_rowDefs) d = RowDef{};
    m_pendingCellBackground = 0;
    m_borderPending = false;
    m_picture = Picture{};
    m_fieldInstruction.clear();
    m_shapeHadPicture = false;
    m_elements = 0;
    m_truncated = false;

    RtfTokenizer tokenizer(rtf);
    for (;;) {
        const RtfToken token = tokenizer.next();
        if (token.type == RtfToken::Type::End) break;
        handle(token);
        if (m_truncated) break;
    }
    flushText();
    if (!m_truncated) {
        // A picture cut off by the end of the file still shows what arrived.
        while (m_stack.size() > 1) groupEnd();
    }
    endParagraph(ParaEnd::Document);
    ensureLevel(0);
    m_input = nullptr;
    store::RichTextDoc out = std::move(m_doc);
    m_doc = store::RichTextDoc{};
    return out;
}

bool RtfReader::budget() {
    if (m_elements >= MaxElements) {
        m_truncated = true;
        return false;
    }
    ++m_elements;
    return true;
}

const RtfCodePage& RtfReader::codePage(int cp) {
    auto it = m_codePages.find(cp);
    if (it == m_codePages.end()) it = m_codePages.emplace(cp, std::make_unique<RtfCodePage>(cp)).first;
    return *it->second;
}

void RtfReader::handle(const RtfToken& t) {
    using T = RtfToken::Type;
    switch (t.type) {
        case T::End: return;
        case T::GroupStart:
            flushText();
            m_skipFallback = 0;
            m_starPending = false;
            groupStart();
            m_groupJustStarted = true;
            return;
        case T::GroupEnd:
            flushText();
            m_skipFallback = 0;
            m_starPending = false;
            groupEnd();
            m_groupJustStarted = false;
            return;
        case T::Text: {
            m_groupJustStarted = false;
            qsizetype from = 0;
            if (m_skipFallback > 0) {
                from = std::min<qsizetype>(m_skipFallback, t.text.size());
                m_skipFallback -= int(from);
            }
            if (from < t.text.size()) bytesIn(t.text.sliced(from));
            return;
        }
        case T::HexByte:
            m_groupJustStarted = false;
            if (m_skipFallback > 0) {
                --m_skipFallback;
                return;
            }
            {
                const char b = char(t.byte);
                bytesIn(QByteArrayView(&b, 1));
            }
            return;
        case T::Binary:
            m_groupJustStarted = false;
            flushBytes();
            if (m_skipFallback > 0) {
                --m_skipFallback;
                return;
            }
            if (st().dest == Dest::Picture) m_picture.data += m_input->mid(t.binOffset, t.binLength);
            return;
        case T::ControlSymbol:
            if (m_skipFallback > 0) {
                --m_skipFallback;
                return;
            }
            if (t.word == "*") {
                m_starPending = true;
                return;
            }
            flushBytes();
            m_groupJustStarted = false;
            controlSymbol(t.word);
            return;
        case T::ControlWord:
            if (m_skipFallback > 0) {
                --m_skipFallback;
                return;
            }
            if (t.word != "u" && t.word != "uc") flushText();
            controlWord(t.word, t.hasParam, t.param);
            m_groupJustStarted = false;
            m_starPending = false;
            return;
    }
}

void RtfReader::groupStart() {
    if (int(m_stack.size()) >= MaxGroupDepth) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(st());
}

void RtfReader::groupEnd() {
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 1) return;  // an unbalanced "}": ignored
    const Dest popped = st().dest;
    m_stack.pop_back();
    if (popped == Dest::FontTable) finishFontEntry();
    if (popped == Dest::Picture && st().dest != Dest::Picture) finishPicture();
}

bool RtfReader::destination(QByteArrayView w, bool starred) {
    State& s = st();
    if (s.dest == Dest::Skip) return true;
    if (!m_groupJustStarted) return false;
    if (w == "fonttbl") {
        s.dest = Dest::FontTable;
        m_fontEntry = -1;
        m_fontEntryName.clear();
    } else if (w == "colortbl") {
        s.dest = Dest::ColorTable;
        m_colors.clear();
        m_colorSeen = false;
        m_red = m_green = m_blue = 0;
    } else if (w == "pict") {
        s.dest = Dest::Picture;
        m_picture = Picture{};
    } else if (w == "fldinst") {
        s.dest = Dest::FieldInstruction;
        m_fieldInstruction.clear();
    } else if (w == "fldrslt") {
        s.dest = Dest::Body;
        s.link = hyperlinkTarget(m_fieldInstruction);
    } else if (w == "shpinst") {
        s.dest = Dest::ShapeInstruction;
    } else if (w == "shprslt") {
        s.dest = m_shapeHadPicture ? Dest::Skip : Dest::Body;
    } else if (w == "nesttableprops") {
        s.nestProps = true;
    } else if (w == "shppict" || w == "pntext" || w == "listtext" || w == "result" || w == "field" ||
               w == "shp" || w == "object") {
        if (w == "field") m_fieldInstruction.clear();
        if (w == "shp") m_shapeHadPicture = false;
        return false;  // their content is shown; the word itself may matter below
    } else if (isSkippedDestination(w) || starred) {
        s.dest = Dest::Skip;
    } else {
        return false;
    }
    return true;
}

void RtfReader::controlSymbol(QByteArrayView symbol) {
    if (symbol == "~") textIn(QString(QChar(0x00A0)));
    else if (symbol == "_") textIn(QString(QChar(0x2011)));
    // \- (optional hyphen), \: and \| show nothing.
}

RtfReader::RowDef& RtfReader::rowDef() {
    const int level = st().nestProps ? std::clamp(st().itap, 2, int(MaxTableNesting)) : 1;
    return m_rowDefs[level];
}

int RtfReader::tableLevel() const { return st().inTable ? std::clamp(st().itap, 1, int(MaxTableNesting)) : 0; }

void RtfReader::controlWord(QByteArrayView w, bool hasParam, int param) {
    const bool starred = m_starPending;
    m_starPending = false;
    if (destination(w, starred)) return;
    State& s = st();
    const int p = hasParam ? param : 1;  // toggles: \b is on, \b0 off

    if (w == "u") {
        if (hasParam && param >= -32768 && param <= 65535) {
            textIn(QString(QChar(char16_t(param & 0xFFFF))));
            m_skipFallback = s.uc;
        }
        return;
    }
    if (w == "uc") {
        s.uc = std::clamp(p, 0, 16);
        return;
    }

    switch (s.dest) {
        case Dest::Skip:
        case Dest::FieldInstruction:
        case Dest::ShapeInstruction: return;
        case Dest::FontTable:
            if (w == "f") {
                if (!m_fontEntryName.isEmpty()) finishFontEntry();
                m_fontEntry = hasParam ? param : -1;
                m_fontEntryCharset = 0;
                m_fontEntryName.clear();
            } else if (w == "fcharset") {
                m_fontEntryCharset = p;
            }
            return;
        case Dest::ColorTable:
            if (w == "red") m_red = std::clamp(p, 0, 255), m_colorSeen = true;
            else if (w == "green") m_green = std::clamp(p, 0, 255), m_colorSeen = true;
            else if (w == "blue") m_blue = std::clamp(p, 0, 255), m_colorSeen = true;
            return;
        case Dest::Picture:
            if (w == "pngblip") m_picture.format = QStringLiteral("png");
            else if (w == "jpegblip") m_picture.format = QStringLiteral("jpeg");
            else if (w == "emfblip") m_picture.format = QStringLiteral("emf");
            else if (w == "wmetafile") m_picture.format = QStringLiteral("wmf");
            else if (w == "macpict") m_picture.format = QStringLiteral("pict");
            else if (w == "dibitmap") m_picture.format = QStringLiteral("bmp"), m_picture.dib = true;
            else if (w == "wbitmap") m_picture.format = QStringLiteral("wbitmap");
            else if (w == "picw") m_picture.picw = std::clamp(p, 0, 65535);
            else if (w == "pich") m_picture.pich = std::clamp(p, 0, 65535);
            else if (w == "picwgoal") m_picture.goalw = std::clamp(p, 0, 31680 * 4);
            else if (w == "pichgoal") m_picture.goalh = std::clamp(p, 0, 31680 * 4);
            else if (w == "picscalex") m_picture.scalex = std::clamp(p, 1, 1000);
            else if (w == "picscaley") m_picture.scaley = std::clamp(p, 1, 1000);
            return;
        case Dest::Body: break;
    }

    // Document
    if (w == "ansicpg") {
        if (hasParam && param > 0) m_ansiCodePage = param;
        return;
    }
    if (w == "ansi") m_ansiCodePage = 1252;
    else if (w == "mac") m_ansiCodePage = 10000;
    else if (w == "pc") m_ansiCodePage = 437;
    else if (w == "pca") m_ansiCodePage = 850;
    else if (w == "deff") m_defaultFont = p;
    // Paragraph ends and special characters
    else if (w == "par" || w == "sect" || w == "page") endParagraph(ParaEnd::Par);
    else if (w == "line" || w == "column") addSpecial(RtRun::Kind::LineBreak);
    else if (w == "tab") addSpecial(RtRun::Kind::Tab);
    else if (w == "cell") endParagraph(ParaEnd::Cell);
    else if (w == "nestcell") endParagraph(ParaEnd::NestCell);
    else if (w == "row") endRow(1);
    else if (w == "nestrow") endRow(std::clamp(s.itap, 2, int(MaxTableNesting)));
    // Paragraph properties
    else if (w == "pard") {
        s.para = store::RtParagraphStyle{};
        s.inTable = false;
        s.itap = 1;
    } else if (w == "intbl") s.inTable = true;
    else if (w == "itap") {
        s.itap = std::clamp(hasParam ? param : 1, 0, int(MaxTableNesting));
        s.inTable = s.itap > 0;
        if (s.itap == 0) s.itap = 1;
    } else if (w == "ql") s.para.align = store::RtAlign::Left;
    else if (w == "qr") s.para.align = store::RtAlign::Right;
    else if (w == "qc") s.para.align = store::RtAlign::Center;
    else if (w == "qj" || w == "qd") s.para.align = store::RtAlign::Justify;
    else if (w == "li" || w == "lin") s.para.leftIndent = hasParam ? param : 0;
    else if (w == "ri" || w == "rin") s.para.rightIndent = hasParam ? param : 0;
    else if (w == "fi") s.para.firstLineIndent = hasParam ? param : 0;
    else if (w == "sb") s.para.spaceBefore = hasParam ? param : 0;
    else if (w == "sa") s.para.spaceAfter = hasParam ? param : 0;
    else if (w == "tx" || w == "tb") {
        if (hasParam && int(s.para.tabStops.size()) < kMaxTabStops) s.para.tabStops.push_back(param);
    }
    // Character properties
    else if (w == "plain") {
        s.font = -1;
        s.sizePt = 12.0;
        s.bold = s.italic = s.underline = s.strike = s.superscript = s.subscript = s.hidden = false;
        s.color = 0;
    } else if (w == "f") s.font = hasParam ? param : -1;
    else if (w == "fs") s.sizePt = hasParam && param > 0 ? std::min(param, 3276) / 2.0 : 12.0;
    else if (w == "b") s.bold = p != 0;
    else if (w == "i") s.italic = p != 0;
    else if (w == "strike" || w == "striked") s.strike = p != 0;
    else if (w == "ulnone") s.underline = false;
    else if (w.startsWith("ul") && w != "ulc") s.underline = p != 0;
    else if (w == "super") s.superscript = p != 0, s.subscript = false;
    else if (w == "sub") s.subscript = p != 0, s.superscript = false;
    else if (w == "nosupersub") s.superscript = s.subscript = false;
    else if (w == "v") s.hidden = p != 0;
    else if (w == "cf") s.color = hasParam ? param : 0;
    // Table definitions
    else if (w == "trowd") {
        rowDef() = RowDef{};
        m_pendingCellBackground = 0;
        m_borderPending = false;
    } else if (w == "trleft") rowDef().left = hasParam ? param : 0;
    else if (w == "cellx") {
        RowDef& d = rowDef();
        if (int(d.rights.size()) < MaxCellsPerRow) {
            d.rights.push_back(hasParam ? param : 0);
            d.backgrounds.push_back(m_pendingCellBackground);
        }
        m_pendingCellBackground = 0;
        m_borderPending = false;
    } else if (w == "clcbpat") m_pendingCellBackground = hasParam ? param : 0;
    else if (w.startsWith("clbrdr") || w.startsWith("trbrdr")) m_borderPending = true;
    else if (w == "brdrnone" || w == "brdrnil") m_borderPending = false;
    else if (w == "brdrcf") {
        if (m_borderPending) rowDef().borderColor = hasParam ? param : 0;
    } else if (w == "brdrw") {
        if (m_borderPending) rowDef().borderWidth = hasParam ? param : 0;
    } else if (w.startsWith("brdr") && w != "brdrsp") {
        if (m_borderPending) rowDef().borders = true;
    } else {
        const QChar c = specialChar(w);
        if (!c.isNull()) textIn(QString(c));
    }
}

void RtfReader::bytesIn(QByteArrayView bytes) {
    switch (st().dest) {
        case Dest::Body: {
            const State& s = st();
            const int fontNum = s.font < 0 ? m_defaultFont : s.font;
            const auto it = m_fonts.find(fontNum);
            const int charset = it == m_fonts.end() ? 0 : it->second.charset;
            const int own = RtfCodePage::codePageOfCharset(charset);
            const int cp = own ? own : m_ansiCodePage;
            const bool symbol = charset == 2;
            if (!m_pendingBytes.isEmpty() && (cp != m_pendingCodePage || symbol != m_pendingSymbol)) flushBytes();
            m_pendingCodePage = cp;
            m_pendingSymbol = symbol;
            m_pendingBytes += bytes;
            return;
        }
        case Dest::FontTable: {
            const int own = RtfCodePage::codePageOfCharset(m_fontEntryCharset);
            const QString text = codePage(own ? own : m_ansiCodePage).decode(bytes.toByteArray());
            for (QChar c : text) {
                if (c == QLatin1Char(';')) finishFontEntry();
                else if (m_fontEntryName.size() < kMaxFontName) m_fontEntryName += c;
            }
            return;
        }
        case Dest::ColorTable:
            for (char c : bytes) {
                if (c != ';') continue;
                if (int(m_colors.size()) < kMaxTableEntries)
                    m_colors.push_back(m_colorSeen ? unsigned((m_red << 16) | (m_green << 8) | m_blue) : kAutoColor);
                m_colorSeen = false;
                m_red = m_green = m_blue = 0;
            }
            return;
        case Dest::Picture:
            for (char c : bytes) {
                const int v = hexValue(c);
                if (v < 0) continue;
                if (m_picture.hiNibble < 0) {
                    m_picture.hiNibble = v;
                } else {
                    m_picture.data += char(m_picture.hiNibble * 16 + v);
                    m_picture.hiNibble = -1;
                }
            }
            return;
        case Dest::FieldInstruction:
            if (m_fieldInstruction.size() < 4096) m_fieldInstruction += QString::fromLatin1(bytes.data(), bytes.size());
            return;
        case Dest::Skip:
        case Dest::ShapeInstruction: return;
    }
}

void RtfReader::flushBytes() {
    if (m_pendingBytes.isEmpty()) return;
    QString text;
    if (m_pendingSymbol) {
        // Symbol fonts: keep the bullet recognisable, other bytes as they are.
        for (char b : m_pendingBytes)
            text += (uchar(b) == 0xB7) ? QChar(0x2022) : QChar(uchar(b));
    } else {
        text = codePage(m_pendingCodePage).decode(m_pendingBytes);
    }
    m_pendingBytes.clear();
    m_pendingText += text;
}

// Font, hidden text and links change only through control words and groups,
// so body text gathers here until one of those comes.
void RtfReader::flushText() {
    flushBytes();
    if (m_pendingText.isEmpty()) return;
    const QString text = std::move(m_pendingText);
    m_pendingText.clear();
    addBodyText(text);
}

void RtfReader::textIn(const QString& text) {
    switch (st().dest) {
        case Dest::Body:
            flushBytes();
            m_pendingText += text;
            return;
        case Dest::FontTable:
            if (m_fontEntryName.size() < kMaxFontName) m_fontEntryName += text;
            return;
        case Dest::FieldInstruction:
            if (m_fieldInstruction.size() < 4096) m_fieldInstruction += text;
            return;
        default: return;
    }
}

RtFont RtfReader::currentFont() const {
    const State& s = st();
    RtFont f;
    const auto it = m_fonts.find(s.font < 0 ? m_defaultFont : s.font);
    if (it != m_fonts.end()) f.face = it->second.name;
    f.sizePt = s.sizePt;
    f.bold = s.bold;
    f.italic = s.italic;
    f.underline = s.underline;
    f.strike = s.strike;
    f.superscript = s.superscript;
    f.subscript = s.subscript;
    if (s.color > 0 && s.color < int(m_colors.size()) && m_colors[size_t(s.color)] != kAutoColor) {
        f.hasColor = true;
        f.rgb = m_colors[size_t(s.color)];
    }
    return f;
}

void RtfReader::addRun(RtRun run) {
    if (!budget()) return;
    m_runs.push_back(std::move(run));
}

void RtfReader::addSpecial(RtRun::Kind kind) {
    if (st().dest != Dest::Body || st().hidden) return;
    RtRun run;
    run.kind = kind;
    run.font = currentFont();
    addRun(std::move(run));
}

void RtfReader::addBodyText(const QString& text) {
    if (st().hidden || text.isEmpty()) return;
    const State& s = st();
    const RtRun::Kind kind = s.link.isEmpty() ? RtRun::Kind::Text : RtRun::Kind::Url;
    QString piece;
    auto flush = [&]() {
        if (piece.isEmpty()) return;
        const RtFont font = currentFont();
        if (!m_runs.empty()) {
            RtRun& last = m_runs.back();
            if (last.kind == kind && last.target == s.link && sameFont(last.font, font)) {
                last.text += piece;
                piece.clear();
                return;
            }
        }
        RtRun run;
        run.kind = kind;
        run.text = piece;
        run.target = s.link;
        run.font = font;
        addRun(std::move(run));
        piece.clear();
    };
    for (QChar c : text) {
        if (c == QLatin1Char('\t')) {
            flush();
            addSpecial(RtRun::Kind::Tab);
        } else if (c.unicode() >= 0x20 && c.unicode() != 0x7F) {
            piece += c;
        }
    }
    flush();
}

void RtfReader::finishFontEntry() {
    if (m_fontEntry >= 0 && (m_fonts.size() < size_t(kMaxTableEntries) || m_fonts.count(m_fontEntry)))
        m_fonts[m_fontEntry] = FontDef{m_fontEntryName.trimmed(), m_fontEntryCharset};
    m_fontEntry = -1;
    m_fontEntryName.clear();
}

void RtfReader::finishPicture() {
    Picture pic = std::move(m_picture);
    m_picture = Picture{};
    const Dest target = st().dest;
    if ((target != Dest::Body && target != Dest::ShapeInstruction) || st().hidden || pic.data.isEmpty()) return;
    if (target == Dest::ShapeInstruction) m_shapeHadPicture = true;
    RtRun run;
    run.kind = RtRun::Kind::Picture;
    run.font = currentFont();
    run.picture.data = pic.dib ? bmpFromDib(pic.data) : pic.data;
    const RtfImageInfo info = RtfImageInfo::probe(run.picture.data);
    run.picture.format = info.format != RtfImageInfo::Format::Unknown ? RtfImageInfo::formatName(info.format)
                                                                      : pic.format;
    int w = 0, h = 0;
    if (pic.goalw > 0 && pic.goalh > 0) {
        w = int(std::lround(pic.goalw / 15.0));
        h = int(std::lround(pic.goalh / 15.0));
    } else if (info.widthPx > 0 && info.heightPx > 0) {
        w = info.widthPx;
        h = info.heightPx;
    } else {
        w = pic.picw;
        h = pic.pich;
    }
    run.picture.widthPx = std::max(1, w * pic.scalex / 100);
    run.picture.heightPx = std::max(1, h * pic.scaley / 100);
    addRun(std::move(run));
}

void RtfReader::endParagraph(ParaEnd how) {
    flushText();
    int level = tableLevel();
    if (how == ParaEnd::Cell) level = 1;
    else if (how == ParaEnd::NestCell) level = std::clamp(st().itap, 2, int(MaxTableNesting));
    else if (how == ParaEnd::Document && m_runs.empty()) return;
    ensureLevel(level);
    RtBlock block;
    block.style = st().para;
    block.runs = std::move(m_runs);
    m_runs.clear();
    const bool counted = budget();
    if (level == 0) {
        if (counted) m_doc.blocks.push_back(std::move(block));
        return;
    }
    OpenTable& t = m_tables[size_t(level - 1)];
    if (counted) t.cell.blocks.push_back(std::move(block));
    t.cellOpen = true;
    if (how == ParaEnd::Cell || how == ParaEnd::NestCell) {
        if (int(t.row.cells.size()) < MaxCellsPerRow) {
            t.row.cells.push_back(std::move(t.cell));
        } else {
            auto& last = t.row.cells.back().blocks;
            for (auto& b : t.cell.blocks) last.push_back(std::move(b));
        }
        t.cell = store::RtTableCell{};
        t.cellOpen = false;
    }
}

void RtfReader::endRow(int level) {
    flushText();
    if (!m_runs.empty()) endParagraph(level == 1 ? ParaEnd::Cell : ParaEnd::NestCell);
    ensureLevel(level);
    OpenTable& t = m_tables[size_t(level - 1)];
    if (t.cellOpen) {
        t.row.cells.push_back(std::move(t.cell));
        t.cell = store::RtTableCell{};
        t.cellOpen = false;
    }
    if (!budget()) return;
    applyRowDef(t, level);
    t.table->rows.push_back(std::move(t.row));
    t.row = store::RtTableRow{};
}

void RtfReader::applyRowDef(OpenTable& t, int level) {
    const RowDef& d = m_rowDefs[std::clamp(level, 1, int(MaxTableNesting))];
    if (d.borders) {
        t.table->borders = true;
        if (d.borderWidth > 0) t.table->borderWidthTwips = d.borderWidth;
        if (d.borderColor > 0 && d.borderColor < int(m_colors.size()) && m_colors[size_t(d.borderColor)] != kAutoColor) {
            t.table->hasBorderColor = true;
            t.table->borderRgb = m_colors[size_t(d.borderColor)];
        }
    }
    if (t.table->rows.empty()) t.table->leftTwips = d.left;
    for (size_t i = 0; i < t.row.cells.size() && i < d.rights.size(); ++i) {
        const int left = i == 0 ? d.left : d.rights[i - 1];
        const int width = d.rights[i] - left;
        store::RtTableCell& cell = t.row.cells[i];
        if (width > 0) cell.widthTwips = width;
        const int bg = d.backgrounds[i];
        if (bg > 0 && bg < int(m_colors.size()) && m_colors[size_t(bg)] != kAutoColor) {
            cell.hasBackground = true;
            cell.backgroundRgb = m_colors[size_t(bg)];
        }
    }
}

void RtfReader::ensureLevel(int level) {
    level = std::clamp(level, 0, int(MaxTableNesting));
    while (int(m_tables.size()) > level) closeTopTable();
    while (int(m_tables.size()) < level) {
        m_tables.emplace_back();
        m_tables.back().table->borders = false;
    }
}

void RtfReader::closeTopTable() {
    OpenTable t = std::move(m_tables.back());
    const int level = int(m_tables.size());
    m_tables.pop_back();
    if (t.cellOpen) t.row.cells.push_back(std::move(t.cell));
    if (!t.row.cells.empty()) {
        applyRowDef(t, level);
        t.table->rows.push_back(std::move(t.row));
    }
    if (t.table->rows.empty()) return;
    RtBlock block;
    block.table = t.table;
    if (m_tables.empty()) {
        m_doc.blocks.push_back(std::move(block));
    } else {
        m_tables.back().cell.blocks.push_back(std::move(block));
        m_tables.back().cellOpen = true;
    }
}

}  // namespace rtf

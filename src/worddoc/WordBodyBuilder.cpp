#include "worddoc/WordBodyBuilder.h"

#include "richtext/ParagraphIndents.h"
#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"
#include "worddoc/LeBytes.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>
#include <cstdint>

using store::RtAlign;
using store::RtBlock;
using store::RtFont;
using store::RtParagraphStyle;
using store::RtRun;
using store::RtTable;
using store::RtTableCell;
using store::RtTableRow;

namespace worddoc {
namespace {

// Property modifiers (sprms) the writer uses, by their ids.
enum Sprm : unsigned {
    CFSpec = 0x0855,
    CPicLocation = 0x6A03,
    CRgFtc0 = 0x4A4F,
    CRgFtc1 = 0x4A50,
    CRgFtc2 = 0x4A51,
    CHps = 0x4A43,
    CFBold = 0x0835,
    CFItalic = 0x0836,
    CFStrike = 0x0837,
    CKul = 0x2A3E,
    CIss = 0x2A48,
    CIco = 0x2A42,
    CCv = 0x6870,
    CHighlight = 0x2A0C,
    PJc80 = 0x2403,
    PDxaLeft80 = 0x840F,
    PDxaRight80 = 0x840E,
    PDxaLeft180 = 0x8411,
    PDyaBefore = 0xA413,
    PDyaAfter = 0xA414,
    PChgTabsPapx = 0xC60D,
    PFInTable = 0x2416,
    PFTtp = 0x2417,
    PItap = 0x6649,
    PFInnerTableCell = 0x244B,
    PFInnerTtp = 0x244C,
    PHugePapx = 0x6646,
    TDxaGapHalf = 0x9602,
    TTableBorders80 = 0xD605,
    TDefTable = 0xD608,
    TDefTableShd = 0xD612,
    TDefTableShd2nd = 0xD616,
    TDefTableShd3rd = 0xD60C,
};

void sprm8(QByteArray& b, unsigned id, unsigned v) {
    le::u16(b, id);
    le::u8(b, v);
}
void sprm16(QByteArray& b, unsigned id, int v) {
    le::u16(b, id);
    le::i16(b, v);
}
void sprm32(QByteArray& b, unsigned id, uint32_t v) {
    le::u16(b, id);
    le::u32(b, v);
}

constexpr int kBulletIndent = store::kListMarkIndent;
constexpr int kMaxTabs = 64;
// Paragraph properties longer than this go to the Data stream (an FKP page
// holds 512 bytes for all its paragraphs): rows of more than about 20 cells.
// Some older readers (antiword) do not look there.
constexpr int kLongPapx = 470;
constexpr int kMaxTwips = 31680;

int clampTwips(int v) { return std::clamp(v, -kMaxTwips, kMaxTwips); }
int percentOf(int width, int percent) { return store::percentOfWidth(width, percent); }

using Indents = store::ParagraphIndents;
Indents fitIndents(const RtParagraphStyle& style, int width) { return Indents::fit(style, width); }

// The 16 colours of Word 97's colour index (ico 1 to 16).
const unsigned kIcoColors[16] = {0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
                                 0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0};

unsigned nearestIco(unsigned rgb) {
    unsigned best = 1;
    long bestDistance = -1;
    for (unsigned i = 0; i < 16; ++i) {
        const unsigned c = kIcoColors[i];
        const long dr = long((rgb >> 16) & 0xFF) - long((c >> 16) & 0xFF);
        const long dg = long((rgb >> 8) & 0xFF) - long((c >> 8) & 0xFF);
        const long db = long(rgb & 0xFF) - long(c & 0xFF);
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i + 1;
        }
    }
    return best;
}

// COLORREF: red, green, blue, then a zero byte (not "auto").
uint32_t colorRef(unsigned rgb) { return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16); }

// The model's text as Word's main text takes it: line ends become line breaks,
// other control characters (Word's cell, field and picture marks) are dropped.
QString cleanText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == '\t' || u >= 0x20) {
            out += text[i];
        } else if (u == '\r' || u == '\n' || u == 0x0B || u == 0x0C) {
            if (u == '\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) continue;
            out += QChar(0x0B);
        }
    }
    return out;
}

// A table's border: a single line 0.5 pt wide in the automatic colour, or as
// the source gave it.
QByteArray brc80(const RtTable& table) {
    QByteArray b;
    if (!table.borders) {
        le::zeros(b, 4);
        return b;
    }
    const int eighths = table.borderWidthTwips > 0 ? std::clamp(table.borderWidthTwips * 2 / 5, 2, 255) : 4;
    le::u8(b, unsigned(eighths));
    le::u8(b, 1);
    le::u8(b, table.hasBorderColor ? nearestIco(table.borderRgb & 0xFFFFFF) : 0);
    le::u8(b, 0);
    return b;
}

// Cell widths of a row summing to `total`: cells keep their twips or their
// share of the table, the others split what is left, the row is scaled to fit.
std::vector<int> rowWidths(const RtTableRow& row, int total) {
    const size_t n = std::max<size_t>(row.cells.size(), 1);
    std::vector<int64_t> desired(n, 0);
    int64_t given = 0;
    size_t open = 0;
    for (size_t c = 0; c < row.cells.size(); ++c) {
        const RtTableCell& cell = row.cells[c];
        if (cell.widthTwips > 0) desired[c] = std::min(cell.widthTwips, kMaxTwips);
        else if (cell.widthPercent > 0) desired[c] = std::max(1, percentOf(total, cell.widthPercent));
        given += desired[c];
        if (desired[c] == 0) ++open;
    }
    if (row.cells.empty()) open = n;
    if (open > 0) {
        const int64_t share = std::max<int64_t>(total / int64_t(n), (total - given) / int64_t(open));
        for (int64_t& d : desired)
            if (d == 0) d = std::max<int64_t>(share, 1);
    }
    int64_t sum = 0;
    for (int64_t d : desired) sum += d;
    std::vector<int> widths(n, 0);
    int used = 0;
    for (size_t c = 0; c < n; ++c) {
        widths[c] = std::max(1, int(desired[c] * total / std::max<int64_t>(sum, 1)));
        used += widths[c];
    }
    widths.back() = std::max(1, widths.back() + total - used);
    return widths;
}

// The width a table takes in `available`: its widest row when every cell gives
// its twips, else all of it.
int tableWidth(const RtTable& table, int available) {
    int64_t widest = 0;
    for (const RtTableRow& row : table.rows) {
        if (row.cells.empty()) return available;
        int64_t sum = 0;
        for (const RtTableCell& cell : row.cells) {
            if (cell.widthTwips <= 0) return available;
            sum += cell.widthTwips;
        }
        widest = std::max(widest, sum);
    }
    return widest > 0 ? int(std::min<int64_t>(widest, available)) : available;
}

bool tableFits(const RtTable& table) {
    for (const RtTableRow& row : table.rows)
        if (row.cells.size() > size_t(WordBodyBuilder::MaxTableColumns)) return false;
    return true;
}

QString docLinkText(const QString& description) {
    return description.isEmpty() ? QStringLiteral("[Link]") : QStringLiteral("[Link: %1]").arg(description);
}

}  // namespace

WordBodyBuilder::WordBodyBuilder(int textWidthTwips) : m_textWidth(std::max(textWidthTwips, 1440)) {
    fontIndex(QString());  // font 0: the default face
}

QString WordBodyBuilder::actualFace(const QString& face) {
    const QString f = face.trimmed();
    if (f.isEmpty() || f.compare(QLatin1String("Default Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Arial");
    if (f.compare(QLatin1String("Default Serif"), Qt::CaseInsensitive) == 0) return QStringLiteral("Times New Roman");
    if (f.compare(QLatin1String("Default Monospace"), Qt::CaseInsensitive) == 0 ||
        f.compare(QLatin1String("Default Multilingual"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Courier New");
    return f.left(31);
}

QByteArray WordBodyBuilder::normalChpx() {
    QByteArray b;
    sprm16(b, CRgFtc0, 0);
    sprm16(b, CRgFtc1, 0);
    sprm16(b, CRgFtc2, 0);
    sprm16(b, CHps, 20);
    return b;
}

int WordBodyBuilder::fontIndex(const QString& face) {
    const QString f = actualFace(face);
    const auto it = m_fontIndex.constFind(f);
    if (it != m_fontIndex.constEnd()) return it.value();
    const int idx = int(m_fonts.size());
    m_fonts.push_back(f);
    m_fontIndex.insert(f, idx);
    return idx;
}

void WordBodyBuilder::build(const store::RichTextDoc& doc) {
    writeBlocks(doc.blocks, m_textWidth);
    // The main text ends in a paragraph of its own, outside any table.
    if (m_paragraphs.empty() || doc.blocks.back().table) writeParagraph(RtBlock{}, 0, m_textWidth, QChar('\r'), {});
}

void WordBodyBuilder::writeBlocks(const std::vector<RtBlock>& blocks, int width) {
    for (const RtBlock& block : blocks) {
        if (block.table) {
            m_numberCounter = 0;
            writeTable(*block.table, 1, width);
        } else {
            writeParagraph(block, 0, width, QChar('\r'), {});
        }
    }
}

QByteArray WordBodyBuilder::tableSprms(int level) const {
    QByteArray b;
    if (level <= 0) return b;
    sprm8(b, PFInTable, 1);
    sprm32(b, PItap, uint32_t(level));
    return b;
}

QByteArray WordBodyBuilder::paragraphSprms(const RtParagraphStyle& style, int width) const {
    QByteArray b;
    switch (style.align) {
        case RtAlign::Center: sprm8(b, PJc80, 1); break;
        case RtAlign::Right: sprm8(b, PJc80, 2); break;
        case RtAlign::Justify: sprm8(b, PJc80, 3); break;
        case RtAlign::Left:
        case RtAlign::NoWrap: break;
    }
    const Indents in = fitIndents(style, width);
    if (in.left) sprm16(b, PDxaLeft80, clampTwips(in.left));
    if (in.first) sprm16(b, PDxaLeft180, clampTwips(in.first));
    if (in.right) sprm16(b, PDxaRight80, clampTwips(in.right));
    if (style.spaceBefore > 0) sprm16(b, PDyaBefore, std::min(style.spaceBefore, kMaxTwips));
    if (style.spaceAfter > 0) sprm16(b, PDyaAfter, std::min(style.spaceAfter, kMaxTwips));
    std::vector<int> tabs;
    for (int t : style.tabStops)
        if (t > 0) tabs.push_back(std::min(t, kMaxTwips));
    std::sort(tabs.begin(), tabs.end());
    tabs.erase(std::unique(tabs.begin(), tabs.end()), tabs.end());
    if (tabs.size() > size_t(kMaxTabs)) tabs.resize(kMaxTabs);
    if (!tabs.empty()) {
        le::u16(b, PChgTabsPapx);
        le::u8(b, unsigned(2 + 3 * tabs.size()));
        le::u8(b, 0);  // none deleted
        le::u8(b, unsigned(tabs.size()));
        for (int t : tabs) le::i16(b, t);
        for (size_t i = 0; i < tabs.size(); ++i) le::u8(b, 0);  // left-aligned, no leader
    }
    return b;
}

QByteArray WordBodyBuilder::chpxFor(const RtFont& font) {
    QByteArray b;
    const int idx = fontIndex(font.face);
    if (idx != 0) {
        sprm16(b, CRgFtc0, idx);
        sprm16(b, CRgFtc1, idx);
        sprm16(b, CRgFtc2, idx);
    }
    const double size = font.sizePt > 0 ? font.sizePt : 10.0;
    const int hps = std::clamp(int(std::lround(size * 2)), 2, 3276);
    if (hps != 20) sprm16(b, CHps, hps);
    if (font.bold) sprm8(b, CFBold, 1);
    if (font.italic) sprm8(b, CFItalic, 1);
    if (font.strike) sprm8(b, CFStrike, 1);
    if (font.underline) sprm8(b, CKul, 1);
    if (font.superscript) sprm8(b, CIss, 1);
    else if (font.subscript) sprm8(b, CIss, 2);
    if (font.hasColor) {
        sprm8(b, CIco, nearestIco(font.rgb & 0xFFFFFF));
        sprm32(b, CCv, colorRef(font.rgb));
    }
    if (font.hasHighlight) sprm8(b, CHighlight, nearestIco(font.highlightRgb & 0xFFFFFF));
    return b;
}

void WordBodyBuilder::setChpx(const QByteArray& chpx) {
    const int cp = int(m_text.size());
    if (!m_runs.empty() && m_runs.back().sprms == chpx) return;
    if (!m_runs.empty() && m_runs.back().cp == cp) {
        m_runs.pop_back();
        if (!m_runs.empty() && m_runs.back().sprms == chpx) return;
    }
    m_runs.push_back({cp, chpx});
}

void WordBodyBuilder::writeText(const QString& text, const QByteArray& chpx) {
    const QString clean = cleanText(text);
    if (clean.isEmpty()) return;
    setChpx(chpx);
    m_text += clean;
}

void WordBodyBuilder::endParagraph(QChar mark, const QByteArray& papx) {
    // The mark keeps the document's default font, as the RTF writer's \par does.
    setChpx(QByteArray());
    m_text += mark;
    m_paragraphs.push_back({int(m_text.size()), placeLongPapx(papx)});
}

QByteArray WordBodyBuilder::placeLongPapx(const QByteArray& papx) {
    if (papx.size() <= kLongPapx) return papx;
    const uint32_t fc = uint32_t(m_data.size());
    le::u16(m_data, unsigned(papx.size() - 2));
    m_data += papx.mid(2);
    QByteArray out = papx.left(2);
    sprm32(out, PHugePapx, fc);
    return out;
}

void WordBodyBuilder::writeParagraph(const RtBlock& block, int level, int width, QChar mark, const QByteArray& extra) {
    m_currentWidth = width;
    QByteArray papx;
    le::u16(papx, 0);  // Normal
    papx += paragraphSprms(block.style, width);
    papx += tableSprms(level);
    papx += extra;
    const RtFont listFont = block.runs.empty() ? RtFont{} : block.runs.front().font;
    RtFont markFont;
    markFont.sizePt = listFont.sizePt;
    if (block.style.bullet) {
        m_numberCounter = 0;
        writeText(QStringLiteral("\u2022\t"), chpxFor(markFont));
    } else if (block.style.numbered) {
        ++m_numberCounter;
        writeText(QString::number(m_numberCounter) + QStringLiteral(".\t"), chpxFor(markFont));
    } else {
        m_numberCounter = 0;
    }
    writeRuns(block.runs);
    endParagraph(mark, papx);
}

void WordBodyBuilder::writeRuns(const std::vector<RtRun>& runs) {
    for (const RtRun& run : runs) {
        switch (run.kind) {
            case RtRun::Kind::Text: writeText(run.text, chpxFor(run.font)); break;
            case RtRun::Kind::LineBreak:
                setChpx(chpxFor(run.font));
                m_text += QChar(0x0B);
                break;
            case RtRun::Kind::Tab:
                setChpx(chpxFor(run.font));
                m_text += QChar('\t');
                break;
            case RtRun::Kind::Picture: writePicture(run); break;
            case RtRun::Kind::AttachmentRef:
                writeText(QStringLiteral("[Attachment: %1]").arg(run.text), chpxFor(run.font));
                break;
            case RtRun::Kind::DocLink:
                if (run.target.startsWith(QLatin1String("notes://")))
                    writeHyperlink(run.target, docLinkText(run.text), run.font);
                else
                    writeText(docLinkText(run.text), chpxFor(run.font));
                break;
            case RtRun::Kind::Url:
                if (!run.target.isEmpty())
                    writeHyperlink(run.target, run.text.isEmpty() ? run.target : run.text, run.font);
                else
                    writeText(run.text, chpxFor(run.font));
                break;
        }
    }
}

void WordBodyBuilder::writeRunsInline(const std::vector<RtBlock>& blocks) {
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0) writeText(QStringLiteral(" "), QByteArray());
        if (!blocks[i].table) {
            writeRuns(blocks[i].runs);
            continue;
        }
        const auto& rows = blocks[i].table->rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (r > 0) writeText(QStringLiteral(" "), QByteArray());
            for (size_t c = 0; c < rows[r].cells.size(); ++c) {
                if (c > 0) {
                    setChpx(QByteArray());
                    m_text += QChar('\t');
                }
                writeRunsInline(rows[r].cells[c].blocks);
            }
        }
    }
}

void WordBodyBuilder::writeFieldChar(unsigned char ch, unsigned char flags, const QByteArray& chpx) {
    QByteArray specialChpx = chpx;
    sprm8(specialChpx, CFSpec, 1);
    setChpx(specialChpx);
    m_fields.push_back({int(m_text.size()), ch, flags});
    m_text += QChar(ch);
}

void WordBodyBuilder::writeHyperlink(const QString& target, const QString& shown, const RtFont& font) {
    QString address = cleanText(target).remove(QChar(0x0B));
    address.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    address.replace(QLatin1Char('"'), QLatin1String("%22"));
    const QByteArray chpx = chpxFor(font);
    writeFieldChar(0x13, 0x58, QByteArray());  // HYPERLINK
    writeText(QStringLiteral(" HYPERLINK \"%1\" ").arg(address), QByteArray());
    writeFieldChar(0x14, 0xFF, QByteArray());
    writeText(shown.isEmpty() ? target : shown, chpx);
    writeFieldChar(0x15, 0x80, QByteArray());  // has a separator
}

void WordBodyBuilder::writePicture(const RtRun& run) {
    QByteArray data = run.picture.data;
    rtf::RtfImageInfo info = rtf::RtfImageInfo::probe(data);
    const rtf::RtfImageInfo original = info;
    if (info.format == rtf::RtfImageInfo::Format::Gif || info.format == rtf::RtfImageInfo::Format::Bmp) {
        data = rtf::PictureToPng::convert(data);
        info = rtf::RtfImageInfo::probe(data);
    }
    unsigned blipType = 0, blipInstance = 0, blipRecord = 0;
    if (info.format == rtf::RtfImageInfo::Format::Png) {
        blipType = 6;
        blipInstance = 0x6E0;
        blipRecord = 0xF01E;
    } else if (info.format == rtf::RtfImageInfo::Format::Jpeg) {
        blipType = 5;
        blipInstance = 0x46A;
        blipRecord = 0xF01D;
    }
    if (!blipType) {
        ++m_pictureFallbacks;
        writeText(QStringLiteral("[picture]"), chpxFor(run.font));
        return;
    }
    int w = run.picture.widthPx > 0 ? run.picture.widthPx : original.widthPx;
    int h = run.picture.heightPx > 0 ? run.picture.heightPx : original.heightPx;
    if (w <= 0 || h <= 0) {
        w = std::max(info.widthPx, 1);
        h = std::max(info.heightPx, 1);
    }
    // Size at 96 pixels to the inch (at most 22 inches either way, in
    // proportion), shrunk by the scale to the width the paragraph has.
    const int64_t dxa = int64_t(w) * 15, dya = int64_t(h) * 15;
    const int64_t longest = std::max(dxa, dya);
    const int dxaGoal = std::max(1, int(longest > kMaxTwips ? dxa * kMaxTwips / longest : dxa));
    const int dyaGoal = std::max(1, int(longest > kMaxTwips ? dya * kMaxTwips / longest : dya));
    int scale = 1000;  // tenths of a percent
    const int room = std::max(m_currentWidth, 144);
    if (dxaGoal > room) scale = std::max(1, int(int64_t(room) * 1000 / dxaGoal));

    const QByteArray uid = QCryptographicHash::hash(data, QCryptographicHash::Md5);

    QByteArray blip;
    le::u16(blip, blipInstance << 4);
    le::u16(blip, blipRecord);
    le::u32(blip, uint32_t(17 + data.size()));
    blip += uid;
    le::u8(blip, 0xFF);
    blip += data;

    QByteArray bse;
    le::u16(bse, (blipType << 4) | 2);
    le::u16(bse, 0xF007);
    le::u32(bse, uint32_t(36 + blip.size()));
    le::u8(bse, blipType);
    le::u8(bse, blipType);
    bse += uid;
    le::u16(bse, 0xFF);
    le::u32(bse, uint32_t(blip.size()));
    le::u32(bse, 1);  // references
    le::u32(bse, 0);  // in this record
    le::zeros(bse, 4);
    bse += blip;

    QByteArray shape;
    le::u16(shape, (75 << 4) | 2);  // picture frame
    le::u16(shape, 0xF00A);
    le::u32(shape, 8);
    le::u32(shape, uint32_t(1025 + m_pictures));
    le::u32(shape, 0x0A00);  // has an anchor, has a shape type
    le::u16(shape, (1 << 4) | 3);
    le::u16(shape, 0xF00B);
    le::u32(shape, 6);
    le::u16(shape, 0x4104);  // the picture: BLIP 1 that follows
    le::u32(shape, 1);
    QByteArray container;
    le::u16(container, 0x000F);
    le::u16(container, 0xF004);
    le::u32(container, uint32_t(shape.size()));
    container += shape;

    const uint32_t fc = uint32_t(m_data.size());
    QByteArray& d = m_data;
    le::u32(d, uint32_t(68 + container.size() + bse.size()));
    le::u16(d, 68);
    le::u16(d, 0x64);  // MM_SHAPE: OfficeArt data follows
    le::zeros(d, 6);
    le::zeros(d, 14);
    le::i16(d, dxaGoal);
    le::i16(d, dyaGoal);
    le::u16(d, unsigned(scale));
    le::u16(d, unsigned(scale));
    le::zeros(d, 8 + 2 + 16 + 4 + 2);  // cropping, flags, borders, reserved, properties
    d += container;
    d += bse;

    QByteArray chpx = chpxFor(run.font);
    sprm8(chpx, CFSpec, 1);
    sprm32(chpx, CPicLocation, fc);
    setChpx(chpx);
    m_text += QChar(0x01);
    ++m_pictures;
}

void WordBodyBuilder::writeTable(const RtTable& table, int level, int width) {
    if (table.rows.empty()) return;
    if (level > MaxTableNesting || !tableFits(table)) {
        // Too deep or too wide for a Word table: one line per row, cells
        // separated by tabs, in the enclosing text area.
        for (const RtTableRow& row : table.rows) {
            QByteArray papx;
            le::u16(papx, 0);
            papx += tableSprms(level - 1);
            for (size_t c = 0; c < row.cells.size(); ++c) {
                if (c > 0) {
                    setChpx(QByteArray());
                    m_text += QChar('\t');
                }
                writeRunsInline(row.cells[c].blocks);
            }
            endParagraph(QChar('\r'), papx);
        }
        return;
    }
    const int total = tableWidth(table, width);
    for (const RtTableRow& row : table.rows) {
        const std::vector<int> widths = rowWidths(row, total);
        if (row.cells.empty()) {
            writeCell(RtTableCell{}, level, widths[0]);
        } else {
            for (size_t c = 0; c < row.cells.size(); ++c) writeCell(row.cells[c], level, widths[c]);
        }
        writeRowEnd(table, row, widths, std::clamp(table.leftTwips, -width, width), level);
    }
}

void WordBodyBuilder::writeCell(const RtTableCell& cell, int level, int width) {
    const int textWidth = std::max(width - 2 * CellGapTwips, 1);
    const QChar cellMark = level == 1 ? QChar(0x07) : QChar('\r');
    QByteArray cellEnd;
    if (level > 1) sprm8(cellEnd, PFInnerTableCell, 1);
    m_numberCounter = 0;
    if (cell.blocks.empty()) {
        writeParagraph(RtBlock{}, level, textWidth, cellMark, cellEnd);
        return;
    }
    for (size_t i = 0; i < cell.blocks.size(); ++i) {
        const RtBlock& block = cell.blocks[i];
        const bool last = i + 1 == cell.blocks.size();
        if (block.table) {
            writeTable(*block.table, level + 1, textWidth);
            m_currentWidth = textWidth;
            if (last) writeParagraph(RtBlock{}, level, textWidth, cellMark, cellEnd);
            continue;
        }
        writeParagraph(block, level, textWidth, last ? cellMark : QChar('\r'), last ? cellEnd : QByteArray());
    }
}

void WordBodyBuilder::writeRowEnd(const RtTable& table, const RtTableRow& row, const std::vector<int>& widths,
                                  int left, int level) {
    QByteArray papx;
    le::u16(papx, 0);
    // A nested row's end is marked by its depth alone: readers that know only
    // Word 97's tables (antiword) take a row end "in table" for the outer
    // table's and lose the text after it.
    if (level == 1) papx += tableSprms(level);
    else sprm32(papx, PItap, uint32_t(level));
    if (level == 1) {
        sprm8(papx, PFTtp, 1);
    } else {
        sprm8(papx, PFInnerTableCell, 1);
        sprm8(papx, PFInnerTtp, 1);
    }
    sprm16(papx, TDxaGapHalf, CellGapTwips);
    const QByteArray brc = brc80(table);
    if (table.borders) {
        le::u16(papx, TTableBorders80);
        le::u8(papx, 24);
        for (int i = 0; i < 6; ++i) papx += brc;
    }
    const size_t n = widths.size();
    le::u16(papx, TDefTable);
    le::u16(papx, unsigned(1 + 1 + 2 * (n + 1) + 20 * n));
    le::u8(papx, unsigned(n));
    int x = left;
    le::i16(papx, x);
    for (int w : widths) {
        x = std::min(x + w, kMaxTwips);
        le::i16(papx, x);
    }
    for (size_t c = 0; c < n; ++c) {
        le::u16(papx, 0);  // no merging, top-aligned
        le::u16(papx, 0);
        for (int side = 0; side < 4; ++side) papx += brc;
    }
    bool shaded = false;
    for (const RtTableCell& cell : row.cells) shaded = shaded || cell.hasBackground;
    if (shaded) {
        // One sprm per 22 cells' shading.
        const unsigned shdSprms[3] = {TDefTableShd, TDefTableShd2nd, TDefTableShd3rd};
        for (size_t part = 0; part < 3 && part * 22 < n; ++part) {
            const size_t first = part * 22, end = std::min(n, first + 22);
            le::u16(papx, shdSprms[part]);
            le::u8(papx, unsigned(10 * (end - first)));
            for (size_t c = first; c < end; ++c) {
                const bool has = c < row.cells.size() && row.cells[c].hasBackground;
                le::u32(papx, 0xFF000000);  // foreground: automatic
                le::u32(papx, has ? colorRef(row.cells[c].backgroundRgb) : 0xFF000000);
                le::u16(papx, 0);  // clear: the background colour alone
            }
        }
    }
    endParagraph(level == 1 ? QChar(0x07) : QChar('\r'), papx);
}

}  // namespace worddoc

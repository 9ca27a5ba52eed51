#include "rtf/RtfWriter.h"

#include "richtext/ParagraphIndents.h"
#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"
#include "rtf/RtfTextEscaper.h"
#include "rtf/TextWidthEstimate.h"

#include <algorithm>
#include <cmath>
#include <numeric>

using store::RtAlign;
using store::RtBlock;
using store::RtFont;
using store::RtParagraphStyle;
using store::RtRun;
using store::RtTable;
using store::RtTableCell;
using store::RtTableRow;

namespace rtf {
namespace {

constexpr int kCellGap = RtfWriter::CellGapTwips;
constexpr int kBulletIndent = store::kListMarkIndent;
// A cell's text gets at least this much besides the gaps between cells.
constexpr int kCellSlackTwips = 60;

QByteArray num(int v) { return QByteArray::number(v); }

// Word and LibreOffice know nothing of the Notes generic face names.
QString actualFace(const QString& face) {
    const QString f = face.trimmed();
    if (f.isEmpty() || f.compare(QLatin1String("Default Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Arial");
    if (f.compare(QLatin1String("Default Serif"), Qt::CaseInsensitive) == 0) return QStringLiteral("Times New Roman");
    if (f.compare(QLatin1String("Default Monospace"), Qt::CaseInsensitive) == 0 ||
        f.compare(QLatin1String("Default Multilingual"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Courier New");
    return f;
}

QByteArray fontFamily(const QString& face) {
    const QString f = face.toLower();
    if (f.contains(QLatin1String("courier")) || f.contains(QLatin1String("mono")) ||
        f.contains(QLatin1String("consol")) || f.contains(QLatin1String("lucida console")))
        return "\\fmodern";
    if (f.contains(QLatin1String("times")) || f.contains(QLatin1String("serif")) ||
        f.contains(QLatin1String("georgia")) || f.contains(QLatin1String("garamond")) ||
        f.contains(QLatin1String("roman")))
        return f.contains(QLatin1String("sans")) ? "\\fswiss" : "\\froman";
    if (f == QLatin1String("symbol") || f.startsWith(QLatin1String("wingdings")) ||
        f.startsWith(QLatin1String("webdings")))
        return "\\ftech";
    if (f.contains(QLatin1String("arial")) || f.contains(QLatin1String("helvetica")) ||
        f.contains(QLatin1String("verdana")) || f.contains(QLatin1String("tahoma")) ||
        f.contains(QLatin1String("sans")) || f.contains(QLatin1String("calibri")))
        return "\\fswiss";
    return "\\fnil";
}

QByteArray alignWord(RtAlign a) {
    switch (a) {
        case RtAlign::Right: return "\\qr";
        case RtAlign::Center: return "\\qc";
        case RtAlign::Justify: return "\\qj";
        case RtAlign::Left:
        case RtAlign::NoWrap: break;
    }
    return "\\ql";
}

int clampTwips(int v) { return std::clamp(v, -31680, 31680); }

int percentOf(int width, int percent) { return store::percentOfWidth(width, percent); }

using Indents = store::ParagraphIndents;
Indents fitIndents(const RtParagraphStyle& style, int width) { return Indents::fit(style, width); }

// The width the longest word or picture of `blocks` needs on a line: a cell
// narrower than that breaks it, letter by letter in the worst case. Words
// count at most kLongestWordLetters letters: a longer one (an address, an
// identifier) is broken in any table that has other columns, and it should
// not take all of their room. Nested tables are left out (they shrink).
constexpr int kLongestWordLetters = 24;

int unbreakableTwips(const std::vector<RtBlock>& blocks) {
    int widest = 0;
    for (const RtBlock& block : blocks) {
        for (const RtRun& run : block.runs) {
            if (run.kind == RtRun::Kind::Picture) {
                widest = std::max(widest, std::min(run.picture.widthPx, 2112) * 15);
                continue;
            }
            if (run.kind == RtRun::Kind::LineBreak || run.kind == RtRun::Kind::Tab) continue;
            const QString& text = run.text.isEmpty() ? run.target : run.text;
            const bool monospaced = fontFamily(actualFace(run.font.face)) == "\\fmodern";
            qsizetype start = 0;
            for (qsizetype i = 0; i <= text.size(); ++i) {
                if (i < text.size() && !text[i].isSpace()) continue;
                const QStringView word = QStringView(text).mid(start, std::min<qsizetype>(i - start, kLongestWordLetters));
                widest = std::max(widest, TextWidthEstimate::twips(word, run.font.sizePt, run.font.bold, monospaced));
                start = i + 1;
            }
        }
    }
    return widest;
}

// Lowers the largest of `minimum` to one level so that they sum to at most
// `total`: the columns with short words keep what they need, the ones with the
// longest words give up room (their words break, in pieces of that width).
void capMinimums(std::vector<int>& minimum, int total) {
    if (std::accumulate(minimum.begin(), minimum.end(), int64_t(0)) <= total) return;
    std::vector<int> sorted(minimum);
    std::sort(sorted.begin(), sorted.end());
    int64_t below = 0;  // the sum of the minimums under the level
    int level = 0;
    for (size_t i = 0; i < sorted.size(); ++i) {
        const int64_t rest = int64_t(sorted.size() - i);
        level = int((total - below) / rest);
        if (level <= sorted[i]) break;
        below += sorted[i];
    }
    for (int& m : minimum) m = std::min(m, std::max(level, 0));
}

// Widths summing to `total`, in proportion to `desired` (all > 0), none below
// its `minimum` (see capMinimums when they do not fit).
std::vector<int> fitWidths(const std::vector<int>& desired, int total, std::vector<int> minimum) {
    const size_t n = desired.size();
    capMinimums(minimum, total);
    std::vector<bool> floored(n, false);
    int64_t freeTotal = total, freeDesired = 0;
    for (bool changed = true; changed;) {
        changed = false;
        freeTotal = total;
        freeDesired = 0;
        for (size_t i = 0; i < n; ++i) {
            if (floored[i]) freeTotal -= minimum[i];
            else freeDesired += desired[i];
        }
        for (size_t i = 0; i < n && freeDesired > 0; ++i)
            if (!floored[i] && desired[i] * freeTotal / freeDesired < minimum[i]) floored[i] = changed = true;
    }
    std::vector<int> widths(minimum);
    int used = 0;
    int last = int(n) - 1;
    for (size_t i = 0; i < n; ++i) {
        if (!floored[i]) {
            widths[i] = freeDesired > 0 ? int(desired[i] * freeTotal / freeDesired) : 0;
            last = int(i);
        }
        used += widths[i];
    }
    widths[size_t(last)] += total - used;  // what rounding left goes to the last free cell
    return widths;
}

// How a table is laid out in the width it is given (`available`), or in up to
// `widestTable` when its columns' words need more.
struct TableLayout {
    // All of the available width when a cell leaves its width open or gives a
    // share, else the widest row, at most the available width; more when the
    // words need it.
    int width = 0;
    // Per column: what its widest word or picture needs, with the gaps.
    std::vector<int> columnMinimum;
};

TableLayout layoutTable(const RtTable& table, int available, int widestTable) {
    TableLayout layout;
    bool open = false;
    int widest = 0;
    for (const RtTableRow& row : table.rows) {
        if (row.cells.size() > layout.columnMinimum.size()) layout.columnMinimum.resize(row.cells.size(), 0);
        int64_t sum = 0;
        for (size_t c = 0; c < row.cells.size(); ++c) {
            const RtTableCell& cell = row.cells[c];
            if (cell.widthTwips <= 0) open = true;
            sum += std::max(cell.widthTwips, 0);
            layout.columnMinimum[c] = std::max(layout.columnMinimum[c], unbreakableTwips(cell.blocks));
        }
        if (row.cells.empty()) open = true;
        widest = int(std::min<int64_t>(std::max<int64_t>(widest, sum), available));
    }
    layout.width = open || widest <= 0 ? available : widest;
    int64_t needed = 0;
    for (int& m : layout.columnMinimum) {
        m = std::min(m + 2 * kCellGap + kCellSlackTwips, widestTable);
        needed += m;
    }
    // A table whose words do not fit may take part of the page's margins
    // rather than break them.
    if (needed > layout.width && layout.width == available && widestTable > available)
        layout.width = int(std::min<int64_t>(needed, widestTable));
    return layout;
}

// Cell widths of a row, summing to the table's width: cells keep their twips
// or their share of the table, the cells without either split what is left,
// the row is scaled to fit, and no column gets less than its words need while
// the table has room. Every row of a table spans the same width (an office
// reading RTF lays a nested table out by its last row's width).
std::vector<int> rowWidths(const RtTableRow& row, const TableLayout& layout) {
    const int width = layout.width;
    const size_t n = std::max<size_t>(row.cells.size(), 1);
    std::vector<int> desired(n, 0);
    std::vector<int> minimum(n, std::min(2 * kCellGap + kCellSlackTwips, width / int(n)));
    int64_t given = 0;
    size_t open = 0;
    for (size_t c = 0; c < n; ++c) {
        const RtTableCell* cell = c < row.cells.size() ? &row.cells[c] : nullptr;
        if (cell && cell->widthTwips > 0) desired[c] = std::min(cell->widthTwips, 31680);
        else if (cell && cell->widthPercent > 0) desired[c] = std::max(1, percentOf(width, cell->widthPercent));
        if (c < layout.columnMinimum.size()) minimum[c] = std::max(minimum[c], layout.columnMinimum[c]);
        given += desired[c];
        if (desired[c] == 0) ++open;
    }
    if (open > 0) {
        const int share = int(std::max<int64_t>(width / int64_t(n), (width - given) / int64_t(open)));
        for (int& d : desired)
            if (d == 0) d = std::max(share, 1);
    }
    return fitWidths(desired, width, minimum);
}

QByteArray hexLines(const QByteArray& data) {
    static const char hex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(data.size() * 2 + data.size() / 64 + 2);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i % 64 == 0) out += '\n';
        const unsigned char b = static_cast<unsigned char>(data[i]);
        out += hex[b >> 4];
        out += hex[b & 15];
    }
    return out;
}

}  // namespace

RtfWriter::RtfWriter(RtfQuality quality) : m_quality(quality) {}

QString RtfWriter::pictureFallbackText() { return QStringLiteral("[picture]"); }
QString RtfWriter::attachmentText(const QString& name) { return QStringLiteral("[Attachment: %1]").arg(name); }
QString RtfWriter::docLinkText(const QString& description) {
    return description.isEmpty() ? QStringLiteral("[Link]") : QStringLiteral("[Link: %1]").arg(description);
}

QByteArray RtfWriter::write(const store::RichTextDoc& doc) {
    m_body.clear();
    m_fonts.clear();
    m_fontIndex.clear();
    m_colors.clear();
    m_colorIndex.clear();
    m_pictureFallbacks = 0;
    m_numberCounter = 0;
    m_needPar = false;
    fontIndex(QString());  // f0: the default face, also used for bullets

    writeBlocks(doc.blocks);

    QByteArray out = header();
    out += m_body;
    out += "\n}\n";
    return out;
}

QByteArray RtfWriter::header() const {
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\\deflang1033\n{\\fonttbl";
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        h += "{\\f" + num(int(i)) + fontFamily(m_fonts[i]) + "\\fcharset" +
             (fontFamily(m_fonts[i]) == "\\ftech" ? "2" : "0") + ' ';
        QString face = m_fonts[i];
        face.replace(QLatin1Char(';'), QLatin1Char(' '));
        RtfTextEscaper::append(h, face);
        h += ";}";
    }
    h += "}\n{\\colortbl;";
    for (unsigned rgb : m_colors)
        h += "\\red" + num(int((rgb >> 16) & 0xFF)) + "\\green" + num(int((rgb >> 8) & 0xFF)) + "\\blue" +
             num(int(rgb & 0xFF)) + ';';
    // The document default face and size also give empty paragraphs their height.
    h += "}\n{\\*\\generator Tesseldoc;}\\viewkind4\\f0\\fs20";
    return h;
}

int RtfWriter::fontIndex(const QString& face) {
    const QString f = actualFace(face);
    const auto it = m_fontIndex.constFind(f);
    if (it != m_fontIndex.constEnd()) return it.value();
    const int idx = int(m_fonts.size());
    m_fonts.push_back(f);
    m_fontIndex.insert(f, idx);
    return idx;
}

int RtfWriter::colorIndex(unsigned rgb) {
    rgb &= 0xFFFFFF;
    const auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd()) return it.value();
    m_colors.push_back(rgb);
    const int idx = int(m_colors.size());  // index 0 is "auto"
    m_colorIndex.insert(rgb, idx);
    return idx;
}

void RtfWriter::writeBlocks(const std::vector<RtBlock>& blocks) {
    for (const RtBlock& block : blocks) {
        if (block.table) {
            m_numberCounter = 0;
            if (m_quality == RtfQuality::Best) {
                if (m_needPar) m_body += "\\par";
                writeTableBest(*block.table, 1, DefaultTableTwips);
                m_needPar = false;
            } else {
                writeTableLow(*block.table);
            }
            continue;
        }
        if (m_needPar) m_body += "\\par";
        writeParagraphStart(block.style, 0, PageTextTwips);
        writeRuns(block.runs);
        m_needPar = true;
    }
}

void RtfWriter::writeParagraphStart(const RtParagraphStyle& style, int tableLevel, int widthTwips) {
    m_body += "\n\\pard";
    if (tableLevel > 0) m_body += "\\intbl\\itap" + num(tableLevel);
    m_body += alignWord(style.align);
    if (m_quality == RtfQuality::Low) {
        m_body += ' ';
        return;
    }
    const Indents in = fitIndents(style, widthTwips);
    if (in.left) m_body += "\\li" + num(clampTwips(in.left));
    if (in.first) m_body += "\\fi" + num(clampTwips(in.first));
    if (in.right) m_body += "\\ri" + num(clampTwips(in.right));
    if (style.spaceBefore > 0) m_body += "\\sb" + num(clampTwips(style.spaceBefore));
    if (style.spaceAfter > 0) m_body += "\\sa" + num(clampTwips(style.spaceAfter));
    std::vector<int> tabs = style.tabStops;
    std::sort(tabs.begin(), tabs.end());
    tabs.erase(std::unique(tabs.begin(), tabs.end()), tabs.end());
    // A stop past the line's end would push what follows it onto a line of its own.
    for (int t : tabs)
        if (t > 0 && (widthTwips <= 0 || t < widthTwips)) m_body += "\\tx" + num(clampTwips(t));
    if (style.bullet) {
        m_numberCounter = 0;
        m_body += "{\\pntext\\f0\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent" + num(kBulletIndent) +
                  "{\\pntxtb\\'95}}";
    } else if (style.numbered) {
        ++m_numberCounter;
        m_body += "{\\pntext\\f0 " + num(m_numberCounter) + ".\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart" +
                  num(m_numberCounter) + "\\pnindent" + num(kBulletIndent) + "{\\pntxta .}}";
    } else {
        m_numberCounter = 0;
    }
    if (!m_body.endsWith('}')) m_body += ' ';  // after a group a blank would be text
}

void RtfWriter::fontControls(const RtFont& font) {
    m_body += "\\f" + num(fontIndex(font.face));
    const double size = font.sizePt > 0 ? font.sizePt : 10.0;
    m_body += "\\fs" + num(std::clamp(int(std::lround(size * 2)), 2, 3276));
    if (font.bold) m_body += "\\b";
    if (font.italic) m_body += "\\i";
    if (font.underline) m_body += "\\ul";
    if (font.strike) m_body += "\\strike";
    if (font.superscript) m_body += "\\super";
    else if (font.subscript) m_body += "\\sub";
    if (font.hasColor) m_body += "\\cf" + num(colorIndex(font.rgb));
}

void RtfWriter::writeTextRun(const RtRun& run, const QString& text) {
    if (text.isEmpty()) return;
    m_body += '{';
    fontControls(run.font);
    m_body += ' ';
    RtfTextEscaper::append(m_body, text);
    m_body += '}';
}

void RtfWriter::writeRuns(const std::vector<RtRun>& runs) {
    const bool best = m_quality == RtfQuality::Best;
    for (const RtRun& run : runs) {
        switch (run.kind) {
            case RtRun::Kind::Text: writeTextRun(run, run.text); break;
            case RtRun::Kind::LineBreak: m_body += "\\line "; break;
            case RtRun::Kind::Tab: m_body += "\\tab "; break;
            case RtRun::Kind::Picture:
                if (best) writePicture(run);
                break;
            case RtRun::Kind::AttachmentRef:
                writeTextRun(run, best ? attachmentText(run.text) : run.text);
                break;
            case RtRun::Kind::DocLink:
                if (run.target.startsWith(QLatin1String("notes://"))) {
                    // A link a reader can follow: a hyperlink, or its address after the text.
                    RtRun shown = run;
                    shown.text = best ? docLinkText(run.text) : run.text + QStringLiteral(" <%1>").arg(run.target);
                    if (best)
                        writeUrl(shown);
                    else
                        writeTextRun(shown, shown.text);
                } else {
                    writeTextRun(run, best ? docLinkText(run.text) : run.text);
                }
                break;
            case RtRun::Kind::Url:
                if (best && !run.target.isEmpty())
                    writeUrl(run);
                else
                    writeTextRun(run, run.text.isEmpty() ? run.target : run.text);
                break;
        }
    }
}

void RtfWriter::writeUrl(const RtRun& run) {
    QString target = run.target;
    target.replace(QLatin1Char('"'), QLatin1String("%22"));
    m_body += "{\\field{\\*\\fldinst HYPERLINK \"";
    RtfTextEscaper::append(m_body, target);
    m_body += "\"}{\\fldrslt ";
    writeTextRun(run, run.text.isEmpty() ? run.target : run.text);
    m_body += "}}";
}

void RtfWriter::writePicture(const RtRun& run) {
    QByteArray data = run.picture.data;
    RtfImageInfo info = RtfImageInfo::probe(data);
    const RtfImageInfo original = info;
    if (info.format == RtfImageInfo::Format::Gif || info.format == RtfImageInfo::Format::Bmp) {
        data = PictureToPng::convert(data);
        info = RtfImageInfo::probe(data);
    }
    const char* blip = nullptr;
    if (info.format == RtfImageInfo::Format::Png) blip = "\\pngblip";
    else if (info.format == RtfImageInfo::Format::Jpeg) blip = "\\jpegblip";
    if (!blip) {
        ++m_pictureFallbacks;
        writeTextRun(run, pictureFallbackText());
        return;
    }
    const int w = run.picture.widthPx > 0 ? run.picture.widthPx : original.widthPx;
    const int h = run.picture.heightPx > 0 ? run.picture.heightPx : original.heightPx;
    m_body += "{\\pict";
    m_body += blip;
    if (info.widthPx > 0 && info.heightPx > 0)
        m_body += "\\picw" + num(info.widthPx) + "\\pich" + num(info.heightPx);
    if (w > 0 && h > 0)
        m_body += "\\picwgoal" + num(std::min(w * 15, 31680)) + "\\pichgoal" + num(std::min(h * 15, 31680));
    m_body += ' ';  // so that the data never joins a control word's number
    m_body += hexLines(data);
    m_body += "\n}";
}

// Low quality: one line per row, cells separated by tabs, a cell's paragraphs
// joined by a blank, so that the text reads as the plain text of the table.
void RtfWriter::writeTableLow(const RtTable& table) {
    for (const RtTableRow& row : table.rows) {
        if (m_needPar) m_body += "\\par";
        m_body += "\n\\pard\\ql ";
        for (size_t c = 0; c < row.cells.size(); ++c) {
            if (c > 0) m_body += "\\tab ";
            writeRunsInline(row.cells[c].blocks);
        }
        m_needPar = true;
    }
}

void RtfWriter::writeRunsInline(const std::vector<RtBlock>& blocks) {
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0) m_body += ' ';
        if (!blocks[i].table) {
            writeRuns(blocks[i].runs);
            continue;
        }
        const auto& rows = blocks[i].table->rows;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (r > 0) m_body += ' ';
            for (size_t c = 0; c < rows[r].cells.size(); ++c) {
                if (c > 0) m_body += "\\tab ";
                writeRunsInline(rows[r].cells[c].blocks);
            }
        }
    }
}

void RtfWriter::writeRowDefinition(const RtTableRow& row, const RtTable& table, const std::vector<int>& cellWidths,
                                   int leftTwips) {
    m_body += "\\trowd\\trgaph" + num(kCellGap) + "\\trleft" + num(leftTwips);
    static const char* const sides[] = {"t", "l", "b", "r"};
    if (table.borders)
        for (const char* side : sides) m_body += QByteArray("\\trbrdr") + side + "\\brdrs\\brdrw10";
    int right = leftTwips;
    for (size_t c = 0; c < cellWidths.size(); ++c) {
        const RtTableCell* cell = c < row.cells.size() ? &row.cells[c] : nullptr;
        right = std::min(right + cellWidths[c], 31680);
        if (table.borders)
            for (const char* side : sides) m_body += QByteArray("\\clbrdr") + side + "\\brdrs\\brdrw10";
        if (cell && cell->hasBackground) m_body += "\\clcbpat" + num(colorIndex(cell->backgroundRgb));
        m_body += "\\cellx" + num(right);
    }
}

void RtfWriter::writeTableBest(const RtTable& table, int level, int availableTwips) {
    const TableLayout layout =
        layoutTable(table, availableTwips, level == 1 ? WidestTableTwips : availableTwips);
    // A table wider than the text area is centred on it.
    const int left = layout.width > availableTwips ? -(layout.width - availableTwips) / 2 : 0;
    for (const RtTableRow& row : table.rows) {
        const std::vector<int> widths = rowWidths(row, layout);
        // A nested row's definition follows its cells.
        if (level == 1) {
            m_body += '\n';
            writeRowDefinition(row, table, widths, left);
        }
        if (row.cells.empty()) {
            writeCell(RtTableCell{}, level, widths[0]);
        } else {
            for (size_t c = 0; c < row.cells.size(); ++c) writeCell(row.cells[c], level, widths[c]);
        }
        if (level == 1) {
            m_body += "\\row";
        } else {
            m_body += "\n{\\*\\nesttableprops";
            writeRowDefinition(row, table, widths, left);
            m_body += "\\nestrow}{\\nonesttables\\par}";
        }
    }
}

void RtfWriter::writeCell(const RtTableCell& cell, int level, int widthTwips) {
    const QByteArray cellEnd = level == 1 ? "\\cell" : "\\nestcell";
    const int textWidth = std::max(widthTwips - 2 * kCellGap, 1);
    if (cell.blocks.empty()) {
        writeParagraphStart(RtParagraphStyle{}, level, textWidth);
        m_body += cellEnd;
        return;
    }
    m_numberCounter = 0;
    const bool nestedAllowed = level < MaxTableNesting;
    for (size_t i = 0; i < cell.blocks.size(); ++i) {
        const RtBlock& block = cell.blocks[i];
        const bool last = i + 1 == cell.blocks.size();
        if (block.table && nestedAllowed) {
            writeTableBest(*block.table, level + 1, textWidth);
            if (last) {
                writeParagraphStart(RtParagraphStyle{}, level, textWidth);
                m_body += cellEnd;
            }
            continue;
        }
        if (block.table) {
            writeParagraphStart(RtParagraphStyle{}, level, textWidth);
            writeRunsInline({block});
        } else {
            writeParagraphStart(block.style, level, textWidth);
            writeRuns(block.runs);
        }
        m_body += last ? cellEnd : QByteArray("\\par");
    }
}

}  // namespace rtf

#include "rtf/RtfWriter.h"

#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"
#include "rtf/RtfTextEscaper.h"

#include <algorithm>
#include <cmath>

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

constexpr int kCellGap = 108;  // \trgaph: half the space between cell texts
constexpr int kBulletIndent = 360;

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
        writeParagraphStart(block.style, 0);
        writeRuns(block.runs);
        m_needPar = true;
    }
}

void RtfWriter::writeParagraphStart(const RtParagraphStyle& style, int tableLevel) {
    m_body += "\n\\pard";
    if (tableLevel > 0) m_body += "\\intbl\\itap" + num(tableLevel);
    m_body += alignWord(style.align);
    if (m_quality == RtfQuality::Low) {
        m_body += ' ';
        return;
    }
    int left = style.leftIndent;
    int first = style.firstLineIndent;
    const bool listItem = style.bullet || style.numbered;
    if (listItem && first == 0) {
        left = std::max(left, 0) + kBulletIndent;
        first = -kBulletIndent;
    }
    if (left) m_body += "\\li" + num(clampTwips(left));
    if (first) m_body += "\\fi" + num(clampTwips(first));
    if (style.rightIndent) m_body += "\\ri" + num(clampTwips(style.rightIndent));
    if (style.spaceBefore > 0) m_body += "\\sb" + num(clampTwips(style.spaceBefore));
    if (style.spaceAfter > 0) m_body += "\\sa" + num(clampTwips(style.spaceAfter));
    std::vector<int> tabs = style.tabStops;
    std::sort(tabs.begin(), tabs.end());
    tabs.erase(std::unique(tabs.begin(), tabs.end()), tabs.end());
    for (int t : tabs)
        if (t > 0) m_body += "\\tx" + num(clampTwips(t));
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

void RtfWriter::writeRowDefinition(const RtTableRow& row, const RtTable& table, int availableTwips,
                                   std::vector<int>& cellWidths) {
    const size_t n = std::max<size_t>(row.cells.size(), 1);
    const int share = std::max(availableTwips / int(n), 2 * kCellGap + 100);
    m_body += "\\trowd\\trgaph" + num(kCellGap) + "\\trleft0";
    static const char* const sides[] = {"t", "l", "b", "r"};
    if (table.borders)
        for (const char* s : sides) m_body += QByteArray("\\trbrdr") + s + "\\brdrs\\brdrw10";
    cellWidths.clear();
    int right = 0;
    for (size_t c = 0; c < n; ++c) {
        const RtTableCell* cell = c < row.cells.size() ? &row.cells[c] : nullptr;
        const int width = (cell && cell->widthTwips > 0) ? std::min(cell->widthTwips, 31680) : share;
        cellWidths.push_back(width);
        right = std::min(right + width, 31680);
        if (table.borders)
            for (const char* s : sides) m_body += QByteArray("\\clbrdr") + s + "\\brdrs\\brdrw10";
        if (cell && cell->hasBackground) m_body += "\\clcbpat" + num(colorIndex(cell->backgroundRgb));
        m_body += "\\cellx" + num(right);
    }
}

void RtfWriter::writeTableBest(const RtTable& table, int level, int availableTwips) {
    std::vector<int> widths;
    for (const RtTableRow& row : table.rows) {
        if (level == 1) {
            m_body += '\n';
            writeRowDefinition(row, table, availableTwips, widths);
        } else {
            // The nested row's definition follows its cells; compute widths now.
            QByteArray saved;
            saved.swap(m_body);
            writeRowDefinition(row, table, availableTwips, widths);
            m_body.swap(saved);
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
            writeRowDefinition(row, table, availableTwips, widths);
            m_body += "\\nestrow}{\\nonesttables\\par}";
        }
    }
}

void RtfWriter::writeCell(const RtTableCell& cell, int level, int widthTwips) {
    const QByteArray cellEnd = level == 1 ? "\\cell" : "\\nestcell";
    if (cell.blocks.empty()) {
        writeParagraphStart(RtParagraphStyle{}, level);
        m_body += cellEnd;
        return;
    }
    m_numberCounter = 0;
    const bool nestedAllowed = level < MaxTableNesting;
    for (size_t i = 0; i < cell.blocks.size(); ++i) {
        const RtBlock& block = cell.blocks[i];
        const bool last = i + 1 == cell.blocks.size();
        if (block.table && nestedAllowed) {
            writeTableBest(*block.table, level + 1, std::max(widthTwips - 2 * kCellGap, 400));
            if (last) {
                writeParagraphStart(RtParagraphStyle{}, level);
                m_body += cellEnd;
            }
            continue;
        }
        if (block.table) {
            writeParagraphStart(RtParagraphStyle{}, level);
            writeRunsInline({block});
        } else {
            writeParagraphStart(block.style, level);
            writeRuns(block.runs);
        }
        m_body += last ? cellEnd : QByteArray("\\par");
    }
}

}  // namespace rtf

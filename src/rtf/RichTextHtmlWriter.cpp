#include "rtf/RichTextHtmlWriter.h"

#include "richtext/RtfImageInfo.h"

#include <cmath>

using store::RtAlign;
using store::RtBlock;
using store::RtFont;
using store::RtRun;

namespace rtf {
namespace {

int px(int twips) { return int(std::lround(twips / 15.0)); }

QString colorName(unsigned rgb) { return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')); }

QString spanStyle(const RtFont& f) {
    QString s;
    if (!f.face.isEmpty()) {
        QString face = f.face;
        face.remove(QLatin1Char('\'')).remove(QLatin1Char('"')).remove(QLatin1Char(';'));
        s += QStringLiteral("font-family:'%1'; ").arg(face.toHtmlEscaped());
    }
    if (f.sizePt > 0) s += QStringLiteral("font-size:%1pt; ").arg(f.sizePt);
    if (f.bold) s += QStringLiteral("font-weight:bold; ");
    if (f.italic) s += QStringLiteral("font-style:italic; ");
    if (f.underline || f.strike) {
        s += QStringLiteral("text-decoration:");
        if (f.underline) s += QStringLiteral(" underline");
        if (f.strike) s += QStringLiteral(" line-through");
        s += QStringLiteral("; ");
    }
    if (f.superscript) s += QStringLiteral("vertical-align:super; ");
    else if (f.subscript) s += QStringLiteral("vertical-align:sub; ");
    if (f.hasColor) s += QStringLiteral("color:%1; ").arg(colorName(f.rgb));
    return s.trimmed();
}

void appendBlocks(const std::vector<RtBlock>& blocks, QString& out);

void appendSpan(const RtFont& font, const QString& text, QString& out) {
    out += QStringLiteral("<span style=\"%1\">").arg(spanStyle(font));
    out += text.toHtmlEscaped();
    out += QStringLiteral("</span>");
}

void appendPicture(const RtRun& run, QString& out) {
    const RtfImageInfo info = RtfImageInfo::probe(run.picture.data);
    const QString mime = RtfImageInfo::mimeType(info.format);
    if (mime.isEmpty()) {
        appendSpan(run.font, QStringLiteral("[picture]"), out);
        return;
    }
    out += QStringLiteral("<img src=\"data:%1;base64,%2\"").arg(mime, QString::fromLatin1(run.picture.data.toBase64()));
    const int w = run.picture.widthPx > 0 ? run.picture.widthPx : info.widthPx;
    const int h = run.picture.heightPx > 0 ? run.picture.heightPx : info.heightPx;
    if (w > 0 && h > 0) out += QStringLiteral(" width=\"%1\" height=\"%2\"").arg(w).arg(h);
    out += QStringLiteral(" />");
}

// A list paragraph ("•", tab, text) hangs its first line; HTML has no tab
// stops, so the tab after the bullet becomes a short fixed gap.
void appendRuns(const std::vector<RtRun>& runs, bool hanging, QString& out) {
    bool firstTab = hanging;
    for (const RtRun& run : runs) {
        if (run.kind == RtRun::Kind::Tab && firstTab) {
            firstTab = false;
            out += QStringLiteral("\u2002\u2002");
            continue;
        }
        switch (run.kind) {
            case RtRun::Kind::Text:
            case RtRun::Kind::AttachmentRef:
            case RtRun::Kind::DocLink: appendSpan(run.font, run.text, out); break;
            case RtRun::Kind::LineBreak: out += QStringLiteral("<br />"); break;
            case RtRun::Kind::Tab: out += QLatin1Char('\t'); break;
            case RtRun::Kind::Picture: appendPicture(run, out); break;
            case RtRun::Kind::Url:
                out += QStringLiteral("<a href=\"%1\">").arg(run.target.toHtmlEscaped());
                appendSpan(run.font, run.text.isEmpty() ? run.target : run.text, out);
                out += QStringLiteral("</a>");
                break;
        }
    }
}

void appendParagraph(const RtBlock& block, QString& out) {
    const auto& st = block.style;
    out += QStringLiteral("<p");
    switch (st.align) {
        case RtAlign::Center: out += QStringLiteral(" align=\"center\""); break;
        case RtAlign::Right: out += QStringLiteral(" align=\"right\""); break;
        case RtAlign::Justify: out += QStringLiteral(" align=\"justify\""); break;
        case RtAlign::Left:
        case RtAlign::NoWrap: break;
    }
    out += QStringLiteral(" style=\"margin-top:%1px; margin-bottom:%2px; margin-left:%3px; margin-right:%4px; "
                          "text-indent:%5px; white-space:pre-wrap;\">")
               .arg(px(std::max(st.spaceBefore, 0)))
               .arg(px(std::max(st.spaceAfter, 0)))
               .arg(px(std::max(st.leftIndent, 0)))
               .arg(px(std::max(st.rightIndent, 0)))
               .arg(px(st.firstLineIndent));
    if (block.runs.empty()) out += QStringLiteral("<br />");
    appendRuns(block.runs, st.firstLineIndent < 0, out);
    out += QStringLiteral("</p>\n");
}

void appendTable(const store::RtTable& table, QString& out) {
    out += QStringLiteral("<table border=\"%1\" cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse:collapse;\">\n")
               .arg(table.borders ? 1 : 0);
    for (const auto& row : table.rows) {
        out += QStringLiteral("<tr>");
        for (const auto& cell : row.cells) {
            out += QStringLiteral("<td valign=\"top\"");
            if (cell.widthTwips > 0) out += QStringLiteral(" width=\"%1\"").arg(px(cell.widthTwips));
            if (cell.hasBackground) out += QStringLiteral(" bgcolor=\"%1\"").arg(colorName(cell.backgroundRgb));
            out += QLatin1Char('>');
            appendBlocks(cell.blocks, out);
            out += QStringLiteral("</td>");
        }
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</table>\n");
}

void appendBlocks(const std::vector<RtBlock>& blocks, QString& out) {
    for (const RtBlock& block : blocks) {
        if (block.table) appendTable(*block.table, out);
        else appendParagraph(block, out);
    }
}

}  // namespace

QString RichTextHtmlWriter::toHtml(const store::RichTextDoc& doc) {
    QString out = QStringLiteral("<html><head><meta charset=\"utf-8\" /></head><body>\n");
    appendBlocks(doc.blocks, out);
    out += QStringLiteral("</body></html>\n");
    return out;
}

}  // namespace rtf

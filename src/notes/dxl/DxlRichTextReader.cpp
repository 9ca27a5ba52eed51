#include "notes/dxl/DxlRichTextReader.h"

#include "notes/dxl/Base64Decoder.h"

#include <algorithm>
#include <cmath>

namespace store::dxl {
namespace {

// Elements that carry no content of the document itself.
bool isSkipped(QStringView name) {
    static const char* const skipped[] = {
        "code",       "formula",        "lotusscript", "javascript",     "computedtext",    "popuptext",
        "horizrule",  "imageref",       "field",       "cellbackground", "border",          "caption",
        "background", "attachmentfile", "html",        "objectref",      "embeddedcontrol", "embeddedview",
    };
    for (const char* n : skipped)
        if (name == QLatin1String(n)) return true;
    return false;
}

bool isPictureFormat(QStringView name) {
    return name == QLatin1String("gif") || name == QLatin1String("jpeg") || name == QLatin1String("png") ||
           name == QLatin1String("bmp") || name == QLatin1String("notesbitmap") ||
           name == QLatin1String("cgm");
}

}  // namespace

int DxlRichTextReader::twips(QStringView textIn, bool* ok) {
    QStringView text = textIn.trimmed();
    double factor = 1440.0;  // a bare number is in inches
    auto strip = [&](const char* unit, double f) {
        if (text.endsWith(QLatin1String(unit))) {
            text.chop(qsizetype(qstrlen(unit)));
            factor = f;
            return true;
        }
        return false;
    };
    strip("in", 1440.0) || strip("cm", 1440.0 / 2.54) || strip("mm", 1440.0 / 25.4) || strip("pt", 20.0) ||
        strip("px", 15.0);
    bool good = false;
    const double v = text.toDouble(&good);
    if (ok) *ok = good;
    return good ? int(v * factor + (v >= 0 ? 0.5 : -0.5)) : 0;
}

bool DxlRichTextReader::colour(QStringView text, unsigned& rgb) {
    if (text.startsWith(QLatin1Char('#')) && text.size() == 7) {
        bool ok = false;
        const unsigned v = text.mid(1).toUInt(&ok, 16);
        if (ok) rgb = v;
        return ok;
    }
    static const QHash<QString, unsigned> names = {
        {QStringLiteral("black"), 0x000000},     {QStringLiteral("white"), 0xFFFFFF},
        {QStringLiteral("red"), 0xFF0000},       {QStringLiteral("lime"), 0x00FF00},
        {QStringLiteral("green"), 0x008000},     {QStringLiteral("blue"), 0x0000FF},
        {QStringLiteral("yellow"), 0xFFFF00},    {QStringLiteral("fuchsia"), 0xFF00FF},
        {QStringLiteral("magenta"), 0xFF00FF},   {QStringLiteral("aqua"), 0x00FFFF},
        {QStringLiteral("cyan"), 0x00FFFF},      {QStringLiteral("maroon"), 0x800000},
        {QStringLiteral("darkred"), 0x800000},   {QStringLiteral("darkgreen"), 0x008000},
        {QStringLiteral("navy"), 0x000080},      {QStringLiteral("darkblue"), 0x000080},
        {QStringLiteral("purple"), 0x800080},    {QStringLiteral("darkmagenta"), 0x800080},
        {QStringLiteral("olive"), 0x808000},     {QStringLiteral("darkyellow"), 0x808000},
        {QStringLiteral("teal"), 0x008080},      {QStringLiteral("darkcyan"), 0x008080},
        {QStringLiteral("gray"), 0x808080},      {QStringLiteral("silver"), 0xC0C0C0},
        {QStringLiteral("lightgray"), 0xC0C0C0},
    };
    auto it = names.constFind(text.toString().toLower());
    if (it == names.constEnd()) return false;
    rgb = *it;
    return true;
}

void DxlRichTextReader::applyFont(const QXmlStreamAttributes& attrs, RtFont& font) {
    if (attrs.hasAttribute(QLatin1String("size"))) {
        QStringView s = attrs.value(QLatin1String("size"));
        if (s.endsWith(QLatin1String("pt"))) s.chop(2);
        bool ok = false;
        const double pt = s.toDouble(&ok);
        if (ok && pt > 0) font.sizePt = pt;
    }
    if (attrs.hasAttribute(QLatin1String("style"))) {
        const QStringList styles =
            attrs.value(QLatin1String("style")).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        font.bold = styles.contains(QLatin1String("bold"));
        font.italic = styles.contains(QLatin1String("italic"));
        font.underline = styles.contains(QLatin1String("underline"));
        font.strike = styles.contains(QLatin1String("strikethrough"));
        font.superscript = styles.contains(QLatin1String("superscript"));
        font.subscript = styles.contains(QLatin1String("subscript"));
    }
    if (attrs.hasAttribute(QLatin1String("color"))) {
        unsigned rgb = 0;
        font.hasColor = colour(attrs.value(QLatin1String("color")), rgb);
        font.rgb = font.hasColor ? rgb : 0;
    }
    if (attrs.hasAttribute(QLatin1String("name"))) font.face = attrs.value(QLatin1String("name")).toString();
}

void DxlRichTextReader::addText(std::vector<RtRun>& runs, QStringView textIn, const RtFont& font) {
    // Line breaks in the XML text are layout of the file, not of the document
    // (the document's own breaks are <break/> elements).
    if (textIn.trimmed().isEmpty() && textIn.contains(QLatin1Char('\n'))) return;
    QString text = textIn.toString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (text.isEmpty()) return;
    if (!runs.empty()) {
        RtRun& last = runs.back();
        const RtFont& f = last.font;
        if (last.kind == RtRun::Kind::Text && f.face == font.face && f.sizePt == font.sizePt &&
            f.bold == font.bold && f.italic == font.italic && f.underline == font.underline &&
            f.strike == font.strike && f.superscript == font.superscript && f.subscript == font.subscript &&
            f.hasColor == font.hasColor && f.rgb == font.rgb) {
            last.text += text;
            return;
        }
    }
    RtRun run;
    run.kind = RtRun::Kind::Text;
    run.text = text;
    run.font = font;
    runs.push_back(std::move(run));
}

bool DxlRichTextReader::read(QXmlStreamReader& xml, RichTextDoc& doc, QString& problem) {
    m_pardefs.clear();
    m_problem.clear();
    m_depth = 0;
    m_tableDepth = 0;
    readBlocks(xml, doc.blocks);
    problem = m_problem;
    return m_problem.isEmpty();
}

void DxlRichTextReader::readPardef(QXmlStreamReader& xml) {
    const QXmlStreamAttributes a = xml.attributes();
    RtAlign align = RtAlign::Left;
    const QStringView alignName = a.value(QLatin1String("align"));
    if (alignName == QLatin1String("right"))
        align = RtAlign::Right;
    else if (alignName == QLatin1String("center"))
        align = RtAlign::Center;
    else if (alignName == QLatin1String("full"))
        align = RtAlign::Justify;
    else if (alignName == QLatin1String("none"))
        align = RtAlign::NoWrap;
    Pardef def;
    def.margins.left = marginEdge(a, "leftmargin");
    def.margins.firstLine = marginEdge(a, "firstlineleftmargin");
    def.margins.right = marginEdge(a, "rightmargin");
    bool ok = false;
    RtParagraphStyle& s = def.style;
    s.align = align;
    for (const QString& tab :
         a.value(QLatin1String("tabs")).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QStringView t(tab);
        if (!t.isEmpty() && t.front().isLetter()) t = t.mid(1);  // L, R, C, D
        const int v = twips(t, &ok);
        if (ok) s.tabStops.push_back(v);
    }
    const QStringView list = a.value(QLatin1String("list"));
    if (list == QLatin1String("bullet") || list == QLatin1String("circle") ||
        list == QLatin1String("square") || list == QLatin1String("check") || list == QLatin1String("uncheck"))
        s.bullet = true;
    else if (list == QLatin1String("number") || list.startsWith(QLatin1String("alpha")) ||
             list.startsWith(QLatin1String("roman")))
        s.numbered = true;
    auto spacing = [&](const char* attr) {
        const double v = a.value(QLatin1String(attr)).toDouble(&ok);
        return ok && v > 1.0 ? int((v - 1.0) * 240) : 0;  // in lines of 12 points
    };
    s.spaceBefore = spacing("spacebefore");
    s.spaceAfter = spacing("spaceafter");
    m_pardefs.insert(a.value(QLatin1String("id")).toString(), def);
    xml.skipCurrentElement();
}

NotesMargins::Edge DxlRichTextReader::marginEdge(const QXmlStreamAttributes& attrs, const char* name) {
    const QStringView v = attrs.value(QLatin1String(name)).trimmed();
    if (v.isEmpty()) return {};
    bool ok = false;
    if (v.endsWith(QLatin1Char('%'))) {
        const double p = v.chopped(1).toDouble(&ok);
        return ok ? NotesMargins::Edge::percent(int(std::lround(std::clamp(p, 0.0, 100.0)))) : NotesMargins::Edge();
    }
    const int t = twips(v, &ok);
    return ok ? NotesMargins::Edge::twips(std::clamp(t, 0, 31680)) : NotesMargins::Edge();
}

RtParagraphStyle DxlRichTextReader::styleOf(const QString& pardefId) const {
    const auto it = m_pardefs.constFind(pardefId);
    if (it == m_pardefs.constEnd()) return RtParagraphStyle();
    RtParagraphStyle s = it->style;
    it->margins.applyTo(s, m_tableDepth > 0);
    return s;
}

void DxlRichTextReader::readBlocks(QXmlStreamReader& xml, std::vector<RtBlock>& blocks) {
    if (m_depth >= kMaxDepth) {
        xml.skipCurrentElement();
        return;
    }
    ++m_depth;
    readBlocksAt(xml, blocks);
    --m_depth;
}

void DxlRichTextReader::readBlocksAt(QXmlStreamReader& xml, std::vector<RtBlock>& blocks) {
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) return;
        if (token == QXmlStreamReader::Characters) {
            if (!xml.isWhitespace()) {
                // Text outside a paragraph: keep it as a paragraph of its own.
                RtBlock b;
                addText(b.runs, xml.text(), RtFont());
                if (!b.runs.empty()) blocks.push_back(std::move(b));
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("pardef")) {
            readPardef(xml);
        } else if (name == QLatin1String("par") || name == QLatin1String("sectiontitle") ||
                   name == QLatin1String("run")) {
            RtBlock b;
            const QString def = xml.attributes()
                                    .value(QLatin1String(name == QLatin1String("par") ? "def" : "pardef"))
                                    .toString();
            b.style = styleOf(def);
            readInline(xml, b.runs, RtFont());  // a run outside a paragraph reads as one
            blocks.push_back(std::move(b));
        } else if (name == QLatin1String("table")) {
            RtBlock b;
            readTable(xml, b);
            blocks.push_back(std::move(b));
        } else if (isSkipped(name)) {
            xml.skipCurrentElement();
        } else {
            readBlocks(xml, blocks);  // section, region, layer, ...: their paragraphs
        }
    }
}

void DxlRichTextReader::readTable(QXmlStreamReader& xml, RtBlock& block) {
    auto table = std::make_shared<RtTable>();
    struct ColumnWidth {
        int twips = 0;
        int percent = 0;
    };
    std::vector<ColumnWidth> columnWidths;
    ++m_tableDepth;
    bool anyBorder = false, anyCell = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("tablecolumn")) {
            const NotesMargins::Edge w = marginEdge(xml.attributes(), "width");
            ColumnWidth c;
            if (w.kind == NotesMargins::Edge::Kind::Twips) c.twips = w.value;
            if (w.kind == NotesMargins::Edge::Kind::Percent) c.percent = w.value;
            columnWidths.push_back(c);
            xml.skipCurrentElement();
        } else if (name == QLatin1String("tablerow")) {
            RtTableRow row;
            while (!xml.atEnd()) {
                const auto t = xml.readNext();
                if (t == QXmlStreamReader::EndElement) break;
                if (t != QXmlStreamReader::StartElement) continue;
                if (xml.name() != QLatin1String("tablecell")) {
                    xml.skipCurrentElement();
                    continue;
                }
                RtTableCell cell;
                const QXmlStreamAttributes a = xml.attributes();
                anyCell = true;
                const QStringView bw = a.value(QLatin1String("borderwidth"));
                if (bw.isEmpty() || bw.trimmed() != QLatin1String("0px")) anyBorder = true;
                unsigned rgb = 0;
                if (a.hasAttribute(QLatin1String("bgcolor")) &&
                    colour(a.value(QLatin1String("bgcolor")), rgb)) {
                    cell.hasBackground = true;
                    cell.backgroundRgb = rgb;
                }
                const size_t col = row.cells.size();
                if (col < columnWidths.size()) {
                    cell.widthTwips = columnWidths[col].twips;
                    cell.widthPercent = columnWidths[col].percent;
                }
                readBlocks(xml, cell.blocks);
                row.cells.push_back(std::move(cell));
            }
            table->rows.push_back(std::move(row));
        } else {
            xml.skipCurrentElement();
        }
    }
    --m_tableDepth;
    table->borders = !anyCell || anyBorder;
    block.table = std::move(table);
}

void DxlRichTextReader::readPicture(QXmlStreamReader& xml, std::vector<RtRun>& runs) {
    RtRun run;
    run.kind = RtRun::Kind::Picture;
    const QXmlStreamAttributes a = xml.attributes();
    bool ok = false;
    int w = twips(a.value(QLatin1String("width")), &ok);
    if (ok) run.picture.widthPx = w / 15;
    int h = twips(a.value(QLatin1String("height")), &ok);
    if (ok) run.picture.heightPx = h / 15;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (!isPictureFormat(name) || !run.picture.format.isEmpty()) {
            xml.skipCurrentElement();
            continue;
        }
        run.picture.format = name.toString();
        Base64Decoder decoder;
        while (!xml.atEnd()) {
            const auto t = xml.readNext();
            if (t == QXmlStreamReader::Characters)
                decoder.feed(xml.text());
            else if (t == QXmlStreamReader::EndElement)
                break;
            else if (t == QXmlStreamReader::StartElement)
                xml.skipCurrentElement();
        }
        if (!decoder.finish()) {
            if (m_problem.isEmpty())
                m_problem = QStringLiteral("picture data (<%1>) is not valid base64 (line %2)")
                                .arg(run.picture.format)
                                .arg(xml.lineNumber());
            run.picture.data.clear();
        } else {
            run.picture.data = decoder.takeOutput();
        }
    }
    if (!run.picture.format.isEmpty()) runs.push_back(std::move(run));
}

QString DxlRichTextReader::innerText(QXmlStreamReader& xml) {
    std::vector<RtRun> runs;
    readInline(xml, runs, RtFont());
    QString text;
    for (const RtRun& r : runs) {
        if (r.kind == RtRun::Kind::Text || r.kind == RtRun::Kind::Url || r.kind == RtRun::Kind::DocLink ||
            r.kind == RtRun::Kind::AttachmentRef)
            text += r.text;
        else if (r.kind == RtRun::Kind::LineBreak || r.kind == RtRun::Kind::Tab)
            text += QLatin1Char(' ');
    }
    return text;
}

void DxlRichTextReader::readInline(QXmlStreamReader& xml, std::vector<RtRun>& runs, RtFont font) {
    if (m_depth >= kMaxDepth) {
        xml.skipCurrentElement();
        return;
    }
    ++m_depth;
    readInlineAt(xml, runs, font);
    --m_depth;
}

void DxlRichTextReader::readInlineAt(QXmlStreamReader& xml, std::vector<RtRun>& runs, RtFont font) {
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) return;
        if (token == QXmlStreamReader::Characters) {
            addText(runs, xml.text(), font);
            continue;
        }
        if (token != QXmlStreamReader::StartElement) continue;
        const QStringView name = xml.name();
        if (name == QLatin1String("font")) {
            applyFont(xml.attributes(), font);
            xml.skipCurrentElement();
        } else if (name == QLatin1String("run")) {
            readInline(xml, runs, font);
        } else if (name == QLatin1String("break")) {
            RtRun r;
            r.kind = RtRun::Kind::LineBreak;
            r.font = font;
            runs.push_back(r);
            xml.skipCurrentElement();
        } else if (name == QLatin1String("tab")) {
            RtRun r;
            r.kind = RtRun::Kind::Tab;
            r.font = font;
            runs.push_back(r);
            xml.skipCurrentElement();
        } else if (name == QLatin1String("picture")) {
            readPicture(xml, runs);
        } else if (name == QLatin1String("attachmentref")) {
            RtRun r;
            r.kind = RtRun::Kind::AttachmentRef;
            const QXmlStreamAttributes a = xml.attributes();
            r.text = a.value(QLatin1String("displayname")).toString();
            if (r.text.isEmpty()) r.text = a.value(QLatin1String("name")).toString();
            r.target = a.value(QLatin1String("name")).toString();
            r.font = font;
            runs.push_back(r);
            xml.skipCurrentElement();
        } else if (name == QLatin1String("doclink") || name == QLatin1String("viewlink") ||
                   name == QLatin1String("databaselink")) {
            RtRun r;
            r.kind = RtRun::Kind::DocLink;
            const QXmlStreamAttributes a = xml.attributes();
            r.text = a.value(QLatin1String("description")).toString();
            r.target = a.value(QLatin1String("document")).toString();
            if (r.target.isEmpty()) r.target = a.value(QLatin1String("view")).toString();
            r.font = font;
            const QString inner = innerText(xml);
            if (r.text.isEmpty()) r.text = inner;
            if (r.text.isEmpty()) r.text = QStringLiteral("Link");
            runs.push_back(r);
        } else if (name == QLatin1String("urllink")) {
            RtRun r;
            r.kind = RtRun::Kind::Url;
            r.target = xml.attributes().value(QLatin1String("href")).toString();
            r.font = font;
            r.text = innerText(xml);
            if (r.text.isEmpty()) r.text = r.target;
            runs.push_back(r);
        } else if (name == QLatin1String("table")) {
            // A table inside a paragraph: keep its text inline.
            RtBlock b;
            readTable(xml, b);
            RtRun r;
            r.kind = RtRun::Kind::Text;
            RichTextDoc d;
            d.blocks.push_back(b);
            r.text = d.plainText();
            r.font = font;
            if (!r.text.isEmpty()) runs.push_back(r);
        } else if (isSkipped(name)) {
            xml.skipCurrentElement();
        } else {
            readInline(xml, runs, font);  // button, actionhotspot, popup, ...: their text
        }
    }
}

}  // namespace store::dxl

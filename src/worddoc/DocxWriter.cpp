#include "worddoc/DocxWriter.h"

#include "richtext/ParagraphIndents.h"
#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"

#include <QSaveFile>

#include <zip.h>

#include <algorithm>
#include <memory>
#include <vector>

using store::RtAlign;
using store::RtBlock;
using store::RtFont;
using store::RtParagraphStyle;
using store::RtRun;
using store::RtTable;
using store::RtTableCell;

namespace worddoc {
namespace {

constexpr int kEmuPerPixel = 9525;            // 96 pixels to the inch
constexpr int kCellGapTwips = 108;            // the RTF writer's \trgaph
constexpr int kMaxTableNesting = 16;          // deeper tables cannot be represented
constexpr qint64 kMaxPictureBytes = 256 << 20;

QByteArray num(qint64 v) { return QByteArray::number(v); }

// Text as XML character data: markup characters escaped, characters XML
// cannot hold (controls, lone surrogates, U+FFFE/FFFF) left out.
void appendEscaped(QByteArray& out, QStringView text) {
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                clean += c;
                clean += text[++i];
            }
            continue;
        }
        if (c.isLowSurrogate() || u == 0xFFFE || u == 0xFFFF) continue;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') continue;
        clean += c;
    }
    const QByteArray utf8 = clean.toUtf8();
    for (const char ch : utf8) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += ch;
        }
    }
}

QByteArray escaped(QStringView text) {
    QByteArray out;
    appendEscaped(out, text);
    return out;
}

QByteArray hexColor(unsigned rgb) { return QByteArray::number(rgb & 0xFFFFFF, 16).rightJustified(6, '0').toUpper(); }

const char* jcValue(RtAlign a) {
    switch (a) {
        case RtAlign::Right: return "right";
        case RtAlign::Center: return "center";
        case RtAlign::Justify: return "both";
        case RtAlign::Left:
        case RtAlign::NoWrap: break;
    }
    return "left";
}

int percentOf(int width, int percent) { return store::percentOfWidth(width, percent); }

// One embedded picture of the package.
struct Media {
    QByteArray name;  // "image1.png"
    QByteArray data;
    QByteArray relId;
};

// Builds word/document.xml and collects what it refers to.
class BodyBuilder {
public:
    explicit BodyBuilder(int textWidth) : m_textWidth(textWidth) {}

    bool blocks(const std::vector<RtBlock>& blocks, int width, int level) {
        for (const RtBlock& b : blocks) {
            if (b.table) {
                if (!table(*b.table, width, level)) return false;
            } else if (!paragraph(b, width)) {
                return false;
            }
        }
        return true;
    }

    QByteArray xml;
    std::vector<Media> media;
    std::vector<std::pair<QByteArray, QString>> links;  // relationship id, target
    QString error;

private:
    QByteArray nextRelId() { return "rId" + num(++m_relCounter + 10); }

    bool paragraph(const RtBlock& block, int width) {
        xml += "<w:p>";
        paragraphProperties(block.style, width);
        if (block.style.bullet) textRun(QStringLiteral("\u2022\t"), block.runs.empty() ? RtFont() : block.runs.front().font);
        else if (block.style.numbered)
            textRun(QString::number(++m_number) + QStringLiteral(".\t"),
                    block.runs.empty() ? RtFont() : block.runs.front().font);
        for (const RtRun& run : block.runs)
            if (!this->run(run)) return false;
        xml += "</w:p>";
        return true;
    }

    void paragraphProperties(const RtParagraphStyle& s, int width) {
        QByteArray p;
        if (!s.tabStops.empty()) {
            p += "<w:tabs>";
            std::vector<int> stops = s.tabStops;
            std::sort(stops.begin(), stops.end());
            stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
            for (int t : stops)
                if (t > 0 && t < 31680) p += "<w:tab w:val=\"left\" w:pos=\"" + num(t) + "\"/>";
            p += "</w:tabs>";
        }
        if (s.spaceBefore > 0 || s.spaceAfter > 0)
            p += "<w:spacing w:before=\"" + num(std::max(0, s.spaceBefore)) + "\" w:after=\"" +
                 num(std::max(0, s.spaceAfter)) + "\"/>";
        const store::ParagraphIndents in = store::ParagraphIndents::fit(s, width);
        const int left = in.left, right = in.right, first = in.first;
        if (left || right || first) {
            p += "<w:ind w:left=\"" + num(left) + "\" w:right=\"" + num(right) + "\"";
            if (first >= 0) p += " w:firstLine=\"" + num(first) + "\"";
            else p += " w:hanging=\"" + num(-first) + "\"";
            p += "/>";
        }
        if (s.align != RtAlign::Left && s.align != RtAlign::NoWrap)
            p += QByteArray("<w:jc w:val=\"") + jcValue(s.align) + "\"/>";
        if (!p.isEmpty()) xml += "<w:pPr>" + p + "</w:pPr>";
    }

    void runProperties(const RtFont& f) {
        xml += "<w:rPr>";
        if (!f.face.isEmpty()) {
            const QByteArray face = escaped(f.face);
            xml += "<w:rFonts w:ascii=\"" + face + "\" w:hAnsi=\"" + face + "\" w:cs=\"" + face + "\" w:eastAsia=\"" +
                   face + "\"/>";
        }
        if (f.bold) xml += "<w:b/><w:bCs/>";
        if (f.italic) xml += "<w:i/><w:iCs/>";
        if (f.strike) xml += "<w:strike/>";
        if (f.hasColor) xml += "<w:color w:val=\"" + hexColor(f.rgb) + "\"/>";
        const int halfPoints = std::clamp(int(f.sizePt * 2 + 0.5), 2, 3276);
        xml += "<w:sz w:val=\"" + num(halfPoints) + "\"/><w:szCs w:val=\"" + num(halfPoints) + "\"/>";
        if (f.underline) xml += "<w:u w:val=\"single\"/>";
        if (f.superscript) xml += "<w:vertAlign w:val=\"superscript\"/>";
        else if (f.subscript) xml += "<w:vertAlign w:val=\"subscript\"/>";
        xml += "</w:rPr>";
    }

    // Text with its tabs and line ends as the elements Word has for them.
    void textRun(const QString& text, const RtFont& font) {
        xml += "<w:r>";
        runProperties(font);
        qsizetype start = 0;
        auto flush = [&](qsizetype end) {
            if (end > start) {
                xml += "<w:t xml:space=\"preserve\">";
                appendEscaped(xml, QStringView(text).mid(start, end - start));
                xml += "</w:t>";
            }
        };
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                flush(i);
                if (c == QLatin1Char('\t')) xml += "<w:tab/>";
                else if (!(c == QLatin1Char('\n') && i > 0 && text[i - 1] == QLatin1Char('\r'))) xml += "<w:br/>";
                start = i + 1;
            }
        }
        flush(text.size());
        xml += "</w:r>";
    }

    void hyperlink(const QString& target, const QString& text, const RtFont& font) {
        const QByteArray id = nextRelId();
        links.emplace_back(id, target);
        xml += "<w:hyperlink r:id=\"" + id + "\">";
        textRun(text, font);
        xml += "</w:hyperlink>";
    }

    bool run(const RtRun& r) {
        switch (r.kind) {
            case RtRun::Kind::Text:
                if (!r.text.isEmpty()) textRun(r.text, r.font);
                return true;
            case RtRun::Kind::LineBreak:
                xml += "<w:r><w:br/></w:r>";
                return true;
            case RtRun::Kind::Tab:
                xml += "<w:r><w:tab/></w:r>";
                return true;
            case RtRun::Kind::AttachmentRef:
                textRun(r.text, r.font);
                return true;
            case RtRun::Kind::DocLink:
            case RtRun::Kind::Url: {
                const QString shown = r.text.isEmpty() ? r.target : r.text;
                if (r.target.isEmpty()) textRun(shown, r.font);
                else hyperlink(r.target, shown, r.font);
                return true;
            }
            case RtRun::Kind::Picture: return picture(r);
        }
        return true;
    }

    bool picture(const RtRun& r) {
        QByteArray data = r.picture.data;
        if (data.size() > kMaxPictureBytes) {
            error = QStringLiteral("a picture of %1 bytes is larger than the writer takes").arg(data.size());
            return false;
        }
        rtf::RtfImageInfo info = rtf::RtfImageInfo::probe(data);
        if (info.format == rtf::RtfImageInfo::Format::Gif || info.format == rtf::RtfImageInfo::Format::Bmp) {
            data = rtf::PictureToPng::convert(data);
            info = rtf::RtfImageInfo::probe(data);
        }
        QByteArray extension;
        if (info.format == rtf::RtfImageInfo::Format::Png) extension = "png";
        else if (info.format == rtf::RtfImageInfo::Format::Jpeg) extension = "jpeg";
        if (extension.isEmpty()) {
            error = QStringLiteral("a picture in a format the writer cannot embed (%1)")
                        .arg(r.picture.format.isEmpty() ? QStringLiteral("unknown") : r.picture.format);
            return false;
        }
        int w = r.picture.widthPx > 0 ? r.picture.widthPx : info.widthPx;
        int h = r.picture.heightPx > 0 ? r.picture.heightPx : info.heightPx;
        if (w <= 0 || h <= 0) w = h = 96;
        const QByteArray id = nextRelId();
        const int n = int(media.size()) + 1;
        media.push_back({"image" + num(n) + "." + extension, data, id});
        const QByteArray cx = num(qint64(w) * kEmuPerPixel), cy = num(qint64(h) * kEmuPerPixel);
        xml += "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\"><wp:extent cx=\"" + cx +
               "\" cy=\"" + cy + "\"/><wp:docPr id=\"" + num(n) + "\" name=\"Picture " + num(n) +
               "\"/><wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
               "<a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
               "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"" + num(n) + "\" name=\"" + media.back().name +
               "\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"" + id +
               "\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill><pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
               "<a:ext cx=\"" + cx + "\" cy=\"" + cy +
               "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>"
               "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
        return true;
    }

    // Cell widths: their own, a share of the table, or an even share of what is left.
    static std::vector<int> cellWidths(const store::RtTableRow& row, int tableWidth) {
        std::vector<int> widths(row.cells.size(), 0);
        int given = 0, open = 0;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const RtTableCell& c = row.cells[i];
            if (c.widthTwips > 0) widths[i] = c.widthTwips;
            else if (c.widthPercent > 0) widths[i] = percentOf(tableWidth, c.widthPercent);
            if (widths[i] > 0) given += widths[i];
            else ++open;
        }
        if (open > 0) {
            const int share = std::max(kCellGapTwips * 2 + 60, (tableWidth - given) / open);
            for (int& w : widths)
                if (w == 0) w = share;
        }
        return widths;
    }

    bool table(const RtTable& t, int width, int level) {
        if (level >= kMaxTableNesting) {
            error = QStringLiteral("tables nested deeper than %1 levels").arg(kMaxTableNesting);
            return false;
        }
        if (t.rows.empty()) return true;
        // The grid: the widest row's columns.
        size_t widest = 0;
        for (size_t i = 0; i < t.rows.size(); ++i)
            if (t.rows[i].cells.size() > t.rows[widest].cells.size()) widest = i;
        if (t.rows[widest].cells.empty()) return true;
        const std::vector<int> grid = cellWidths(t.rows[widest], width);
        xml += "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/>";
        if (t.borders) {
            // The source's colour and width when it gave them (eighths of a point), else thin black.
            const QByteArray color = t.hasBorderColor ? hexColor(t.borderRgb) : QByteArray("000000");
            const int eighths = t.borderWidthTwips > 0 ? std::clamp(t.borderWidthTwips * 8 / 20, 2, 96) : 4;
            xml += "<w:tblBorders>";
            for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"})
                xml += QByteArray("<w:") + side + " w:val=\"single\" w:sz=\"" + num(eighths) +
                       "\" w:space=\"0\" w:color=\"" + color + "\"/>";
            xml += "</w:tblBorders>";
        }
        // To the first cell's edge (Word 2013 and later documents measure it so).
        if (t.leftTwips != 0) xml += "<w:tblInd w:w=\"" + num(t.leftTwips) + "\" w:type=\"dxa\"/>";
        xml += "<w:tblLayout w:type=\"fixed\"/><w:tblCellMar><w:left w:w=\"" + num(kCellGapTwips) +
               "\" w:type=\"dxa\"/><w:right w:w=\"" + num(kCellGapTwips) +
               "\" w:type=\"dxa\"/></w:tblCellMar><w:tblLook w:val=\"0000\"/></w:tblPr><w:tblGrid>";
        for (int w : grid) xml += "<w:gridCol w:w=\"" + num(w) + "\"/>";
        xml += "</w:tblGrid>";
        for (const store::RtTableRow& row : t.rows) {
            if (row.cells.empty()) continue;
            const std::vector<int> widths = cellWidths(row, width);
            xml += "<w:tr>";
            for (size_t i = 0; i < row.cells.size(); ++i) {
                const RtTableCell& cell = row.cells[i];
                xml += "<w:tc><w:tcPr><w:tcW w:w=\"" + num(widths[i]) + "\" w:type=\"dxa\"/>";
                // A row shorter than the grid: its last cell spans the rest.
                if (i + 1 == row.cells.size() && row.cells.size() < grid.size())
                    xml += "<w:gridSpan w:val=\"" + num(qint64(grid.size() - row.cells.size() + 1)) + "\"/>";
                if (cell.hasBackground)
                    xml += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"" + hexColor(cell.backgroundRgb) + "\"/>";
                xml += "</w:tcPr>";
                if (!blocks(cell.blocks, std::max(1, widths[i] - 2 * kCellGapTwips), level + 1)) return false;
                // Word wants a paragraph at the end of every cell.
                if (cell.blocks.empty() || cell.blocks.back().table) xml += "<w:p/>";
                xml += "</w:tc>";
            }
            xml += "</w:tr>";
        }
        xml += "</w:tbl>";
        return true;
    }

    int m_textWidth;
    int m_relCounter = 0;
    int m_number = 0;
};

QByteArray isoTime(const QDateTime& t) { return t.toUTC().toString(Qt::ISODate).toLatin1(); }

QByteArray coreProperties(const SummaryInfo& s) {
    QByteArray x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">";
    auto element = [&](const char* name, const QString& value) {
        if (!value.isEmpty()) x += QByteArray("<") + name + ">" + escaped(value) + "</" + name + ">";
    };
    element("dc:title", s.title);
    element("dc:subject", s.subject);
    element("dc:creator", s.author);
    element("cp:keywords", s.keywords);
    element("dc:description", s.comments);
    if (s.created.isValid())
        x += "<dcterms:created xsi:type=\"dcterms:W3CDTF\">" + isoTime(s.created) + "</dcterms:created>";
    x += "</cp:coreProperties>";
    return x;
}

const char kContentTypesHead[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Default Extension=\"png\" ContentType=\"image/png\"/>"
    "<Default Extension=\"jpeg\" ContentType=\"image/jpeg\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "<Override PartName=\"/word/settings.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
    "<Override PartName=\"/docProps/core.xml\" "
    "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
    "<Override PartName=\"/docProps/app.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
    "</Types>";

const char kPackageRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
    "Target=\"docProps/core.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" "
    "Target=\"docProps/app.xml\"/>"
    "</Relationships>";

const char kApp[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
    "<Application>Tesseldoc</Application></Properties>";

// Times New Roman 12 pt unless a run says otherwise, no space between
// paragraphs: what an RTF document without a style sheet gives.
const char kStyles[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\" "
    "w:cs=\"Times New Roman\" w:eastAsia=\"Times New Roman\"/><w:sz w:val=\"24\"/><w:szCs w:val=\"24\"/>"
    "<w:lang w:val=\"en-US\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" "
    "w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
    "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>"
    "<w:style w:type=\"character\" w:default=\"1\" w:styleId=\"DefaultParagraphFont\">"
    "<w:name w:val=\"Default Paragraph Font\"/></w:style>"
    "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name w:val=\"Normal Table\"/>"
    "<w:tblPr><w:tblInd w:w=\"0\" w:type=\"dxa\"/><w:tblCellMar><w:top w:w=\"0\" w:type=\"dxa\"/>"
    "<w:left w:w=\"108\" w:type=\"dxa\"/><w:bottom w:w=\"0\" w:type=\"dxa\"/><w:right w:w=\"108\" "
    "w:type=\"dxa\"/></w:tblCellMar></w:tblPr></w:style>"
    "</w:styles>";

const char kSettings[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<w:settings xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
    "<w:defaultTabStop w:val=\"720\"/><w:compat><w:compatSetting w:name=\"compatibilityMode\" "
    "w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/></w:compat></w:settings>";

// Writes the package's parts into a zip held in memory.
class ZipPackage {
public:
    ZipPackage() {
        zip_error_init(&m_error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &m_error);
        if (!m_source) return;
        zip_source_keep(m_source);
        m_zip = zip_open_from_source(m_source, ZIP_TRUNCATE, &m_error);
    }
    ~ZipPackage() {
        if (m_zip) zip_discard(m_zip);
        if (m_source) zip_source_free(m_source);
        zip_error_fini(&m_error);
    }
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool ok() const { return m_zip != nullptr; }

    // `data` must live until finish().
    bool add(const char* name, const QByteArray& data, bool compress) {
        zip_source_t* s = zip_source_buffer(m_zip, data.constData(), zip_uint64_t(data.size()), 0);
        if (!s) return false;
        const zip_int64_t index = zip_file_add(m_zip, name, s, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(s);
            return false;
        }
        return zip_set_file_compression(m_zip, zip_uint64_t(index), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
                                        compress ? 6 : 0) == 0;
    }

    QString errorText() const {
        const char* text = m_zip ? zip_strerror(m_zip) : zip_error_strerror(const_cast<zip_error_t*>(&m_error));
        return QString::fromUtf8(text ? text : "zip error");
    }

    // The archive's bytes; empty on failure.
    QByteArray finish() {
        if (zip_close(m_zip) != 0) return {};
        m_zip = nullptr;
        QByteArray out;
        zip_stat_t st;
        if (zip_source_open(m_source) != 0) return {};
        if (zip_source_stat(m_source, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
            out.resize(qsizetype(st.size));
            const zip_int64_t n = zip_source_read(m_source, out.data(), st.size);
            if (n != zip_int64_t(st.size)) out.clear();
        }
        zip_source_close(m_source);
        return out;
    }

private:
    zip_error_t m_error;
    zip_source_t* m_source = nullptr;
    zip_t* m_zip = nullptr;
};

}  // namespace

QByteArray DocxWriter::toBytes(const WordDocument& doc) {
    m_error.clear();
    const PageSetup& page = doc.page;
    const int textWidth = std::max(1440, page.widthTwips - page.marginLeft - page.marginRight);
    BodyBuilder body(textWidth);
    body.xml.reserve(4096);
    body.xml +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body>";
    if (!body.blocks(doc.body.blocks, textWidth, 0)) {
        m_error = body.error;
        return {};
    }
    // A document ends in a paragraph (a table last needs one after it).
    if (doc.body.blocks.empty() || doc.body.blocks.back().table) body.xml += "<w:p/>";
    body.xml += "<w:sectPr><w:pgSz w:w=\"" + num(page.widthTwips) + "\" w:h=\"" + num(page.heightTwips) +
                "\"/><w:pgMar w:top=\"" + num(page.marginTop) + "\" w:right=\"" + num(page.marginRight) +
                "\" w:bottom=\"" + num(page.marginBottom) + "\" w:left=\"" + num(page.marginLeft) +
                "\" w:header=\"720\" w:footer=\"720\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>";

    QByteArray rels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "styles\" Target=\"styles.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
        "settings\" Target=\"settings.xml\"/>";
    for (const Media& m : body.media)
        rels += "<Relationship Id=\"" + m.relId +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
                "Target=\"media/" + m.name + "\"/>";
    for (const auto& [id, target] : body.links)
        rels += "<Relationship Id=\"" + id +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" "
                "Target=\"" + escaped(target) + "\" TargetMode=\"External\"/>";
    rels += "</Relationships>";

    static const QByteArray contentTypes(kContentTypesHead);
    static const QByteArray packageRels(kPackageRels);
    static const QByteArray app(kApp);
    static const QByteArray styles(kStyles);
    static const QByteArray settings(kSettings);
    const QByteArray core = coreProperties(doc.summary);
    std::vector<QByteArray> mediaNames;
    mediaNames.reserve(body.media.size());
    for (const Media& m : body.media) mediaNames.push_back("word/media/" + m.name);

    ZipPackage zip;
    bool ok = zip.ok() && zip.add("[Content_Types].xml", contentTypes, true) &&
              zip.add("_rels/.rels", packageRels, true) && zip.add("docProps/core.xml", core, true) &&
              zip.add("docProps/app.xml", app, true) && zip.add("word/document.xml", body.xml, true) &&
              zip.add("word/_rels/document.xml.rels", rels, true) && zip.add("word/styles.xml", styles, true) &&
              zip.add("word/settings.xml", settings, true);
    for (size_t i = 0; ok && i < body.media.size(); ++i)
        ok = zip.add(mediaNames[i].constData(), body.media[i].data, false);  // PNG and JPEG are compressed already
    QByteArray bytes = ok ? zip.finish() : QByteArray();
    if (bytes.isEmpty()) m_error = QStringLiteral("the .docx package cannot be made: ") + zip.errorText();
    return bytes;
}

bool DocxWriter::write(const WordDocument& doc, const QString& path) {
    const QByteArray bytes = toBytes(doc);
    if (bytes.isEmpty()) return false;
    // Written beside the target under a temporary name, then renamed into place.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace worddoc

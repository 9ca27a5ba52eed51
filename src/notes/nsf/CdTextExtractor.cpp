#include "notes/nsf/CdTextExtractor.h"

#include "notes/nsf/CdRecordReader.h"
#include "notes/nsf/LmbcsConverter.h"

#include <algorithm>

namespace nsf {
namespace {

enum : uint8_t {
    SigText = 0x85,
    SigBidiText = 0xE4,
    SigParagraph = 0x81,
    SigPabDefinition = 0x82,
    SigPabReference = 0x83,
    SigTableBegin = 0xA3,
    SigTableCell = 0xA4,
    SigTableEnd = 0xA5,
    SigNestedTableBegin = 0xCF,
    SigNestedTableCell = 0xD0,
    SigNestedTableEnd = 0xD1,
    SigHotspotBegin = 0xA9,
    SigHotspotEnd = 0xAA,
    SigFontTable = 0x8B,
    SigGraphic = 0x99,
    SigImageHeader = 0x7D,
    SigImageSegment = 0x7C,
    SigBitmapHeader = 0x95,
    SigBitmapSegment = 0x96,
    SigColorTable = 0x97,
    SigPatternTable = 0x98,
    SigTransparentTable = 0xCB,
    SigWinMetaHeader = 0x9F,
    SigWinMetaSegment = 0x9B,
    SigBeginRecord = 0xDD,
    SigEndRecord = 0xDE,
    SigLinkExport2 = 0x92,
    SigLink2 = 0x91,
};

// Records that belong to the picture a CDGRAPHIC started.
bool isPictureRecord(uint8_t sig) {
    switch (sig) {
        case SigImageHeader: case SigImageSegment: case SigBitmapHeader: case SigBitmapSegment:
        case SigColorTable: case SigPatternTable: case SigTransparentTable: case SigWinMetaHeader:
        case SigWinMetaSegment: case SigBeginRecord: case SigEndRecord:
            return true;
        default: return false;
    }
}

// CDIMAGEHEADER image types.
QString imageFormat(uint16_t type) {
    switch (type) {
        case 1: return QStringLiteral("gif");
        case 2: return QStringLiteral("jpeg");
        case 3: return QStringLiteral("bmp");
        case 4: return QStringLiteral("png");
        default: return {};
    }
}

bool formatMatches(const QString& format, const QByteArray& data) {
    if (format == QLatin1String("gif")) return data.startsWith("GIF8");
    if (format == QLatin1String("jpeg")) return data.startsWith("\xFF\xD8");
    if (format == QLatin1String("png")) return data.startsWith("\x89PNG");
    if (format == QLatin1String("bmp")) return data.startsWith("BM");
    return false;
}
constexpr uint16_t kHotspotFile = 4;
constexpr uint16_t kTableAutoCellWidth = 0x0001;  // CDTABLEBEGIN flags: cells sized to the window

const unsigned kNotesColors[16] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF00FF,
                                   0xFFFF00, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x800080,
                                   0x808000, 0x008080, 0x808080, 0xC0C0C0};

}  // namespace

CdTextExtractor::CdTextExtractor(LmbcsConverter& lmbcs, const QMap<int, QString>& faces)
    : m_lmbcs(lmbcs), m_faces(faces) {}

QMap<int, QString> CdTextExtractor::readFontTable(ByteView value, LmbcsConverter& lmbcs) {
    QMap<int, QString> faces;
    CdRecordReader reader(value);
    CdRecordReader::Record r;
    while (reader.next(r)) {
        if (r.signature != SigFontTable || r.headerSize != 4) continue;
        const uint16_t count = r.bytes.u16(4);
        for (uint32_t i = 0; i < count; ++i) {
            const ByteView face = r.bytes.sub(6 + 34 * uint64_t(i), 34);
            if (face.size() != 34) break;
            size_t n = 0;
            while (n < 32 && face.u8(2 + n) != 0) ++n;
            faces.insert(face.u8(0), lmbcs.toUnicode(face.sub(2, n)));
        }
    }
    return faces;
}

std::vector<store::RtBlock>& CdTextExtractor::container() {
    if (m_tables.empty()) return m_blocks;
    TableLevel& t = m_tables.back();
    if (t.row < 0 || t.cell < 0) {
        // Text before the first cell: give the table an implicit first cell.
        if (t.table->rows.empty()) t.table->rows.emplace_back();
        if (t.table->rows.back().cells.empty()) t.table->rows.back().cells.emplace_back();
        t.row = int(t.table->rows.size()) - 1;
        t.cell = int(t.table->rows.back().cells.size()) - 1;
    }
    return t.table->rows[size_t(t.row)].cells[size_t(t.cell)].blocks;
}

store::RtParagraphStyle CdTextExtractor::currentStyle() const {
    if (!m_style) return store::RtParagraphStyle();
    return m_style->styleFor(m_tables.empty() ? nullptr : &m_tables.back().frame);
}

void CdTextExtractor::flushParagraph() {
    if (m_started) container().push_back(std::move(m_paragraph));
    m_paragraph = store::RtBlock();
    m_paragraph.style = currentStyle();
    m_started = false;
}

void CdTextExtractor::startCell(ByteView b) {
    flushParagraph();
    TableLevel& t = m_tables.back();
    const size_t row = b.u8(2);
    // Rows are numbered in the record; a jump back starts nothing new.
    while (t.table->rows.size() < row + 1 && t.table->rows.size() < 4096) t.table->rows.emplace_back();
    const size_t useRow = std::min(row, t.table->rows.size() - 1);
    store::RtTableCell cell;
    // CDTABLECELL: +4/+6 the cell's left and right edge on the paper. A table
    // sized to the window has them as one window showed them; its cells' shares
    // are at +8, as the cell's width in a table 20 inches wide. Either way the
    // writer scales a table wider than the page down to it.
    t.frame = {b.u16(4), b.u16(6)};
    const int fraction = b.u16(8);
    if (t.autoWidth && fraction > 0)
        cell.widthTwips = fraction;
    else if (t.frame.right > t.frame.left)
        cell.widthTwips = t.frame.right - t.frame.left;
    t.table->rows[useRow].cells.push_back(std::move(cell));
    t.row = int(useRow);
    t.cell = int(t.table->rows[useRow].cells.size()) - 1;
    m_paragraph.style = currentStyle();
    m_paragraphOpen = false;
}

void CdTextExtractor::startParagraph() {
    if (m_paragraphOpen || m_started) {
        m_started = true;
        flushParagraph();
    }
    m_paragraphOpen = true;
}

store::RtFont CdTextExtractor::font(ByteView id) const {
    store::RtFont f;
    const uint8_t face = id.u8(0);
    const uint8_t attrib = id.u8(1);
    const uint8_t color = id.u8(2);
    const uint8_t size = id.u8(3);
    switch (face) {
        case 0: f.face = QStringLiteral("Times New Roman"); break;
        case 1: f.face = QStringLiteral("Arial"); break;
        case 4: f.face = QStringLiteral("Courier New"); break;
        default: f.face = m_faces.value(face); break;
    }
    if (size > 0) f.sizePt = size;
    f.bold = attrib & 0x01;
    f.italic = attrib & 0x02;
    f.underline = attrib & 0x04;
    f.strike = attrib & 0x08;
    f.superscript = attrib & 0x10;
    f.subscript = attrib & 0x20;
    if (color != 0 && color < 16) {
        f.hasColor = true;
        f.rgb = kNotesColors[color];
    }
    return f;
}

void CdTextExtractor::addText(ByteView text, const store::RtFont& f) {
    // Even an empty run means the paragraph it sits in exists.
    m_started = true;
    size_t n = text.size();
    while (n > 0 && text.u8(n - 1) == 0) --n;  // trailing NULs carry nothing
    if (n == 0) return;
    size_t start = 0;
    for (size_t i = 0; i <= n; ++i) {
        if (i < n && text.u8(i) != 0) continue;
        if (i > start) {
            store::RtRun run;
            run.kind = store::RtRun::Kind::Text;
            run.text = m_lmbcs.toUnicode(text.sub(start, i - start));
            run.font = f;
            m_paragraph.runs.push_back(std::move(run));
        }
        if (i < n) {
            store::RtRun br;
            br.kind = store::RtRun::Kind::LineBreak;
            br.font = f;
            m_paragraph.runs.push_back(std::move(br));
        }
        start = i + 1;
    }
}

void CdTextExtractor::startPicture(ByteView g) {
    finishPicture();
    m_picture = PendingPicture();
    m_picture.active = true;
    // Display size (RECTSIZE, twips) when it looks like one.
    const int w = g.u16(6), h = g.u16(8);
    if (w > 0 && h > 0 && w < 32000 && h < 32000) {
        m_picture.widthPx = std::max(1, w / 15);
        m_picture.heightPx = std::max(1, h / 15);
    }
}

void CdTextExtractor::pictureHeader(ByteView b) {
    if (!m_picture.active) startPicture(ByteView());
    PendingPicture& p = m_picture;
    if (p.hasHeader) {  // a second header without a CDGRAPHIC: a new picture
        finishPicture();
        startPicture(ByteView());
    }
    m_picture.hasHeader = true;
    m_picture.imageType = b.u16(6);
    m_picture.declaredSize = b.u32(12);
    if (m_picture.widthPx == 0 && b.u16(8) > 0 && b.u16(10) > 0) {
        m_picture.widthPx = b.u16(8);
        m_picture.heightPx = b.u16(10);
    }
    if (m_picture.declaredSize > MaxPictureBytes)
        m_picture.problem = QStringLiteral("it says it holds %1 bytes, more than is read").arg(m_picture.declaredSize);
    else if (m_picture.declaredSize == 0)
        m_picture.problem = QStringLiteral("it refers to an image stored elsewhere in the database");
}

void CdTextExtractor::pictureSegment(ByteView b) {
    PendingPicture& p = m_picture;
    if (!p.active || !p.hasHeader || !p.problem.isEmpty()) return;
    const uint32_t said = b.u16(6);
    const uint64_t held = b.size() > 10 ? b.size() - 10 : 0;
    if (said > held) {
        p.problem = QStringLiteral("a segment says it holds %1 bytes but has %2").arg(said).arg(held);
        return;
    }
    if (uint64_t(p.data.size()) + said > p.declaredSize) {
        p.problem = QStringLiteral("its segments hold more than the %1 bytes it declares").arg(p.declaredSize);
        return;
    }
    p.data.append(reinterpret_cast<const char*>(b.data()) + 10, qsizetype(said));
}

void CdTextExtractor::finishPicture() {
    if (!m_picture.active) return;
    PendingPicture p = std::move(m_picture);
    m_picture = PendingPicture();
    if (m_inFileHotspot) return;  // an attachment's icon: the attachment itself stands for it
    if (!p.hasHeader && !p.bitmap) return;  // metafiles and other kinds: not shown
    if (p.bitmap) {
        // Checked now, so that a picture that cannot be shown says so in the
        // text; made into PNG only when a writer asks for its bytes.
        QString problem;
        if (!p.bitmap->check(problem)) p.problem = problem;
        p.imageType = 4;
        if (p.widthPx == 0) {
            p.widthPx = p.bitmap->width();
            p.heightPx = p.bitmap->height();
        }
    }
    const QString format = imageFormat(p.imageType);
    if (p.problem.isEmpty() && format.isEmpty())
        p.problem = QStringLiteral("its image type %1 is not supported").arg(p.imageType);
    if (p.problem.isEmpty() && !p.bitmap && uint32_t(p.data.size()) != p.declaredSize)
        p.problem = QStringLiteral("it is cut short (%1 of %2 bytes)").arg(p.data.size()).arg(p.declaredSize);
    if (p.problem.isEmpty() && !p.bitmap && !formatMatches(format, p.data))
        p.problem = QStringLiteral("its data is not a %1 image").arg(format.toUpper());
    m_started = true;
    store::RtRun run;
    if (!p.problem.isEmpty()) {
        run.kind = store::RtRun::Kind::Text;
        run.text = QStringLiteral("[picture not shown: %1]").arg(p.problem);
        run.font.italic = true;
        run.font.hasColor = true;
        run.font.rgb = 0x808080;
        if (!m_problems.contains(p.problem) && m_problems.size() < 50) m_problems << p.problem;
    } else {
        run.kind = store::RtRun::Kind::Picture;
        if (p.bitmap) {
            std::shared_ptr<const NotesBitmap> bitmap = std::move(p.bitmap);
            run.picture.data = store::PictureData::deferred([bitmap] {
                QString problem;
                return bitmap->toPng(problem);
            });
        } else {
            run.picture.data = std::move(p.data);
        }
        run.picture.format = format;
        run.picture.widthPx = p.widthPx;
        run.picture.heightPx = p.heightPx;
    }
    m_paragraph.runs.push_back(std::move(run));
}

void CdTextExtractor::addLinkText(ByteView b) {
    // CDLINKEXPORT2: header, a 40-byte NOTELINK, then the link's comment (NUL-terminated).
    addLink(b.sub(4, 40), b.from(4 + 40));
}

void CdTextExtractor::addIndexedLink(ByteView b) {
    // CDLINK2: header, u16 index into $Links, then the comment (NUL-terminated).
    const uint16_t index = b.u16(4);
    const ByteView link = index < m_links.u16(0) ? m_links.sub(2 + 40 * uint64_t(index), 40) : ByteView();
    addLink(link, b.from(6));
}

QString CdTextExtractor::noteLinkUrl(ByteView link) {
    if (link.size() != 40) return QString();
    // A TIMEDATE prints as its high word then its low word; a UNID as its two halves so.
    const auto half = [&](uint64_t at) {
        return QStringLiteral("%1%2")
            .arg(link.u32(at + 4), 8, 16, QLatin1Char('0'))
            .arg(link.u32(at), 8, 16, QLatin1Char('0'))
            .toUpper();
    };
    const auto zero = [&](uint64_t at, uint64_t n) {
        for (uint64_t k = 0; k < n; ++k)
            if (link.u8(at + k) != 0) return false;
        return true;
    };
    if (zero(0, 8)) return QString();
    QString url = QStringLiteral("notes:///") + half(0);
    if (zero(8, 16)) return url;
    url += QLatin1Char('/') + half(8) + half(16);
    if (zero(24, 16)) return url;
    return url + QLatin1Char('/') + half(24) + half(32);
}

void CdTextExtractor::addLink(ByteView noteLink, ByteView comment) {
    size_t n = 0;
    while (n < comment.size() && comment.u8(n) != 0) ++n;
    store::RtRun run;
    run.kind = store::RtRun::Kind::DocLink;
    run.text = m_lmbcs.toUnicode(comment.sub(0, n)).trimmed();
    run.target = noteLinkUrl(noteLink);
    if (run.text.isEmpty()) {
        // No comment: say what the link leads to.
        const QStringList parts = run.target.mid(9).split(QLatin1Char('/'));
        run.text = parts.size() >= 3   ? QStringLiteral("Link to a document")
                   : parts.size() == 2 ? QStringLiteral("Link to a view")
                   : run.target.isEmpty() ? QStringLiteral("Link")
                                          : QStringLiteral("Link to a database");
    }
    m_paragraph.runs.push_back(std::move(run));
    m_started = true;
}

void CdTextExtractor::addPart(ByteView part) {
    CdRecordReader reader(part);
    CdRecordReader::Record r;
    while (reader.next(r)) {
        const ByteView b = r.bytes;
        if (m_picture.active && r.signature != SigGraphic && !isPictureRecord(r.signature)) finishPicture();
        switch (r.signature) {
            case SigGraphic:
                if (r.headerSize == 6) startPicture(b);
                break;
            case SigImageHeader:
                if (r.headerSize == 6) pictureHeader(b);
                break;
            case SigImageSegment:
                if (r.headerSize == 6) pictureSegment(b);
                break;
            case SigBitmapHeader:
                if (r.headerSize != 6) break;
                if (!m_picture.active || m_picture.bitmap || m_picture.hasHeader) startPicture(ByteView());
                m_picture.bitmap = std::make_shared<NotesBitmap>();
                m_picture.bitmap->header(b);
                break;
            case SigBitmapSegment:
            case SigColorTable:
            case SigPatternTable:
                if (r.headerSize != 6 || !m_picture.bitmap) break;
                if (r.signature == SigBitmapSegment) m_picture.bitmap->segment(b);
                else if (r.signature == SigColorTable) m_picture.bitmap->colorTable(b);
                else m_picture.bitmap->patternTable(b);
                break;
            case SigHotspotEnd:
                m_inFileHotspot = false;
                break;
            case SigLinkExport2:
                if (r.headerSize == 4) addLinkText(b);
                break;
            case SigLink2:
                if (r.headerSize == 4 && b.size() >= 6) addIndexedLink(b);
                break;
            case SigText:
            case SigBidiText:
                if (r.headerSize == 4 && b.size() >= 8) addText(b.from(8), font(b.sub(4, 4)));
                break;
            case SigParagraph:
                if (r.headerSize == 2) startParagraph();
                break;
            case SigPabDefinition:
                if (r.headerSize == 4) {
                    PabDefinition def;
                    if (def.read(b)) m_styles.insert(def.id(), def);
                }
                break;
            case SigPabReference:
                if (r.headerSize == 2 && b.size() >= 4) {
                    // An ID defined nowhere in the field gives the default style.
                    const auto it = m_styles.constFind(b.u16(2));
                    m_style = it == m_styles.constEnd() ? std::nullopt : std::optional<PabDefinition>(*it);
                    m_paragraph.style = currentStyle();
                    m_started = true;
                }
                break;
            case SigTableBegin:
            case SigNestedTableBegin:
                if (r.headerSize != 2) break;
                {
                    flushParagraph();
                    store::RtBlock block;
                    block.table = std::make_shared<store::RtTable>();
                    auto table = block.table;
                    container().push_back(std::move(block));
                    TableLevel level;
                    level.table = table;
                    level.autoWidth = b.u16(12) & kTableAutoCellWidth;
                    m_tables.push_back(level);
                    m_paragraphOpen = false;
                }
                break;
            case SigTableCell:
            case SigNestedTableCell:
                if (r.headerSize != 2 || m_tables.empty()) break;
                startCell(b);
                break;
            case SigTableEnd:
            case SigNestedTableEnd:
                if (r.headerSize != 2 || m_tables.empty()) break;
                flushParagraph();
                m_tables.pop_back();
                m_paragraph.style = currentStyle();
                m_paragraphOpen = false;
                break;
            case SigHotspotBegin:
                if (r.headerSize == 4 && b.u16(4) == kHotspotFile) {
                    m_inFileHotspot = true;
                    const ByteView data = b.sub(12, b.u16(10));
                    size_t n = 0;
                    while (n < data.size() && data.u8(n) != 0) ++n;
                    store::RtRun run;
                    run.kind = store::RtRun::Kind::AttachmentRef;
                    run.text = m_lmbcs.toUnicode(data.sub(0, n));
                    m_paragraph.runs.push_back(std::move(run));
                    m_started = true;
                }
                break;
            default:
                break;
        }
    }
    if (reader.damaged()) m_damaged = true;
}

std::vector<store::RtBlock> CdTextExtractor::finish() {
    finishPicture();
    flushParagraph();
    while (!m_tables.empty()) m_tables.pop_back();
    return std::move(m_blocks);
}

}  // namespace nsf

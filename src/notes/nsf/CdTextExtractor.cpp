#include "notes/nsf/CdTextExtractor.h"

#include "notes/nsf/CdRecordReader.h"
#include "notes/nsf/LmbcsConverter.h"

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
    SigFontTable = 0x8B,
};
constexpr uint16_t kHotspotFile = 4;

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

void CdTextExtractor::flushParagraph() {
    if (m_started) container().push_back(std::move(m_paragraph));
    m_paragraph = store::RtBlock();
    m_paragraph.style = m_style;
    m_started = false;
}

void CdTextExtractor::endParagraph() {
    m_started = true;
    flushParagraph();
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

void CdTextExtractor::addPart(ByteView part) {
    CdRecordReader reader(part);
    CdRecordReader::Record r;
    while (reader.next(r)) {
        const ByteView b = r.bytes;
        switch (r.signature) {
            case SigText:
            case SigBidiText:
                if (r.headerSize == 4 && b.size() >= 8) addText(b.from(8), font(b.sub(4, 4)));
                break;
            case SigParagraph:
                if (r.headerSize == 2) endParagraph();
                break;
            case SigPabDefinition:
                if (r.headerSize == 4 && b.size() >= 22) {
                    store::RtParagraphStyle s;
                    switch (b.u16(6)) {
                        case 1: s.align = store::RtAlign::Right; break;
                        case 2: s.align = store::RtAlign::Justify; break;
                        case 3: s.align = store::RtAlign::Center; break;
                        case 4: s.align = store::RtAlign::NoWrap; break;
                        default: s.align = store::RtAlign::Left; break;
                    }
                    s.spaceBefore = b.u16(10);
                    s.spaceAfter = b.u16(12);
                    s.leftIndent = b.u16(18);
                    s.firstLineIndent = int(b.u16(14)) - int(b.u16(18));
                    s.rightIndent = b.u16(16);
                    const uint16_t flags = b.u16(62);
                    s.bullet = flags & 0x0400;
                    s.numbered = flags & 0x1000;
                    m_styles.insert(b.u16(4), s);
                }
                break;
            case SigPabReference:
                if (r.headerSize == 2 && b.size() >= 4) {
                    m_style = m_styles.value(b.u16(2));
                    m_paragraph.style = m_style;
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
                    m_tables.push_back({table, -1, -1});
                }
                break;
            case SigTableCell:
            case SigNestedTableCell:
                if (r.headerSize != 2 || m_tables.empty()) break;
                {
                    flushParagraph();
                    TableLevel& t = m_tables.back();
                    const size_t row = b.u8(2);
                    // Rows are numbered in the record; a jump back starts nothing new.
                    while (t.table->rows.size() < row + 1 && t.table->rows.size() < 4096) t.table->rows.emplace_back();
                    const size_t useRow = std::min(row, t.table->rows.size() - 1);
                    t.table->rows[useRow].cells.emplace_back();
                    t.row = int(useRow);
                    t.cell = int(t.table->rows[useRow].cells.size()) - 1;
                }
                break;
            case SigTableEnd:
            case SigNestedTableEnd:
                if (r.headerSize != 2 || m_tables.empty()) break;
                flushParagraph();
                m_tables.pop_back();
                break;
            case SigHotspotBegin:
                if (r.headerSize == 4 && b.u16(4) == kHotspotFile) {
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
    flushParagraph();
    while (!m_tables.empty()) m_tables.pop_back();
    return std::move(m_blocks);
}

}  // namespace nsf

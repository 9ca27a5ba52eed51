#include "richtext/RichTextModel.h"

namespace store {
namespace {

void appendBlocks(const std::vector<RtBlock>& blocks, QString& out);

void appendRuns(const std::vector<RtRun>& runs, QString& out) {
    for (const RtRun& run : runs) {
        switch (run.kind) {
            case RtRun::Kind::Text:
            case RtRun::Kind::AttachmentRef:
            case RtRun::Kind::DocLink:
            case RtRun::Kind::Url: out += run.text; break;
            case RtRun::Kind::LineBreak: out += QStringLiteral("\r\n"); break;
            case RtRun::Kind::Tab: out += QLatin1Char('\t'); break;
            case RtRun::Kind::Picture: break;
        }
    }
}

void appendTable(const RtTable& table, QString& out) {
    for (size_t r = 0; r < table.rows.size(); ++r) {
        if (r > 0) out += QStringLiteral("\r\n");
        const auto& cells = table.rows[r].cells;
        for (size_t c = 0; c < cells.size(); ++c) {
            if (c > 0) out += QLatin1Char('\t');
            QString cell;
            appendBlocks(cells[c].blocks, cell);
            cell.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
            out += cell;
        }
    }
}

void appendBlocks(const std::vector<RtBlock>& blocks, QString& out) {
    for (size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0) out += QStringLiteral("\r\n");
        if (blocks[i].table)
            appendTable(*blocks[i].table, out);
        else
            appendRuns(blocks[i].runs, out);
    }
}

}  // namespace

QString RichTextDoc::plainText() const {
    if (!plainAlternative.isEmpty()) return plainAlternative;
    QString out;
    appendBlocks(blocks, out);
    return out;
}

}  // namespace store

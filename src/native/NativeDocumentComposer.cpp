#include "native/NativeDocumentComposer.h"

#include "export/HeaderTableLabels.h"
#include "export/LocalePageSize.h"
#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"
#include "rtf/RtfReader.h"

#include <algorithm>

using store::RtBlock;
using store::RtFont;
using store::RtRun;

namespace {

// The face and size of a body without fonts of its own (text bodies).
RtFont defaultFont() {
    RtFont f;
    f.face = QStringLiteral("Times New Roman");
    f.sizePt = 12.0;
    return f;
}

RtBlock textParagraph(const QString& text, const RtFont& font) {
    RtBlock block;
    if (!text.isEmpty()) {
        RtRun run;
        run.text = text;
        run.font = font;
        block.runs.push_back(std::move(run));
    }
    return block;
}

// UTF-16 text with a byte order mark (as the converter writes it), else UTF-8.
QString decodeText(const QByteArray& bytes) {
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    if (bytes.size() >= 2 && d[0] == 0xFF && d[1] == 0xFE) {
        QString s;
        s.resize((bytes.size() - 2) / 2);
        for (qsizetype i = 0; i < s.size(); ++i) s[i] = QChar(char16_t(d[2 + 2 * i] | (d[3 + 2 * i] << 8)));
        return s;
    }
    if (bytes.size() >= 2 && d[0] == 0xFE && d[1] == 0xFF) {
        QString s;
        s.resize((bytes.size() - 2) / 2);
        for (qsizetype i = 0; i < s.size(); ++i) s[i] = QChar(char16_t((d[2 + 2 * i] << 8) | d[3 + 2 * i]));
        return s;
    }
    return QString::fromUtf8(bytes);
}

// Lines split at "\r\n", "\n" or "\r".
QStringList splitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n')) continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
        start = i + 1;
    }
    lines << text.mid(start);
    return lines;
}

// Replaces the text of a template cell, keeping the look of its placeholder.
void setCellText(store::RtTableCell& cell, const QString& text) {
    RtFont font = defaultFont();
    store::RtParagraphStyle style;
    if (!cell.blocks.empty()) {
        style = cell.blocks.front().style;
        for (const RtRun& r : cell.blocks.front().runs)
            if (r.kind == RtRun::Kind::Text) {
                font = r.font;
                break;
            }
    }
    cell.blocks.clear();
    const QStringList lines = splitLines(text);
    for (const QString& line : lines) {
        RtBlock b = textParagraph(line, font);
        b.style = style;
        cell.blocks.push_back(std::move(b));
    }
}

// The first run's font of the body: what text typed at its start gets.
RtFont fontAtStart(const std::vector<RtBlock>& blocks) {
    for (const RtBlock& b : blocks) {
        if (b.table) break;
        for (const RtRun& r : b.runs)
            if (r.kind == RtRun::Kind::Text) return r.font;
        break;
    }
    return defaultFont();
}

}  // namespace

const QStringList& NativeDocumentComposer::tableLabels() { return HeaderTableLabels::labels(); }

QString NativeDocumentComposer::labelValue(const QString& text, const QString& label) {
    return HeaderTableLabels::value(text, label, false);
}

QString NativeDocumentComposer::headerTableText(const Inputs& in) {
    QString text;
    if (!in.subject.isEmpty()) text += QStringLiteral("Subject:") + in.subject + QLatin1Char('\n');
    if (!in.from.isEmpty()) text += QStringLiteral("From:") + in.from + QLatin1Char('\n');
    if (!in.sendTo.isEmpty() && in.sendTo != QStringLiteral("."))
        text += QStringLiteral("SendTo: ") + in.sendTo + QLatin1Char('\n');
    if (!in.mailDate.isEmpty()) text += QStringLiteral("MailDate:") + in.mailDate + QLatin1Char('\n');
    if (!in.block.isEmpty() && in.block != QStringLiteral("Attachment:"))
        text += QLatin1Char(' ') + in.block + QLatin1Char('\n');
    return text;
}

store::RichTextDoc NativeDocumentComposer::readBody(const QByteArray& body, bool* truncated) {
    if (truncated) *truncated = false;
    if (rtf::RtfReader::looksLikeRtf(body)) {
        rtf::RtfReader reader;
        store::RichTextDoc doc = reader.read(body);
        if (truncated) *truncated = reader.truncated();
        return doc;
    }
    store::RichTextDoc doc;
    const QStringList lines = splitLines(decodeText(body));
    const RtFont font = defaultFont();
    doc.blocks.reserve(size_t(lines.size()));
    for (const QString& line : lines) doc.blocks.push_back(textParagraph(line, font));
    return doc;
}

worddoc::PageSetup NativeDocumentComposer::localePage() {
    static const LocalePageSize paper = LocalePageSize::FromEnvironment();
    worddoc::PageSetup page;
    // Hundredths of a millimetre to twips.
    page.widthTwips = int(qint64(paper.width) * 1440 / 2540);
    page.heightTwips = int(qint64(paper.height) * 1440 / 2540);
    return page;
}

bool NativeDocumentComposer::compose(const Inputs& in, const QByteArray& body, worddoc::WordDocument* out,
                                     QString* error) {
    bool truncated = false;
    store::RichTextDoc doc = readBody(body, &truncated);
    if (truncated) {
        if (error) *error = QStringLiteral("the body is larger than the native writer reads whole");
        return false;
    }
    std::vector<RtBlock> head;
    const QString tableText = headerTableText(in);
    if (in.contact) {
        // The header text as bold lines at the top, then the photo above them.
        RtFont font = fontAtStart(doc.blocks);
        font.sizePt = 11.0;
        font.bold = true;
        font.hasColor = true;
        font.rgb = 0;
        if (!in.photo.isEmpty()) {
            RtRun picture;
            picture.kind = RtRun::Kind::Picture;
            picture.picture.data = in.photo;
            rtf::RtfImageInfo info = rtf::RtfImageInfo::probe(in.photo);
            if (info.format == rtf::RtfImageInfo::Format::Gif || info.format == rtf::RtfImageInfo::Format::Bmp) {
                picture.picture.data = rtf::PictureToPng::convert(in.photo);
                info = rtf::RtfImageInfo::probe(picture.picture.data);
            }
            // A photo that cannot be read costs the photo, not the contact.
            if (info.format == rtf::RtfImageInfo::Format::Png || info.format == rtf::RtfImageInfo::Format::Jpeg) {
                picture.picture.format = rtf::RtfImageInfo::formatName(info.format);
                const double scale = std::min({1.0, double(MaxPhotoWidthPx) / std::max(1, info.widthPx),
                                                double(MaxPhotoHeightPx) / std::max(1, info.heightPx)});
                picture.picture.widthPx = std::max(1, int(info.widthPx * scale));
                picture.picture.heightPx = std::max(1, int(info.heightPx * scale));
                RtBlock block;
                block.runs.push_back(std::move(picture));
                head.push_back(std::move(block));
            }
        }
        QStringList lines = splitLines(tableText);
        if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        for (const QString& line : lines) head.push_back(textParagraph(line, font));
    } else if (!in.templ.isEmpty()) {
        rtf::RtfReader reader;
        store::RichTextDoc table = reader.read(in.templ.toLatin1());
        // The template's empty paragraph after the table stays: it keeps the
        // body apart from the table.
        for (RtBlock& b : table.blocks) {
            if (!b.table) continue;
            // Filled row by row with the labels the text has, in fill order.
            b.table = std::make_shared<store::RtTable>(*b.table);
            // The templates draw white hairlines: on the page, no borders.
            b.table->borders = false;
            size_t row = 0;
            for (const QString& label : tableLabels()) {
                if (!HeaderTableLabels::has(tableText, label)) continue;
                if (row >= b.table->rows.size()) break;
                auto& cells = b.table->rows[row].cells;
                if (cells.size() >= 2) {
                    setCellText(cells[0], label);
                    setCellText(cells[1], labelValue(tableText, label));
                }
                ++row;
            }
            break;
        }
        head = std::move(table.blocks);
    }
    if (!head.empty()) doc.blocks.insert(doc.blocks.begin(), std::make_move_iterator(head.begin()),
                                         std::make_move_iterator(head.end()));
    out->body = std::move(doc);
    out->page = localePage();
    out->summary.title = in.title;
    return true;
}

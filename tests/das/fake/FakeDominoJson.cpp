#include "fake/FakeDominoJson.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTimeZone>

namespace fakedomino {

QString unidOfFolder(const store::StoreFolderInfo& info) {
    if (!info.unid.isEmpty()) return info.unid.toUpper();
    return QString::fromLatin1(QCryptographicHash::hash(info.name.toUtf8(), QCryptographicHash::Md5).toHex()).toUpper();
}

QString unidOfNote(const store::StoreNote& note) {
    if (!note.unid.isEmpty()) return note.unid.toUpper();
    return QString::fromLatin1(
               QCryptographicHash::hash("note" + QByteArray::number(note.noteId), QCryptographicHash::Md5).toHex())
        .toUpper();
}

QString noteIdHex(uint32_t id) { return QString::number(id, 16).toUpper(); }

QString utcText(const store::NotesTime& t) {
    if (t.date.isValid() && t.time.isValid()) {
        const QDateTime dt(t.date, t.time, QTimeZone(t.hasZone ? t.utcOffsetSeconds : 0));
        return dt.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char('Z');
    }
    if (t.date.isValid()) return t.date.toString(QStringLiteral("yyyy-MM-dd"));
    if (t.time.isValid()) return t.time.toString(QStringLiteral("HH:mm:ss"));
    return QString();
}

QByteArray quotedPrintable(const QByteArray& data) {
    QByteArray out;
    int line = 0;
    for (int i = 0; i < data.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n') {
            out += "\r\n";
            ++i;
            line = 0;
            continue;
        }
        QByteArray piece;
        if ((c >= 33 && c <= 126 && c != '=') || c == ' ')
            piece = QByteArray(1, char(c));
        else
            piece = "=" + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        if (line + piece.size() > 75) {
            out += "=\r\n";
            line = 0;
        }
        out += piece;
        line += piece.size();
    }
    return out;
}

namespace {

QString escapeHtml(const QString& s) { return s.toHtmlEscaped(); }

QString runHtml(const store::RtRun& run, const QStringList& cids, int& pictureIndex) {
    using K = store::RtRun::Kind;
    switch (run.kind) {
        case K::LineBreak: return QStringLiteral("<br>");
        case K::Tab: return QStringLiteral("&#9;");
        case K::Picture: {
            const QString cid = pictureIndex < cids.size() ? cids[pictureIndex] : QString();
            ++pictureIndex;
            return QStringLiteral("<img src=\"cid:%1\">").arg(cid);
        }
        case K::Url:
            return QStringLiteral("<a href=\"%1\">%2</a>").arg(escapeHtml(run.target), escapeHtml(run.text));
        case K::AttachmentRef:
        case K::DocLink:
        case K::Text:
        default: break;
    }
    QString text = escapeHtml(run.text);
    const store::RtFont& f = run.font;
    if (f.bold) text = QStringLiteral("<b>%1</b>").arg(text);
    if (f.italic) text = QStringLiteral("<i>%1</i>").arg(text);
    if (f.underline) text = QStringLiteral("<u>%1</u>").arg(text);
    if (f.strike) text = QStringLiteral("<s>%1</s>").arg(text);
    if (f.superscript) text = QStringLiteral("<sup>%1</sup>").arg(text);
    if (f.subscript) text = QStringLiteral("<sub>%1</sub>").arg(text);
    QStringList style;
    if (!f.face.isEmpty()) style << QStringLiteral("font-family:%1").arg(f.face);
    if (f.sizePt != 10.0) style << QStringLiteral("font-size:%1pt").arg(f.sizePt);
    if (f.hasColor) style << QStringLiteral("color:#%1").arg(f.rgb, 6, 16, QLatin1Char('0'));
    if (!style.isEmpty()) text = QStringLiteral("<span style=\"%1\">%2</span>").arg(style.join(QLatin1Char(';')), text);
    return text;
}

QString blocksHtml(const std::vector<store::RtBlock>& blocks, const QStringList& cids, int& pictureIndex) {
    QString html;
    for (const store::RtBlock& b : blocks) {
        if (b.table) {
            html += QStringLiteral("<table border=\"1\">");
            for (const auto& row : b.table->rows) {
                html += QStringLiteral("<tr>");
                for (const auto& cell : row.cells)
                    html += QStringLiteral("<td>") + blocksHtml(cell.blocks, cids, pictureIndex) + QStringLiteral("</td>");
                html += QStringLiteral("</tr>");
            }
            html += QStringLiteral("</table>");
            continue;
        }
        QString align;
        if (b.style.align == store::RtAlign::Center) align = QStringLiteral(" align=\"center\"");
        if (b.style.align == store::RtAlign::Right) align = QStringLiteral(" align=\"right\"");
        html += QStringLiteral("<p%1>").arg(align);
        for (const store::RtRun& r : b.runs) html += runHtml(r, cids, pictureIndex);
        html += QStringLiteral("</p>");
    }
    return html;
}

void collectPictures(const std::vector<store::RtBlock>& blocks, std::vector<const store::RtRun*>& out) {
    for (const store::RtBlock& b : blocks) {
        if (b.table) {
            for (const auto& row : b.table->rows)
                for (const auto& cell : row.cells) collectPictures(cell.blocks, out);
            continue;
        }
        for (const store::RtRun& r : b.runs)
            if (r.kind == store::RtRun::Kind::Picture) out.push_back(&r);
    }
}

QJsonObject part(const QString& contentType, const QString& boundary) {
    QJsonObject p;
    p.insert(QStringLiteral("contentType"), contentType);
    if (!boundary.isEmpty()) p.insert(QStringLiteral("boundary"), QStringLiteral("--") + boundary);
    return p;
}

QByteArray wrapBase64(const QByteArray& data) {
    const QByteArray b64 = data.toBase64();
    QByteArray out;
    for (int i = 0; i < b64.size(); i += 76) out += b64.mid(i, 76) + "\r\n";
    return out;
}

QJsonObject richTextJson(const store::StoreItem& item, const store::StoreNote& note, store::NoteStore& store,
                         bool withAttachments, const DocumentOptions& options, int counter) {
    const store::RichTextDoc empty;
    const store::RichTextDoc& doc = item.richText ? *item.richText : empty;
    std::vector<const store::RtRun*> pictures;
    collectPictures(doc.blocks, pictures);
    const bool mixed = withAttachments && !note.attachments.empty();
    const bool related = !pictures.empty();
    const QString bMixed = QStringLiteral("%1__=MIXED%2").arg(counter).arg(note.noteId, 0, 16);
    const QString bRelated = QStringLiteral("%1__=RELATED%2").arg(counter).arg(note.noteId, 0, 16);
    const QString bAlt = QStringLiteral("%1__=ALT%2").arg(counter).arg(note.noteId, 0, 16);
    QStringList cids;
    for (size_t i = 0; i < pictures.size(); ++i) cids << QStringLiteral("%1.%2@fake.example").arg(counter).arg(i);

    QJsonArray content;
    QString parentOfAlt;
    QString parentOfRelated;
    if (mixed) {
        content.append(part(QStringLiteral("multipart/mixed; Boundary=\"%1\"").arg(bMixed), QString()));
        parentOfRelated = bMixed;
    }
    if (related) {
        content.append(part(QStringLiteral("multipart/related; Boundary=\"%1\"").arg(bRelated), parentOfRelated));
        parentOfAlt = bRelated;
    } else {
        parentOfAlt = parentOfRelated;
    }
    content.append(part(QStringLiteral("multipart/alternative; Boundary=\"%1\"").arg(bAlt), parentOfAlt));
    QString plain = doc.plainText();
    QJsonObject text = part(QStringLiteral("text/plain; charset=UTF-8"), bAlt);
    text.insert(QStringLiteral("contentTransferEncoding"), QStringLiteral("quoted-printable"));
    text.insert(QStringLiteral("data"), QString::fromLatin1(quotedPrintable(plain.toUtf8())));
    content.append(text);
    int pictureIndex = 0;
    const QString html = QStringLiteral("<html><body>") + blocksHtml(doc.blocks, cids, pictureIndex) +
                         QStringLiteral("</body></html>");
    QJsonObject htmlPart = part(QStringLiteral("text/html; charset=UTF-8"), bAlt);
    htmlPart.insert(QStringLiteral("contentDisposition"), QStringLiteral("inline"));
    htmlPart.insert(QStringLiteral("contentTransferEncoding"), QStringLiteral("base64"));
    htmlPart.insert(QStringLiteral("data"), QString::fromLatin1(wrapBase64(html.toUtf8())));
    content.append(htmlPart);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const QString format = pictures[i]->picture.format.isEmpty() ? QStringLiteral("gif") : pictures[i]->picture.format;
        QJsonObject img = part(QStringLiteral("image/%1").arg(format), bRelated);
        img.insert(QStringLiteral("contentID"), QStringLiteral("<%1>").arg(cids[int(i)]));
        img.insert(QStringLiteral("contentDisposition"), QStringLiteral("inline"));
        img.insert(QStringLiteral("contentTransferEncoding"), QStringLiteral("base64"));
        img.insert(QStringLiteral("data"), QString::fromLatin1(wrapBase64(pictures[i]->picture.data)));
        content.append(img);
    }
    if (mixed) {
        QTemporaryDir dir;
        for (const store::StoreAttachment& a : note.attachments) {
            QJsonObject file = part(QStringLiteral("application/octet-stream; name=\"%1\"").arg(a.name), bMixed);
            file.insert(QStringLiteral("contentDisposition"), QStringLiteral("attachment; filename=\"%1\"").arg(a.name));
            file.insert(QStringLiteral("contentTransferEncoding"), QStringLiteral("base64"));
            if (options.attachmentLinks) {
                QString href = options.hrefBase + QLatin1Char('/') +
                               QString::fromLatin1(QUrl::toPercentEncoding(item.name)) + QLatin1Char('/') +
                               QString::fromLatin1(QUrl::toPercentEncoding(a.name));
                file.insert(QStringLiteral("href"), href);
                file.insert(QStringLiteral("size"), double(a.size));
            } else {
                const QString path = dir.filePath(QStringLiteral("a%1").arg(a.key));
                QByteArray data;
                if (store.detachAttachment(note.noteId, a, path).ok()) {
                    QFile f(path);
                    if (f.open(QIODevice::ReadOnly)) data = f.readAll();
                }
                file.insert(QStringLiteral("data"), QString::fromLatin1(wrapBase64(data)));
            }
            content.append(file);
        }
    }
    QJsonObject out;
    out.insert(QStringLiteral("type"), QStringLiteral("multipart"));
    out.insert(QStringLiteral("content"), content);
    return out;
}

QJsonValue timesJson(const std::vector<store::NotesTime>& times, bool strong) {
    QJsonValue data;
    if (times.size() == 1) {
        data = utcText(times[0]);
    } else {
        QJsonArray a;
        for (const auto& t : times) a.append(utcText(t));
        data = a;
    }
    if (!strong) return data;
    QJsonObject o;
    o.insert(QStringLiteral("data"), data);
    o.insert(QStringLiteral("type"), QStringLiteral("datetime"));
    return o;
}

}  // namespace

QJsonObject documentJson(const store::StoreNote& note, store::NoteStore& store, const DocumentOptions& options) {
    QJsonObject o;
    o.insert(QStringLiteral("@href"), options.hrefBase);
    o.insert(QStringLiteral("@unid"), unidOfNote(note));
    o.insert(QStringLiteral("@noteid"), noteIdHex(note.noteId));
    const store::StoreItem* form = note.item(QStringLiteral("Form"));
    if (form && !form->texts.isEmpty() && !form->texts.front().isEmpty())
        o.insert(QStringLiteral("@form"), form->texts.front());
    bool attachmentsPlaced = false;
    int counter = 0;
    for (const store::StoreItem& item : note.items) {
        if (item.name.compare(QLatin1String("Form"), Qt::CaseInsensitive) == 0) continue;
        if (item.name.startsWith(QLatin1Char('$')) && !options.hidden) continue;
        if (item.name.compare(QLatin1String("$FONTS"), Qt::CaseInsensitive) == 0) continue;
        if (o.contains(item.name)) continue;
        switch (item.type) {
            case store::TypeText:
            case store::TypeTextList: {
                QStringList texts = item.texts;
                if (texts.isEmpty() || (texts.size() == 1 && texts.front().isEmpty())) break;
                if (texts.size() == 1)
                    o.insert(item.name, texts.front());
                else
                    o.insert(item.name, QJsonArray::fromStringList(texts));
                break;
            }
            case store::TypeNumber: {
                if (item.numbers.empty()) break;
                if (item.numbers.size() == 1) {
                    o.insert(item.name, item.numbers.front());
                } else {
                    QJsonArray a;
                    for (double d : item.numbers) a.append(d);
                    o.insert(item.name, a);
                }
                break;
            }
            case store::TypeTime:
                if (item.times.empty()) break;
                o.insert(item.name, timesJson(item.times, options.strongtype));
                break;
            case store::TypeTimeRange:
            case store::TypeNumberRange:
                o.insert(item.name, QStringLiteral("???"));
                break;
            case store::TypeComposite: {
                const bool withAttachments = !attachmentsPlaced;
                o.insert(item.name, richTextJson(item, note, store, withAttachments, options, counter++));
                attachmentsPlaced = attachmentsPlaced || !note.attachments.empty();
                break;
            }
            default:
                break;  // objects, note links, signatures: not served
        }
    }
    return o;
}

QString richTextHtml(const store::RichTextDoc& doc, const QStringList& pictureCids) {
    int index = 0;
    return blocksHtml(doc.blocks, pictureCids, index);
}

}  // namespace fakedomino

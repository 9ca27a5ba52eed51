#include "notes/das/DasDocumentMapper.h"

#include "notes/das/DasMultipart.h"
#include "notes/mime/HtmlToRichText.h"
#include "notes/mime/MimeParser.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimeZone>

namespace das {
namespace {

store::StoreItem textItem(const QString& name, const QStringList& texts) {
    store::StoreItem item;
    item.name = name;
    item.type = texts.size() > 1 ? store::TypeTextList : store::TypeText;
    item.texts = texts;
    return item;
}

QString valueText(const QJsonValue& v) {
    if (v.isString()) return v.toString();
    if (v.isDouble()) return QString::number(v.toDouble(), 'g', 15);
    if (v.isBool()) return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return QString();
}

bool mapTimes(const QString& name, const QJsonValue& data, store::StoreItem& item) {
    item.name = name;
    item.type = store::TypeTime;
    const QJsonArray values = data.isArray() ? data.toArray() : QJsonArray{data};
    for (const QJsonValue& v : values) {
        auto t = DasDocumentMapper::parseTime(v.toString());
        if (!t) {
            item.unreadable = true;
            item.problem = QStringLiteral("The server sent a date that cannot be read: %1").arg(v.toString().left(64));
            continue;
        }
        item.times.push_back(*t);
    }
    return !item.times.empty() || item.unreadable;
}

}  // namespace

std::optional<store::NotesTime> DasDocumentMapper::parseTime(const QString& raw) {
    const QString text = raw.trimmed();
    store::NotesTime t;
    if (text.size() == 10 && text[4] == QLatin1Char('-')) {
        t.date = QDate::fromString(text, Qt::ISODate);
        if (!t.date.isValid()) return std::nullopt;
        return t;
    }
    if (text.size() >= 8 && text[2] == QLatin1Char(':') && !text.contains(QLatin1Char('T'))) {
        t.time = QTime::fromString(text.left(8), QStringLiteral("HH:mm:ss"));
        if (!t.time.isValid()) return std::nullopt;
        return t;
    }
    QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dt.isValid()) dt = QDateTime::fromString(text, Qt::ISODate);
    if (!dt.isValid()) return std::nullopt;
    if (dt.timeSpec() == Qt::LocalTime) dt.setTimeZone(QTimeZone::utc());  // the service writes UTC
    const QDateTime local = dt.toLocalTime();
    t.date = local.date();
    const QTime lt = local.time();
    t.time = QTime(lt.hour(), lt.minute(), lt.second(), (lt.msec() / 10) * 10);
    t.utcOffsetSeconds = local.offsetFromUtc();
    t.hasZone = true;
    return t;
}

store::RichTextDoc DasDocumentMapper::richText(const QJsonObject& item, std::vector<AttachmentSource>& attachments,
                                               QStringList* problems) {
    const QString type = item.value(QLatin1String("type")).toString();
    if (type == QLatin1String("richtext")) {
        // The older HTML form: one HTML string and links to its files.
        const QString html = item.value(QLatin1String("data")).toString();
        store::RichTextDoc doc = mime::HtmlToRichText::convert(html, {}, problems);
        return doc;
    }
    const QByteArray raw = DasMultipart::rebuild(item.value(QLatin1String("content")).toArray(), problems);
    if (raw.isEmpty()) return {};
    const mime::MimeEntity message = mime::MimeParser::parse(raw);
    store::RichTextDoc doc;
    if (const mime::MimeEntity* html = message.findText(QStringLiteral("html"))) {
        doc = mime::HtmlToRichText::convert(html->body, html->charset, mime::HtmlToRichText::resolverFor(message),
                                            problems);
    } else if (const mime::MimeEntity* plain = message.findText(QStringLiteral("plain"))) {
        const QString text = plain->text();
        QString normalised = text;
        normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        for (const QString& line : normalised.split(QLatin1Char('\n'))) {
            store::RtBlock block;
            store::RtRun run;
            run.text = line;
            if (!line.isEmpty()) block.runs.push_back(run);
            doc.blocks.push_back(block);
        }
        while (!doc.blocks.empty() && doc.blocks.back().runs.empty()) doc.blocks.pop_back();
    }
    // File parts. Linked ones carry an address instead of the data.
    std::vector<const mime::MimeEntity*> files = message.attachments();
    QJsonArray parts = item.value(QLatin1String("content")).toArray();
    for (const mime::MimeEntity* file : files) {
        AttachmentSource source;
        source.name = file->fileName;
        source.data = file->body;
        // The JSON part it came from, for a link and the size.
        for (const QJsonValue& v : parts) {
            const QJsonObject p = v.toObject();
            const QString disposition = p.value(QLatin1String("contentDisposition")).toString();
            const QString ct = p.value(QLatin1String("contentType")).toString();
            const QString name = mime::MimeParser::headerParameter(disposition.toUtf8(), "filename").isEmpty()
                                     ? mime::MimeParser::headerParameter(ct.toUtf8(), "name")
                                     : mime::MimeParser::headerParameter(disposition.toUtf8(), "filename");
            if (name != source.name) continue;
            QString href = p.value(QLatin1String("href")).toString();
            if (href.isEmpty()) href = p.value(QLatin1String("@href")).toString();
            if (href.isEmpty() && p.value(QLatin1String("link")).isObject())
                href = p.value(QLatin1String("link")).toObject().value(QLatin1String("href")).toString();
            if (!href.isEmpty() && !p.contains(QLatin1String("data"))) {
                source.href = href;
                source.data.clear();
                source.size = p.value(QLatin1String("size")).isDouble() ? qint64(p.value(QLatin1String("size")).toDouble()) : -1;
            }
            break;
        }
        if (source.name.isEmpty()) source.name = QStringLiteral("ATT%1").arg(attachments.size() + 1);
        attachments.push_back(std::move(source));
    }
    if (problems) *problems += message.allProblems();
    return doc;
}

bool DasDocumentMapper::map(const QByteArray& json, store::StoreNote& note, std::vector<AttachmentSource>& attachments) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return false;
    note.size = json.size();
    return map(doc.object(), note, attachments);
}

bool DasDocumentMapper::map(const QJsonObject& document, store::StoreNote& note, std::vector<AttachmentSource>& attachments) {
    if (!document.contains(QLatin1String("@unid")) && !document.contains(QLatin1String("@noteid"))) return false;
    note.unid = document.value(QLatin1String("@unid")).toString().toUpper();
    bool ok = false;
    note.noteId = document.value(QLatin1String("@noteid")).toString().toUInt(&ok, 16);
    if (!ok) note.noteId = 0;
    for (auto it = document.begin(); it != document.end(); ++it) {
        const QString name = it.key();
        const QJsonValue value = it.value();
        if (name.isEmpty() || name.size() > 256) continue;
        if (name.startsWith(QLatin1Char('@'))) {
            if (name == QLatin1String("@form") && value.isString() && !value.toString().isEmpty())
                note.items.push_back(textItem(QStringLiteral("Form"), {value.toString()}));
            if (name == QLatin1String("@created") || name == QLatin1String("@modified")) {
                // A text, or {"data": text, "type": "datetime"} with strong types.
                const QString text =
                    value.isObject() ? value.toObject().value(QLatin1String("data")).toString() : value.toString();
                const bool created = name == QLatin1String("@created");
                if (!created) note.changeMark = text;
                if (const auto t = parseTime(text)) (created ? note.created : note.modified) = *t;
            }
            continue;
        }
        if (name.compare(QLatin1String("$Seal"), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String("$SealData"), Qt::CaseInsensitive) == 0)
            note.encrypted = true;
        if (value.isString()) {
            if (value.toString() == QLatin1String("???")) {
                store::StoreItem item;
                item.name = name;
                item.type = store::TypeInvalidOrUnknown;
                item.unreadable = true;
                item.problem = QStringLiteral("The server cannot give this value");
                note.items.push_back(item);
            } else {
                note.items.push_back(textItem(name, {value.toString()}));
            }
        } else if (value.isDouble()) {
            store::StoreItem item;
            item.name = name;
            item.type = store::TypeNumber;
            item.numbers = {value.toDouble()};
            note.items.push_back(item);
        } else if (value.isBool()) {
            note.items.push_back(textItem(name, {valueText(value)}));
        } else if (value.isArray()) {
            const QJsonArray a = value.toArray();
            bool numbers = !a.isEmpty();
            for (const QJsonValue& v : a) numbers = numbers && v.isDouble();
            store::StoreItem item;
            item.name = name;
            if (numbers) {
                item.type = store::TypeNumber;
                for (const QJsonValue& v : a) item.numbers.push_back(v.toDouble());
            } else {
                QStringList texts;
                for (const QJsonValue& v : a) texts << valueText(v);
                item = textItem(name, texts);
                item.type = store::TypeTextList;
            }
            note.items.push_back(item);
        } else if (value.isObject()) {
            const QJsonObject o = value.toObject();
            const QString type = o.value(QLatin1String("type")).toString();
            store::StoreItem item;
            item.name = name;
            if (type == QLatin1String("datetime")) {
                if (mapTimes(name, o.value(QLatin1String("data")), item)) note.items.push_back(item);
            } else if (type == QLatin1String("multipart") || type == QLatin1String("richtext")) {
                item.type = store::TypeComposite;
                QStringList problems;
                auto doc = std::make_shared<store::RichTextDoc>(richText(o, attachments, &problems));
                item.richText = std::move(doc);
                note.items.push_back(item);
            } else if (o.contains(QLatin1String("data"))) {
                // Another strong type: numbers or text in "data".
                const QJsonValue data = o.value(QLatin1String("data"));
                const QJsonArray a = data.isArray() ? data.toArray() : QJsonArray{data};
                bool numbers = !a.isEmpty();
                for (const QJsonValue& v : a) numbers = numbers && v.isDouble();
                if (numbers) {
                    item.type = store::TypeNumber;
                    for (const QJsonValue& v : a) item.numbers.push_back(v.toDouble());
                    note.items.push_back(item);
                } else {
                    QStringList texts;
                    for (const QJsonValue& v : a) texts << valueText(v);
                    note.items.push_back(textItem(name, texts));
                }
            }
        }
    }
    // The service lists items by name; keep Form first as the files do.
    return true;
}

}  // namespace das

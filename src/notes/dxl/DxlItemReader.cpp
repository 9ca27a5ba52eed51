#include "notes/dxl/DxlItemReader.h"

#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/Rfc822Text.h"

#include "notes/dxl/Base64Decoder.h"
#include "notes/dxl/DxlRichTextReader.h"

namespace store::dxl {
namespace {

// Notes item flags (ITEM_SIGN, ITEM_SEAL, ...).
uint16_t itemFlags(const QXmlStreamAttributes& a) {
    uint16_t flags = 0;
    auto on = [&](const char* name) { return a.value(QLatin1String(name)) == QLatin1String("true"); };
    if (on("sign")) flags |= 0x0001;
    if (on("seal")) flags |= 0x0002;
    if (a.value(QLatin1String("summary")) != QLatin1String("false")) flags |= 0x0004;
    if (on("authors")) flags |= 0x0020;
    if (on("names")) flags |= 0x0040;
    if (on("protected")) flags |= 0x0200;
    if (on("readers")) flags |= 0x0400;
    return flags;
}

// Reads base64 content up to the end of the current element.
bool readBase64(QXmlStreamReader& xml, Base64Decoder& decoder) {
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::Characters)
            decoder.feed(xml.text());
        else if (t == QXmlStreamReader::EndElement)
            break;
        else if (t == QXmlStreamReader::StartElement)
            xml.skipCurrentElement();
    }
    return decoder.finish();
}

void markUnreadable(StoreItem& item, const QString& why) {
    if (item.unreadable) return;
    item.unreadable = true;
    item.problem = why;
}

bool readTime(QXmlStreamReader& xml, StoreItem& item, NotesTime& out) {
    const QString text = DxlItemReader::elementText(xml);
    const auto t = NotesTime::fromDxl(text);
    if (!t) {
        markUnreadable(item, QStringLiteral("date/time \"%1\" cannot be read").arg(text.left(40)));
        return false;
    }
    out = *t;
    return true;
}

bool readPair(QXmlStreamReader& xml, StoreItem& item, NotesTimePair& pair) {
    int n = 0;
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::EndElement) break;
        if (t != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("datetime")) {
            NotesTime v;
            if (readTime(xml, item, v)) (n == 0 ? pair.lower : pair.upper) = v;
            ++n;
        } else {
            xml.skipCurrentElement();
        }
    }
    return n == 2;
}

bool readNumber(QXmlStreamReader& xml, StoreItem& item) {
    const QString text = DxlItemReader::elementText(xml).trimmed();
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok) {
        markUnreadable(item, QStringLiteral("number \"%1\" cannot be read").arg(text.left(40)));
        return false;
    }
    item.numbers.push_back(v);
    return true;
}

}  // namespace

QString DxlItemReader::elementText(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    while (!xml.atEnd() && depth > 0) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::Characters) {
            text += xml.text();
        } else if (t == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("break")) text += QLatin1Char('\n');
            ++depth;
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return text;
}

bool DxlItemReader::read(QXmlStreamReader& xml, StoreItem& item, FileInfo* file, QString& error) {
    const QXmlStreamAttributes attrs = xml.attributes();
    item.name = attrs.value(QLatin1String("name")).toString();
    item.flags = itemFlags(attrs);
    item.type = TypeText;
    bool haveValue = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token != QXmlStreamReader::StartElement) continue;
        if (haveValue) {
            // One value per item; more is not DXL. Keep the first.
            xml.skipCurrentElement();
            continue;
        }
        haveValue = true;
        const QStringView v = xml.name();
        if (v == QLatin1String("text")) {
            item.type = TypeText;
            item.texts << elementText(xml);
        } else if (v == QLatin1String("textlist")) {
            item.type = TypeTextList;
            while (!xml.atEnd()) {
                const auto t = xml.readNext();
                if (t == QXmlStreamReader::EndElement) break;
                if (t == QXmlStreamReader::StartElement) {
                    if (xml.name() == QLatin1String("text"))
                        item.texts << elementText(xml);
                    else
                        xml.skipCurrentElement();
                }
            }
        } else if (v == QLatin1String("number")) {
            item.type = TypeNumber;
            readNumber(xml, item);
        } else if (v == QLatin1String("numberlist")) {
            item.type = TypeNumberRange;
            while (!xml.atEnd()) {
                const auto t = xml.readNext();
                if (t == QXmlStreamReader::EndElement) break;
                if (t == QXmlStreamReader::StartElement) {
                    if (xml.name() == QLatin1String("number"))
                        readNumber(xml, item);
                    else
                        xml.skipCurrentElement();
                }
            }
        } else if (v == QLatin1String("datetime")) {
            item.type = TypeTime;
            NotesTime t;
            if (readTime(xml, item, t)) item.times.push_back(t);
        } else if (v == QLatin1String("datetimepair")) {
            item.type = TypeTimeRange;
            NotesTimePair p;
            if (readPair(xml, item, p)) item.timeRanges.push_back(p);
        } else if (v == QLatin1String("datetimelist")) {
            item.type = TypeTime;
            while (!xml.atEnd()) {
                const auto t = xml.readNext();
                if (t == QXmlStreamReader::EndElement) break;
                if (t != QXmlStreamReader::StartElement) continue;
                if (xml.name() == QLatin1String("datetime")) {
                    NotesTime time;
                    if (readTime(xml, item, time)) item.times.push_back(time);
                } else if (xml.name() == QLatin1String("datetimepair")) {
                    item.type = TypeTimeRange;
                    NotesTimePair p;
                    if (readPair(xml, item, p)) item.timeRanges.push_back(p);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else if (v == QLatin1String("richtext")) {
            item.type = TypeComposite;
            auto doc = std::make_shared<RichTextDoc>();
            DxlRichTextReader reader;
            QString problem;
            if (!reader.read(xml, *doc, problem)) {
                error = item.name + QStringLiteral(": ") + problem;
                return false;
            }
            item.richText = std::move(doc);
        } else if (v == QLatin1String("object")) {
            item.type = TypeObject;
            while (!xml.atEnd()) {
                const auto t = xml.readNext();
                if (t == QXmlStreamReader::EndElement) break;
                if (t != QXmlStreamReader::StartElement) continue;
                if (xml.name() != QLatin1String("file")) {
                    xml.skipCurrentElement();
                    continue;
                }
                const QXmlStreamAttributes fa = xml.attributes();
                const QString name = fa.value(QLatin1String("name")).toString();
                item.texts << name;
                FileInfo info;
                info.present = true;
                info.name = name;
                info.compression = fa.value(QLatin1String("compression")).toString();
                while (!xml.atEnd()) {
                    const auto ft = xml.readNext();
                    if (ft == QXmlStreamReader::EndElement) break;
                    if (ft != QXmlStreamReader::StartElement) continue;
                    if (xml.name() == QLatin1String("filedata")) {
                        Base64Decoder counter(true);
                        if (!readBase64(xml, counter)) {
                            error = QStringLiteral("attachment \"%1\": data is not valid base64 (line %2)")
                                        .arg(name)
                                        .arg(xml.lineNumber());
                            return false;
                        }
                        info.dataSize = counter.decodedSize();
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                if (file && !file->present) *file = info;
            }
        } else if (v == QLatin1String("rawitemdata")) {
            bool ok = false;
            const uint type = xml.attributes().value(QLatin1String("type")).toUInt(&ok, 16);
            Base64Decoder decoder;
            if (!readBase64(xml, decoder)) {
                error = QStringLiteral("item %1: raw data is not valid base64 (line %2)")
                            .arg(item.name)
                            .arg(xml.lineNumber());
                return false;
            }
            item.raw = decoder.takeOutput();
            item.type = ok ? uint16_t(type) : uint16_t(TypeInvalidOrUnknown);
            if (!ok) markUnreadable(item, QStringLiteral("raw item data without a type"));
            if (ok && item.type == nsf::Rfc822Text::kType) {
                // Internet mail headers: the Notes value they carry, or the header's text.
                thread_local nsf::LmbcsConverter lmbcs;
                const QByteArray raw = item.raw;
                nsf::Rfc822Text::decode(nsf::ByteView(raw.constData(), size_t(raw.size())), lmbcs, item);
            } else if (item.type == TypeComposite) {
                // Rich text kept in its stored form (CD records) for the readers that decode it.
                auto doc = std::make_shared<RichTextDoc>();
                doc->rawRecords = item.raw;
                item.richText = std::move(doc);
            }
        } else if (v == QLatin1String("formula")) {
            item.type = TypeFormula;
            item.texts << elementText(xml);
        } else if (v == QLatin1String("unavailable")) {
            item.type = TypeUnavailable;
            xml.skipCurrentElement();
        } else if (v == QLatin1String("noteref") || v == QLatin1String("notereflist")) {
            item.type = TypeNoteRefList;
            if (v == QLatin1String("noteref")) {
                item.texts << xml.attributes().value(QLatin1String("unid")).toString();
                xml.skipCurrentElement();
            } else {
                while (!xml.atEnd()) {
                    const auto t = xml.readNext();
                    if (t == QXmlStreamReader::EndElement) break;
                    if (t == QXmlStreamReader::StartElement) {
                        item.texts << xml.attributes().value(QLatin1String("unid")).toString();
                        xml.skipCurrentElement();
                    }
                }
            }
        } else if (v == QLatin1String("userdata")) {
            item.type = TypeUserData;
            Base64Decoder decoder;
            if (!readBase64(xml, decoder)) {
                error = QStringLiteral("item %1: user data is not valid base64 (line %2)")
                            .arg(item.name)
                            .arg(xml.lineNumber());
                return false;
            }
            item.raw = decoder.takeOutput();
        } else {
            item.type = TypeInvalidOrUnknown;
            markUnreadable(item, QStringLiteral("values of the form <%1> are not read").arg(v.toString()));
            xml.skipCurrentElement();
        }
    }
    return true;
}

}  // namespace store::dxl

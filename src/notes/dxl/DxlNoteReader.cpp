#include "notes/dxl/DxlNoteReader.h"

#include <QHash>

#include <algorithm>

#include "notes/dxl/DxlItemReader.h"
#include "notes/mime/NotesMimeBody.h"
#include "notes/nsf/CdTextExtractor.h"
#include "notes/nsf/LmbcsConverter.h"

namespace store::dxl {

namespace {

nsf::ByteView bytesOf(const QByteArray& b) {
    return nsf::ByteView(b.constData(), size_t(b.size()));
}

// Rich text kept as CD records (<rawitemdata type='1'>): a field may be split
// over several items of one name, each a part of the record stream. The parts
// are joined into the first item and read into paragraphs as the native
// reader reads them.
void decodeRawRichText(StoreNote& note) {
    bool any = false;
    for (const StoreItem& it : note.items)
        if (it.type == TypeComposite && it.richText && it.richText->blocks.empty() && !it.raw.isEmpty())
            any = true;
    if (!any) return;
    thread_local nsf::LmbcsConverter lmbcs;
    QMap<int, QString> faces;
    for (const StoreItem& it : note.items)
        if (it.type == TypeComposite && it.name.compare(QLatin1String("$Fonts"), Qt::CaseInsensitive) == 0)
            faces.insert(nsf::CdTextExtractor::readFontTable(bytesOf(it.raw), lmbcs));
    QHash<QString, size_t> first;
    std::vector<StoreItem> items;
    std::vector<std::unique_ptr<nsf::CdTextExtractor>> extractors;
    QHash<size_t, size_t> extractorOf;
    for (StoreItem& it : note.items) {
        const bool raw = it.type == TypeComposite && it.richText && it.richText->blocks.empty() &&
                         !it.raw.isEmpty() &&
                         it.name.compare(QLatin1String("$Fonts"), Qt::CaseInsensitive) != 0;
        if (!raw) {
            items.push_back(std::move(it));
            continue;
        }
        const QString key = it.name.toLower();
        auto f = first.constFind(key);
        if (f == first.constEnd()) {
            extractors.push_back(std::make_unique<nsf::CdTextExtractor>(lmbcs, faces));
            extractors.back()->addPart(bytesOf(it.raw));
            first.insert(key, items.size());
            extractorOf.insert(items.size(), extractors.size() - 1);
            items.push_back(std::move(it));
        } else {
            StoreItem& target = items[*f];
            extractors[extractorOf.value(*f)]->addPart(bytesOf(it.raw));
            target.raw += it.raw;
        }
    }
    for (auto it = extractorOf.constBegin(); it != extractorOf.constEnd(); ++it) {
        StoreItem& item = items[it.key()];
        auto doc = std::make_shared<RichTextDoc>();
        doc->blocks = extractors[it.value()]->finish();
        doc->rawRecords = item.raw;
        if (extractors[it.value()]->damaged())
            item.problem = QStringLiteral("the rich text ends in a damaged record");
        item.richText = std::move(doc);
    }
    note.items = std::move(items);
}

// <noteinfo>'s <created> and <modified>, each holding one <datetime>.
void readNoteTimes(QXmlStreamReader& xml, StoreNote& note) {
    while (xml.readNextStartElement()) {
        NotesTime* target = nullptr;
        if (xml.name() == QLatin1String("created"))
            target = &note.created;
        else if (xml.name() == QLatin1String("modified"))
            target = &note.modified;
        if (!target) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("datetime")) {
                const QString text = xml.readElementText().trimmed();
                if (target == &note.modified) note.changeMark = text;
                if (const auto t = NotesTime::fromDxl(text)) *target = *t;
            } else {
                xml.skipCurrentElement();
            }
        }
    }
}

// MIME bodies (<rawitemdata type='19'>, one item per part): the parts of a
// field are joined into its first item, which becomes the rich-text body.
void decodeMimeBodies(StoreNote& note) {
    constexpr uint16_t kTypeMimePart = 0x0019;
    if (std::none_of(note.items.begin(), note.items.end(),
                     [](const StoreItem& it) { return it.type == kTypeMimePart && !it.unreadable; }))
        return;
    QHash<QString, size_t> first;
    std::vector<StoreItem> items;
    std::vector<std::unique_ptr<mime::NotesMimeBody>> bodies;
    QHash<size_t, size_t> bodyOf;
    for (StoreItem& it : note.items) {
        if (it.type != kTypeMimePart || it.unreadable) {
            items.push_back(std::move(it));
            continue;
        }
        const QString key = it.name.toLower();
        auto f = first.constFind(key);
        if (f == first.constEnd()) {
            bodies.push_back(std::make_unique<mime::NotesMimeBody>());
            bodies.back()->addPart(it.raw);
            first.insert(key, items.size());
            bodyOf.insert(items.size(), bodies.size() - 1);
            items.push_back(std::move(it));
        } else {
            bodies[bodyOf.value(*f)]->addPart(it.raw);
        }
    }
    for (auto it = bodyOf.constBegin(); it != bodyOf.constEnd(); ++it) {
        StoreItem& item = items[it.key()];
        const mime::NotesMimeBody& body = *bodies[it.value()];
        mime::NotesMimeBody::Result r = body.finish();
        item.type = TypeComposite;
        item.raw = body.text();
        if (!r.problems.isEmpty()) item.problem = r.problems.join(QLatin1Char(' '));
        item.richText = std::move(r.body);
    }
    note.items = std::move(items);
}

}  // namespace

bool DxlNoteReader::read(QXmlStreamReader& xml, StoreNote& note, QString& error) {
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    if (xml.tokenType() != QXmlStreamReader::StartElement) {
        error = xml.hasError() ? xml.errorString() : QStringLiteral("no document element");
        return false;
    }
    const QString form = xml.attributes().value(QLatin1String("form")).toString();
    bool hasForm = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) break;
        if (token != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("noteinfo")) {
            note.unid = xml.attributes().value(QLatin1String("unid")).toString();
            readNoteTimes(xml, note);
            continue;
        }
        if (xml.name() != QLatin1String("item")) {
            xml.skipCurrentElement();  // noteinfo, updatedby, revisions, ...
            continue;
        }
        StoreItem item;
        DxlItemReader::FileInfo file;
        if (!DxlItemReader::read(xml, item, &file, error)) return false;
        if (item.name.compare(QLatin1String("Form"), Qt::CaseInsensitive) == 0) hasForm = true;
        if (item.name.compare(QLatin1String("$Seal"), Qt::CaseInsensitive) == 0 ||
            item.name.compare(QLatin1String("$SealData"), Qt::CaseInsensitive) == 0)
            note.encrypted = true;
        if (file.present && item.name.compare(QLatin1String("$FILE"), Qt::CaseInsensitive) == 0) {
            StoreAttachment a;
            a.name = file.name;
            a.size = file.dataSize;
            a.key = qint64(note.attachments.size());
            if (!file.compression.isEmpty() && file.compression != QLatin1String("none")) {
                a.decodable = false;
                a.problem = QStringLiteral("the attachment is stored compressed (%1)").arg(file.compression);
            }
            note.attachments.push_back(a);
        }
        note.items.push_back(std::move(item));
    }
    if (xml.hasError()) {
        error = xml.errorString();
        return false;
    }
    decodeRawRichText(note);
    decodeMimeBodies(note);
    if (!hasForm && !form.isEmpty()) {
        // The form attribute of <document> stands for a missing Form item.
        StoreItem item;
        item.name = QStringLiteral("Form");
        item.type = TypeText;
        item.flags = 0x0004;
        item.texts << form;
        note.items.push_back(std::move(item));
    }
    return true;
}

}  // namespace store::dxl

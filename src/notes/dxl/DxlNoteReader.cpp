#include "notes/dxl/DxlNoteReader.h"

#include "notes/dxl/DxlItemReader.h"

namespace store::dxl {

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
            xml.skipCurrentElement();
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

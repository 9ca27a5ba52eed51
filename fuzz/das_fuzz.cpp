// libFuzzer target: any bytes as a Domino data-service document through the
// JSON-to-note mapping (with the multipart rebuild, the MIME reader and the
// HTML converter behind it); bytes starting with '[' also as a bare part list.
#include "notes/das/DasDocumentMapper.h"
#include "notes/das/DasMultipart.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (input.startsWith('[')) {
        const QJsonDocument doc = QJsonDocument::fromJson(input);
        QStringList problems;
        (void)das::DasMultipart::rebuild(doc.array(), &problems);
        QJsonObject item;
        item.insert(QStringLiteral("type"), QStringLiteral("multipart"));
        item.insert(QStringLiteral("content"), doc.array());
        std::vector<das::AttachmentSource> files;
        (void)das::DasDocumentMapper::richText(item, files, &problems).plainText();
        return 0;
    }
    store::StoreNote note;
    std::vector<das::AttachmentSource> files;
    das::DasDocumentMapper::map(input, note, files);
    for (const auto& item : note.items)
        if (item.richText) (void)item.richText->plainText();
    return 0;
}

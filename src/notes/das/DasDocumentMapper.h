#pragma once

#include "notes/store/StoreItem.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <vector>

namespace das {

// Where an attachment's bytes come from: a link to the server's attachment
// resource, or the decoded content that came inside the document.
struct AttachmentSource {
    QString name;
    QString href;          // server-relative or absolute link; empty when inline
    QByteArray data;       // inline content (decoded)
    qint64 size = -1;      // announced size when linked (-1: unknown)
};

// Turns one document of the data service into the store's note: system
// properties (@unid, @noteid, @form), text, text lists, numbers, date/times
// (UTC, shown in the machine's time zone), and rich-text / MIME items (the
// flat part list rebuilt and read, the HTML part turned into the rich-text
// model, pictures by cid:, file parts as attachments). Values the service
// cannot render ("???") become unreadable items.
class DasDocumentMapper {
public:
    // False when the JSON is not a document object.
    static bool map(const QJsonObject& document, store::StoreNote& note, std::vector<AttachmentSource>& attachments);
    static bool map(const QByteArray& json, store::StoreNote& note, std::vector<AttachmentSource>& attachments);

    // "2014-08-08T17:18:33Z" (or with an offset / fraction) in local time;
    // "2014-08-08" a date alone; "17:18:33" a time alone. Empty when unreadable.
    static std::optional<store::NotesTime> parseTime(const QString& text);

    // A rich-text / MIME item's part list (the "content" array) as a rich-text
    // document, with its file parts appended to `attachments`.
    static store::RichTextDoc richText(const QJsonObject& item, std::vector<AttachmentSource>& attachments,
                                       QStringList* problems = nullptr);
};

}  // namespace das

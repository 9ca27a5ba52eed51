#pragma once

// The service's JSON shapes, written from the published descriptions.

#include "fake/FakeDomino.h"

#include <QJsonArray>
#include <QJsonObject>

namespace fakedomino {

QString unidOfFolder(const store::StoreFolderInfo& info);
QString unidOfNote(const store::StoreNote& note);
QString noteIdHex(uint32_t id);

// "2014-08-08T17:18:33Z", "2014-08-08" or "17:18:33".
QString utcText(const store::NotesTime& t);

struct DocumentOptions {
    bool hidden = false;
    bool strongtype = false;
    bool attachmentLinks = false;  // FP9 and asked for
    QString hrefBase;              // "/mail/x.nsf/api/data/documents/unid/U"
};

// One document. Rich-text items become multipart objects with the text and
// HTML forms, the pictures as related parts and the files as attachment parts.
QJsonObject documentJson(const store::StoreNote& note, store::NoteStore& store, const DocumentOptions& options);

// The HTML the server would make of a rich-text item (what "text/html" carries).
QString richTextHtml(const store::RichTextDoc& doc, const QStringList& pictureCids);

QByteArray quotedPrintable(const QByteArray& data);

}  // namespace fakedomino

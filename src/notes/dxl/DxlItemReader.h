#pragma once

#include <QXmlStreamReader>

#include "notes/store/StoreItem.h"

namespace store::dxl {

// Reads one <item> of a document: text, textlist, number(list),
// datetime(list), datetimepair, richtext, object (file attachments),
// rawitemdata (kept as raw bytes of its type), formula, unavailable.
class DxlItemReader {
  public:
    // What an <object><file> of the item says about its attachment.
    struct FileInfo {
        bool present = false;
        QString name;
        QString compression;  // "none" or empty: readable
        qint64 dataSize = 0;  // decoded length of <filedata> seen here
    };

    // The reader stands on <item>; returns with it on </item>. Values that
    // cannot be read make the item unreadable (with `problem` set on it);
    // base64 that does not decode makes the whole read fail: returns false
    // with `error` set.
    static bool read(QXmlStreamReader& xml, StoreItem& item, FileInfo* file, QString& error);

    // Reads the text of the element the reader stands on, <break/> as "\n".
    static QString elementText(QXmlStreamReader& xml);
};

}  // namespace store::dxl

#pragma once

#include <QByteArray>
#include <QString>

namespace mime {

// Text of a MIME body or HTML page in a named charset, through ICU.
// An empty name reads UTF-8 when the bytes are valid UTF-8, else Windows-1252.
// A charset ICU does not know, or UTF-8 that is not valid, is read as
// Windows-1252 (what mislabelled Western mail nearly always is) and
// `problem` says so; the text is never lost.
class CharsetDecoder {
public:
    static QString decode(const QByteArray& bytes, const QString& charset, QString* problem = nullptr);
    // True when ICU has a converter of that name (aliases included).
    static bool isKnown(const QString& charset);
};

}  // namespace mime

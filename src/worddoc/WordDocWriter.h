#pragma once

#include "worddoc/WordDocument.h"

#include <QByteArray>
#include <QString>

namespace worddoc {

// Writes a Word 97-2003 document (.doc: the Word binary format in a compound
// file) from the rich-text model, without an office process. One writer per
// thread; write() may be called any number of times.
class WordDocWriter {
public:
    // The document's bytes; empty with errorText() set when the model holds
    // something the writer cannot represent.
    QByteArray toBytes(const WordDocument& doc);
    // Writes toBytes() to `path` (through a temporary file beside it, renamed
    // into place). False with errorText() on failure.
    bool write(const WordDocument& doc, const QString& path);
    QString errorText() const { return m_error; }
    // Pictures of the last document that could not be embedded (formats other
    // than PNG, JPEG, GIF and BMP, or unreadable data) and were written as
    // "[picture]", as the RTF writer does.
    int pictureFallbacks() const { return m_pictureFallbacks; }

private:
    QString m_error;
    int m_pictureFallbacks = 0;
};

}  // namespace worddoc

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

private:
    QString m_error;
};

}  // namespace worddoc

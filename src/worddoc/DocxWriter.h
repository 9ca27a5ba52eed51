#pragma once

#include "worddoc/WordDocument.h"

#include <QByteArray>
#include <QString>

namespace worddoc {

// Writes a Word document (.docx: WordprocessingML in a zip) from the
// rich-text model, without an office process. Same contract as WordDocWriter.
class DocxWriter {
public:
    QByteArray toBytes(const WordDocument& doc);
    bool write(const WordDocument& doc, const QString& path);
    QString errorText() const { return m_error; }

private:
    QString m_error;
};

}  // namespace worddoc

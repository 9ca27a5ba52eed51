#pragma once

#include <QList>
#include <QString>

// Puts files inside a PDF as embedded files ("associated files" in PDF/A-3
// terms), through libqpdf: for each file an embedded-file stream and a file
// specification, named in the document's EmbeddedFiles name tree (made or
// added to) and listed in the catalogue's /AF array.
//
// A PDF that could only be read by repairing it is refused with a reason and
// left as it was. The result is written under a hidden name beside the PDF
// and then renamed over it, so the PDF is either the old one or the complete
// new one, never half-written.
class PdfAttachmentEmbedder {
  public:
    struct File {
        QString path;  // where the bytes are
        QString name;  // the name shown in the PDF reader
    };

    static bool Embed(const QString& pdfPath, const QList<File>& files, QString* error);
    // Embeds the regular files of `directory` (an item's attachment folder),
    // by name, leaving out hidden partial files.
    static bool EmbedDirectory(const QString& pdfPath, const QString& directory, QString* error);
};

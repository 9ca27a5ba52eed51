#pragma once

#include <QList>
#include <QString>

// Puts files inside a PDF as embedded files ("associated files" in PDF/A-3
// terms): an incremental update that adds, for each file, an embedded-file
// stream and a file specification, names them in the document's EmbeddedFiles
// name tree and lists them in the catalogue's /AF array.
//
// The PDF must use classic cross-reference tables (as the office writes them)
// and have no name tree yet; anything else is refused with a reason. The result
// is written under a hidden name beside the PDF and then renamed over it, so
// the PDF is either the old one or the complete new one, never half-written.
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

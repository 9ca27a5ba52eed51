#pragma once

#include <QString>
#include <QStringList>

// Reads written .doc files back with tools independent of the engine under test.
namespace OfficeReadBack {

// Text as catdoc extracts it (UTF-8); empty when catdoc fails.
QString catdocText(const QString& docPath);
// Text as antiword extracts it; empty when antiword refuses the file.
QString antiwordText(const QString& docPath);
// Converts documents with a separate one-shot LibreOffice into `format`
// ("html", "pdf", ...) in outDir; returns the paths written.
QStringList convertWithLibreOffice(const QStringList& docPaths, const QString& format, const QString& outDir);
// The first bytes of a file.
QByteArray fileHead(const QString& path, int bytes);

}  // namespace OfficeReadBack

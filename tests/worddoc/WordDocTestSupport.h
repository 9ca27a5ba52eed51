#pragma once

#include "richtext/RichTextModel.h"
#include "worddoc/WordDocument.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace wdtest {

store::RtRun text(const QString& s, const std::function<void(store::RtFont&)>& format = {});
store::RtRun picture(const QByteArray& data, const QString& format, int widthPx = 0, int heightPx = 0);
store::RtRun link(const QString& shown, const QString& target);
store::RtBlock para(std::vector<store::RtRun> runs, const store::RtParagraphStyle& style = {});
store::RtBlock para(const QString& s);
store::RtTableCell cell(const QString& s, int widthTwips = 0);
QByteArray testData(const QString& name);
QByteArray pngOf(int width, int height, unsigned rgb);

// The streams of a compound file, read back independently of the writer: the
// header, FAT, DIFAT, mini FAT and directory are walked as a reader does.
// Empty with `error` set when the structure is broken.
QMap<QString, QByteArray> readCompoundFile(const QByteArray& file, QString* error);

// Output of a program run on `path` (antiword, catdoc); empty when it failed.
QString runTool(const QString& program, const QStringList& args, int* exitCode = nullptr);

// LibreOffice, headless, in a profile of its own.
class Office {
public:
    static bool available();
    // Converts `files` to `format` ("html", "txt:Text", "pdf", "odt") in
    // `outDir`; true when every output exists.
    static bool convert(const QStringList& files, const QString& format, const QString& outDir);
};

}  // namespace wdtest

#pragma once

#include <QString>

#include <optional>

// The file format of the documents a run writes.
enum class OutputFormat { Doc, Docx, Pdf };

// What the exporter needs to know about the documents it writes.
struct OutputOptions {
    OutputFormat format = OutputFormat::Doc;
    // PDF only: attachments also go inside the PDF (which is then PDF/A-3b
    // instead of PDF/A-2b); they are written beside it as well.
    bool embedAttachments = false;
};

namespace OutputFormats {

// ".doc", ".docx", ".pdf".
QString extension(OutputFormat format);
// "doc", "docx", "pdf": the command line's words.
QString word(OutputFormat format);
// The command line's word, in any case; empty for anything else.
std::optional<OutputFormat> parse(const QString& word);
// The word processor's SaveAs file format number: 0 (Word 97-2003),
// 16 (the default document format, Word 2007-365), 17 (PDF).
int saveAsFileFormat(OutputFormat format);
// What the saving-mode dialog shows for the format.
QString label(OutputFormat format);

}  // namespace OutputFormats

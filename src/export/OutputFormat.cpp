#include "export/OutputFormat.h"

namespace OutputFormats {

QString extension(OutputFormat format) {
    switch (format) {
        case OutputFormat::Docx: return QStringLiteral(".docx");
        case OutputFormat::Pdf: return QStringLiteral(".pdf");
        case OutputFormat::Doc: break;
    }
    return QStringLiteral(".doc");
}

QString word(OutputFormat format) {
    return extension(format).mid(1);
}

std::optional<OutputFormat> parse(const QString& text) {
    for (OutputFormat f : {OutputFormat::Doc, OutputFormat::Docx, OutputFormat::Pdf})
        if (text.compare(word(f), Qt::CaseInsensitive) == 0) return f;
    return std::nullopt;
}

int saveAsFileFormat(OutputFormat format) {
    switch (format) {
        case OutputFormat::Docx: return 16;
        case OutputFormat::Pdf: return 17;
        case OutputFormat::Doc: break;
    }
    return 0;
}

QString label(OutputFormat format) {
    switch (format) {
        case OutputFormat::Docx: return QStringLiteral("Word 2007-365 (.docx)");
        case OutputFormat::Pdf: return QStringLiteral("PDF/A, for archiving (.pdf)");
        case OutputFormat::Doc: break;
    }
    return QStringLiteral("Word 97-2003 (.doc)");
}

}  // namespace OutputFormats

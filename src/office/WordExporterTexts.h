#pragma once

#include <QString>

// Texts of the Word exporter that reach the user, letter for letter.
namespace WordExporterTexts {

inline QString wordMissing() {
    return QStringLiteral("Please install the LibreOffice in this system to use this application.");
}
inline QString unknownError() {
    return QStringLiteral("Unknown error");
}

}  // namespace WordExporterTexts

#pragma once

#include "worddoc/WordDocument.h"

#include <QByteArray>

namespace worddoc {

// The "\005SummaryInformation" stream: an OLE property set holding the title,
// subject, author, keywords, comments, creation time and the program's name.
// Strings are stored as UTF-16 (code page 1200) so no character is lost.
class SummaryInfoStream {
public:
    static QByteArray build(const SummaryInfo& info);
    static QString streamName() { return QStringLiteral("\x05SummaryInformation"); }
};

}  // namespace worddoc

// Stands in for the .doc writer in a tree that does not have it yet: every
// document is refused with a reason, so that the native engine hands it to
// the office engine.
#include "worddoc/WordDocWriter.h"

namespace worddoc {

QByteArray WordDocWriter::toBytes(const WordDocument&) {
    m_error = QStringLiteral("this build has no native .doc writer");
    return {};
}

bool WordDocWriter::write(const WordDocument& doc, const QString&) {
    return !toBytes(doc).isEmpty();
}

}  // namespace worddoc

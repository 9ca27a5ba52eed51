#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QStringList>

namespace das {

// The data service sends a MIME (or converted rich-text) item as a flat list
// of parts: each with its header values, its content still in its transfer
// encoding, and the boundary of the multipart it belongs to ("--" + that
// multipart's boundary parameter). This puts the tree back together as one
// MIME entity (headers, empty line, body with the boundary lines) for the
// MIME reader. Parts whose parent cannot be found are added to the root;
// nesting and part counts are bounded.
class DasMultipart {
public:
    static constexpr int MaxParts = 10000;
    static constexpr int MaxDepth = 32;

    // Empty when `content` holds no usable part; `problems` says why.
    static QByteArray rebuild(const QJsonArray& content, QStringList* problems = nullptr);
};

}  // namespace das

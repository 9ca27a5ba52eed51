#include "notes/das/DasMultipart.h"

#include "notes/mime/MimeParser.h"

#include <QJsonObject>

#include <vector>

namespace das {
namespace {

struct Part {
    QJsonObject json;
    QByteArray ownBoundary;     // for multiparts: their boundary parameter
    QByteArray parentBoundary;  // "--X" given by the part, without the dashes
    std::vector<int> children;
    int depth = 0;
};

QByteArray headerValue(const QJsonObject& o, const char* key) {
    // Header values go into header lines: no line breaks of their own.
    QByteArray v = o.value(QLatin1String(key)).toString().toUtf8();
    v.replace('\r', ' ');
    v.replace('\n', ' ');
    return v;
}

void writeEntity(const std::vector<Part>& parts, int index, QByteArray& out, int depth) {
    const Part& p = parts[size_t(index)];
    const QByteArray type = headerValue(p.json, "contentType");
    out += "Content-Type: " + (type.isEmpty() ? QByteArray("text/plain") : type) + "\r\n";
    if (const QByteArray id = headerValue(p.json, "contentID"); !id.isEmpty()) out += "Content-ID: " + id + "\r\n";
    if (const QByteArray d = headerValue(p.json, "contentDisposition"); !d.isEmpty())
        out += "Content-Disposition: " + d + "\r\n";
    if (const QByteArray e = headerValue(p.json, "contentTransferEncoding"); !e.isEmpty())
        out += "Content-Transfer-Encoding: " + e + "\r\n";
    out += "\r\n";
    const QByteArray data = p.json.value(QLatin1String("data")).toString().toUtf8();
    if (p.ownBoundary.isEmpty() || depth >= DasMultipart::MaxDepth) {
        out += data;
        return;
    }
    if (!data.isEmpty()) out += data + "\r\n";  // a preamble
    for (int child : p.children) {
        out += "\r\n--" + p.ownBoundary + "\r\n";
        writeEntity(parts, child, out, depth + 1);
    }
    out += "\r\n--" + p.ownBoundary + "--\r\n";
}

}  // namespace

QByteArray DasMultipart::rebuild(const QJsonArray& content, QStringList* problems) {
    std::vector<Part> parts;
    for (const QJsonValue& v : content) {
        if (!v.isObject()) continue;
        if (int(parts.size()) >= MaxParts) {
            if (problems) *problems << QStringLiteral("too many parts; the rest are left out");
            break;
        }
        Part p;
        p.json = v.toObject();
        const QByteArray type = headerValue(p.json, "contentType");
        if (type.trimmed().toLower().startsWith("multipart/")) {
            p.ownBoundary = mime::MimeParser::headerParameter(type, "boundary").toUtf8();
            if (p.ownBoundary.isEmpty() && problems) *problems << QStringLiteral("a multipart without a boundary");
        }
        QByteArray b = p.json.value(QLatin1String("boundary")).toString().toUtf8().trimmed();
        if (b.startsWith("--")) b = b.mid(2);
        p.parentBoundary = b;
        parts.push_back(std::move(p));
    }
    if (parts.empty()) {
        if (problems) *problems << QStringLiteral("no parts");
        return QByteArray();
    }
    // The root is the first part without a parent boundary (normally the first).
    int root = 0;
    for (size_t i = 0; i < parts.size(); ++i)
        if (parts[i].parentBoundary.isEmpty()) {
            root = int(i);
            break;
        }
    // A root that is not a multipart but has siblings: wrap everything in one.
    bool wrapped = false;
    if (parts[size_t(root)].ownBoundary.isEmpty() && parts.size() > 1) {
        Part wrapper;
        wrapper.json.insert(QStringLiteral("contentType"),
                            QStringLiteral("multipart/mixed; boundary=\"das-rebuilt-root\""));
        wrapper.ownBoundary = "das-rebuilt-root";
        parts.insert(parts.begin(), std::move(wrapper));
        root = 0;
        wrapped = true;
    }
    for (size_t i = 0; i < parts.size(); ++i) {
        if (int(i) == root) continue;
        // Parent: the nearest earlier multipart with that boundary (a part
        // always follows its parent); else the root.
        int parent = root;
        if (!wrapped || !parts[i].parentBoundary.isEmpty()) {
            for (int j = int(i) - 1; j >= 0; --j)
                if (!parts[size_t(j)].ownBoundary.isEmpty() && parts[size_t(j)].ownBoundary == parts[i].parentBoundary) {
                    parent = j;
                    break;
                }
        }
        if (parent == root && !parts[i].parentBoundary.isEmpty() &&
            parts[size_t(root)].ownBoundary != parts[i].parentBoundary && problems)
            *problems << QStringLiteral("a part names a boundary no multipart has");
        if (parts[size_t(parent)].depth + 1 > MaxDepth) parent = root;
        parts[i].depth = parts[size_t(parent)].depth + 1;
        parts[size_t(parent)].children.push_back(int(i));
    }
    QByteArray out = "MIME-Version: 1.0\r\n";
    writeEntity(parts, root, out, 0);
    return out;
}

}  // namespace das

#include "notes/mime/MimeEntity.h"

#include "notes/mime/CharsetDecoder.h"
#include "notes/mime/MimeParser.h"

namespace mime {

namespace {

QString bareId(QString id) {
    id = id.trimmed();
    if (id.startsWith(QLatin1Char('<'))) id.remove(0, 1);
    if (id.endsWith(QLatin1Char('>'))) id.chop(1);
    return id.trimmed();
}

}  // namespace

QByteArray MimeEntity::rawHeader(const QByteArray& name) const {
    for (const auto& [n, v] : headers)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return v;
    return {};
}

QString MimeEntity::header(const QByteArray& name) const {
    for (const auto& [n, v] : headers)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return MimeParser::decodeHeaderText(v);
    return {};
}

QString MimeEntity::text(QString* problem) const {
    return CharsetDecoder::decode(body, charset, problem);
}

bool MimeEntity::isAttachment() const {
    if (isMultipart() || !children.empty()) return false;
    if (disposition == QLatin1String("attachment")) return true;
    if (!contentId.isEmpty()) return false;
    if (isText()) return false;
    return !fileName.isEmpty();
}

const MimeEntity* MimeEntity::findText(const QString& sub) const {
    if (!isMultipart() && children.empty())
        return (isText() && subType == sub && !isAttachment()) ? this : nullptr;
    if (subType == QLatin1String("alternative")) {
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if (const MimeEntity* found = it->findText(sub)) return found;
        return nullptr;
    }
    for (const MimeEntity& child : children)
        if (const MimeEntity* found = child.findText(sub)) return found;
    return nullptr;
}

const MimeEntity* MimeEntity::findContentId(const QString& cid) const {
    const QString want = bareId(cid);
    if (want.isEmpty()) return nullptr;
    if (children.empty()) return contentId.compare(want, Qt::CaseInsensitive) == 0 ? this : nullptr;
    for (const MimeEntity& child : children)
        if (const MimeEntity* found = child.findContentId(want)) return found;
    return nullptr;
}

const MimeEntity* MimeEntity::findContentLocation(const QString& location) const {
    if (location.isEmpty()) return nullptr;
    if (children.empty()) return contentLocation == location ? this : nullptr;
    for (const MimeEntity& child : children)
        if (const MimeEntity* found = child.findContentLocation(location)) return found;
    return nullptr;
}

std::vector<const MimeEntity*> MimeEntity::attachments() const {
    std::vector<const MimeEntity*> out;
    if (children.empty()) {
        if (isAttachment()) out.push_back(this);
        return out;
    }
    for (const MimeEntity& child : children) {
        auto sub = child.attachments();
        out.insert(out.end(), sub.begin(), sub.end());
    }
    return out;
}

std::vector<const MimeEntity*> MimeEntity::inlineParts() const {
    std::vector<const MimeEntity*> out;
    if (children.empty()) {
        if (!contentId.isEmpty() && !isAttachment()) out.push_back(this);
        return out;
    }
    for (const MimeEntity& child : children) {
        auto sub = child.inlineParts();
        out.insert(out.end(), sub.begin(), sub.end());
    }
    return out;
}

QStringList MimeEntity::allProblems() const {
    QStringList out = problems;
    for (const MimeEntity& child : children) out += child.allProblems();
    return out;
}

}  // namespace mime

#include "notes/nsf/Rfc822Text.h"

#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/TimeDateDecoder.h"

#include <QDateTime>
#include <QRegularExpression>

namespace nsf {
namespace {

struct Parts {
    uint32_t flags = 0;
    ByteView native, name, delimiter, body;
};

bool split(ByteView v, Parts& p) {
    if (!v.has(0, Rfc822Text::kDescriptorSize)) return false;
    p.flags = v.u32(2);
    const uint64_t nativeLen = v.u16(6), nameLen = v.u16(8), delimLen = v.u16(10), bodyLen = v.u16(12);
    uint64_t at = v.u16(0) >= Rfc822Text::kDescriptorSize ? v.u16(0) : Rfc822Text::kDescriptorSize;
    if (!v.has(at, nativeLen + nameLen + delimLen + bodyLen)) return false;
    p.native = v.sub(at, nativeLen);
    at += nativeLen;
    p.name = v.sub(at, nameLen);
    at += nameLen;
    p.delimiter = v.sub(at, delimLen);
    at += delimLen;
    p.body = v.sub(at, bodyLen);
    return true;
}

QString unfold(ByteView body) {
    QString s = QString::fromUtf8(reinterpret_cast<const char*>(body.data()), qsizetype(body.size()));
    static const QRegularExpression fold(QStringLiteral("\r?\n[ \t]+"));
    s.replace(fold, QStringLiteral(" "));
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\n'));
    return s.trimmed();
}

bool textList(ByteView v, LmbcsConverter& lmbcs, QStringList& out) {
    const uint64_t n = v.u16(0);
    if (!v.has(0, 2 + 2 * n)) return false;
    uint64_t at = 2 + 2 * n;
    for (uint64_t i = 0; i < n; ++i) {
        const uint16_t len = v.u16(2 + 2 * i);
        if (!v.has(at, len)) return false;
        out << lmbcs.text(v.sub(at, len));
        at += len;
    }
    return true;
}

}  // namespace

QString Rfc822Text::headerBody(ByteView value) {
    Parts p;
    return split(value, p) ? unfold(p.body) : QString();
}

void Rfc822Text::decode(ByteView value, LmbcsConverter& lmbcs, store::StoreItem& item) {
    item.texts.clear();
    item.times.clear();
    Parts p;
    if (!split(value, p)) {
        item.type = store::TypeText;
        item.unreadable = true;
        item.problem = QStringLiteral("the RFC 822 header item does not fit its descriptor");
        item.raw = QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size()));
        return;
    }
    const uint32_t format = p.flags & kFormatMask;
    if (format == Date) {
        item.type = store::TypeTime;
        store::NotesTime t;
        if (p.native.size() == 8 &&
            TimeDateDecoder::decode(p.native.u32(0), p.native.u32(4), t) != TimeDateDecoder::Kind::Invalid &&
            !t.isNull()) {
            item.times.push_back(t);
            return;
        }
        // The header's own date, when it reads as one.
        const QString header = unfold(p.body);
        const QDateTime dt = QDateTime::fromString(header.section(QLatin1String(" ("), 0, 0), Qt::RFC2822Date);
        if (dt.isValid()) {
            store::NotesTime fromHeader;
            fromHeader.date = dt.date();
            fromHeader.time = dt.time();
            fromHeader.utcOffsetSeconds = dt.offsetFromUtc();
            fromHeader.hasZone = true;
            item.times.push_back(fromHeader);
            return;
        }
        item.type = store::TypeText;
        item.texts << header;
        return;
    }
    item.type = store::TypeText;
    if (!p.native.empty()) {
        if (p.flags & kTextList) {
            QStringList list;
            if (textList(p.native, lmbcs, list)) {
                item.type = store::TypeTextList;
                item.texts = list;
                return;
            }
        } else {
            item.texts << lmbcs.text(p.native);
            return;
        }
    }
    item.texts << unfold(p.body);
}

}  // namespace nsf

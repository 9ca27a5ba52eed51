#include "notes/nsf/RawNote.h"

namespace nsf {

QString RawNote::unid() const {
    const ByteView b(oid, 16);
    // Each 8-byte half prints as its high word followed by its low word.
    return QStringLiteral("%1%2%3%4")
        .arg(b.u32(4), 8, 16, QLatin1Char('0'))
        .arg(b.u32(0), 8, 16, QLatin1Char('0'))
        .arg(b.u32(12), 8, 16, QLatin1Char('0'))
        .arg(b.u32(8), 8, 16, QLatin1Char('0'))
        .toUpper();
}

const RawItem* RawNote::item(const QString& name) const {
    for (const RawItem& i : items)
        if (i.name.compare(name, Qt::CaseInsensitive) == 0) return &i;
    return nullptr;
}

}  // namespace nsf

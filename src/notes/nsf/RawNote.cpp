#include "notes/nsf/RawNote.h"

namespace nsf {

QString RawNote::unid() const {
    const ByteView b(oid, 16);
    // Each 8-byte half prints as its high word followed by its low word, in
    // upper-case hexadecimal.
    static const char kDigits[] = "0123456789ABCDEF";
    QString text(32, Qt::Uninitialized);
    QChar* out = text.data();
    for (uint64_t word : {4, 0, 12, 8}) {
        const uint32_t v = b.u32(word);
        for (int shift = 28; shift >= 0; shift -= 4) *out++ = QLatin1Char(kDigits[(v >> shift) & 0xF]);
    }
    return text;
}

const RawItem* RawNote::item(const QString& name) const {
    for (const RawItem& i : items)
        if (i.name.compare(name, Qt::CaseInsensitive) == 0) return &i;
    return nullptr;
}

}  // namespace nsf

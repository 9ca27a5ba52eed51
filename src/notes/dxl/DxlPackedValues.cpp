#include "notes/dxl/DxlPackedValues.h"

#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <limits>

namespace store::dxl {

using formula::FormulaValue;

namespace {

constexpr qint64 kEpochDay = 2440588;  // 1970-01-01 as a Julian day
constexpr qint64 kDayMs = 86400000;
constexpr qint32 kNoDate = std::numeric_limits<qint32>::min();
constexpr int kTimeBytes = 10;
constexpr quint32 kNoTime = 0x7FFFFFFFu;  // in the low 31 bits; the top bit says "has a zone"

void putVarint(QByteArray& out, quint64 v) {
    while (v >= 0x80) {
        out.append(char(v | 0x80));
        v >>= 7;
    }
    out.append(char(v));
}

void put32(QByteArray& out, qint32 v) {
    char b[4];
    std::memcpy(b, &v, 4);
    out.append(b, 4);
}

// A cursor over a packed run; a run made by pack() always reads whole.
struct Reader {
    const char* p;
    const char* end;
    bool ok = true;

    quint64 varint() {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (p >= end) break;
            const uchar b = uchar(*p++);
            v |= quint64(b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        ok = false;
        return 0;
    }
    bool has(qsizetype n) {
        if (end - p < n) ok = false;
        return ok;
    }
    qint32 i32() {
        qint32 v = 0;
        if (has(4)) {
            std::memcpy(&v, p, 4);
            p += 4;
        }
        return v;
    }
    double f64() {
        double v = 0;
        if (has(8)) {
            std::memcpy(&v, p, 8);
            p += 8;
        }
        return v;
    }
};

enum Kind : uchar { KindText = 0, KindNumber = 1, KindTime = 2 };

// A value's kind and count: one byte, kind in the top two bits, count below
// (63: the count follows as a varint).
void putHeader(QByteArray& out, int nameId, uchar kind, quint64 count) {
    putVarint(out, quint64(nameId));
    out.append(char((kind << 6) | (count < 63 ? count : 63)));
    if (count >= 63) putVarint(out, count);
}

bool readHeader(Reader& r, quint64& id, uchar& kind, quint64& count) {
    id = r.varint();
    if (!r.has(1)) return false;
    const uchar tag = uchar(*r.p++);
    kind = tag >> 6;
    count = tag & 0x3F;
    if (count == 63) count = r.varint();
    return r.ok;
}

// A date/time in ten bytes: its day, its milliseconds with the zone flag, and
// its zone's offset in minutes (Notes XML gives zones as hours and minutes).
void putTime(QByteArray& out, const NotesTime& t) {
    const qint64 day = t.date.isValid() ? t.date.toJulianDay() : qint64(kNoDate);
    // Dates beyond 32 bits of days do not come from Notes XML; they read as no date.
    put32(out, day > std::numeric_limits<qint32>::max() || day <= kNoDate ? kNoDate : qint32(day));
    const quint32 ms = t.time.isValid() ? quint32(t.time.msecsSinceStartOfDay()) : kNoTime;
    put32(out, qint32(ms | (t.hasZone ? 0x80000000u : 0u)));
    const qint16 minutes = qint16(std::clamp(t.utcOffsetSeconds / 60, -32767, 32767));
    out.append(reinterpret_cast<const char*>(&minutes), 2);
}

qint16 i16(Reader& r) {
    qint16 v = 0;
    if (r.has(2)) {
        std::memcpy(&v, r.p, 2);
        r.p += 2;
    }
    return v;
}

NotesTime readTime(Reader& r) {
    NotesTime t;
    const qint32 day = r.i32();
    const quint32 ms = quint32(r.i32());
    t.utcOffsetSeconds = i16(r) * 60;
    t.hasZone = (ms & 0x80000000u) != 0;
    if (day != kNoDate) t.date = QDate::fromJulianDay(day);
    if ((ms & kNoTime) != kNoTime) t.time = QTime::fromMSecsSinceStartOfDay(int(ms & kNoTime));
    return t;
}

qint64 instantOf(Reader r) {
    const qint32 day = r.i32();
    const quint32 ms = quint32(r.i32()) & kNoTime;
    const qint64 offsetSeconds = qint64(i16(r)) * 60;
    const qint64 days = (day != kNoDate ? qint64(day) : kEpochDay) - kEpochDay;
    if (ms == kNoTime) return days * kDayMs;
    return days * kDayMs + ms - offsetSeconds * 1000;
}

// UTF-8 as QString::toUtf8() writes it back to UTF-16, so that texts compare
// exactly as the QStrings they came from.
void widen(const char* text, qsizetype size, QVarLengthArray<char16_t, 256>& out) {
    out.clear();
    const auto* p = reinterpret_cast<const uchar*>(text);
    const uchar* end = p + size;
    while (p < end) {
        const uchar c = *p++;
        char32_t cp = c;
        int more = 0;
        if (c >= 0xF0) cp = c & 0x07, more = 3;
        else if (c >= 0xE0) cp = c & 0x0F, more = 2;
        else if (c >= 0xC0) cp = c & 0x1F, more = 1;
        for (; more > 0 && p < end; --more) cp = (cp << 6) | (*p++ & 0x3F);
        if (cp >= 0x10000) {
            out.append(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            out.append(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.append(char16_t(cp));
        }
    }
}

// Compares two UTF-8 texts without regard to case while they are ASCII
// (where folding case is lowering it); `done` is false when a character that
// is not ASCII comes before they differ.
int compareAscii(const char* a, qsizetype na, const char* b, qsizetype nb, bool& done) {
    const qsizetype n = std::min(na, nb);
    for (qsizetype i = 0; i < n; ++i) {
        uchar x = uchar(a[i]), y = uchar(b[i]);
        if ((x | y) & 0x80) {
            done = false;
            return 0;
        }
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) {
            done = true;
            return x < y ? -1 : 1;
        }
    }
    done = true;
    return na == nb ? 0 : (na < nb ? -1 : 1);
}

// Steps over one value's payload.
void skipValue(Reader& r, uchar kind, quint64 count) {
    for (quint64 i = 0; i < count && r.ok; ++i) {
        if (kind == KindText) {
            const quint64 n = r.varint();
            if (r.has(qsizetype(n))) r.p += n;
        } else if (r.has(kind == KindNumber ? 8 : kTimeBytes)) {
            r.p += kind == KindNumber ? 8 : kTimeBytes;
        }
    }
}

FormulaValue readValue(Reader& r, uchar kind, quint64 count) {
    if (kind == KindText) {
        QStringList texts;
        texts.reserve(qsizetype(count));
        for (quint64 i = 0; i < count && r.ok; ++i) {
            const quint64 n = r.varint();
            if (!r.has(qsizetype(n))) break;
            texts << QString::fromUtf8(r.p, qsizetype(n));
            r.p += n;
        }
        return FormulaValue::texts(std::move(texts));
    }
    if (kind == KindNumber) {
        std::vector<double> numbers;
        numbers.reserve(count);
        for (quint64 i = 0; i < count && r.ok; ++i) numbers.push_back(r.f64());
        return FormulaValue::numbers(std::move(numbers));
    }
    std::vector<NotesTime> times;
    times.reserve(count);
    for (quint64 i = 0; i < count && r.ok; ++i) times.push_back(readTime(r));
    return FormulaValue::times(std::move(times));
}

// Moves `r` to the payload of item `nameId`'s value; false when there is none.
bool seek(Reader& r, int nameId, uchar& kind, quint64& count) {
    while (r.ok && r.p < r.end) {
        quint64 id = 0;
        if (!readHeader(r, id, kind, count)) return false;
        if (id == quint64(nameId)) return true;
        skipValue(r, kind, count);
    }
    return false;
}

}  // namespace

void DxlPackedValues::append(QByteArray& out, int nameId, const FormulaValue& value) {
    switch (value.kind()) {
        case FormulaValue::Kind::Text: {
            const QStringList& texts = value.textList();
            putHeader(out, nameId, KindText, quint64(texts.size()));
            for (const QString& t : texts) {
                const QByteArray utf8 = t.toUtf8();
                putVarint(out, quint64(utf8.size()));
                out.append(utf8);
            }
            break;
        }
        case FormulaValue::Kind::Number: {
            const std::vector<double>& numbers = value.numberList();
            putHeader(out, nameId, KindNumber, numbers.size());
            for (double n : numbers) out.append(reinterpret_cast<const char*>(&n), 8);
            break;
        }
        case FormulaValue::Kind::Time: {
            const std::vector<NotesTime>& times = value.timeList();
            putHeader(out, nameId, KindTime, times.size());
            for (const NotesTime& t : times) putTime(out, t);
            break;
        }
    }
}

QByteArray DxlPackedValues::pack(const Values& values) {
    QByteArray out;
    for (const auto& v : values) append(out, v.first, v.second);
    return out;
}

DxlPackedValues::Values DxlPackedValues::unpackAll(QByteArrayView packed) {
    Values values;
    Reader r{packed.data(), packed.data() + packed.size()};
    while (r.ok && r.p < r.end) {
        quint64 id = 0, count = 0;
        uchar kind = 0;
        if (!readHeader(r, id, kind, count)) break;
        values.emplace_back(int(id), readValue(r, kind, count));
    }
    return values;
}

bool DxlPackedValues::find(QByteArrayView packed, int nameId, FormulaValue& value) {
    Reader r{packed.data(), packed.data() + packed.size()};
    uchar kind = 0;
    quint64 count = 0;
    if (!seek(r, nameId, kind, count)) return false;
    value = readValue(r, kind, count);
    return true;
}

bool DxlPackedValues::contains(QByteArrayView packed, int nameId) {
    Reader r{packed.data(), packed.data() + packed.size()};
    uchar kind = 0;
    quint64 count = 0;
    return seek(r, nameId, kind, count);
}

qsizetype DxlPackedValues::valueOffset(QByteArrayView packed, int nameId) {
    Reader r{packed.data(), packed.data() + packed.size()};
    while (r.ok && r.p < r.end) {
        const char* at = r.p;
        quint64 id = 0, count = 0;
        uchar kind = 0;
        if (!readHeader(r, id, kind, count)) return -1;
        if (id == quint64(nameId)) return at - packed.data();
        skipValue(r, kind, count);
    }
    return -1;
}

DxlPackedValues::SortKey DxlPackedValues::sortKey(QByteArrayView packed, int nameId, qsizetype from) {
    SortKey k;
    if (from < 0 || from > packed.size()) from = 0;
    Reader r{packed.data() + from, packed.data() + packed.size()};
    uchar kind = 0;
    quint64 count = 0;
    if (!seek(r, nameId, kind, count) || count == 0) return k;
    switch (kind) {
        case KindNumber:
            k.rank = 1;
            k.number = r.f64();
            break;
        case KindTime:
            if (!r.has(kTimeBytes)) return k;
            k.rank = 2;
            k.instant = instantOf(r);
            break;
        default: {
            const quint64 n = r.varint();
            if (!r.has(qsizetype(n))) return k;
            k.rank = 3;
            k.text = r.p;
            k.textSize = qsizetype(n);
            break;
        }
    }
    return r.ok ? k : SortKey();
}

int DxlPackedValues::order(const SortKey& a, const SortKey& b, bool descending) {
    bool done = false;
    if (a.rank == 0 || b.rank == 0) return a.rank == b.rank ? 0 : (a.rank == 0 ? -1 : 1);
    int c = 0;
    if (a.rank != b.rank) {
        c = a.rank < b.rank ? -1 : 1;
    } else if (a.rank == 1) {
        c = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    } else if (a.rank == 2) {
        c = a.instant < b.instant ? -1 : (a.instant > b.instant ? 1 : 0);
    } else if (!(c = compareAscii(a.text, a.textSize, b.text, b.textSize, done), done)) {
        QVarLengthArray<char16_t, 256> wa, wb;
        widen(a.text, a.textSize, wa);
        widen(b.text, b.textSize, wb);
        c = QStringView(wa.constData(), wa.size()).compare(QStringView(wb.constData(), wb.size()), Qt::CaseInsensitive);
    }
    return descending ? -c : c;
}

quint32 DxlValueArena::add(const QByteArray& packed) {
    if (packed.size() > kBlock / 16 || m_blocks.size() >= kLarge / kBlock) {
        m_large.push_back(packed);
        return kLarge | quint32(m_large.size() - 1);
    }
    if (m_blocks.empty() || m_blocks.back().size() + packed.size() > kBlock) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(kBlock);
    }
    QByteArray& block = m_blocks.back();
    const quint32 handle = quint32((m_blocks.size() - 1) * size_t(kBlock) + size_t(block.size()));
    block.append(packed);
    return handle;
}

QByteArrayView DxlValueArena::bytes(quint32 handle, quint32 size) const {
    if (size == 0) return {};
    if (handle & kLarge) {
        const size_t i = handle & ~kLarge;
        return i < m_large.size() ? QByteArrayView(m_large[i]) : QByteArrayView();
    }
    const size_t block = handle / size_t(kBlock);
    const qsizetype at = qsizetype(handle % size_t(kBlock));
    if (block >= m_blocks.size() || at + qsizetype(size) > m_blocks[block].size()) return {};
    return QByteArrayView(m_blocks[block].constData() + at, qsizetype(size));
}

}  // namespace store::dxl

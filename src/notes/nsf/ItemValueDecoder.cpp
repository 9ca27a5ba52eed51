#include "notes/nsf/ItemValueDecoder.h"

#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/Rfc822Text.h"
#include "notes/nsf/TimeDateDecoder.h"

namespace nsf {

uint16_t ItemValueDecoder::storeType(uint16_t t) {
    switch (t) {
        case NsfInvalid: return store::TypeInvalidOrUnknown;
        case NsfError: return store::TypeError;
        case NsfUserData: return store::TypeUserData;
        default: return t;
    }
}

bool ItemValueDecoder::isSealType(uint16_t t) {
    return t == NsfSeal || t == NsfSealData || t == NsfSealList || t == NsfSeal2;
}

bool ItemValueDecoder::decodeTime(ByteView at, store::NotesTime& t, QString& problem) {
    const auto kind = TimeDateDecoder::decode(at.u32(0), at.u32(4), t);
    if (kind == TimeDateDecoder::Kind::Invalid) {
        problem = QStringLiteral("invalid date/time value");
        return false;
    }
    return true;
}

void ItemValueDecoder::decode(const RawItem& raw, store::StoreItem& item) {
    item.name = raw.name;
    item.flags = raw.flags;
    item.type = storeType(raw.type);
    if (!raw.problem.isEmpty()) {
        item.unreadable = true;
        item.problem = raw.problem;
        return;
    }
    const ByteView v = raw.value;
    auto fail = [&](const QString& why) {
        item.unreadable = true;
        item.problem = why;
        item.raw = QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
    };
    switch (raw.type) {
        case NsfText:
            item.texts << m_lmbcs.text(v);
            return;
        case NsfTextList: {
            const uint64_t n = v.u16(0);
            if (!v.has(0, 2 + 2 * n)) return fail(QStringLiteral("text list is shorter than its count"));
            uint64_t at = 2 + 2 * n;
            for (uint64_t i = 0; i < n; ++i) {
                const uint16_t len = v.u16(2 + 2 * i);
                if (!v.has(at, len)) return fail(QStringLiteral("text list entry %1 runs past the value").arg(i));
                item.texts << m_lmbcs.text(v.sub(at, len));
                at += len;
            }
            return;
        }
        case NsfNumber:
            if (v.size() != 8) return fail(QStringLiteral("number of %1 bytes").arg(v.size()));
            item.numbers.push_back(v.f64(0));
            return;
        case NsfNumberRange: {
            const uint64_t n = v.u16(0), r = v.u16(2);
            if (!v.has(0, 4 + 8 * n + 16 * r)) return fail(QStringLiteral("number list is shorter than its count"));
            for (uint64_t i = 0; i < n; ++i) item.numbers.push_back(v.f64(4 + 8 * i));
            for (uint64_t i = 0; i < 2 * r; ++i) item.numbers.push_back(v.f64(4 + 8 * n + 8 * i));
            return;
        }
        case NsfTime: {
            if (v.size() != 8) return fail(QStringLiteral("date/time of %1 bytes").arg(v.size()));
            store::NotesTime t;
            QString problem;
            if (!decodeTime(v, t, problem)) return fail(problem);
            if (!t.isNull()) item.times.push_back(t);
            return;
        }
        case NsfTimeRange: {
            const uint64_t n = v.u16(0), r = v.u16(2);
            if (!v.has(0, 4 + 8 * n + 16 * r)) return fail(QStringLiteral("date/time list is shorter than its count"));
            QString problem;
            for (uint64_t i = 0; i < n; ++i) {
                store::NotesTime t;
                if (!decodeTime(v.sub(4 + 8 * i, 8), t, problem)) return fail(problem);
                if (!t.isNull()) item.times.push_back(t);
            }
            for (uint64_t i = 0; i < r; ++i) {
                store::NotesTimePair p;
                const uint64_t at = 4 + 8 * n + 16 * i;
                if (!decodeTime(v.sub(at, 8), p.lower, problem) || !decodeTime(v.sub(at + 8, 8), p.upper, problem))
                    return fail(problem);
                item.timeRanges.push_back(p);
            }
            return;
        }
        case NsfNoteRefList: {
            const uint64_t n = v.u16(0);
            if (!v.has(0, 2 + 16 * n)) return fail(QStringLiteral("note reference list is shorter than its count"));
            for (uint64_t i = 0; i < n; ++i) {
                const uint64_t at = 2 + 16 * i;
                item.texts << QStringLiteral("%1%2%3%4")
                                  .arg(v.u32(at + 4), 8, 16, QLatin1Char('0'))
                                  .arg(v.u32(at), 8, 16, QLatin1Char('0'))
                                  .arg(v.u32(at + 12), 8, 16, QLatin1Char('0'))
                                  .arg(v.u32(at + 8), 8, 16, QLatin1Char('0'))
                                  .toUpper();
            }
            break;
        }
        case Rfc822Text::kType:
            Rfc822Text::decode(v, m_lmbcs, item);
            return;
        case NsfUserId:
            if (v.size() >= 8) item.texts << m_lmbcs.text(v.sub(0, v.size() - 8));
            break;
        case NsfError:
        case NsfInvalid:
            return;
        default:
            break;
    }
    item.raw = QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

}  // namespace nsf

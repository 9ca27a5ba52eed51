#include "notes/nsf/ViewCollection.h"

#include "notes/nsf/IdTable.h"

namespace nsf {
namespace {

constexpr uint64_t kFillerSize = 512;

// Where the formula copy starts, by the header's version word; 0 when the
// version is not one that is known.
uint64_t formulaStart(uint16_t version) {
    switch (version) {
        case 0x68: return 120;
        case 0x6B:
        case 0x6C:
        case 0x6D: return 161;
        case 0x6F:
        case 0x72: return 217;
        case 0x372: return 224;
        default: return 0;
    }
}

}  // namespace

bool ViewCollection::tableAt(ByteView payload, uint64_t at, std::vector<uint32_t>& ids) {
    if (payload.u16(at) == 0xADAA) at += kFillerSize;
    const ByteView table = payload.from(at);
    if (!table.has(0, IdTable::kHeaderSize) || table.u32(0) != 4 || table.u16(6) > table.u16(4)) return false;
    QString e;
    if (!IdTable::decode(table, ids, e)) return false;
    for (uint32_t id : ids)
        if (id % 2 != 0) {
            ids.clear();
            return false;
        }
    return true;
}

bool ViewCollection::readIds(ByteView payload, std::vector<uint32_t>& ids, QString& error) {
    ids.clear();
    if (payload.u16(0) != kSignature) {
        error = QStringLiteral("the view index has no index signature");
        return false;
    }
    const uint16_t version = payload.u16(2);
    const uint64_t start = formulaStart(version);
    if (start == 0) {
        error = QStringLiteral("the view index has a layout not known (0x%1)").arg(version, 0, 16);
        return false;
    }
    const uint64_t collation = start + payload.u16(12);
    const uint64_t collationSize = payload.u16(collation);
    if (!payload.has(collation, 8 + collationSize) || payload.u16(collation + 2) != 1) {
        error = QStringLiteral("the view index's collation does not fit it");
        return false;
    }
    const uint64_t after = collation + 8 + collationSize;
    if (tableAt(payload, after, ids) || tableAt(payload, after + 8, ids)) return true;
    error = QStringLiteral("the view index's ID table does not decode");
    return false;
}

}  // namespace nsf

#include "notes/nsf/IdTable.h"

namespace nsf {

bool IdTable::decode(ByteView b, std::vector<uint32_t>& ids, QString& error) {
    ids.clear();
    if (!b.has(0, kHeaderSize)) {
        error = QStringLiteral("ID table is shorter than its header");
        return false;
    }
    const uint32_t step = b.u32(0);
    const uint16_t count = b.u16(4);
    const uint64_t runs = b.u16(6);
    if (!b.has(kHeaderSize, runs * 5)) {
        error = QStringLiteral("ID table declares %1 runs past its end").arg(runs);
        return false;
    }
    if (runs > 0 && (step == 0 || step > 0x10000)) {
        error = QStringLiteral("ID table has the step %1").arg(step);
        return false;
    }
    ids.reserve(size_t(runs) * 2);
    uint64_t previous = 0;
    for (uint64_t r = 0; r < runs; ++r) {
        const uint64_t at = kHeaderSize + 5 * r;
        const uint32_t extra = b.u8(at);
        const uint64_t first = b.u32(at + 1);
        if (first + uint64_t(step) * extra > 0xFFFFFFFFu || (r > 0 && first <= previous)) {
            error = QStringLiteral("ID table run %1 is out of order").arg(r);
            ids.clear();
            return false;
        }
        for (uint32_t k = 0; k <= extra; ++k) ids.push_back(uint32_t(first + uint64_t(step) * k));
        previous = first + uint64_t(step) * extra;
    }
    if (ids.size() % 65536 != count) {
        error = QStringLiteral("ID table holds %1 IDs but declares %2").arg(ids.size()).arg(count);
        ids.clear();
        return false;
    }
    return true;
}

}  // namespace nsf

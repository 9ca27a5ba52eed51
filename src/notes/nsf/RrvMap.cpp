#include "notes/nsf/RrvMap.h"

#include <algorithm>
#include <set>

namespace nsf {

void RrvMap::build(ByteView file, uint32_t rrvBucketSize, const BucketDescriptorBlock& bdb, const Superblock& sb) {
    m_entries.clear();
    m_reserved = 0;
    m_problems.clear();
    if (rrvBucketSize < 40 || rrvBucketSize > 8 * kEntriesPerBucketMax) rrvBucketSize = 4096;
    std::set<std::pair<uint32_t, bool>> seen;
    bool currentListed = false;
    for (const BucketDescriptorBlock::RrvBucketRef& ref : bdb.rrvBuckets()) {
        if (!seen.insert({ref.pos, ref.nonData}).second) continue;  // listed twice: read once
        ByteView bucket;
        if (!ref.nonData && ref.pos == sb.currentRrvPos()) {
            bucket = sb.currentRrvBucket();
            currentListed = true;
        } else {
            bucket = file.sub(uint64_t(ref.pos) * 256, rrvBucketSize);
            if (bucket.size() != rrvBucketSize) {
                m_problems << QStringLiteral("RRV bucket at 0x%1 lies past the end of the file")
                                  .arg(uint64_t(ref.pos) * 256, 0, 16);
                continue;
            }
        }
        if (bucket.u8(0) != 0x06 || bucket.u8(1) != 0x20) {
            m_problems << QStringLiteral("RRV bucket at 0x%1 has no bucket signature").arg(uint64_t(ref.pos) * 256, 0, 16);
            continue;
        }
        addBucket(bucket, ref.initialId, ref.nonData);
    }
    if (!currentListed && sb.currentRrvPos() != 0) {
        const ByteView bucket = sb.currentRrvBucket();
        if (bucket.u8(0) == 0x06 && bucket.u8(1) == 0x20)
            addBucket(bucket, sb.currentRrvInitialId(), false);
        else
            m_problems << QStringLiteral("the current RRV bucket has no bucket signature");
    }
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry& x, const Entry& y) { return x.id < y.id; });
    // An ID live in two buckets (not seen in practice): keep the first.
    m_entries.erase(std::unique(m_entries.begin(), m_entries.end(),
                                [](const Entry& x, const Entry& y) { return x.id == y.id; }),
                    m_entries.end());
}

void RrvMap::addBucket(ByteView bucket, uint32_t initialId, bool nonData) {
    const size_t count = (bucket.size() - 32) / 8;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = bucket.u32(32 + 8 * i);
        const uint32_t b = bucket.u32(36 + 8 * i);
        if (a == 0xFFFFFFFFu || (a == 0 && b == 0)) continue;
        if (a == 0x7FFFFFFFu) {
            ++m_reserved;
            continue;
        }
        const uint64_t id = uint64_t(initialId) + 4 * uint64_t(i);
        if (id > 0xFFFFFFFFu) break;
        m_entries.push_back({uint32_t(id), a, b, nonData});
    }
}

const RrvMap::Entry* RrvMap::find(uint32_t id) const {
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                     [](const Entry& e, uint32_t v) { return e.id < v; });
    return it != m_entries.end() && it->id == id ? &*it : nullptr;
}

}  // namespace nsf

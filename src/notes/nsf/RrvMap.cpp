#include "notes/nsf/RrvMap.h"

#include <algorithm>
#include <set>

namespace nsf {

void RrvMap::build(ByteView file, uint32_t rrvBucketSize, const BucketDescriptorBlock& bdb, const Superblock& sb,
                   bool release4) {
    m_entries.clear();
    m_reserved = 0;
    m_problems.clear();
    if (rrvBucketSize < 40 || rrvBucketSize > 8 * kEntriesPerBucketMax) rrvBucketSize = 4096;
    std::set<std::pair<uint64_t, bool>> seen;
    bool currentListed = false;
    const uint8_t headerLength = release4 ? 0x0A : 0x20;
    for (const BucketDescriptorBlock::RrvBucketRef& ref : bdb.rrvBuckets()) {
        if (!seen.insert({ref.offset, ref.nonData}).second) continue;  // listed twice: read once
        ByteView bucket;
        if (!release4 && !ref.nonData && sb.currentRrvPos() != 0 && ref.pos == sb.currentRrvPos()) {
            bucket = sb.currentRrvBucket();
            currentListed = true;
        } else {
            bucket = file.sub(ref.offset, rrvBucketSize);
            if (bucket.size() != rrvBucketSize) {
                m_problems << QStringLiteral("RRV bucket at 0x%1 lies past the end of the file").arg(ref.offset, 0, 16);
                continue;
            }
        }
        if (bucket.u8(0) != 0x06 || bucket.u8(1) != headerLength) {
            m_problems << QStringLiteral("RRV bucket at 0x%1 has no bucket signature").arg(ref.offset, 0, 16);
            continue;
        }
        if (release4)
            addRelease4Bucket(bucket, ref.initialId, ref.nonData);
        else
            addBucket(bucket, ref.initialId, ref.nonData);
    }
    if (!release4 && !currentListed && sb.currentRrvPos() != 0) {
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

void RrvMap::addRelease4Bucket(ByteView bucket, uint32_t initialId, bool nonData) {
    const size_t count = (bucket.size() - 10) / 4;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = bucket.u32(10 + 4 * i);
        if (a == 0xFFFFFFFFu || a == 0) continue;
        const uint64_t id = uint64_t(initialId) + 4 * uint64_t(i);
        if (id > 0xFFFFFFFFu) break;
        Entry e;
        e.id = uint32_t(id);
        e.a = a;
        e.nonData = nonData;
        e.byteOffset = true;
        m_entries.push_back(e);
    }
}

const RrvMap::Entry* RrvMap::find(uint32_t id) const {
    const auto it = std::lower_bound(m_entries.begin(), m_entries.end(), id,
                                     [](const Entry& e, uint32_t v) { return e.id < v; });
    return it != m_entries.end() && it->id == id ? &*it : nullptr;
}

}  // namespace nsf

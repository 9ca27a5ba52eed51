#include "notes/nsf/BucketDescriptorBlock.h"

#include "notes/nsf/CxDecompressor.h"
#include "notes/nsf/NewestCopy.h"
#include "notes/nsf/LmbcsConverter.h"

#include <algorithm>

namespace nsf {
namespace {
constexpr uint64_t kHeaderSize = 66;
}

bool BucketDescriptorBlock::load(ByteView file, const NsfHeader& header, LmbcsConverter& lmbcs,
                                 QString& error) {
    if (header.release4) return loadRelease4(file, header, lmbcs, error);
    std::vector<CopyCandidate> candidates;
    for (const NsfHeader::Slot& slot : header.bdbs) {
        const uint64_t off = uint64_t(slot.pos) * 256;
        if (slot.pos == 0 || !file.has(off, kHeaderSize + 4) || file.u16(off) != kSignature) continue;
        candidates.push_back({off, file.u32(off + 10)});
    }
    const auto load = [&](uint64_t offset, QString& e) { return loadCopy(file, offset, lmbcs, e); };
    return loadNewestCopy(std::move(candidates), "bucket descriptor block", load, error);
}


bool BucketDescriptorBlock::loadCopy(ByteView file, uint64_t off, LmbcsConverter& lmbcs, QString& error) {
    const ByteView h = file.sub(off, kHeaderSize);
    if (xorChecksum(h.sub(0, 54)) != h.u32(54)) {
        error = QStringLiteral("block at 0x%1 fails its header checksum").arg(off, 0, 16);
        return false;
    }
    const uint32_t bodySize = h.u32(6);
    const uint16_t compression = h.u16(4);
    QByteArray body;
    if (compression == 1) {
        const uint32_t stored = file.u32(off + 66);
        if (!file.has(off + 70, uint64_t(stored) + 12)) {
            error = QStringLiteral("block at 0x%1 runs past the end of the file").arg(off, 0, 16);
            return false;
        }
        if (xorChecksum(file.sub(off + 66, uint64_t(stored) + 4)) != file.u32(off + 78 + stored)) {
            error = QStringLiteral("block at 0x%1 fails its checksum").arg(off, 0, 16);
            return false;
        }
        QString e;
        if (!CxDecompressor::decompress(file.sub(off + 70, stored), bodySize, body, e)) {
            error = QStringLiteral("block at 0x%1: %2 (encrypted or damaged)").arg(off, 0, 16).arg(e);
            return false;
        }
    } else if (compression == 0) {
        const ByteView data = file.sub(off + 66, bodySize);
        if (data.size() != bodySize) {
            error = QStringLiteral("block at 0x%1 runs past the end of the file").arg(off, 0, 16);
            return false;
        }
        body = QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(bodySize));
    } else {
        error = QStringLiteral("block at 0x%1 uses unknown compression %2").arg(off, 0, 16).arg(compression);
        return false;
    }

    const ByteView b(body.constData(), size_t(body.size()));
    const uint64_t nameCount = h.u32(26);
    const uint64_t textSize = h.u32(34);
    const uint64_t rrvCount = h.u32(38);
    const uint64_t hashCount = h.u32(42);
    const uint64_t namesAt = rrvCount * 8;
    const uint64_t textLenAt = namesAt + nameCount * 10;
    const uint64_t textAt = textLenAt + 4;
    if (textAt + textSize + hashCount * 2 != b.size() || b.u32(textLenAt) != textSize) {
        error = QStringLiteral("block at 0x%1 has an inconsistent layout").arg(off, 0, 16);
        return false;
    }
    std::vector<RrvBucketRef> buckets;
    buckets.reserve(size_t(rrvCount));
    for (uint64_t i = 0; i < rrvCount; ++i) {
        const uint32_t posFlag = b.u32(i * 8);
        buckets.push_back({posFlag & ~1u, (posFlag & 1u) != 0, b.u32(i * 8 + 4), uint64_t(posFlag & ~1u) * 256});
    }
    const ByteView text = b.sub(textAt, textSize);
    std::vector<ItemName> names;
    names.reserve(size_t(nameCount));
    for (uint64_t i = 0; i < nameCount; ++i) {
        const uint64_t e = namesAt + i * 10;
        const ByteView nameBytes = text.sub(b.u32(e), b.u16(e + 4));
        if (nameBytes.size() != b.u16(e + 4)) {
            error = QStringLiteral("block at 0x%1: item name %2 lies outside the name text").arg(off, 0, 16).arg(i);
            return false;
        }
        names.push_back({lmbcs.toUnicode(nameBytes), b.u16(e + 6)});
    }
    m_writeCount = h.u32(10);
    m_rrvBuckets = std::move(buckets);
    m_names = std::move(names);
    return true;
}

// Release 4 block, uncompressed, at the byte offset the header names:
//   +0 u16 signature 1, +2 u32 reserved size, +6 u16 bitmap descriptor count,
//   +8 u16 item-name count, +10 u16 RRV bucket count, +12 u32 bytes in use,
//   +16 16 bytes zero; then at +32 the RRV bucket descriptors (8 bytes: the
//   bucket's byte offset with bit 0 set for a non-data bucket, its initial ID),
//   the bitmap descriptors (12 bytes: offset and a time), the item names
//   (8 bytes: u16 offset into the name text, u16 length, u16 data type, u16
//   not used) and the name text, which ends where the bytes in use end.
bool BucketDescriptorBlock::loadRelease4(ByteView file, const NsfHeader& header, LmbcsConverter& lmbcs,
                                         QString& error) {
    const uint64_t off = header.release4BdbOffset;
    const ByteView h = file.sub(off, 32);
    if (off == 0 || h.size() != 32 || h.u16(0) != kSignature) {
        error = QStringLiteral("no bucket descriptor block at 0x%1").arg(off, 0, 16);
        return false;
    }
    const uint64_t used = h.u32(12);
    const ByteView b = file.sub(off, used);
    if (used < 32 || b.size() != used || used > std::max<uint64_t>(h.u32(2), header.release4BdbSize)) {
        error = QStringLiteral("bucket descriptor block at 0x%1 runs past its end").arg(off, 0, 16);
        return false;
    }
    const uint64_t bitmaps = h.u16(6);
    const uint64_t nameCount = h.u16(8);
    const uint64_t rrvCount = h.u16(10);
    const uint64_t namesAt = 32 + 8 * rrvCount + 12 * bitmaps;
    const uint64_t textAt = namesAt + 8 * nameCount;
    if (textAt > used) {
        error = QStringLiteral("bucket descriptor block at 0x%1 has an inconsistent layout").arg(off, 0, 16);
        return false;
    }
    std::vector<RrvBucketRef> buckets;
    buckets.reserve(size_t(rrvCount));
    for (uint64_t i = 0; i < rrvCount; ++i) {
        const uint32_t offsetFlag = b.u32(32 + 8 * i);
        buckets.push_back({0, (offsetFlag & 1u) != 0, b.u32(36 + 8 * i), offsetFlag & ~1u});
    }
    const ByteView text = b.sub(textAt, used - textAt);
    std::vector<ItemName> names;
    names.reserve(size_t(nameCount));
    for (uint64_t i = 0; i < nameCount; ++i) {
        const uint64_t e = namesAt + 8 * i;
        const ByteView nameBytes = text.sub(b.u16(e), b.u16(e + 2));
        if (nameBytes.size() != b.u16(e + 2)) {
            error = QStringLiteral("block at 0x%1: item name %2 lies outside the name text").arg(off, 0, 16).arg(i);
            return false;
        }
        // Nothing guards this block by a checksum: an empty name, or one
        // with a NUL in it, is damage (zeroed bytes), not a name.
        bool readable = !nameBytes.empty();
        for (size_t k = 0; k < nameBytes.size() && readable; ++k) readable = nameBytes.u8(k) != 0;
        if (!readable) {
            error = QStringLiteral("block at 0x%1: item name %2 is damaged").arg(off, 0, 16).arg(i);
            return false;
        }
        names.push_back({lmbcs.toUnicode(nameBytes), b.u16(e + 4)});
    }
    m_writeCount = 0;
    m_rrvBuckets = std::move(buckets);
    m_names = std::move(names);
    return true;
}

}  // namespace nsf

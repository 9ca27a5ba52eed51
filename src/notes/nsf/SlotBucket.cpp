#include "notes/nsf/SlotBucket.h"

namespace nsf {
namespace {
constexpr uint32_t kHeaderSize = 66;
constexpr uint32_t kSectorSize = 512;
constexpr uint32_t kStampOffset = 0x42;
}  // namespace

void SlotBucket::restoreSectorNibbles(uint8_t* bucket, size_t size) {
    const size_t footer = size / 1024;
    const size_t sectors = size / kSectorSize;
    if (footer == 0) return;
    const uint8_t* f = bucket + size - footer;
    // The footer read as one little-endian number holds nibble n-1-s for sector s:
    // sector 0 is the high nibble of the last byte, sector 1 its low nibble, ...
    for (size_t s = 0; s < sectors; ++s) {
        const size_t nibble = sectors - 1 - s;
        const uint8_t byte = f[nibble / 2];
        const uint8_t value = (nibble & 1) ? uint8_t(byte >> 4) : uint8_t(byte & 0x0F);
        uint8_t& target = bucket[s * kSectorSize + kStampOffset];
        target = uint8_t((target & 0xF0) | value);
    }
}

std::shared_ptr<const SlotBucket> SlotBucket::load(ByteView file, uint64_t off, QString& error) {
    const ByteView head = file.sub(off, kHeaderSize);
    if (head.size() != kHeaderSize || head.u8(0) != 0x02 || head.u8(1) != 0x42) {
        error = QStringLiteral("no bucket at 0x%1").arg(off, 0, 16);
        return nullptr;
    }
    const uint32_t size = head.u32(6);
    if (size < 1024 || size > kMaxSize || size % kSectorSize != 0) {
        error = QStringLiteral("bucket at 0x%1 declares an impossible size %2").arg(off, 0, 16).arg(size);
        return nullptr;
    }
    const ByteView all = file.sub(off, size);
    if (all.size() != size) {
        error = QStringLiteral("bucket at 0x%1 runs past the end of the file").arg(off, 0, 16);
        return nullptr;
    }
    auto bucket = std::make_shared<SlotBucket>();
    bucket->m_bytes = QByteArray(reinterpret_cast<const char*>(all.data()), qsizetype(size));
    restoreSectorNibbles(reinterpret_cast<uint8_t*>(bucket->m_bytes.data()), size);
    bucket->m_footer = size / 1024;
    const uint32_t slotTotal = head.u32(44);
    const uint64_t indexBytes = uint64_t(slotTotal) * 4;
    if (indexBytes + bucket->m_footer + kHeaderSize > size) {
        error = QStringLiteral("bucket at 0x%1 declares %2 slotTotal").arg(off, 0, 16).arg(slotTotal);
        return nullptr;
    }
    bucket->m_slotCount = slotTotal;
    return bucket;
}

ByteView SlotBucket::slotRecord(uint32_t slot, QString& error) const {
    const ByteView b = bytes();
    if (slot == 0 || slot > m_slotCount) {
        error = QStringLiteral("slot %1 out of range (bucket has %2)").arg(slot).arg(m_slotCount);
        return ByteView();
    }
    const uint64_t indexStart = b.size() - m_footer - 4 * uint64_t(m_slotCount);
    const uint64_t entry = b.size() - m_footer - 4 * uint64_t(slot);
    const uint16_t offset = b.u16(entry);
    const uint16_t length = b.u16(entry + 2);
    if (offset == 0) {
        error = QStringLiteral("slot %1 is unused").arg(slot);
        return ByteView();
    }
    if (offset < kHeaderSize || uint64_t(offset) + length > indexStart) {
        error = QStringLiteral("slot %1 lies outside its bucket's data").arg(slot);
        return ByteView();
    }
    return b.sub(offset, length);
}

}  // namespace nsf

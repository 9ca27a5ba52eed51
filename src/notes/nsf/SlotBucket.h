#pragma once

#include "notes/nsf/ByteView.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

namespace nsf {

// A summary or non-summary bucket: a header, records addressed by a slot index
// growing backwards from the footer, and the footer keeping the original low
// nibbles of byte 0x42 of every 512-byte sector (that byte carries a per-write
// stamp on disk). load() restores those nibbles before anything is read.
class SlotBucket {
public:
    static constexpr uint32_t kMaxSize = 256u << 10;  // real buckets are at most 62 KiB

    // Reads and restores the bucket at `fileOffset`. Null with `error` when
    // the bytes there are not a bucket.
    static std::shared_ptr<const SlotBucket> load(ByteView file, uint64_t fileOffset, QString& error);

    // Restores the sector nibbles of a bucket image in place (size a multiple of 512).
    static void restoreSectorNibbles(uint8_t* bucket, size_t size);

    // The bytes of slot `slot` (1-based), or empty with `error`.
    ByteView slotRecord(uint32_t slot, QString& error) const;

    ByteView bytes() const { return ByteView(m_bytes.constData(), size_t(m_bytes.size())); }
    uint32_t slotCount() const { return m_slotCount; }

private:
    QByteArray m_bytes;
    uint32_t m_footer = 0;
    uint32_t m_slotCount = 0;
};

}  // namespace nsf

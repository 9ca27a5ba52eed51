#pragma once

#include "notes/nsf/BucketDescriptorBlock.h"
#include "notes/nsf/ByteView.h"
#include "notes/nsf/Superblock.h"

#include <QStringList>

#include <cstdint>
#include <vector>

namespace nsf {

// Where each note and object ID's record is: built from every RRV bucket the
// BDB lists, with the current data bucket taken from the superblock (its
// on-disk copy is stale).
class RrvMap {
public:
    static constexpr uint32_t kEntriesPerBucketMax = 1u << 16;

    struct Entry {
        uint32_t id = 0;
        uint32_t a = 0;
        uint32_t b = 0;
        bool nonData = false;
        bool byteOffset = false;  // Release 4: `a` is the record's file offset itself

        // Bucket/slot address: summary bucket number (1-based) and slot (1-based).
        bool isBucketSlot() const { return !byteOffset && (a & 0x80000000u) != 0; }
        uint32_t bucket() const { return a & 0xFFFFFFu; }
        uint32_t slot() const { return b & 0x7FFu; }
        // Otherwise a file position: where the record starts.
        uint64_t fileOffset() const { return byteOffset ? uint64_t(a) : uint64_t(a) * 256; }
    };

    // `release4`: the buckets have a 10-byte header (signature 06 0A, u32
    // previous bucket, u32 initial ID) and 4-byte entries, each the file
    // offset of the record (0: none, 0xFFFFFFFF: free).
    void build(ByteView file, uint32_t rrvBucketSize, const BucketDescriptorBlock& bdb, const Superblock& sb,
               bool release4 = false);

    // The live entry of `id`, or null.
    const Entry* find(uint32_t id) const;
    // Every live entry, in ascending ID order.
    const std::vector<Entry>& entries() const { return m_entries; }
    // IDs reserved without a record (0x7FFFFFFF entries).
    size_t reservedCount() const { return m_reserved; }
    // Buckets that could not be read (each named).
    const QStringList& problems() const { return m_problems; }

private:
    void addBucket(ByteView bucket, uint32_t initialId, bool nonData);
    void addRelease4Bucket(ByteView bucket, uint32_t initialId, bool nonData);

    std::vector<Entry> m_entries;
    size_t m_reserved = 0;
    QStringList m_problems;
};

}  // namespace nsf

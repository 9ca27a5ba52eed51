#pragma once

#include "notes/nsf/ByteView.h"

#include <QByteArray>

#include <array>
#include <cstdint>

namespace nsf {

// The database header at the start of the file: signature, header size,
// database information (ODS, RRV ranges, bucket sizes), the title buffer,
// the default-note IDs and the positions of the superblocks and BDBs.
struct NsfHeader {
    static constexpr uint16_t kSignature = 0x001A;
    static constexpr uint32_t kMinOds = 41;
    static constexpr uint32_t kMaxOds = 55;
    // Notes Release 4 (ODS 20): a 768-byte header and the older layout.
    static constexpr uint32_t kRelease4Ods = 20;
    static constexpr uint32_t kRelease4HeaderSize = 768;

    uint32_t headerSize = 0;
    uint32_t ods = 0;
    // The Release 4 layout: positions are byte offsets, there is no
    // superblock, one uncompressed BDB, RRV entries of 4 bytes (a file
    // offset each), notes at file offsets with an 84-byte header and their
    // non-summary values in a record without a header.
    bool release4 = false;
    uint64_t release4BdbOffset = 0;  // byte offset
    uint32_t release4BdbSize = 0;
    uint16_t databaseClass = 0;
    uint32_t currentDataRrvPos = 0;  // POS (file offset / 256)
    uint32_t rrvBucketSize = 0;
    QByteArray titleBytes;           // LMBCS, up to the first NUL or line feed
    std::array<uint32_t, 48> defaultNoteIds{};

    struct Slot {
        uint32_t pos = 0;   // POS
        uint32_t size = 0;  // reserved size
    };
    std::array<Slot, 4> superblocks{};
    std::array<Slot, 2> bdbs{};

    // Parses the header of `file`. False with `error` when the file is not an
    // NSF database of a supported version; `unsupported` tells the two apart
    // (true: a readable header of a version or layout this reader does not know).
    static bool parse(ByteView file, NsfHeader& header, QString& error, bool& unsupported);

    // "Notes Release 3", "Domino 12", ... for an ODS version; empty when unknown.
    static QString releaseName(uint32_t ods);
    // Why a database of that version and header size is refused, naming
    // version and release ("a Notes Release 3 database (ODS 17): not supported").
    static QString unsupportedMessage(uint32_t ods, uint32_t headerSize);
    // The size of a note record's header (items follow it).
    uint64_t noteHeaderSize() const { return release4 ? 84 : 100; }
};

}  // namespace nsf

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

    uint32_t headerSize = 0;
    uint32_t ods = 0;
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
};

}  // namespace nsf

#pragma once

#include "notes/nsf/ByteView.h"

#include <cstdint>

namespace nsf {

// Walks the CD records of a rich-text value. Each record starts with its
// signature byte; the second byte selects the header: 0xFF a 16-bit length
// (4-byte header), 0x00 a 32-bit length (6 bytes), anything else is itself
// the length (2 bytes). Lengths include the header; records start on even offsets.
class CdRecordReader {
public:
    struct Record {
        uint8_t signature = 0;
        ByteView bytes;  // the whole record, header included
        size_t headerSize = 0;
    };

    explicit CdRecordReader(ByteView value) : m_value(value) {}

    // The next record; false at the end or when the next record is damaged
    // (then damaged() is true).
    bool next(Record& record);
    bool damaged() const { return m_damaged; }
    size_t offset() const { return m_offset; }

private:
    ByteView m_value;
    size_t m_offset = 0;
    bool m_damaged = false;
};

}  // namespace nsf

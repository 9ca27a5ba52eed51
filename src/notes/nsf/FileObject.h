#pragma once

#include "notes/nsf/ByteView.h"

#include <QString>

#include <cstdint>

namespace nsf {

class LmbcsConverter;

// The value of a $FILE item: the object descriptor (object type and the RRV
// ID of the object record) followed by the file's name, size and compression.
struct FileObject {
    enum Compression : uint16_t { None = 0, Huffman = 1, Lz1 = 2, HuffmanRecompressed = 3 };
    static constexpr size_t kFixedSize = 36;

    uint16_t objectType = 0;
    uint32_t objectId = 0;
    uint16_t hostType = 0;
    uint16_t compression = 0;
    uint16_t fileFlags = 0;
    uint32_t fileSize = 0;
    QString name;

    // Parses an OBJECT value (type word already removed).
    static bool parse(ByteView value, LmbcsConverter& lmbcs, FileObject& out, QString& error);
};

}  // namespace nsf

#pragma once

#include "notes/nsf/ByteView.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace nsf {

// The Huffman compression of file attachments: a 32-bit checksum (sum of the
// decoded bytes), then blocks of (table size, tree of signed 16-bit entries,
// MSB-first code bits); symbol 256 ends a block.
class HuffmanDecoder {
public:
    using Sink = std::function<bool(const char* data, size_t size)>;

    // Decodes exactly `outputSize` bytes into `sink` (called with chunks).
    // False with `error` on bad data, a short stream or a checksum mismatch;
    // the caller must then discard what the sink received.
    static bool decode(ByteView stored, uint64_t outputSize, const Sink& sink, QString& error);
};

}  // namespace nsf

#include "notes/nsf/HuffmanDecoder.h"

#include <vector>

namespace nsf {

bool HuffmanDecoder::decode(ByteView in, uint64_t outputSize, const Sink& sink, QString& error) {
    if (!in.has(0, 4)) {
        error = QStringLiteral("compressed data is shorter than its checksum");
        return false;
    }
    // Every byte costs at least one bit: more is impossible.
    if (outputSize > uint64_t(in.size()) * 8) {
        error = QStringLiteral("declared size %1 is more than the compressed data can hold").arg(outputSize);
        return false;
    }
    const uint32_t expected = in.u32(0);
    uint32_t sum = 0;
    uint64_t produced = 0;
    uint64_t pos = 4;  // byte position of the next block
    std::vector<char> chunk;
    chunk.reserve(65536);
    std::vector<int16_t> tree;
    while (produced < outputSize) {
        if (!in.has(pos, 2)) {
            error = QStringLiteral("compressed data ends after %1 of %2 bytes").arg(produced).arg(outputSize);
            return false;
        }
        const uint32_t tableSize = in.u16(pos);
        const size_t entries = tableSize / 2;
        if (tableSize == 0 || tableSize % 4 != 0 || !in.has(pos + 2, tableSize)) {
            error = QStringLiteral("bad code table at byte %1").arg(pos);
            return false;
        }
        tree.resize(entries);
        for (size_t i = 0; i < entries; ++i) tree[i] = int16_t(in.u16(pos + 2 + 2 * i));
        const size_t nodes = entries / 2;
        uint64_t bit = (pos + 2 + tableSize) * 8;
        const uint64_t endBit = uint64_t(in.size()) * 8;
        size_t node = 0;
        bool blockEnded = false;
        while (produced < outputSize) {
            if (bit >= endBit) {
                error = QStringLiteral("compressed data ends after %1 of %2 bytes").arg(produced).arg(outputSize);
                return false;
            }
            const unsigned b = (in.data()[bit >> 3] >> (7 - (bit & 7))) & 1u;
            ++bit;
            const int16_t v = tree[2 * node + (b ? 0 : 1)];
            if (v < 0) {
                node = size_t(-int(v));
                if (node >= nodes) {
                    error = QStringLiteral("code table refers past its end");
                    return false;
                }
                continue;
            }
            node = 0;
            if (v == 256) {
                blockEnded = true;
                break;
            }
            if (v > 256) {
                error = QStringLiteral("code table holds the symbol %1").arg(v);
                return false;
            }
            chunk.push_back(char(v));
            sum += uint8_t(v);
            ++produced;
            if (chunk.size() == 65536) {
                if (!sink(chunk.data(), chunk.size())) {
                    error = QStringLiteral("the output could not be written");
                    return false;
                }
                chunk.clear();
            }
        }
        if (!blockEnded && produced < outputSize) break;
        pos = (bit + 7) / 8;  // the next block starts on a byte boundary
    }
    if (!chunk.empty() && !sink(chunk.data(), chunk.size())) {
        error = QStringLiteral("the output could not be written");
        return false;
    }
    if (sum != expected) {
        error = QStringLiteral("checksum mismatch after decompression");
        return false;
    }
    return true;
}

}  // namespace nsf

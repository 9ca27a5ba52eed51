#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace nsf {

// A read-only window on bytes that never reads outside itself: every accessor
// checks its range and yields 0 (or an empty view) when the range is outside.
// Callers test has() before trusting a value; a stray read stays harmless.
class ByteView {
public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
    ByteView(const char* data, size_t size) : ByteView(reinterpret_cast<const uint8_t*>(data), size) {}

    const uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // True when [offset, offset + length) lies inside the view (overflow-safe).
    bool has(uint64_t offset, uint64_t length) const {
        return offset <= m_size && length <= m_size - offset;
    }

    uint8_t u8(uint64_t offset) const { return has(offset, 1) ? m_data[offset] : 0; }
    uint16_t u16(uint64_t offset) const {
        if (!has(offset, 2)) return 0;
        return uint16_t(m_data[offset] | (m_data[offset + 1] << 8));
    }
    uint32_t u32(uint64_t offset) const {
        if (!has(offset, 4)) return 0;
        return uint32_t(m_data[offset]) | (uint32_t(m_data[offset + 1]) << 8) |
               (uint32_t(m_data[offset + 2]) << 16) | (uint32_t(m_data[offset + 3]) << 24);
    }
    uint64_t u64(uint64_t offset) const {
        if (!has(offset, 8)) return 0;
        return uint64_t(u32(offset)) | (uint64_t(u32(offset + 4)) << 32);
    }
    double f64(uint64_t offset) const {
        const uint64_t bits = u64(offset);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }

    // The sub-range, or an empty view when it is not wholly inside.
    ByteView sub(uint64_t offset, uint64_t length) const {
        if (!has(offset, length)) return ByteView();
        return ByteView(m_data + offset, size_t(length));
    }
    // From offset to the end (empty when offset is past the end).
    ByteView from(uint64_t offset) const {
        if (offset > m_size) return ByteView();
        return ByteView(m_data + offset, m_size - size_t(offset));
    }

private:
    const uint8_t* m_data = nullptr;
    size_t m_size = 0;
};

// XOR of the little-endian 32-bit words of `bytes`, a final partial word zero-padded.
inline uint32_t xorChecksum(ByteView bytes) {
    uint32_t sum = 0;
    size_t i = 0;
    const size_t n = bytes.size();
    for (; i + 4 <= n; i += 4) sum ^= bytes.u32(i);
    uint32_t last = 0;
    for (size_t k = 0; i + k < n; ++k) last |= uint32_t(bytes.u8(i + k)) << (8 * k);
    return sum ^ last;
}

}  // namespace nsf

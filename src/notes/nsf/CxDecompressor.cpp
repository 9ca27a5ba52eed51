#include "notes/nsf/CxDecompressor.h"

#include <algorithm>
#include <cstring>

namespace nsf {
namespace {

// Bits are taken least-significant first; fields are assembled LSB first.
// A 64-bit buffer is refilled a byte at a time from the input.
class LsbBitReader {
public:
    explicit LsbBitReader(ByteView in) : m_in(in) {}
    bool exhausted() const { return m_count == 0 && m_next >= m_in.size(); }
    // Reads one bit; past the end the bit reads 0 and eof() turns true.
    unsigned bit() {
        if (m_count == 0) {
            refill();
            if (m_count == 0) {
                m_eof = true;
                return 0;
            }
        }
        const unsigned b = unsigned(m_buffer & 1u);
        m_buffer >>= 1;
        --m_count;
        return b;
    }
    // n <= 24 bits at once.
    uint32_t bits(unsigned n) {
        if (m_count < n) refill();
        if (m_count < n) {
            const uint32_t v = uint32_t(m_buffer);
            m_buffer = 0;
            m_count = 0;
            m_eof = true;
            return v;
        }
        const uint32_t v = uint32_t(m_buffer & ((uint64_t(1) << n) - 1));
        m_buffer >>= n;
        m_count -= n;
        return v;
    }
    // Gamma count: n bits up to and including the first 1, then an n-bit
    // value v; yields 2^n - 1 + v. False when the code is absurdly long.
    bool gamma(uint32_t& value) {
        unsigned n = 1;
        while (bit() == 0) {
            if (m_eof || ++n > 24) return false;
        }
        if (m_eof) return false;
        value = ((1u << n) - 1) + bits(n);
        return !m_eof;
    }
    bool eof() const { return m_eof; }

private:
    void refill() {
        while (m_count <= 56 && m_next < m_in.size()) {
            m_buffer |= uint64_t(m_in.data()[m_next++]) << m_count;
            m_count += 8;
        }
    }

    ByteView m_in;
    uint64_t m_buffer = 0;
    unsigned m_count = 0;
    size_t m_next = 0;
    bool m_eof = false;
};

}  // namespace

bool CxDecompressor::decompress(ByteView input, size_t declaredSize, QByteArray& output, QString& error) {
    output.clear();
    if (declaredSize > kMaxOutput) {
        error = QStringLiteral("compressed body declares %1 bytes").arg(qulonglong(declaredSize));
        return false;
    }
    // The longest match (257 bytes) costs at least 27 bits: no stream can
    // expand more than about 76 times; refuse to allocate for one that claims to.
    if (declaredSize > input.size() * size_t(80) + 65536) {
        error = QStringLiteral("compressed body of %1 bytes declares %2 bytes")
                    .arg(qulonglong(input.size()))
                    .arg(qulonglong(declaredSize));
        return false;
    }
    if (input.empty()) {
        error = QStringLiteral("compressed body is empty");
        return false;
    }
    const unsigned mode = input.u8(0) & 7u;
    if (mode != 4) {
        error = QStringLiteral("unsupported compression mode %1").arg(mode);
        return false;
    }
    output.resize(qsizetype(declaredSize));
    char* out = output.data();
    size_t produced = 0;
    LsbBitReader in(input);
    in.bits(3);
    while (!in.exhausted()) {
        if (in.bit() == 0) {
            const uint32_t literal = in.bits(8);
            if (in.eof()) break;
            if (produced >= declaredSize) {
                error = QStringLiteral("compressed body expands past its declared size");
                return false;
            }
            out[produced++] = char(literal);
            continue;
        }
        uint32_t length = 2;
        if (in.bit() == 0) {
            uint32_t g = 0;
            if (!in.gamma(g)) break;
            length = g + 2;
        }
        if (in.eof()) break;
        if (length >= 0x102) break;  // end-of-stream marker
        uint32_t high = 0;
        if (length > 2 && in.bit() == 0) {
            if (!in.gamma(high)) break;
        }
        const uint32_t low = in.bits(8);
        if (in.eof()) break;
        const uint64_t distance = uint64_t(high) * 256 + low;
        if (distance == 0 || distance > produced) {
            error = QStringLiteral("compressed body refers to data before its start");
            return false;
        }
        if (length > declaredSize - produced) {
            error = QStringLiteral("compressed body expands past its declared size");
            return false;
        }
        if (distance >= length) {
            std::memcpy(out + produced, out + produced - distance, length);
            produced += length;
        } else {
            for (uint32_t i = 0; i < length; ++i, ++produced) out[produced] = out[produced - distance];
        }
    }
    if (produced != declaredSize) {
        error = QStringLiteral("compressed body gives %1 of %2 bytes")
                    .arg(qulonglong(produced))
                    .arg(qulonglong(declaredSize));
        output.clear();
        return false;
    }
    return true;
}

}  // namespace nsf

#include "notes/dxl/Base64Decoder.h"

namespace store::dxl {
namespace {

int sextet(uint32_t c) {
    if (c >= 'A' && c <= 'Z') return int(c - 'A');
    if (c >= 'a' && c <= 'z') return int(c - 'a') + 26;
    if (c >= '0' && c <= '9') return int(c - '0') + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool isBlank(uint32_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

void Base64Decoder::put(uint32_t c) {
    if (m_failed) return;
    if (isBlank(c)) return;
    if (c == '=') {
        // Padding only after two or three sextets of the last group.
        if (m_count < 2 || m_count + m_padding >= 4) {
            m_failed = true;
            return;
        }
        ++m_padding;
        if (m_count + m_padding == 4) {
            const int bytes = m_count - 1;
            if (!m_countOnly) {
                const uint32_t v = m_bits << (6 * (4 - m_count));
                m_out.append(char((v >> 16) & 0xFF));
                if (bytes > 1) m_out.append(char((v >> 8) & 0xFF));
            }
            m_decoded += bytes;
            m_count = 0;
            m_bits = 0;
        }
        return;
    }
    const int v = sextet(c);
    if (v < 0 || m_padding > 0) {
        m_failed = true;  // a bad character, or data after the padding
        return;
    }
    m_bits = (m_bits << 6) | uint32_t(v);
    if (++m_count == 4) {
        if (!m_countOnly) {
            m_out.append(char((m_bits >> 16) & 0xFF));
            m_out.append(char((m_bits >> 8) & 0xFF));
            m_out.append(char(m_bits & 0xFF));
        }
        m_decoded += 3;
        m_count = 0;
        m_bits = 0;
    }
}

void Base64Decoder::feed(QStringView text) {
    for (const QChar ch : text) put(ch.unicode());
}

void Base64Decoder::feed(const char* data, qint64 size) {
    for (qint64 i = 0; i < size; ++i) put(uchar(data[i]));
}

bool Base64Decoder::finish() {
    if (m_finished) return !m_failed;
    m_finished = true;
    if (m_failed) return false;
    if (m_padding > 0 && m_count != 0) {
        // "=" without a complete group is caught in put(); here a group is open.
        m_failed = true;
        return false;
    }
    if (m_count == 1) {
        m_failed = true;  // six bits cannot make a byte
        return false;
    }
    if (m_count > 1) {
        // Unpadded end: accept, as many encoders leave the padding out.
        const int bytes = m_count - 1;
        if (!m_countOnly) {
            const uint32_t v = m_bits << (6 * (4 - m_count));
            m_out.append(char((v >> 16) & 0xFF));
            if (bytes > 1) m_out.append(char((v >> 8) & 0xFF));
        }
        m_decoded += bytes;
        m_count = 0;
    }
    return true;
}

QByteArray Base64Decoder::takeOutput() {
    QByteArray out;
    out.swap(m_out);
    return out;
}

}  // namespace store::dxl

#include "notes/dxl/DxlByteOffsets.h"

#include <algorithm>
#include <cstring>

namespace store::dxl {
namespace {
constexpr qint64 kChunk = 1 << 18;
constexpr qint64 kKeepBehind = 1 << 16;
}  // namespace

bool DxlByteOffsets::open(const QString& path, qint64 firstByte, bool utf8) {
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) return false;
    if (!m_file.seek(firstByte)) return false;
    m_window.clear();
    m_windowStart = firstByte;
    m_pos = firstByte;
    m_chars = 0;
    m_utf8 = utf8;
    m_nextSkip = 0;
    return true;
}

bool DxlByteOffsets::fill() {
    // Drop what lies well behind the current position.
    const qint64 drop = m_pos - kKeepBehind - m_windowStart;
    if (drop > 0) {
        m_window.remove(0, drop);
        m_windowStart += drop;
    }
    const QByteArray more = m_file.read(kChunk);
    if (more.isEmpty()) return false;
    m_window.append(more);
    return true;
}

bool DxlByteOffsets::skip() {
    while (m_nextSkip < m_skipped.size() && m_pos >= m_skipped[m_nextSkip].first) {
        const qint64 end = m_skipped[m_nextSkip].second;
        ++m_nextSkip;
        if (m_pos >= end) continue;
        m_pos = end;
        if (m_pos - m_windowStart > m_window.size()) {
            // Past what was read: start a new window there.
            m_window.clear();
            m_windowStart = m_pos;
            if (!m_file.seek(m_pos)) return false;
        }
    }
    return true;
}

qint64 DxlByteOffsets::byteAt(qint64 charOffset) {
    auto at = [&](qint64 pos, uchar& b) {
        while (pos - m_windowStart >= m_window.size())
            if (!fill()) return false;
        b = uchar(m_window.at(pos - m_windowStart));
        return true;
    };
    uchar b = 0;
    while (m_chars < charOffset) {
        if (!skip()) return -1;
        if (m_pos - m_windowStart >= m_window.size() && !at(m_pos, b)) return -1;
        // Count through what the window holds up to the next skipped range.
        qint64 stop = m_windowStart + m_window.size();
        if (m_nextSkip < m_skipped.size()) stop = std::min(stop, std::max(m_pos + 1, m_skipped[m_nextSkip].first));
        const auto* data = reinterpret_cast<const uchar*>(m_window.constData()) - m_windowStart;
        qint64 pos = m_pos;
        qint64 chars = m_chars;
        if (!m_utf8) {
            const qint64 n = std::min(stop - pos, charOffset - chars);
            pos += n;
            chars += n;
        } else {
            while (pos < stop && chars < charOffset) {
                // Eight bytes of ASCII at a time: as many characters.
                if (stop - pos >= 8 && charOffset - chars >= 8) {
                    quint64 w;
                    std::memcpy(&w, data + pos, 8);
                    if ((w & 0x8080808080808080ULL) == 0) {
                        pos += 8;
                        chars += 8;
                        continue;
                    }
                }
                const uchar c = data[pos++];
                if ((c & 0xC0) != 0x80) chars += c >= 0xF0 ? 2 : 1;  // a lead byte; four bytes make two units
            }
        }
        m_pos = pos;
        m_chars = chars;
    }
    // Step over the rest of the last character.
    while (m_utf8 && at(m_pos, b) && (b & 0xC0) == 0x80) ++m_pos;
    return m_pos;
}

qint64 DxlByteOffsets::tagStart(qint64 end) const {
    for (qint64 p = end - 1; p >= m_windowStart; --p) {
        const qint64 i = p - m_windowStart;
        if (i < m_window.size() && m_window.at(i) == '<') return p;
    }
    return -1;
}

}  // namespace store::dxl

#include "rtf/RtfTokenizer.h"

#include <algorithm>

namespace rtf {
namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr int kMaxWordLength = 32;
constexpr int kMaxDigits = 10;

}  // namespace

RtfToken RtfTokenizer::next() {
    RtfToken t;
    const qsizetype n = m_in.size();
    while (m_pos < n && (m_in[m_pos] == '\r' || m_in[m_pos] == '\n')) ++m_pos;
    if (m_pos >= n) return t;

    const char c = m_in[m_pos];
    if (c == '{') {
        ++m_pos;
        t.type = RtfToken::Type::GroupStart;
        return t;
    }
    if (c == '}') {
        ++m_pos;
        t.type = RtfToken::Type::GroupEnd;
        return t;
    }
    if (c != '\\') {
        const qsizetype start = m_pos;
        while (m_pos < n) {
            const char d = m_in[m_pos];
            if (d == '\\' || d == '{' || d == '}' || d == '\r' || d == '\n') break;
            ++m_pos;
        }
        t.type = RtfToken::Type::Text;
        t.text = QByteArrayView(m_in).sliced(start, m_pos - start);
        return t;
    }

    ++m_pos;  // the backslash
    if (m_pos >= n) return t;  // a lone backslash at the end
    const char s = m_in[m_pos];
    if (isLetter(s)) {
        const qsizetype start = m_pos;
        while (m_pos < n && isLetter(m_in[m_pos])) ++m_pos;
        t.type = RtfToken::Type::ControlWord;
        t.word = QByteArrayView(m_in).sliced(start, std::min<qsizetype>(m_pos - start, kMaxWordLength));
        bool negative = false;
        if (m_pos + 1 < n && m_in[m_pos] == '-' && isDigit(m_in[m_pos + 1])) {
            negative = true;
            ++m_pos;
        }
        if (m_pos < n && isDigit(m_in[m_pos])) {
            qint64 value = 0;
            int digits = 0;
            while (m_pos < n && isDigit(m_in[m_pos])) {
                if (digits < kMaxDigits) value = value * 10 + (m_in[m_pos] - '0');
                ++digits;
                ++m_pos;
            }
            if (negative) value = -value;
            t.hasParam = true;
            t.param = int(std::clamp<qint64>(value, INT32_MIN, INT32_MAX));
        }
        if (m_pos < n && m_in[m_pos] == ' ') ++m_pos;  // the delimiter belongs to the word
        if (t.word == "bin") {
            const qsizetype len = t.hasParam ? std::max(0, t.param) : 0;
            t.type = RtfToken::Type::Binary;
            t.binOffset = m_pos;
            t.binLength = std::min<qsizetype>(len, n - m_pos);
            m_pos += t.binLength;
        }
        return t;
    }

    ++m_pos;
    switch (s) {
        case '\\':
        case '{':
        case '}':
            t.type = RtfToken::Type::Text;
            t.text = QByteArrayView(m_in).sliced(m_pos - 1, 1);
            return t;
        case '\r':
        case '\n':  // backslash + line end means \par
            t.type = RtfToken::Type::ControlWord;
            t.word = QByteArrayView("par");
            return t;
        case '\'': {
            const int hi = m_pos < n ? hexValue(m_in[m_pos]) : -1;
            const int lo = m_pos + 1 < n ? hexValue(m_in[m_pos + 1]) : -1;
            if (hi < 0 || lo < 0) {  // broken escape: skip what hex digits there are
                if (m_pos < n && hexValue(m_in[m_pos]) >= 0) ++m_pos;
                t.type = RtfToken::Type::ControlSymbol;
                t.word = QByteArrayView("'");
                return t;
            }
            m_pos += 2;
            t.type = RtfToken::Type::HexByte;
            t.byte = static_cast<unsigned char>(hi * 16 + lo);
            return t;
        }
        default:
            t.type = RtfToken::Type::ControlSymbol;
            t.word = QByteArrayView(m_in).sliced(m_pos - 1, 1);
            return t;
    }
}

}  // namespace rtf

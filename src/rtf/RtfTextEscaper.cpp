#include "rtf/RtfTextEscaper.h"

namespace rtf {
namespace {

// Code page 1252 characters of bytes 0x80..0x9F (0: undefined).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

unsigned char RtfTextEscaper::cp1252Byte(char16_t c) {
    if (c < 0x80) return static_cast<unsigned char>(c);
    if (c >= 0xA0 && c <= 0xFF) return static_cast<unsigned char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
    return 0;
}

char16_t RtfTextEscaper::cp1252Char(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0) return kHigh[b - 0x80];
    return b;
}

void RtfTextEscaper::append(QByteArray& out, QStringView text) {
    static const char hex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        switch (c) {
            case u'\\': out += "\\\\"; continue;
            case u'{': out += "\\{"; continue;
            case u'}': out += "\\}"; continue;
            case u'\t': out += "\\tab "; continue;
            case u'\n': out += "\\line "; continue;
            case u'\r':
                if (i + 1 < text.size() && text[i + 1] == u'\n') continue;
                out += "\\line ";
                continue;
            default: break;
        }
        if (c < 0x20 || c == 0x7F) continue;
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        out += "\\u";
        out += QByteArray::number(int(int16_t(c)));
        const unsigned char fallback = cp1252Byte(c);
        if (fallback >= 0x80) {
            out += "\\'";
            out += hex[fallback >> 4];
            out += hex[fallback & 15];
        } else {
            out += '?';
        }
    }
}

}  // namespace rtf

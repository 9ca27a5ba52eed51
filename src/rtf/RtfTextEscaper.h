#pragma once

#include <QByteArray>
#include <QStringView>

namespace rtf {

// Appends text to RTF output: \ { } escaped, tab and line feed as \tab and
// \line, other control characters dropped, everything outside 7-bit ASCII as
// \uN (signed 16-bit, one per UTF-16 unit so surrogate pairs give two) followed
// by its code page 1252 byte (\'hh) or "?" as the one-byte fallback (\uc1).
class RtfTextEscaper {
public:
    static void append(QByteArray& out, QStringView text);
    // The code page 1252 byte of a character, or 0 when it has none.
    static unsigned char cp1252Byte(char16_t c);
    // The character of a code page 1252 byte (undefined bytes map to themselves).
    static char16_t cp1252Char(unsigned char b);
};

}  // namespace rtf

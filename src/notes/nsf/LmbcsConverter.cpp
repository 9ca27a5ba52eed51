#include "notes/nsf/LmbcsConverter.h"

#include <cstring>

#include <unicode/ucnv.h>

#include <vector>

namespace nsf {

LmbcsConverter::LmbcsConverter() {
    UErrorCode status = U_ZERO_ERROR;
    m_converter = ucnv_open("LMBCS-1", &status);
    if (U_FAILURE(status)) m_converter = nullptr;
}

LmbcsConverter::~LmbcsConverter() {
    if (m_converter) ucnv_close(m_converter);
}

QString LmbcsConverter::toUnicode(ByteView bytes) {
    const size_t n = bytes.size();
    if (n == 0) return QString();
    const uint8_t* p = bytes.data();
    bool ascii = true;
    size_t i = 0;
    // Eight bytes at a time while none has its high bit set or is below 0x20.
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        const uint64_t below20 = (w - 0x2020202020202020ULL) & ~w & 0x8080808080808080ULL;
        if ((w & 0x8080808080808080ULL) != 0 || below20 != 0) break;
    }
    for (; i < n; ++i) {
        const uint8_t c = p[i];
        // 0x01-0x1F other than tab, LF, CR are group or control bytes in LMBCS.
        if (c >= 0x80 || (c < 0x20 && c != 0x09 && c != 0x0A && c != 0x0D && c != 0x00)) {
            ascii = false;
            break;
        }
    }
    if (ascii || !m_converter) return QString::fromLatin1(reinterpret_cast<const char*>(p), qsizetype(n));
    ucnv_reset(m_converter);
    std::vector<UChar> buffer(n * 2 + 4);
    UErrorCode status = U_ZERO_ERROR;
    const int32_t len = ucnv_toUChars(m_converter, buffer.data(), int32_t(buffer.size()),
                                      reinterpret_cast<const char*>(p), int32_t(n), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        return QString::fromLatin1(reinterpret_cast<const char*>(p), qsizetype(n));
    return QString(reinterpret_cast<const QChar*>(buffer.data()), qsizetype(len));
}

QString LmbcsConverter::text(ByteView bytes) {
    size_t n = bytes.size();
    while (n > 0 && bytes.data()[n - 1] == 0) --n;
    QString s = toUnicode(bytes.sub(0, n));
    s.replace(QChar(0), QLatin1Char('\n'));
    return s;
}

}  // namespace nsf

#pragma once

#include "notes/nsf/ByteView.h"

#include <QString>

struct UConverter;

namespace nsf {

// LMBCS (the Notes multi-byte character set) to UTF-16 through ICU's
// "LMBCS-1" converter. Plain ASCII takes a fast path. Not thread-safe: one
// converter per database.
class LmbcsConverter {
public:
    LmbcsConverter();
    ~LmbcsConverter();
    LmbcsConverter(const LmbcsConverter&) = delete;
    LmbcsConverter& operator=(const LmbcsConverter&) = delete;

    bool isValid() const { return m_converter != nullptr; }

    // Converts the bytes as they stand (a NUL byte becomes U+0000).
    QString toUnicode(ByteView bytes);

    // Text of a stored value: trailing NULs dropped, inner NULs become "\n".
    QString text(ByteView bytes);

private:
    UConverter* m_converter = nullptr;
};

}  // namespace nsf

#include "items/WideText.h"

#include "notes/ln/LNGlobals.h"

#include <vector>

namespace WideText {

LNString toLNString(const QString& text) {
    if (text.isEmpty()) return LNString();
    LNString result;
    LNINT length = 0;
    try {
        if (LNStringTranslate(reinterpret_cast<const char16_t*>(text.utf16()), LNCHARSET_UNICODE, &result,
                              &length) == 0)
            return result;
    } catch (...) {
    }
    return LNString();
}

QString fromLNString(const LNString& text) {
    // The buffer is sized from the source so that no text is ever cut.
    const LNINT length = text.GetBufLength();
    if (length > 0) {
        std::vector<char16_t> buffer(size_t(length) + 1, 0);
        LNINT out = 0;
        try {
            if (LNStringTranslate(text, LNCHARSET_UNICODE, LNINT(buffer.size() * 2), buffer.data(), &out) == 0)
                return QString::fromUtf16(buffer.data(), out);
        } catch (...) {
        }
    }
    return QString::fromUtf8(text.GetBuf());
}

}  // namespace WideText

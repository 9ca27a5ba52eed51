#pragma once

#include "notes/ln/LNItem.h"

// A text or text-list item.
class LNText {
public:
    LNText() = default;
    // Fails (throws in throw-all mode) when the item is not text.
    LNText(const LNItem& item);

    // All values joined with separator.
    LNSTATUS GetText(LNString* text, const char* separator = ";") const;
    LNINT GetCount() const { return LNINT(m_values.size()); }
    LNString operator[](LNINT index) const;

private:
    QStringList m_values;
    bool m_valid = false;
};

#pragma once

#include "notes/ln/LNItem.h"
#include "notes/store/NotesTime.h"

#include <vector>

// One date/time value.
class LNDatetime {
public:
    LNDatetime() = default;
    explicit LNDatetime(const store::NotesTime& value) : m_value(value) {}
    // Text in the client's form (dd/MM/yyyy HH:mm:ss in the value's own zone).
    LNSTATUS GetText(LNString* text) const;
    const store::NotesTime& value() const { return m_value; }

private:
    store::NotesTime m_value;
};

// A date/time or date/time-range item; ranges read as "start - end".
class LNDatetimes {
public:
    LNDatetimes() = default;
    // Fails (throws in throw-all mode) when the item is not a date/time item.
    LNDatetimes(const LNItem& item);
    LNSTATUS GetText(LNString* text, const char* separator = ";") const;
    LNINT GetCount() const { return LNINT(m_texts.size()); }

private:
    QStringList m_texts;
    bool m_valid = false;
};

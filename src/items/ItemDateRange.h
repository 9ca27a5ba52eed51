#pragma once

#include "notes/store/NotesTime.h"

#include <QDate>

#include <optional>

class LNNote;

// The date range a run converts: an item is converted when its kind's date
// lies between `since` and `until`, both days included. Either end may be open.
// An item's date is compared by its calendar day in the value's own zone, the
// day its header shows.
struct ItemDateRange {
    QDate since;  // invalid: no lower bound
    QDate until;  // invalid: no upper bound

    bool isActive() const { return since.isValid() || until.isValid(); }
    bool contains(const QDate& day) const;

    enum class Verdict { Inside, Outside, Unknown };
    // Contacts are always inside; an item without a readable date is Unknown
    // (and is converted: it is never dropped for want of a date).
    Verdict check(const LNNote& document, int kind) const;

    // The date that decides for an item of `kind` (NotesItemKind): mail the
    // sent date, else the delivered date, else the creation time; calendar
    // entries their start; tasks the due date, else the start; journal entries
    // their diary date, else the creation time. Empty when none can be read.
    static std::optional<store::NotesTime> KindDate(const LNNote& document, int kind);

    // "2015-01-31" (ISO 8601 calendar date, nothing else); invalid on anything else.
    static QDate ParseDay(const QString& text);
};

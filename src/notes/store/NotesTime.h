#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

namespace store {

// One Notes date/time value as the databases keep it: a calendar date and/or a
// wall-clock time, in the value's own zone (offset from UTC in seconds) when
// the store knows it. The client's text form is dd/MM/yyyy HH:mm:ss in that zone.
struct NotesTime {
    QDate date;               // invalid when the value is a time alone
    QTime time;               // invalid when the value is a date alone
    int utcOffsetSeconds = 0; // east of UTC
    bool hasZone = false;

    bool isNull() const { return !date.isValid() && !time.isValid(); }

    // "dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy" or "HH:mm:ss".
    QString text() const;

    // Milliseconds since the epoch (UTC) for ordering; a date alone counts as
    // 00:00 UTC, a time alone as that time on 01/01/1970 in its zone.
    qint64 instantMs() const;

    // Parses the DXL form: 20140808T131833,00-04, 20140808, T131833,00, with
    // optional hundredths and zone (Z, +hh, -hhmm). Empty on failure.
    static std::optional<NotesTime> fromDxl(const QString& text);
};

// A start and end pair (Notes TIME_RANGE pair, DXL datetimepair).
struct NotesTimePair {
    NotesTime lower;
    NotesTime upper;
};

}  // namespace store

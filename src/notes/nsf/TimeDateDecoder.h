#pragma once

#include "notes/store/NotesTime.h"

#include <cstdint>
#include <optional>

namespace nsf {

// The 8-byte TIMEDATE: hundredths of a second since midnight GMT, and a word
// with the Julian day of the GMT date, the zone's offset and whether the zone
// observes daylight saving time.
class TimeDateDecoder {
public:
    enum class Kind { Empty, Valid, Invalid };

    // Decodes into a value in its own zone (UTC + offset, + 1 h when daylight
    // saving time is in force there). Empty for the all-zero "no value";
    // Invalid for out-of-range fields.
    static Kind decode(uint32_t timeWord, uint32_t dateWord, store::NotesTime& out);

    // Gregorian date of a Julian day number (day counted from midnight).
    static void julianToDate(uint32_t julian, int& year, int& month, int& day);

    // Whether daylight saving time is in force at `utcSeconds` (seconds since
    // 1970-01-01 UTC) for a zone of `standardOffsetMinutes` that observes it.
    // The rules are not stored in the value: the usual North American rules
    // are used west of GMT, the European ones from GMT to +4 h, the southern
    // (Australian) ones from +8 h east.
    static bool daylightInForce(int64_t utcSeconds, int standardOffsetMinutes);
};

}  // namespace nsf

#include "notes/nsf/TimeDateDecoder.h"

#include <QDateTime>

namespace nsf {
namespace {

constexpr uint32_t kHundredthsPerDay = 8640000;
constexpr uint32_t kJulianYear1 = 1721426;     // 0001-01-01
constexpr uint32_t kJulianYear9999 = 5373484;  // 9999-12-31
constexpr uint32_t kJulian1970 = 2440588;

int64_t daysFromCivil(int y, int m, int d) {
    // Days since 1970-01-01 of a proleptic Gregorian date.
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Day of month of the n-th (1-based) Sunday, or the last one when n == 0.
int sunday(int year, int month, int n) {
    // 1970-01-01 was a Thursday (weekday 4, Sunday = 0).
    auto weekday = [](int64_t days) { return int(((days % 7) + 11) % 7); };
    if (n > 0) {
        const int64_t first = daysFromCivil(year, month, 1);
        const int wd = weekday(first);
        return 1 + (7 - wd) % 7 + 7 * (n - 1);
    }
    const int lastDay = QDate(year, month, 1).daysInMonth();
    const int64_t last = daysFromCivil(year, month, lastDay);
    return lastDay - weekday(last);
}

int64_t utcAt(int year, int month, int day, int hourLocal, int offsetMinutes) {
    return daysFromCivil(year, month, day) * 86400 + int64_t(hourLocal) * 3600 - int64_t(offsetMinutes) * 60;
}

}  // namespace

void TimeDateDecoder::julianToDate(uint32_t julian, int& year, int& month, int& day) {
    int64_t l = int64_t(julian) + 68569;
    const int64_t n = (4 * l) / 146097;
    l = l - (146097 * n + 3) / 4;
    const int64_t i = (4000 * (l + 1)) / 1461001;
    l = l - (1461 * i) / 4 + 31;
    const int64_t k = (80 * l) / 2447;
    day = int(l - (2447 * k) / 80);
    l = k / 11;
    month = int(k + 2 - 12 * l);
    year = int(100 * (n - 49) + i + l);
}

bool TimeDateDecoder::daylightInForce(int64_t utcSeconds, int offset) {
    const QDate d = QDateTime::fromSecsSinceEpoch(utcSeconds + int64_t(offset) * 60, Qt::UTC).date();
    const int y = d.year();
    if (offset < 0) {
        int64_t start, end;
        if (y >= 2007) {
            start = utcAt(y, 3, sunday(y, 3, 2), 2, offset);
            end = utcAt(y, 11, sunday(y, 11, 1), 1, offset);
        } else if (y >= 1987) {
            start = utcAt(y, 4, sunday(y, 4, 1), 2, offset);
            end = utcAt(y, 10, sunday(y, 10, 0), 1, offset);
        } else {
            start = utcAt(y, 4, sunday(y, 4, 0), 2, offset);
            end = utcAt(y, 10, sunday(y, 10, 0), 1, offset);
        }
        return utcSeconds >= start && utcSeconds < end;
    }
    if (offset <= 4 * 60) {
        const int64_t start = utcAt(y, 3, sunday(y, 3, 0), 1, 0);
        const int64_t end = utcAt(y, 10, sunday(y, 10, 0), 1, 0);
        return utcSeconds >= start && utcSeconds < end;
    }
    if (offset >= 8 * 60) {
        // Southern hemisphere: in force from October to April.
        const int64_t end = utcAt(y, 4, sunday(y, 4, 1), 2, offset);       // 3:00 daylight
        const int64_t start = utcAt(y, 10, sunday(y, 10, 1), 2, offset);
        return utcSeconds < end || utcSeconds >= start;
    }
    return false;
}

TimeDateDecoder::Kind TimeDateDecoder::decode(uint32_t t, uint32_t dw, store::NotesTime& out) {
    out = store::NotesTime();
    if (t == 0 && dw == 0) return Kind::Empty;
    const bool noTime = t == 0xFFFFFFFFu;
    const bool noDate = dw == 0xFFFFFFFFu || (dw & 0xFFFFFFu) == 0xFFFFFFu;
    if (noTime && noDate) return Kind::Empty;
    if (!noTime && t >= kHundredthsPerDay) return Kind::Invalid;
    const uint32_t julian = dw & 0xFFFFFFu;
    if (!noDate && (julian < kJulianYear1 || julian > kJulianYear9999)) return Kind::Invalid;

    const int hundredths = noTime ? 0 : int(t % 100);
    const int64_t secondsOfDay = noTime ? 0 : int64_t(t / 100);

    if (noDate) {
        // A time alone has no date to place a zone change on: shown as stored.
        out.time = QTime(0, 0).addSecs(int(secondsOfDay)).addMSecs(hundredths * 10);
        return Kind::Valid;
    }
    int year, month, day;
    julianToDate(julian, year, month, day);
    if (noTime) {
        out.date = QDate(year, month, day);
        return out.date.isValid() ? Kind::Valid : Kind::Invalid;
    }
    const int zoneHours = int((dw >> 24) & 0xF);
    const int zoneQuarters = int((dw >> 28) & 0x3);
    const bool east = (dw >> 30) & 1u;
    const bool observesDst = (dw >> 31) & 1u;
    int offset = zoneHours * 60 + zoneQuarters * 15;
    if (!east) offset = -offset;
    const int64_t utc = (int64_t(julian) - kJulian1970) * 86400 + secondsOfDay;
    if (observesDst && daylightInForce(utc, offset)) offset += 60;
    const QDateTime local = QDateTime::fromSecsSinceEpoch(utc + int64_t(offset) * 60, Qt::UTC);
    out.date = local.date();
    out.time = local.time().addMSecs(hundredths * 10);
    out.utcOffsetSeconds = offset * 60;
    out.hasZone = true;
    return out.date.isValid() ? Kind::Valid : Kind::Invalid;
}

}  // namespace nsf

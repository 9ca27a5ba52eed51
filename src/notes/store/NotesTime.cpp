#include "notes/store/NotesTime.h"

#include <QDateTime>
#include <QTimeZone>

namespace store {

QString NotesTime::text() const {
    if (date.isValid() && time.isValid())
        return date.toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(' ') +
               time.toString(QStringLiteral("HH:mm:ss"));
    if (date.isValid()) return date.toString(QStringLiteral("dd/MM/yyyy"));
    if (time.isValid()) return time.toString(QStringLiteral("HH:mm:ss"));
    return QString();
}

qint64 NotesTime::instantMs() const {
    const QDate d = date.isValid() ? date : QDate(1970, 1, 1);
    if (!time.isValid()) return QDateTime(d, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    const QDateTime local(d, time, Qt::UTC);
    return local.toMSecsSinceEpoch() - qint64(utcOffsetSeconds) * 1000;
}

std::optional<NotesTime> NotesTime::fromDxl(const QString& textIn) {
    // [yyyyMMdd][THHmmss[,fff]][Z|+hh[[:]mm]|-hh[[:]mm]], read by hand: this
    // runs for every date/time of every document an index reads.
    const QStringView text = QStringView(textIn).trimmed();
    if (text.isEmpty()) return std::nullopt;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    auto digitAt = [&](qsizetype i) { return i < n && text[i] >= u'0' && text[i] <= u'9'; };
    auto digits = [&](qsizetype at, int count) {
        for (int k = 0; k < count; ++k)
            if (!digitAt(at + k)) return false;
        return true;
    };
    auto number = [&](qsizetype at, int count) {
        int v = 0;
        for (int k = 0; k < count; ++k) v = v * 10 + (text[at + k].unicode() - u'0');
        return v;
    };
    NotesTime t;
    if (digits(0, 8)) {
        t.date = QDate(number(0, 4), number(4, 2), number(6, 2));
        if (!t.date.isValid()) return std::nullopt;
        pos = 8;
    }
    if (pos < n && text[pos] == u'T' && digits(pos + 1, 6)) {
        const qsizetype at = pos + 1;
        pos += 7;
        int ms = 0;
        if (pos < n && (text[pos] == u',' || text[pos] == u'.') && digitAt(pos + 1)) {
            int count = 0;
            while (count < 3 && digitAt(pos + 1 + count)) ++count;
            ms = number(pos + 1, count);
            for (int k = count; k < 3; ++k) ms *= 10;
            pos += 1 + count;
        }
        t.time = QTime(number(at, 2), number(at + 2, 2), number(at + 4, 2), ms);
        if (!t.time.isValid()) return std::nullopt;
    }
    if (pos < n && text[pos] == u'Z') {
        t.hasZone = true;
        ++pos;
    } else if (pos < n && (text[pos] == u'+' || text[pos] == u'-') && digits(pos + 1, 2)) {
        const int sign = text[pos] == u'-' ? -1 : 1;
        const int hh = number(pos + 1, 2);
        int mm = 0;
        pos += 3;
        if (pos < n && text[pos] == u':' && digits(pos + 1, 2)) {
            mm = number(pos + 1, 2);
            pos += 3;
        } else if (digits(pos, 2)) {
            mm = number(pos, 2);
            pos += 2;
        }
        t.hasZone = true;
        t.utcOffsetSeconds = sign * (hh * 3600 + mm * 60);
    }
    if (pos != n || t.isNull()) return std::nullopt;
    return t;
}

}  // namespace store

#include "notes/store/NotesTime.h"

#include <QDateTime>
#include <QRegularExpression>
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
    static const QRegularExpression re(QStringLiteral(
        "^(?:(\\d{4})(\\d{2})(\\d{2}))?(?:T(\\d{2})(\\d{2})(\\d{2})(?:[,.](\\d{1,3}))?)?"
        "(Z|[+-]\\d{2}(?::?\\d{2})?)?$"));
    const QString text = textIn.trimmed();
    if (text.isEmpty()) return std::nullopt;
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    NotesTime t;
    if (m.capturedLength(1) > 0) {
        t.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!t.date.isValid()) return std::nullopt;
    }
    if (m.capturedLength(4) > 0) {
        int ms = 0;
        if (m.capturedLength(7) > 0) {
            QString frac = m.captured(7);
            while (frac.size() < 3) frac += QLatin1Char('0');
            ms = frac.toInt();
        }
        t.time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(), ms);
        if (!t.time.isValid()) return std::nullopt;
    }
    if (t.isNull()) return std::nullopt;
    const QString zone = m.captured(8);
    if (!zone.isEmpty()) {
        t.hasZone = true;
        if (zone != QLatin1String("Z")) {
            const int sign = zone.startsWith(QLatin1Char('-')) ? -1 : 1;
            QString digits = zone.mid(1);
            digits.remove(QLatin1Char(':'));
            const int hh = digits.left(2).toInt();
            const int mm = digits.size() >= 4 ? digits.mid(2, 2).toInt() : 0;
            t.utcOffsetSeconds = sign * (hh * 3600 + mm * 60);
        }
    }
    return t;
}

}  // namespace store

#include "widgets/CSortableTableItem.h"

#include <QDateTime>

bool CSortableTableItem::operator<(const QTableWidgetItem& other) const {
    const QVariant mine = data(kSortKeyRole);
    const QVariant theirs = other.data(kSortKeyRole);
    if (mine.isValid() && theirs.isValid()) return mine.toLongLong() < theirs.toLongLong();
    return text().compare(other.text(), Qt::CaseInsensitive) < 0;
}

qint64 CSortableTableItem::DateKey(const QString& text) {
    const QString first = text.section(QLatin1Char(';'), 0, 0).trimmed();
    if (first.isEmpty()) return -1;
    QDateTime when = QDateTime::fromString(first, QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (!when.isValid()) {
        const QDate day = QDate::fromString(first, QStringLiteral("dd/MM/yyyy"));
        if (!day.isValid()) return -1;
        when = QDateTime(day, QTime(0, 0));
    }
    // As the wall-clock reading shown, whatever zone each value was in.
    const QDate d = when.date();
    const QTime t = when.time();
    return ((qint64(d.year()) * 100 + d.month()) * 100 + d.day()) * 1000000 + t.hour() * 10000 + t.minute() * 100 +
           t.second();
}

qint64 CSortableTableItem::NumberKey(const QString& text) {
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok);
    return ok ? n : -1;
}

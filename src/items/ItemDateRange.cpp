#include "items/ItemDateRange.h"

#include "items/NotesItemKind.h"
#include "notes/ln/LNDocument.h"

#include <QRegularExpression>

namespace {

// The first date value of the first item of those names that has one.
std::optional<store::NotesTime> firstDate(const store::StoreNote& note, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const store::StoreItem* item = note.item(QString::fromLatin1(name));
        if (!item || item->unreadable) continue;
        for (const store::NotesTime& t : item->times)
            if (t.date.isValid()) return t;
        for (const store::NotesTimePair& pair : item->timeRanges)
            if (pair.lower.date.isValid()) return pair.lower;
    }
    return std::nullopt;
}

std::optional<store::NotesTime> created(const store::StoreNote& note) {
    if (note.created.date.isValid()) return note.created;
    return std::nullopt;
}

}  // namespace

bool ItemDateRange::contains(const QDate& day) const {
    if (since.isValid() && day < since) return false;
    if (until.isValid() && day > until) return false;
    return true;
}

std::optional<store::NotesTime> ItemDateRange::KindDate(const LNNote& document, int kind) {
    const std::shared_ptr<const store::StoreNote>& note = document.data();
    if (!note) return std::nullopt;
    std::optional<store::NotesTime> date;
    switch (kind) {
        case Calendar:
            date = firstDate(*note, {"STARTDATETIME", "StartDate", "CalendarDateTime"});
            break;
        case Task:
            date = firstDate(*note, {"DueDate", "DueDateTime", "STARTDATETIME", "StartDate"});
            break;
        case Journal:
            date = firstDate(*note, {"DiaryDate", "TimeCreated"});
            if (!date) date = created(*note);
            break;
        case Contact:
            break;
        default:
            date = firstDate(*note, {"PostedDate", "DeliveredDate"});
            if (!date) date = created(*note);
            break;
    }
    return date;
}

ItemDateRange::Verdict ItemDateRange::check(const LNNote& document, int kind) const {
    if (!isActive() || kind == Contact) return Verdict::Inside;
    const std::optional<store::NotesTime> date = KindDate(document, kind);
    if (!date) return Verdict::Unknown;
    return contains(date->date) ? Verdict::Inside : Verdict::Outside;
}

QDate ItemDateRange::ParseDay(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    if (!form.match(text).hasMatch()) return QDate();
    return QDate::fromString(text, Qt::ISODate);
}

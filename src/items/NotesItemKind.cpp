#include "items/NotesItemKind.h"

#include "items/ItemFieldReaders.h"
#include "notes/ln/LNDocument.h"

namespace {

bool hasItem(const LNNote& document, const char* name) {
    try {
        return document.HasItem(LNString(name)) != FALSE;
    } catch (...) {
        return false;
    }
}

struct FormKind {
    const char* form;
    NotesItemKind kind;
};

// The forms of the mail template and of personal address books, compared
// without case. Forms not listed are documents of their own kind.
const FormKind kForms[] = {
    {"Memo", Mail},
    {"Reply", Mail},
    {"Reply With History", Mail},
    {"Forward", Mail},
    {"Return Receipt", Mail},
    {"ReturnReceipt", Mail},
    {"NonDelivery Report", Mail},
    {"Delivery Report", Mail},
    {"Phone Message", Mail},
    {"Bookmark", Mail},
    {"Appointment", Calendar},
    {"Notice", Calendar},
    {"ReplyNotice", Calendar},
    {"CounterNotice", Calendar},
    {"_Calendar Entry", Calendar},
    {"Person", Contact},
    {"Contact", Contact},
    {"Task", Task},
    {"ToDo", Task},
    {"Journal", Journal},
    {"JournalEntry", Journal},
    {"Journal Entry", Journal},
};

}  // namespace

NotesItemKind KindOfForm(const QString& form, bool* known) {
    QString name = form.trimmed();
    // Hidden forms are named in parentheses: "(Notice)".
    if (name.size() > 2 && name.startsWith(QLatin1Char('(')) && name.endsWith(QLatin1Char(')')))
        name = name.mid(1, name.size() - 2).trimmed();
    if (known) *known = !name.isEmpty();
    if (name.isEmpty()) return Mail;
    for (const FormKind& entry : kForms)
        if (name.compare(QLatin1String(entry.form), Qt::CaseInsensitive) == 0) return entry.kind;
    return Document;
}

NotesItemKind DetectItemKind(const LNNote& document) {
    bool known = false;
    const NotesItemKind byForm = KindOfForm(ReadTextItem(document, QStringLiteral("Form")), &known);
    if (known) return byForm;
    static const char* const contactItems[] = {"MiddleInitial",     "BusinessAddress", "CellPhoneNumber",
                                               "OfficePhoneNumber", "LastName",        "FirstName"};
    for (const char* name : contactItems)
        if (hasItem(document, name)) return Contact;
    if (hasItem(document, "Location")) return Calendar;
    if (hasItem(document, "DueDate")) return Task;
    if (hasItem(document, "DiaryDate")) return Journal;
    return Mail;
}

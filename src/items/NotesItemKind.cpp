#include "items/NotesItemKind.h"

#include "notes/ln/LNDocument.h"

namespace {

bool hasItem(const LNNote& document, const char* name) {
    try {
        return document.HasItem(LNString(name)) != FALSE;
    } catch (...) {
        return false;
    }
}

}  // namespace

NotesItemKind DetectItemKind(const LNNote& document) {
    static const char* const contactItems[] = {"MiddleInitial",     "BusinessAddress", "CellPhoneNumber",
                                               "OfficePhoneNumber", "LastName",        "FirstName"};
    for (const char* name : contactItems)
        if (hasItem(document, name)) return Contact;
    if (hasItem(document, "Location")) return Calendar;
    if (hasItem(document, "DueDate")) return Task;
    if (hasItem(document, "DiaryDate")) return Journal;
    return Mail;
}

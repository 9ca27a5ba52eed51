#include "notes/NotesFolderEntry.h"

#include <QHash>

int FolderImageIndex(const QString& n, uint32_t entryCount) {
    if (n == QLatin1String("($Inbox)")) return 8;
    if (n == QLatin1String("($Sent)")) return 10;
    if (n == QLatin1String("($Trash)")) return 7;
    if (n == QLatin1String("My Contacts")) return 4;
    if (n == QLatin1String("($Alarms)") || n == QLatin1String("($Calendar)") || n == QLatin1String("($Meetings)"))
        return 3;
    if (n == QLatin1String("($JunkMail)")) return 7;
    if (n == QLatin1String("($Drafts)")) return 1;
    if (n == QLatin1String("($ToDo)")) return 5;
    if (n == QLatin1String("By Diary Date")) return 9;
    return entryCount > 0 ? 2 : 1;
}

QString SystemFolderDisplayNames(const QString& notesName) {
    static const QHash<QString, QString> names = {
        {QStringLiteral("($Inbox)"), QStringLiteral("Inbox")},
        {QStringLiteral("($All)"), QStringLiteral("All")},
        {QStringLiteral("($Sent)"), QStringLiteral("Sent")},
        {QStringLiteral("($Trash)"), QStringLiteral("Trash")},
        {QStringLiteral("My Contacts"), QStringLiteral("My Contacts")},
        {QStringLiteral("($Alarms)"), QStringLiteral("Alarms")},
        {QStringLiteral("($JunkMail)"), QStringLiteral("Junk Mails")},
        {QStringLiteral("($Drafts)"), QStringLiteral("Drafts")},
        {QStringLiteral("($Meetings)"), QStringLiteral("Calendar")},
        {QStringLiteral("($ToDo)"), QStringLiteral("To Do")},
        {QStringLiteral("($Journal)"), QStringLiteral("Journals")},
        {QStringLiteral("($Follow-Up)"), QStringLiteral("Follow Up")},
    };
    return names.value(notesName, notesName);
}

bool IsListedViewName(const QString& name, bool showViewFolders) {
    static const char* const contained[] = {"$Sent", "$Draft", "$JunkMail", "$ToDo", "$Journal", "$Follow-Up"};
    for (const char* s : contained)
        if (name.contains(QLatin1String(s))) return true;
    if (name == QLatin1String("($Meetings)")) return true;
    static const char* const contained2[] = {"My Contacts", "By Diary Date", "By Category", "All Documents", "$All"};
    for (const char* s : contained2)
        if (name.contains(QLatin1String(s))) return true;
    return showViewFolders;
}

#include "steps/SaveRunRules.h"

#include "notes/NotesFolderEntry.h"

#include <QStringList>

namespace SaveRunRules {

QString OutputFolderName(const QString& storedName) {
    struct Pair {
        const char* stored;
        const char* output;
    };
    static const Pair names[] = {
        {"($Inbox)\\", "Inbox"},     {"($All)\\", "All"},           {"($Sent)\\", "Sent"},
        {"($Trash)\\", "Trash"},     {"My Contacts", "My Contacts"}, {"($Alarms)\\", "Alarms"},
        {"($JunkMail)\\", "Junk Mails"}, {"($Drafts)\\", "Drafts"},  {"($Meetings)\\", "Calendar"},
        {"($ToDo)\\", "To Do"},      {"($Journal)\\", "Journals"},  {"($Follow-Up)\\", "Follow Up"},
    };
    for (const Pair& p : names)
        if (storedName == QLatin1String(p.stored)) return QString::fromLatin1(p.output);
    return storedName;
}

int FolderBarPosition(int done, int total) { return total > 0 ? (100 * done) / total : 0; }

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString FolderDisplayPath(const QString& storedName) {
    QStringList levels;
    for (const QString& level : storedName.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
        levels.append(SystemFolderDisplayNames(level));
    return levels.join(QLatin1Char('/'));
}

RunEnd JudgeRun(const RunFacts& facts) {
    if (facts.stopped) return RunEnd::Aborted;
    const bool counted = facts.found >= 0 && facts.written >= 0;
    if ((counted && facts.written == 0) || (facts.sourcesSaved == 0 && facts.sourcesFailed > 0))
        return RunEnd::NothingSaved;
    if (facts.failures > 0 || facts.sourcesFailed > 0) return RunEnd::CompleteWithErrors;
    return RunEnd::Complete;
}

}  // namespace SaveRunRules

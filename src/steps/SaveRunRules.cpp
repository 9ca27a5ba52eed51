#include "steps/SaveRunRules.h"

#include "notes/NotesFolderEntry.h"
#include "steps/SaveTexts.h"

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

QString CountWords(int found, int written, int failed, int notConverted) {
    QString text = SaveTexts::kCounts.arg(found).arg(written).arg(failed);
    if (notConverted > 0) text += SaveTexts::kCountNotConverted.arg(notConverted);
    return text;
}

QString RowText(const QString& status, const QString& detail) {
    return detail.isEmpty() ? status : status + QStringLiteral(" \u2013 ") + detail;
}

RowView JudgeSource(const SourceFacts& facts) {
    RowView view;
    const QString counts =
        facts.counted ? CountWords(facts.found, facts.written, facts.failed, facts.notConverted) : QString();
    auto joined = [&counts](const QString& reason) {
        if (counts.isEmpty()) return reason;
        if (reason.isEmpty()) return counts;
        return reason + QStringLiteral("; ") + counts;
    };
    switch (facts.result) {
    case SourceFacts::NotReached:
        view.status = SaveTexts::kPending;
        view.detail = SaveTexts::kNotReached;
        view.look = RowLook::NotReached;
        return view;
    case SourceFacts::Failed:
        view.status = SaveTexts::kFailed;
        view.detail = joined(facts.reason);
        view.look = RowLook::Failed;
        return view;
    case SourceFacts::NothingSaved:
        view.status = SaveTexts::kNothingSaved;
        view.detail = joined(facts.reason);
        view.look = RowLook::NothingWritten;
        return view;
    case SourceFacts::Cancelled:
        view.status = SaveTexts::kCancelled;
        view.detail = joined(QString());
        view.look = RowLook::Stopped;
        return view;
    case SourceFacts::Saved:
        break;
    }
    if (!facts.reason.isEmpty()) {
        // Ended early: every item kept failing for a cause that stays.
        view.status = SaveTexts::kFailed;
        view.detail = joined(facts.reason);
        view.look = RowLook::Failed;
        return view;
    }
    view.status = SaveTexts::kCompleted;
    view.detail = counts;
    if (facts.counted && facts.written == 0 && facts.failed > 0) view.look = RowLook::NothingWritten;
    else if (facts.counted && facts.failed > 0) view.look = RowLook::DoneWithErrors;
    else view.look = RowLook::Done;
    return view;
}

}  // namespace SaveRunRules

namespace SaveRunRules {

int ItemsFound(const RunTally& tally) { return tally.found + tally.outsideDateRange; }

int ItemsDone(const RunTally& tally) {
    return tally.written + tally.failed + tally.notConverted + tally.outsideDateRange;
}

ItemBar FolderItemBar(int found0, int done0, const RunTally& now) {
    ItemBar bar;
    const int n = ItemsFound(now) - found0;
    if (n <= 0) return bar;
    const int done = qBound(0, ItemsDone(now) - done0, n);
    bar.position = done * 100 / n;
    bar.text = SaveTexts::kItemBar.arg(qMin(done + 1, n)).arg(n);
    return bar;
}

}  // namespace SaveRunRules

#pragma once

#include "app/RunTally.h"

#include <QString>

// Small rules of the save run.
namespace SaveRunRules {

// The name a stored Notes folder is shown and checked under ("($Inbox)\\" -> "Inbox").
QString OutputFolderName(const QString& storedName);

// The folder bar's position after folder `done` of `total` (integer percent).
int FolderBarPosition(int done, int total);

// Joins a folder and a name with exactly one "/" between them.
QString JoinPath(const QString& folder, const QString& name);

// A stored Notes folder as the folder tree shows it: each level by its display
// name ("($Inbox)\\" -> "Inbox", "Projects\\2012\\" -> "Projects/2012").
QString FolderDisplayPath(const QString& storedName);

// A folder's item bar follows what has been done, not what has been handed
// on: items found (those outside the date range among them) and items done
// (written, failed, not converted, outside the date range) in a tally.
int ItemsFound(const RunTally& tally);
int ItemsDone(const RunTally& tally);
// The bar over a folder whose items start at `found0`/`done0` of the run's
// counts: its position (percent) and its "Saving Item i of n ..." text
// (empty while the folder's items are not counted yet).
struct ItemBar {
    int position = 0;
    QString text;
};
ItemBar FolderItemBar(int found0, int done0, const RunTally& now);

// How a run ended: its caption, its status line and its icon follow from it.
enum class RunEnd { Complete, CompleteWithErrors, NothingSaved, Aborted };
struct RunFacts {
    bool stopped = false;
    int found = -1;          // items found, -1 when not counted
    int written = -1;        // documents written, -1 when not counted
    int failures = 0;        // items, folders or sources named as failed
    int sourcesFailed = 0;   // sources of a list export that could not be saved
    int sourcesSaved = -1;   // sources whose folders were all saved, -1 when not a list export
};
RunEnd JudgeRun(const RunFacts& facts);

// How one source's row of a list export reads and looks once its turn is over.
enum class RowLook { Waiting, Working, Done, DoneWithErrors, NothingWritten, Failed, Stopped, NotReached };
struct SourceFacts {
    enum Result { Saved, Cancelled, Failed, NotReached, NothingSaved };
    Result result = Saved;
    bool counted = false;  // the counts below are known
    int found = 0, written = 0, failed = 0, notConverted = 0;
    QString reason;  // why the source failed or its run ended early
};
struct RowView {
    QString status;  // the list's status word
    QString detail;  // why, and the counts
    RowLook look = RowLook::Waiting;
};
RowView JudgeSource(const SourceFacts& facts);
// "12 found, 10 written, 2 failed[, 3 not converted]", as the command line counts.
QString CountWords(int found, int written, int failed, int notConverted);
// The list's cell: the status word, then what it rests on.
QString RowText(const QString& status, const QString& detail);

}  // namespace SaveRunRules

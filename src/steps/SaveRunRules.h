#pragma once

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

}  // namespace SaveRunRules

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

}  // namespace SaveRunRules

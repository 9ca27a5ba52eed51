#pragma once

#include <QString>

// Rules of the destination dialogs: sub-folder names and path limits.
namespace DestinationRules {

// The chosen folder's path must be at most this long.
constexpr int kMaxChosenPath = 240;
// The output root of the destination dialog must be shorter than this.
constexpr int kSelectRootLimit = 246;
// The output root of the long-path dialog must be shorter than this.
constexpr int kLongPathRootLimit = 245;
// A Notes folder's output folder longer than this asks for another place.
constexpr int kMaxFolderPath = 244;

QString WithTrailingSlash(const QString& path);

// `stem` when nothing of that name exists in `folder`, else stem followed by
// the smallest number 0, 1, 2, ... that is free.
QString UniqueSubfolderName(const QString& folder, const QString& stem);

// Missing: an absolute path with nothing there (the dialog offers to make
// it); ReadOnly: a folder this user cannot write into; NotAccessible: a
// relative path, a file, or a folder that cannot be looked into.
enum class SelectResult { Ok, EmptyPath, NotAccessible, Missing, ReadOnly, FolderTooLong, RootTooLong };
// Checks a chosen folder of the destination dialog; on Ok gives the new
// sub-folder name and the output root (folder + "/" + name).
SelectResult CheckSelectDestination(const QString& path, QString* name, QString* root);

// Checks the long-path dialog's input for the Notes folder `notesFolder`;
// on success gives the folder with a trailing slash and the new sub-folder name.
bool CheckLongPathDestination(const QString& path, const QString& notesFolder, QString* folder, QString* name);

// A Notes folder name as one directory name ("Projects\\2012\\" -> "Projects_2012").
QString FolderStem(const QString& notesFolder);

}  // namespace DestinationRules

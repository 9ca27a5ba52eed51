#pragma once

#include <QString>

// The output tree: root = destination folder + "/" + sub-folder name + "/";
// one directory per Notes folder below it; "/" separates levels on disk.

// The root of a run; a "/" is added only where the text does not end in one.
QString OutputRootFor(const QString& destinationFolder, const QString& subFolderName);

// The output name of a Notes folder given with its trailing backslash: a
// system folder ("($Inbox)\\") becomes its display name ("Inbox/"); any other
// name keeps its levels, each a directory ("Projects\\2012\\" ->
// "Projects/2012/"). A level named "." or ".." gets "_" for its dots (it
// would leave the root otherwise) and an over-long level is cut to 255 bytes.
QString OutputFolderFor(const QString& notesFolderName);

// Creates every directory along the path (failures, such as an existing
// directory, are ignored). False only when the path holds no "/".
bool MakeDirectories(const QString& path);

// Creates the output folder `relative` (levels separated by "/") below
// `root`, level by level, and returns the folder used, with a trailing "/".
// The root is created when missing. Nothing below the root is ever entered
// through a link: a level whose name is taken by a link, a file or anything
// else but a real directory gets the next free numbered name instead
// ("Inbox0", "Inbox1", ...), like any other taken name. Empty, with the errno
// in *error and the path that failed in *failedPath, when a directory cannot
// be created.
QString MakeOutputFolder(const QString& root, const QString& relative, int* error = nullptr,
                         QString* failedPath = nullptr);

// Whether every level of `folder` below `root` is still a real directory (not
// a link, not gone).
bool OutputFolderIntact(const QString& root, const QString& folder);

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

#pragma once

#include <QString>

// Checks of paths the user names (a database file, a destination folder)
// that turn file-system refusals into plain texts naming the path and cause.

// Empty when `path` may be opened as a database file; otherwise why not:
// a FIFO, a device or a socket is refused (reading one could block for
// ever), and a folder on the way that may not be entered says so instead of
// the file seeming absent. A path that simply does not exist, and a
// directory, give empty text (the database layer reports them).
QString DatabaseFileProblem(const QString& path);

// Creates `root` and its missing parents. False, with the reason in
// *problem, when it is not a usable directory: names the first folder on the
// way that is not a directory, may not be entered or not be written.
bool MakeDestination(const QString& root, QString* problem);

// Why a file or directory could not be made at `path`, given the errno of the
// failure: the cause in words and, for a permission error, the folder whose
// permission is lacking.
QString DescribeWriteFailure(const QString& path, int error);

// The errno text in lower case ("permission denied").
QString ErrorWords(int error);

#pragma once

#include <QString>
#include <QStringList>

// Document and directory paths in the output tree: length caps and numbered
// names for names already taken. Nothing existing is ever reused.

// A path of 252 characters or more whose last "/" is at position 245 or
// before loses characters just before its last "." (the name's end) until it
// is 251 characters long. Then the last name is cut to 255 bytes of UTF-8,
// keeping its extension.
QString CapPathLength(const QString& path);

// The path itself when nothing exists there (a dangling link counts as
// existing); otherwise stem + 0, 1, 2, ... + extension where the stem is the
// file name without its extension, cut as needed to stay within 255 bytes. The
// search resumes where the last one for the same stem ended (names are only
// ever added during a run), so a thousand items of one subject stay fast.
QString UniqueDocPath(const QString& path, const QString& extension = QStringLiteral(".doc"));

// The path itself when nothing exists there; otherwise path + "0", "1", ...
QString UniqueDirectoryPath(const QString& path);

// The full document path of an item: output folder + CleanFileName(name) +
// extension (".doc", ".docx", ".pdf"), capped, then made unique.
QString DocumentPathFor(const QString& outputFolder, const QString& itemName,
                        const QString& extension = QStringLiteral(".doc"));

// The attachment directory of an item: output folder + CleanNameNine(name) +
// "Attachments", made unique (not created).
QString AttachmentDirectoryFor(const QString& outputFolder, const QString& itemName);

// What is on disk under the names DocumentPathFor / AttachmentDirectoryFor
// give an item in the folder: the plain name, then its numbered names up to
// the first number that is free, in that order, each one that is there (a
// regular file, a directory), links left out.
QStringList ExistingDocumentPathsFor(const QString& outputFolder, const QString& itemName,
                                     const QString& extension = QStringLiteral(".doc"));
QStringList ExistingAttachmentDirectoriesFor(const QString& outputFolder, const QString& itemName);

// Whether anything (file, directory, link, even a dangling one) is at the path.
bool PathIsTaken(const QString& path);

// Paths chosen for documents that are not written yet (several office
// instances write while later items are named): they count as taken, for
// every name search, until released.
void ReservePath(const QString& path);
void ReleasePath(const QString& path);

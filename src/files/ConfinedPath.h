#pragma once

#include <QString>

#include <functional>

#include <sys/stat.h>

// Files below a root, reached without following links: the root is opened as
// given, every component below it with O_NOFOLLOW relative to its parent
// (openat), so a link anywhere on the way, or a component swapped for one,
// ends the walk. Relative paths are "a/b/c": no empty, "." or ".." parts.
namespace ConfinedPath {

// Which file it is: device and inode, as "dev:ino" in text.
struct Identity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool valid() const { return device != 0 || inode != 0; }
    bool operator==(const Identity& o) const { return device == o.device && inode == o.inode; }
    QString toString() const;
    static Identity fromString(const QString& text);
    static Identity of(const struct stat& info);
};

// Whether a relative path has only plain components.
bool isPlainRelative(const QString& relative);

// lstat of root/relative reached without links; false when a component is
// missing, a link, or not a directory on the way.
bool statBelow(const QString& root, const QString& relative, struct stat& info);

// Removes root/relative when it is a regular file reached without links and
// `accept` agrees on its lstat. True when it was removed.
bool removeFileBelow(const QString& root, const QString& relative,
                     const std::function<bool(const struct stat&)>& accept);

// Empties and removes the directory root/relative when it is reached without
// links and `accept` agrees on its lstat: its regular files that belong to
// this user (a file with other hard links loses only this name) and links
// themselves (never what they point to) go; anything else, sub-directories
// included, stays, and so does the directory then. True when the directory is gone.
bool removeDirectoryBelow(const QString& root, const QString& relative,
                          const std::function<bool(const struct stat&)>& accept);

// Removes the directory root/relative when it is empty and reached without links.
bool removeEmptyDirectoryBelow(const QString& root, const QString& relative);

}  // namespace ConfinedPath

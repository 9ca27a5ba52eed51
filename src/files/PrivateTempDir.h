#pragma once

#include <QString>

// The process's own temporary directory (mode 0700, created on first use,
// removed when the process ends). Fixed-name scratch files ("RtfTable.rtf",
// "NewRtf.rtf", ...) live here instead of the shared /tmp, so that other users
// and other runs can neither read, pre-create nor clash with them.
//
// Its name is "tesseldoc-<pid>-XXXXXX" in the system temporary directory: a
// later run can tell the directory of a process that died (StaleFileCleaner).
class PrivateTempDir {
  public:
    // Where it is made: $TMPDIR when set, else /tmp, as given (a TMPDIR that
    // does not exist is not replaced by another directory).
    static QString baseDirectory();
    // Absolute path without trailing "/"; empty when the directory could not be created.
    static QString path();
    // path() + "/" + name; empty when the directory could not be created.
    static QString filePath(const QString& name);
    // Whether the directory exists and can be written.
    static bool usable();
    // Why it cannot be used, for people: names the temporary directory and the cause.
    static QString problem();
    // Removes the directory and everything in it now (a stopping run); later
    // calls of path() give an empty text.
    static void removeNow();
};

#pragma once

#include <QString>

// The process's own temporary directory (mode 0700, created on first use,
// removed when the process ends). Fixed-name scratch files ("RtfTable.rtf",
// "NewRtf.rtf", ...) live here instead of the shared /tmp, so that other users
// and other runs can neither read, pre-create nor clash with them.
class PrivateTempDir {
  public:
    // Absolute path without trailing "/"; empty when the directory could not be created.
    static QString path();
    // path() + "/" + name; empty when the directory could not be created.
    static QString filePath(const QString& name);
};

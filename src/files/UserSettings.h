#pragma once

#include <QString>

#include <memory>

class QSettings;

// Where the programs keep a user's settings: $XDG_CONFIG_HOME/tesseldoc/tesseldoc.conf
// (~/.config/tesseldoc/tesseldoc.conf). QSettings with kOrganisation and
// kApplication lands there, and falls back to the administrator's
// tesseldoc/tesseldoc.conf under $XDG_CONFIG_DIRS (/etc/xdg).
//
// Earlier versions kept them in "Local AppWizard-Generated Applications1/Tesseldoc.conf"
// in the same folder; open() moves that file once to the new place.
class UserSettings {
public:
    static constexpr char kOrganisation[] = "tesseldoc";
    static constexpr char kApplication[] = "tesseldoc";

    // The user's settings, after moving the old file when that has not been done.
    static std::unique_ptr<QSettings> open();

    // $XDG_CONFIG_HOME (default ~/.config), as QSettings resolves it.
    static QString configHome();
    static QString filePath();
    static QString oldFilePath();

    enum class Move { NothingToMove, Moved, KeptNew, Failed };
    // Moves the old settings file to filePath() when it exists and the new one
    // does not. The content is copied byte for byte (every group, key and
    // comment); the old file is removed only after the copy is complete. When
    // both exist the new one wins and the old one stays untouched. The first
    // call in a process does the work; later ones return its result.
    static Move moveOldFile();
    // The same without the once-per-process memory (tests).
    static Move moveOldFileNow();
};

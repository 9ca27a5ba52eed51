#pragma once

#include <QStringList>

class QCoreApplication;

// The wizard's command line: --help, --version and the databases (.nsf and
// .dxl files, as a file manager passes them) that Step 1 lists at start.
class WizardCommandLine {
public:
    // True when the arguments ask only for the help or the version, which are
    // answered without a display.
    static bool asksHelpOrVersion(int argc, char** argv);
    // Parses the application's arguments; --help and --version print their
    // answer and end the program, as does an unknown option (status 1).
    // Returns the databases given, as absolute paths (file: URLs too).
    static QStringList databases(const QCoreApplication& app);
    // The absolute, clean path an argument names ("file:///d/a.nsf" too).
    static QString absolutePath(const QString& argument);
};

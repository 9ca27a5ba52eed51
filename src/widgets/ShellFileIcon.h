#pragma once

#include <QIcon>
#include <QString>

// The desktop's small icon for a file, chosen by its name alone (the file is
// never opened); a generic file icon when the theme has none.
QIcon ShellFileIcon(const QString& path);

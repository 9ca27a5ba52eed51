#pragma once

#include <QIcon>
#include <QString>

// Makes the GUI's compiled-in resources available (they live in a static library).
void InitGuiResources();
// The program's icon.
QIcon ProductIcon();
// The picture of a command: "add", "domino", "export", "help", "remove",
// "removeall", "next", "back", "exit", "stop", "preview", "browse".
QIcon CommandIcon(const QString& name);

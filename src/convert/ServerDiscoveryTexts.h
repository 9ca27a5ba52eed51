#pragma once

#include <QString>

// The texts of server and database discovery, letter for letter.
namespace ServerDiscoveryTexts {
inline const QString kNoServer = QStringLiteral("Unable to find server, please try after some time");
inline const QString kNoDatabaseList =
    QStringLiteral("Unable to find database from server, please try after some time");
inline const QString kNoFileFound = QStringLiteral("No file found in selected server");
// When no server is configured yet (an empty list would otherwise show an empty box).
inline const QString kNoServerKnown = QStringLiteral(
    "No Domino server is known yet. Type the server's name or address and click \"Add Domino Server\".");
}  // namespace ServerDiscoveryTexts

#pragma once

#include <QString>

// The texts of the Domino server browser, letter for letter.
namespace DominoBrowserTexts {
inline const QString kCaption = QStringLiteral("Domino Server File Selection");
inline const QString kBtnAddServer = QStringLiteral("Add Domino Server");
inline const QString kBtnSearch = QStringLiteral("Search Domino Server");
inline const QString kColServers = QStringLiteral("Domino Server Name(s)");
inline const QString kColDatabases = QStringLiteral("Domino Server NSF File(s)");
inline const QString kBtnSelectAll = QStringLiteral("Select All");
inline const QString kBtnUnselectAll = QStringLiteral("Unselect All");
inline const QString kBtnAdd = QStringLiteral("Add");
inline const QString kBtnFinish = QStringLiteral("Finish");
inline const QString kBtnStop = QStringLiteral("Stop");
inline const QString kGroupStep1 = QStringLiteral(
    "Step 1: Find or Add the Domino Server Name , Then select the Domino Server Name from the list");
inline const QString kGroupStep2 =
    QStringLiteral("Step 2: Select the nsf files belonging to the selected Domino Server and click Add button");

inline const QString kEnterServerName = QStringLiteral("Please provide domino server name or IP address.");
inline const QString kInvalidServerName = QStringLiteral("Please enter valid domino server name");
// What a server may be typed as, after the refusal above.
inline const QString kServerNameHint = QStringLiteral(
    "\r\n\r\nType the server's host name or IP address, optionally with a port (host:port), or its address "
    "(https://host:port).");
inline const QString kServerExists = QStringLiteral(" Domino Server already exist in the list");
inline const QString kAskEnumerate = QStringLiteral(
    "The enumeration of server information can take several minutes\r\n\r\nDo you want to enumerate the server now?");
inline const QString kEnumeratingServers = QStringLiteral("Please wait enumerating server");
inline const QString kFindingDatabases = QStringLiteral("Please wait while finding NSF file in server");
inline const QString kNoDatabasesInList = QStringLiteral("There are No Domino Server NSF file(s) in the list.");
inline const QString kSelectFile = QStringLiteral("Please select file from the list");
inline const QString kFilesAdded = QStringLiteral(
    "Selected File(s) are added, If you want to select file(s) from other Domino Server then click on that Domino "
    "Server Name in the list or click on Finish button to proceed with the Migration process");
inline const QString kAskStop = QStringLiteral("Are you sure you want to stop current process ?");
inline const QString kWaitForSearch = QStringLiteral("Please wait while serching finish");
// Databases the server listed that cannot be read (the data service switched off, no access...).
inline const QString kDatabasesLeftOut = QStringLiteral("These databases cannot be read and were left out:");
inline const QString kMoreLeftOut = QStringLiteral("... and %1 more");
}  // namespace DominoBrowserTexts

// The sign-in dialog of a Domino server.
namespace DominoBrowserTexts {
inline const QString kPasswordCaption = QStringLiteral("Sign in to Domino Server");
inline const QString kPasswordIntro = QStringLiteral("The Domino server <b>%1</b> (%2) asks for a name and password.");
inline const QString kPasswordRefused =
    QStringLiteral("The server refused the name and password given last. Please check them.");
inline const QString kUserLabel = QStringLiteral("&Name:");
inline const QString kPasswordLabel = QStringLiteral("&Password:");
inline const QString kRememberPassword = QStringLiteral("&Remember the password in the desktop's keyring");
inline const QString kNoKeyring =
    QStringLiteral("No keyring answers on this desktop: the password is kept until the program ends.");
}  // namespace DominoBrowserTexts

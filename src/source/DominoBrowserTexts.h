#pragma once

#include <QString>

#include "widgets/UiText.h"

// The texts of the Domino server browser, letter for letter.
namespace DominoBrowserTexts {
inline constexpr UiText kCaption{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Domino Server File Selection")};
inline constexpr UiText kBtnAddServer{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Add Domino Server")};
inline constexpr UiText kBtnSearch{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Search Domino Server")};
inline constexpr UiText kColServers{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Domino Server Name(s)")};
inline constexpr UiText kColDatabases{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Domino Server NSF File(s)")};
inline constexpr UiText kBtnSelectAll{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Select All")};
inline constexpr UiText kBtnUnselectAll{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Unselect All")};
inline constexpr UiText kBtnAdd{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Add")};
inline constexpr UiText kBtnFinish{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Finish")};
inline constexpr UiText kBtnStop{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Stop")};
inline constexpr UiText kGroupStep1{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Step 1: Find or Add the Domino Server Name , Then select the Domino Server Name from the list")};
inline constexpr UiText kGroupStep2{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Step 2: Select the nsf files belonging to the selected Domino Server and click Add button")};

inline constexpr UiText kEnterServerName{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Please provide domino server name or IP address.")};
inline constexpr UiText kInvalidServerName{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Please enter valid domino server name")};
// What a server may be typed as, after the refusal above.
inline constexpr UiText kServerNameHint{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "\r\n\r\nType the server's host name or IP address, optionally with a port (host:port), or its address "
    "(https://host:port).")};
inline constexpr UiText kServerExists{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", " Domino Server already exist in the list")};
inline constexpr UiText kAskEnumerate{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The enumeration of server information can take several minutes\r\n\r\nDo you want to enumerate the server now?")};
inline constexpr UiText kEnumeratingServers{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Please wait enumerating server")};
inline constexpr UiText kFindingDatabases{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Please wait while finding NSF file in server")};
inline constexpr UiText kNoDatabasesInList{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "There are No Domino Server NSF file(s) in the list.")};
inline constexpr UiText kSelectFile{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Please select file from the list")};
inline constexpr UiText kFilesAdded{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Selected File(s) are added, If you want to select file(s) from other Domino Server then click on that Domino "
    "Server Name in the list or click on Finish button to proceed with the Migration process")};
inline constexpr UiText kAskStop{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Are you sure you want to stop current process ?")};
inline constexpr UiText kWaitForSearch{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Please wait while serching finish")};
// Databases the server listed that cannot be read (the data service switched off, no access...).
inline constexpr UiText kDatabasesLeftOut{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "These databases cannot be read and were left out:")};
inline constexpr UiText kMoreLeftOut{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "... and %1 more")};
// A server certificate the system does not trust: the question to trust it, or why it cannot be.
inline constexpr UiText kCertUntrusted{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The certificate of the Domino server %1 (%2) is not trusted: %3.")};
inline constexpr UiText kCertIssuedBy{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The server's certificate is issued to %1 by this authority:")};
inline constexpr UiText kCertDetails{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Issued to: %1\r\nIssued by: %2\r\nValid from %3 to %4\r\nSHA-256 fingerprint:\r\n%5")};
inline constexpr UiText kCertAskTrust{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Compare the fingerprint with the one your administrator gives. Trust this certificate for %1 from now on?")};
inline constexpr UiText kCertRefused{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The certificate of the Domino server %1 (%2) is refused: %3.")};
inline constexpr UiText kCertOtherName{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Reach the server under a name its certificate gives (%1).")};
inline constexpr UiText kCertNotKept{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The certificate could not be kept: %1")};
// Why it could not (its %1), besides the settings' and the file system's own words.
inline constexpr UiText kCertNone{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "there is no certificate to trust")};
inline constexpr UiText kCertFolderNotMade{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "%1 cannot be made")};
inline constexpr UiText kCertSettingsNotWritten{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "the settings cannot be written")};
}  // namespace DominoBrowserTexts

// The sign-in dialog of a Domino server.
namespace DominoBrowserTexts {
inline constexpr UiText kPasswordCaption{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "Sign in to Domino Server")};
inline constexpr UiText kPasswordIntro{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The Domino server <b>%1</b> (%2) asks for a name and password.")};
inline constexpr UiText kPasswordRefused{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "The server refused the name and password given last. Please check them.")};
inline constexpr UiText kUserLabel{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "&Name:")};
inline constexpr UiText kPasswordLabel{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "&Password:")};
inline constexpr UiText kRememberPassword{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "&Remember the password in the desktop's keyring")};
inline constexpr UiText kNoKeyring{"DominoBrowserTexts", QT_TRANSLATE_NOOP("DominoBrowserTexts", "No keyring answers on this desktop: the password is kept until the program ends.")};
}  // namespace DominoBrowserTexts

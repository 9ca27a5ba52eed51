#pragma once

#include <QString>

// The texts the application shell shows, letter for letter.
namespace AppTexts {
inline const QString kProductName = QStringLiteral("Tesseldoc");
inline const QString kVersion = QStringLiteral("ver 12.06.01");
inline const QString kFrameTitle = QStringLiteral("Tesseldoc ver 12.06.01");
inline const QString kInstanceGuid = QStringLiteral("{991267F0-DCC6-49b5-9C61-DE92275C3388}");
// QSettings(kRegistryKey, kSettingsApplication) is files/UserSettings' file.
inline const QString kRegistryKey = QStringLiteral("tesseldoc");
inline const QString kSettingsApplication = QStringLiteral("tesseldoc");
inline const QString kAnotherInstance = QStringLiteral("Another Instance of Tesseldoc is running.");
inline const QString kNoNotes =
    QStringLiteral("Unable to locate Lotus notes, please install lotusnotes on this computer");
inline const QString kStopSavingFirst = QStringLiteral("Please stop the current saving process and then exit.");
inline const QString kConfirmClose = QStringLiteral("Are you sure , you want to close the application?");
inline const QString kHelpFileName = QStringLiteral("Tesseldoc.html");
inline const QString kHelpMissing = QStringLiteral("Tesseldoc.html file not exist, please reinstall software ");

// Menu texts, status-bar prompts and tooltips.
inline const QString kMenuFile = QStringLiteral("&File");
inline const QString kMenuTools = QStringLiteral("&Tools");
inline const QString kMenuHelp = QStringLiteral("&Help");
inline const QString kCmdAddFiles = QStringLiteral("&Add File(s)");
inline const QString kCmdAddDomino = QStringLiteral("Add &Domino File(s)");
inline const QString kCmdExport = QStringLiteral("&Export");
inline const QString kCmdExit = QStringLiteral("E&xit");
inline const QString kCmdAdvance = QStringLiteral("Advance Settings");
inline const QString kCmdHelp = QStringLiteral("&Help");
inline const QString kCmdHomePage = QStringLiteral("Software home page");
inline const QString kCmdAbout = QStringLiteral("&About Tesseldoc");
inline const QString kPromptAddFiles = QStringLiteral("Add File(s)\n&Add File(s)");
inline const QString kPromptAddDomino = QStringLiteral("Add Domino File(s)\nAdd &Domino File(s)");
inline const QString kPromptExport = QStringLiteral("Export\n&Export");
inline const QString kPromptExit = QStringLiteral("Quit the application");
inline const QString kPromptHelp = QStringLiteral("Click to open software help\n&Help");
inline const QString kPromptHomePage = QStringLiteral("Click to visit software homepage");
inline const QString kPromptAbout = QStringLiteral("Display program information, version number and copyright");

// Addresses of the product (home page, sales and support).
inline const QString kHomePageUrl = QStringLiteral("https://tesseldoc.org/");
inline const QString kSalesMail = QStringLiteral("sales@tesseldoc.org");
inline const QString kSupportMail = QStringLiteral("support@tesseldoc.org");

// Settings sections and entries.
inline const QString kSettingsAdvanced = QStringLiteral("CDlgAdvancesETTINGS");
inline const QString kSettingsCheck = QStringLiteral("Check");
inline const QString kSettingsCommandBars = QStringLiteral("CommandBars");
// The window's place and size, the splitters, and the last choices of the dialogs.
inline const QString kSettingsWindow = QStringLiteral("Window");
inline const QString kSettingsGeometry = QStringLiteral("Window/Geometry");
inline const QString kSettingsMaximized = QStringLiteral("Window/Maximized");
inline const QString kSettingsFolderSplitter = QStringLiteral("Window/FolderSplitter");
inline const QString kSettingsItemSplitter = QStringLiteral("Window/ItemSplitter");
inline const QString kSettingsLastDestination = QStringLiteral("Choices/LastDestination");
inline const QString kSettingsLastSavingMode = QStringLiteral("Choices/LastSavingMode");

// The wizard's steps.
inline const QString kStepName[3] = {QStringLiteral("Step 1"), QStringLiteral("Step 2"), QStringLiteral("Step 3")};
inline const QString kStepTitle[3] = {
    QStringLiteral("Please select NSF file(s) or Domino file(s) to convert "),
    QStringLiteral("Preview Item(s) of NSF database (in case of single NSF file selection only)"),
    QStringLiteral("Select Destination & Saving mode")};
inline const QString kPageTitle[3] = {QString(), QStringLiteral("Folder Selection"), QStringLiteral("Saving Progress")};

// Wizard buttons.
inline const QString kBtnNext = QStringLiteral("&Next");
inline const QString kBtnBack = QStringLiteral("&Back");
inline const QString kBtnExit = QStringLiteral("E&xit");
inline const QString kBtnStop = QStringLiteral("S&top");
inline const QString kBtnPreview = QStringLiteral("&Preview");
inline const QString kBtnExport = QStringLiteral("&Export");
}  // namespace AppTexts

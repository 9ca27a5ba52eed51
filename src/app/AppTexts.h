#pragma once

#include <QString>

#include "widgets/UiText.h"

// The texts the application shell shows, letter for letter.
namespace AppTexts {
inline const QString kProductName = QStringLiteral("Tesseldoc");
inline const QString kVersion = QStringLiteral("ver 12.06.01");
inline const QString kFrameTitle = QStringLiteral("Tesseldoc ver 12.06.01");
inline const QString kInstanceGuid = QStringLiteral("{991267F0-DCC6-49b5-9C61-DE92275C3388}");
// QSettings(kRegistryKey, kSettingsApplication) is files/UserSettings' file.
inline const QString kRegistryKey = QStringLiteral("tesseldoc");
inline const QString kSettingsApplication = QStringLiteral("tesseldoc");
inline constexpr UiText kAnotherInstance{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Another Instance of Tesseldoc is running.")};
inline constexpr UiText kNoNotes{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Unable to locate Lotus notes, please install lotusnotes on this computer")};
inline constexpr UiText kStopSavingFirst{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Please stop the current saving process and then exit.")};
inline constexpr UiText kConfirmClose{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Are you sure , you want to close the application?")};
inline const QString kHelpFileName = QStringLiteral("Tesseldoc.html");
inline constexpr UiText kHelpMissing{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Tesseldoc.html file not exist, please reinstall software ")};

// Menu texts, status-bar prompts and tooltips.
inline constexpr UiText kMenuFile{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&File")};
inline constexpr UiText kMenuTools{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Tools")};
inline constexpr UiText kMenuHelp{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Help")};
inline constexpr UiText kCmdAddFiles{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Add File(s)")};
inline constexpr UiText kCmdAddDomino{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Add &Domino File(s)")};
inline constexpr UiText kCmdExport{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Export")};
inline constexpr UiText kCmdExit{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "E&xit")};
inline constexpr UiText kCmdAdvance{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Advance Settings")};
inline constexpr UiText kCmdHelp{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Help")};
inline constexpr UiText kCmdHomePage{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Software home page")};
inline constexpr UiText kCmdAbout{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&About Tesseldoc")};
inline constexpr UiText kPromptAddFiles{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Add File(s)\n&Add File(s)")};
inline constexpr UiText kPromptAddDomino{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Add Domino File(s)\nAdd &Domino File(s)")};
inline constexpr UiText kPromptExport{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Export\n&Export")};
inline constexpr UiText kPromptExit{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Quit the application")};
inline constexpr UiText kPromptHelp{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Click to open software help\n&Help")};
inline constexpr UiText kPromptHomePage{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Click to visit software homepage")};
inline constexpr UiText kPromptAbout{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Display program information, version number and copyright")};

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
inline constexpr UiText kStepName[3] = {UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Step 1")},
    UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Step 2")},
    UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Step 3")}};
inline constexpr UiText kStepTitle[3] = {UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Please select NSF file(s) or Domino file(s) to convert ")},
    UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Preview Item(s) of NSF database (in case of single NSF file selection only)")},
    UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Select Destination & Saving mode")}};
inline constexpr UiText kPageTitle[3] = {UiText{},
    UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Folder Selection")},
    UiText{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "Saving Progress")}};

// Wizard buttons.
inline constexpr UiText kBtnNext{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Next")};
inline constexpr UiText kBtnBack{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Back")};
inline constexpr UiText kBtnExit{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "E&xit")};
inline constexpr UiText kBtnStop{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "S&top")};
inline constexpr UiText kBtnPreview{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Preview")};
inline constexpr UiText kBtnExport{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Export")};
}  // namespace AppTexts

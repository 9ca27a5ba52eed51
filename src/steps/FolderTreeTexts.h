#pragma once

#include <QString>

#include "widgets/UiText.h"

// The texts of the folder selection step, its preview pane and its dialogs, letter for letter.
namespace FolderTreeTexts {
inline constexpr UiText kRootNode{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "NSF File")};
inline constexpr UiText kClickFolder{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "  Click any folder to view Items.")};
inline constexpr UiText kColumns[5] = {UiText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "From")},
    UiText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Subject")},
    UiText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Date")},
    UiText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Size in Bytes")},
    UiText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Attachment")}};
inline constexpr UiText kSaveSelected{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "&Save Selected")};
inline constexpr UiText kSaveAll{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Sa&ve All")};
inline constexpr UiText kSaveSelectedTip{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Save selected item(s) from the list.")};
inline constexpr UiText kSaveAllTip{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Save All item(s) of the list.")};

inline constexpr UiText kEnumerating{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please wait while enumerating folders")};
inline constexpr UiText kSelectFolderToExport{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please select folder(s) from the left pane to export.")};
inline constexpr UiText kWordMissing{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "LibreOffice instance not found. LibreOffice must be configured on the system to run the export process.")};
inline constexpr UiText kNoItemsToSave{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "No Item(s) selected from left pane to save.")};
inline constexpr UiText kSelectItems{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please first select item(s) from list.")};
inline constexpr UiText kStopQuestion{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Are you sure you want to stop current process ?")};

// "Saving Item(s)"
inline constexpr UiText kSavingItemsTitle{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Saving Item(s)")};
inline constexpr UiText kSavingItemsText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please wait while current process is finishes")};
inline constexpr UiText kSavingItemsStop{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "S&top")};
inline constexpr UiText kSavingItemsStopTip{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Stop current processing.")};
inline constexpr UiText kSavingItemsQuestion{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Are you sure, you want stop the saving files ?")};
inline constexpr UiText kCaptionAborted{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Process aborted by user")};
inline constexpr UiText kCaptionComplete{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Saving Complete")};

// Default document names, by RenderItem type code (0..4), then any other.
inline const QString kDefaultNames[6] = {QStringLiteral("EmailName"),   QStringLiteral("CalenderName"),
                                         QStringLiteral("TaskName"),    QStringLiteral("ContectName"),
                                         QStringLiteral("JournalName"), QStringLiteral("NsfItemName")};
// Read back from a contact's text, never translated.
inline const QString kFullNameLabel = QStringLiteral("Full Name : ");

// The large-body question.
inline const QString kLargeItemCaption = QStringLiteral("Tesseldoc");
inline constexpr UiText kLargeItemText{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Text content of the item is too large to display, It will take some time to display , Are you sure , you want "
    "to see preview of this item?")};
inline constexpr UiText kDontShowAgain{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Don't show this message again")};

// Preview pane messages, by message state.
enum PaneMessage { MsgEnumerating = 0, MsgNoItem = 2, MsgSelectItem = 3, MsgGenerating = 4, MsgNoBody = 5,
                   MsgFillingList = 6, MsgNoFolders = 7, MsgNoFoldersOrViews = 8 };
inline constexpr UiText kPaneEnumerating{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please wait while enumerating folders")};
inline constexpr UiText kPaneNoItem{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "No Item present in folder please select another folder")};
inline constexpr UiText kPaneSelectItem{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please select item to see preview. \r\n Item can be Email , Journal , Task , Calendar , To Do list... ")};
inline constexpr UiText kPaneGenerating{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please wait while generating preview...")};
inline constexpr UiText kPaneNoBody{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Either User Abort preview or no body present")};
inline constexpr UiText kPaneFillingList{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "Please wait while filling list...")};
// A database with nothing to show in the tree.
inline constexpr UiText kPaneNoFolders{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "This database has no folder to show. \r\n Its views are listed as folders when Show \"View Folders\" is "
    "ticked in Tools > Advance Settings. Every document is under \"All Documents (every document)\".")};
inline constexpr UiText kPaneNoFoldersOrViews{"FolderTreeTexts", QT_TRANSLATE_NOOP("FolderTreeTexts", "This database has no folder or view to show. Every document is under \"All Documents (every document)\".")};
inline const QString kPrologueRed = QStringLiteral(
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl "
    ";\\red255\\green0\\blue0;}{\\*\\generator Msftedit "
    "5.41.15.1507;}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20\\par\\pard\\qc\\cf1\\b\\fs28");
inline const QString kPrologueBlue = QStringLiteral(
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl "
    ";\\red0\\green0\\blue255;}{\\*\\generator Msftedit "
    "5.41.15.1507;}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20\\par\\pard\\qc\\cf1\\b\\fs28");
inline const QString kEpilogue = QStringLiteral("\\cf0\\b0\\fs20\\par\\pardpar}");
}  // namespace FolderTreeTexts

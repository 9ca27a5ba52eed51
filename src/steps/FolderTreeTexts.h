#pragma once

#include <QString>

// The texts of the folder selection step, its preview pane and its dialogs, letter for letter.
namespace FolderTreeTexts {
inline const QString kRootNode = QStringLiteral("NSF File");
inline const QString kClickFolder = QStringLiteral("  Click any folder to view Items.");
inline const QString kColumns[5] = {QStringLiteral("From"), QStringLiteral("Subject"), QStringLiteral("Date"),
                                    QStringLiteral("Size in Bytes"), QStringLiteral("Attachment")};
inline const QString kSaveSelected = QStringLiteral("&Save Selected");
inline const QString kSaveAll = QStringLiteral("Sa&ve All");
inline const QString kSaveSelectedTip = QStringLiteral("Save selected item(s) from the list.");
inline const QString kSaveAllTip = QStringLiteral("Save All item(s) of the list.");

inline const QString kEnumerating = QStringLiteral("Please wait while enumerating folders");
inline const QString kSelectFolderToExport = QStringLiteral("Please select folder(s) from the left pane to export.");
inline const QString kWordMissing = QStringLiteral(
    "LibreOffice instance not found. LibreOffice must be configured on the system to run the export process.");
inline const QString kNoItemsToSave = QStringLiteral("No Item(s) selected from left pane to save.");
inline const QString kSelectItems = QStringLiteral("Please first select item(s) from list.");
inline const QString kStopQuestion = QStringLiteral("Are you sure you want to stop current process ?");

// "Saving Item(s)"
inline const QString kSavingItemsTitle = QStringLiteral("Saving Item(s)");
inline const QString kSavingItemsText = QStringLiteral("Please wait while current process is finishes");
inline const QString kSavingItemsStop = QStringLiteral("S&top");
inline const QString kSavingItemsStopTip = QStringLiteral("Stop current processing.");
inline const QString kSavingItemsQuestion = QStringLiteral("Are you sure, you want stop the saving files ?");
inline const QString kCaptionAborted = QStringLiteral("Process aborted by user");
inline const QString kCaptionComplete = QStringLiteral("Saving Complete");

// Default document names, by RenderItem type code (0..4), then any other.
inline const QString kDefaultNames[6] = {QStringLiteral("EmailName"),   QStringLiteral("CalenderName"),
                                         QStringLiteral("TaskName"),    QStringLiteral("ContectName"),
                                         QStringLiteral("JournalName"), QStringLiteral("NsfItemName")};
inline const QString kFullNameLabel = QStringLiteral("Full Name : ");

// The large-body question.
inline const QString kLargeItemCaption = QStringLiteral("Tesseldoc");
inline const QString kLargeItemText = QStringLiteral(
    "Text content of the item is too large to display, It will take some time to display , Are you sure , you want "
    "to see preview of this item?");
inline const QString kDontShowAgain = QStringLiteral("Don't show this message again");

// Preview pane messages, by message state.
enum PaneMessage { MsgEnumerating = 0, MsgNoItem = 2, MsgSelectItem = 3, MsgGenerating = 4, MsgNoBody = 5,
                   MsgFillingList = 6, MsgNoFolders = 7, MsgNoFoldersOrViews = 8 };
inline const QString kPaneEnumerating = QStringLiteral("Please wait while enumerating folders");
inline const QString kPaneNoItem = QStringLiteral("No Item present in folder please select another folder");
inline const QString kPaneSelectItem = QStringLiteral(
    "Please select item to see preview. \r\n Item can be Email , Journal , Task , Calendar , To Do list... ");
inline const QString kPaneGenerating = QStringLiteral("Please wait while generating preview...");
inline const QString kPaneNoBody = QStringLiteral("Either User Abort preview or no body present");
inline const QString kPaneFillingList = QStringLiteral("Please wait while filling list...");
// A database with nothing to show in the tree.
inline const QString kPaneNoFolders = QStringLiteral(
    "This database has no folder to show. \r\n Its views are listed as folders when Show \"View Folders\" is "
    "ticked in Tools > Advance Settings. Every document is under \"All Documents (every document)\".");
inline const QString kPaneNoFoldersOrViews = QStringLiteral(
    "This database has no folder or view to show. Every document is under \"All Documents (every document)\".");
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

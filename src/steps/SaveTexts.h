#pragma once

#include <QString>

// The texts of the save step and of the destination and saving-mode dialogs, letter for letter.
namespace SaveTexts {
// Save step
inline const QString kCloseWord =
    QStringLiteral("It is recommended to close all instances of LibreOffice while saving file(s)");
inline const QString kColFileName = QStringLiteral("File Name");
inline const QString kColStatus = QStringLiteral("Status");
inline const QString kColServer = QStringLiteral("Server");
inline const QString kPending = QStringLiteral("Pending");
inline const QString kProcessing = QStringLiteral("Processing...");
inline const QString kCompleted = QStringLiteral("Process Completed");
inline const QString kCancelled = QStringLiteral("Saving cancelled by user");
inline const QString kFailed = QStringLiteral("Fail to save");
// A file that holds documents of which no saved folder holds one.
inline const QString kNothingSaved = QStringLiteral("Nothing saved");
inline const QString kInitializing = QStringLiteral("Initializing saving.. please wait...");
inline const QString kInitializingFolders = QStringLiteral("Initializing  saving please wait....");
inline const QString kGettingFolders = QStringLiteral("Getting Folders from File : ");
inline const QString kFolderBar = QStringLiteral("Saving Folder %1 of %2 ...");
inline const QString kItemBar = QStringLiteral("Saving Item %1 of %2 ...");
inline const QString kSavingFolder = QStringLiteral("Saving Folder ");
inline const QString kAborted = QStringLiteral(
    "Process aborted by user , Click Next button to convert another file or click Exit button to close the software");
inline const QString kComplete = QStringLiteral(
    "Saving Complete , Click Next button to convert another file or click Exit button to close the software");
inline const QString kNoWordLabel = QStringLiteral("LibreOffice is not installed or no profile exist");
inline const QString kNoWordMessage = QStringLiteral(
    "LibreOffice is not installed or no profile exist , \r\nClick Next button to convert another file or click Exit button "
    "to close the software");
inline const QString kCaptionAborted = QStringLiteral("Process aborted by user");
inline const QString kCaptionComplete = QStringLiteral("Saving Complete");
// Honest ends: a run in which something failed, or nothing was written.
inline const QString kCaptionWithErrors = QStringLiteral("Saving Complete with Errors");
inline const QString kCaptionNothingSaved = QStringLiteral("No Document Saved");
inline const QString kCompleteWithErrors = QStringLiteral(
    "Saving Complete with errors , Click Next button to convert another file or click Exit button to close the "
    "software");
inline const QString kNothingSavedLabel = QStringLiteral(
    "No document was saved , Click Next button to convert another file or click Exit button to close the software");
inline const QString kFileBar = QStringLiteral("File %1 of %2");
inline const QString kOpenFolder = QStringLiteral("&Open Folder");
inline const QString kOpenFolderTip = QStringLiteral("Open the folder the documents were saved in");
inline const QString kStopQuestion = QStringLiteral("Are you sure you want to stop the saving process ?");
inline const QString kStopProcessQuestion = QStringLiteral("Are you sure you want to stop current process ?");

// Progress wait dialog
inline const QString kWaitTitle = QStringLiteral("Please wait while current process finishes");
inline const QString kWaitStopTip = QStringLiteral("Stop current processing.");

// Destination dialogs
inline const QString kSelectDestinationTitle = QStringLiteral("Select Destination");
inline const QString kDestPrompt = QStringLiteral("Please select a location to save converted file(s)");
inline const QString kFolderPathLabel = QStringLiteral("Folder Path :");
inline const QString kBrowseTip = QStringLiteral("Select the location to save converted file(s)");
inline const QString kSelectFolderPath = QStringLiteral("Select folder path using Browse button.");
inline const QString kInvalidPath = QStringLiteral("Please enter valid folder path.");
// A folder that is not there: offered to be made.
inline const QString kCreateFolder = QStringLiteral("The folder %1 does not exist.\r\n\r\nDo you want to create it?");
inline const QString kCannotCreateFolder = QStringLiteral("The folder %1 cannot be created: %2");
// A folder that is there but cannot be written into.
inline const QString kReadOnlyFolder = QStringLiteral(
    "The folder %1 is read-only: no document can be written into it. Please choose another folder.");
inline const QString kFolderTooLong = QStringLiteral("Please select diffrent folder, as folder length is large ");
inline const QString kFileTooLong = QStringLiteral("Please select diffrent file, as file name length is large ");
inline const QString kConvertedItems = QStringLiteral("ConvertedItems");
inline const QString kLongPathNotice = QStringLiteral(
    "Folder length is too large , please browse the different location to create folder. ");
inline const QString kLongPathLabel = QStringLiteral("Folder Path:");
inline const QString kLongPathTooLong =
    QStringLiteral("Please provide diffrent path to save, as selected path is too long");

// Saving mode
inline const QString kSavingModeTitle = QStringLiteral("Saving Mode Selection");
inline const QString kSavingModePrompt =
    QStringLiteral("Please select saving mode, RTF format can take more time in saving");
inline const QString kModeText = QStringLiteral("Save item(s)  in Text format - Fastest Speed");
inline const QString kModeRtfLow = QStringLiteral("Save item(s) in RTF format - Low Quality - Medium Speed");
inline const QString kModeRtfBest = QStringLiteral("Save item(s) in RTF format - Best Quality - Lowest Speed");

// Advance settings
inline const QString kAdvanceTitle = QStringLiteral("Advance Settings");
inline const QString kFormatGroup = QStringLiteral("Document format");
inline const QString kEmbedAttachments = QStringLiteral("Also embed the attachments in the PDF (PDF/A-3)");
inline const QString kDateRangeGroup = QStringLiteral("Only items dated");
inline const QString kDateFrom = QStringLiteral("From");
inline const QString kDateTo = QStringLiteral("To");
inline const QString kShowViewFolders = QStringLiteral("Show \"View Folders\"");
inline const QString kEveryDocumentSetting =
    QStringLiteral("Save every document of each file into \"All Documents (every document)\"");
inline const QString kOnceSetting = QStringLiteral("Save each document once, in the first folder that holds it");

// Completion
inline const QString kSavedAt = QStringLiteral("DOC File(s) have been saved at the following location :-");
inline const QString kNothingSavedAt = QStringLiteral("No DOC file has been saved. The output location was :-");
inline const QString kFolderNotCreated = QStringLiteral("(this folder was not created)");
inline const QString kNoDocument = QStringLiteral("%1 item(s) produced no document.");
inline const QString kWholeFailures = QStringLiteral("%1 source(s) or folder(s) could not be saved at all.");
inline const QString kWrittenCount = QStringLiteral("Documents written: %1 of %2 item(s).");
// The whole run's counts, in the command line's words.
inline const QString kCounts = QStringLiteral("%1 found, %2 written, %3 failed");
inline const QString kCountNotConverted = QStringLiteral(", %1 not converted");
inline const QString kItemsCount = QStringLiteral("Items: %1.");
inline const QString kNotConvertedCount =
    QStringLiteral("%1 item(s) not converted: the run ended before reaching them.");
inline const QString kSourcesNotReached = QStringLiteral("%1 source(s) not reached.");
inline const QString kOutsideRange = QStringLiteral("Outside the date range: %1 item(s) (left out, not failed).");
inline const QString kNotReached = QStringLiteral("not reached: the run was stopped");
inline const QString kEndedEarly = QStringLiteral("Stopped early: %1");
inline const QString kShowFailed = QStringLiteral("&Show Item(s)...");
inline const QString kFailedTitle = QStringLiteral("Item(s) without a document");
// The date range of a run, shown before it starts and counted at its end.
inline const QString kDateRangeActive = QStringLiteral("Only items dated %1 to %2 are saved (Advance Settings).");
inline const QString kDateRangeOpen = QStringLiteral("any date");
inline const QString kOutsideDateRange = QStringLiteral("Outside the date range: %1 item(s), not saved.");
// Documents no saved folder held, and how to get them.
inline const QString kLeftBehind = QStringLiteral(
    "Not in a saved folder: %1 document(s). To save them, tick \"All Documents (every document)\" in Step 2, or "
    "turn on \"Save every document\" in the Advance Settings.");
inline const QString kLeftBehindReason = QStringLiteral(
    "%1 of its %2 document(s) are in no saved folder; \"All Documents (every document)\" saves every document");
inline const QString kEveryDocumentChosen = QStringLiteral(
    "No view or folder lists a document: every document is saved into \"All Documents (every document)\"");
}  // namespace SaveTexts

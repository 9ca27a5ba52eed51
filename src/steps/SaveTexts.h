#pragma once

#include <QString>

#include "widgets/UiText.h"

// The texts of the save step and of the destination and saving-mode dialogs, letter for letter.
namespace SaveTexts {
// Save step
inline constexpr UiText kCloseWord{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "It is recommended to close all instances of LibreOffice while saving file(s)")};
inline constexpr UiText kColFileName{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "File Name")};
inline constexpr UiText kColStatus{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Status")};
inline constexpr UiText kColServer{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Server")};
inline constexpr UiText kPending{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Pending")};
inline constexpr UiText kProcessing{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Processing...")};
inline constexpr UiText kCompleted{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Process Completed")};
inline constexpr UiText kCancelled{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving cancelled by user")};
inline constexpr UiText kFailed{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Fail to save")};
// A file that holds documents of which no saved folder holds one.
inline constexpr UiText kNothingSaved{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Nothing saved")};
inline constexpr UiText kInitializing{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Initializing saving.. please wait...")};
inline constexpr UiText kInitializingFolders{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Initializing  saving please wait....")};
inline constexpr UiText kGettingFolders{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Getting Folders from File : ")};
inline constexpr UiText kFolderBar{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Folder %1 of %2 ...")};
inline constexpr UiText kItemBar{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Item %1 of %2 ...")};
inline constexpr UiText kSavingFolder{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Folder ")};
inline constexpr UiText kAborted{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Process aborted by user , Click Next button to convert another file or click Exit button to close the software")};
inline constexpr UiText kComplete{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Complete , Click Next button to convert another file or click Exit button to close the software")};
inline constexpr UiText kNoWordLabel{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "LibreOffice is not installed or no profile exist")};
inline constexpr UiText kNoWordMessage{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "LibreOffice is not installed or no profile exist , \r\nClick Next button to convert another file or click Exit button "
    "to close the software")};
inline constexpr UiText kCaptionAborted{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Process aborted by user")};
inline constexpr UiText kCaptionComplete{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Complete")};
// Honest ends: a run in which something failed, or nothing was written.
inline constexpr UiText kCaptionWithErrors{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Complete with Errors")};
inline constexpr UiText kCaptionNothingSaved{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "No Document Saved")};
inline constexpr UiText kCompleteWithErrors{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Complete with errors , Click Next button to convert another file or click Exit button to close the "
    "software")};
inline constexpr UiText kNothingSavedLabel{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "No document was saved , Click Next button to convert another file or click Exit button to close the software")};
inline constexpr UiText kFileBar{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "File %1 of %2")};
inline constexpr UiText kOpenFolder{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "&Open Folder")};
inline constexpr UiText kOpenFolderTip{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Open the folder the documents were saved in")};
inline constexpr UiText kStopQuestion{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Are you sure you want to stop the saving process ?")};
inline constexpr UiText kStopProcessQuestion{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Are you sure you want to stop current process ?")};

// Progress wait dialog
inline constexpr UiText kWaitTitle{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please wait while current process finishes")};
inline constexpr UiText kWaitStopTip{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Stop current processing.")};

// Destination dialogs
inline constexpr UiText kSelectDestinationTitle{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Select Destination")};
inline constexpr UiText kDestPrompt{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please select a location to save converted file(s)")};
inline constexpr UiText kFolderPathLabel{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Folder Path :")};
inline constexpr UiText kBrowseTip{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Select the location to save converted file(s)")};
inline constexpr UiText kSelectFolderPath{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Select folder path using Browse button.")};
inline constexpr UiText kInvalidPath{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please enter valid folder path.")};
// A folder that is not there: offered to be made.
inline constexpr UiText kCreateFolder{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "The folder %1 does not exist.\r\n\r\nDo you want to create it?")};
inline constexpr UiText kCannotCreateFolder{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "The folder %1 cannot be created: %2")};
// Why it cannot (its %2): the nearest existing parent.
inline constexpr UiText kParentIsFile{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 is a file")};
inline constexpr UiText kParentIsReadOnly{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 is read-only")};
inline constexpr UiText kFolderNotMade{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "the folder could not be made under %1")};
// A folder that is there but cannot be written into.
inline constexpr UiText kReadOnlyFolder{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "The folder %1 is read-only: no document can be written into it. Please choose another folder.")};
inline constexpr UiText kFolderTooLong{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please select diffrent folder, as folder length is large ")};
inline constexpr UiText kFileTooLong{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please select diffrent file, as file name length is large ")};
inline const QString kConvertedItems = QStringLiteral("ConvertedItems");
inline constexpr UiText kLongPathNotice{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Folder length is too large , please browse the different location to create folder. ")};
inline constexpr UiText kLongPathLabel{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Folder Path:")};
inline constexpr UiText kLongPathTooLong{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please provide diffrent path to save, as selected path is too long")};

// Saving mode
inline constexpr UiText kSavingModeTitle{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Saving Mode Selection")};
inline constexpr UiText kSavingModePrompt{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Please select saving mode, RTF format can take more time in saving")};
inline constexpr UiText kModeText{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Save item(s)  in Text format - Fastest Speed")};
inline constexpr UiText kModeRtfLow{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Save item(s) in RTF format - Low Quality - Medium Speed")};
inline constexpr UiText kModeRtfBest{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Save item(s) in RTF format - Best Quality - Lowest Speed")};

// Advance settings
inline constexpr UiText kAdvanceTitle{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Advance Settings")};
inline constexpr UiText kFormatGroup{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Document format")};
inline constexpr UiText kEmbedAttachments{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Also embed the attachments in the PDF (PDF/A-3)")};
inline constexpr UiText kDateRangeGroup{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Only items dated")};
inline constexpr UiText kDateFrom{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "From")};
inline constexpr UiText kDateTo{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "To")};
inline constexpr UiText kShowViewFolders{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Show \"View Folders\"")};
inline constexpr UiText kEveryDocumentSetting{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Save every document of each file into \"All Documents (every document)\"")};
inline constexpr UiText kOnceSetting{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Save each document once, in the first folder that holds it")};

// Completion
inline constexpr UiText kSavedAt{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "DOC File(s) have been saved at the following location :-")};
inline constexpr UiText kNothingSavedAt{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "No DOC file has been saved. The output location was :-")};
inline constexpr UiText kFolderNotCreated{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "(this folder was not created)")};
inline constexpr UiText kNoDocument{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 item(s) produced no document.")};
inline constexpr UiText kWholeFailures{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 source(s) or folder(s) could not be saved at all.")};
inline constexpr UiText kWrittenCount{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Documents written: %1 of %2 item(s).")};
// The whole run's counts, in the command line's words.
inline constexpr UiText kCounts{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 found, %2 written, %3 failed")};
inline constexpr UiText kCountNotConverted{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", ", %1 not converted")};
inline constexpr UiText kItemsCount{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Items: %1.")};
inline constexpr UiText kNotConvertedCount{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 item(s) not converted: the run ended before reaching them.")};
// Items the native engine could not represent, written by the office engine instead.
inline constexpr UiText kWrittenByOfficeCount{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 item(s) written by the office engine (the native engine cannot represent them): listed by \"Show Item(s)...\".")};
inline constexpr UiText kListedTitle{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Item(s) without a document, and item(s) written by the office engine")};
inline constexpr UiText kSourcesNotReached{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 source(s) not reached.")};
inline constexpr UiText kOutsideRange{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Outside the date range: %1 item(s) (left out, not failed).")};
inline constexpr UiText kNotReached{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "not reached: the run was stopped")};
inline constexpr UiText kEndedEarly{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Stopped early: %1")};
inline constexpr UiText kShowFailed{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "&Show Item(s)...")};
inline constexpr UiText kFailedTitle{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Item(s) without a document")};
// The date range of a run, shown before it starts and counted at its end.
inline constexpr UiText kDateRangeActive{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Only items dated %1 to %2 are saved (Advance Settings).")};
inline constexpr UiText kDateRangeOpen{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "any date")};
inline constexpr UiText kOutsideDateRange{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Outside the date range: %1 item(s), not saved.")};
// Documents no saved folder held, and how to get them.
inline constexpr UiText kLeftBehind{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "Not in a saved folder: %1 document(s). To save them, tick \"All Documents (every document)\" in Step 2, or "
    "turn on \"Save every document\" in the Advance Settings.")};
inline constexpr UiText kLeftBehindReason{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "%1 of its %2 document(s) are in no saved folder; \"All Documents (every document)\" saves every document")};
inline constexpr UiText kEveryDocumentChosen{"SaveTexts", QT_TRANSLATE_NOOP("SaveTexts", "No view or folder lists a document: every document is saved into \"All Documents (every document)\"")};
}  // namespace SaveTexts

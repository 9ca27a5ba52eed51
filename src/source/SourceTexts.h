#pragma once

#include <QString>

#include "widgets/UiText.h"

// The texts of the source list step, letter for letter.
namespace SourceTexts {
inline constexpr UiText kColFilePath{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "File Path")};
inline constexpr UiText kColServer{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Server")};
inline constexpr UiText kBtnAddFiles{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "&Add File(s)")};
inline constexpr UiText kBtnAddDomino{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Add &Domino File(s)")};
inline constexpr UiText kBtnRemove{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "&Remove File")};
inline constexpr UiText kBtnRemoveAll{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Re&move  All File(s)")};
inline constexpr UiText kTipAddFiles{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Add NSF File(s)")};
inline constexpr UiText kTipAddDomino{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Add Domino Server NSF File(s)")};
inline constexpr UiText kTipRemove{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Remove Selected NSF File(s)")};
inline constexpr UiText kTipRemoveAll{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Remove All NSF File(s)")};
inline constexpr UiText kDialogTitle{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Select NSF File")};
inline constexpr UiText kDialogFilter{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "NSF and Notes XML files (*.nsf *.dxl);;NSF File(*.nsf);;Notes XML export (*.dxl)")};
inline constexpr UiText kAlreadyExists{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", " already exist in the list")};
inline constexpr UiText kNetworkWarning{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "You are selecting the file from network. \r\nIt's advisable to copy the file to local computer for better "
    "saving results ")};
inline constexpr UiText kNothingToRemove{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "There are no NSF file(s) in the list to remove.")};
inline constexpr UiText kSelectToRemove{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Please select file to remove.")};
inline constexpr UiText kNothingToPreview{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "There are no NSF file(s) in the list to see preview.")};
inline constexpr UiText kSelectToPreview{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Please select NSF file from list to see preview")};
inline constexpr UiText kEnterNsf{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Please enter .NSF file")};
inline constexpr UiText kAddToExport{"SourceTexts", QT_TRANSLATE_NOOP("SourceTexts", "Please add NSF file(s) to export.")};
}  // namespace SourceTexts

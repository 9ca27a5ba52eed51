#pragma once

#include <QString>

// The texts of the source list step, letter for letter.
namespace SourceTexts {
inline const QString kColFilePath = QStringLiteral("File Path");
inline const QString kColServer = QStringLiteral("Server");
inline const QString kBtnAddFiles = QStringLiteral("&Add File(s)");
inline const QString kBtnAddDomino = QStringLiteral("Add &Domino File(s)");
inline const QString kBtnRemove = QStringLiteral("&Remove File");
inline const QString kBtnRemoveAll = QStringLiteral("Re&move  All File(s)");
inline const QString kTipAddFiles = QStringLiteral("Add NSF File(s)");
inline const QString kTipAddDomino = QStringLiteral("Add Domino Server NSF File(s)");
inline const QString kTipRemove = QStringLiteral("Remove Selected NSF File(s)");
inline const QString kTipRemoveAll = QStringLiteral("Remove All NSF File(s)");
inline const QString kDialogTitle = QStringLiteral("Select NSF File");
inline const QString kDialogFilter =
    QStringLiteral("NSF and Notes XML files (*.nsf *.dxl);;NSF File(*.nsf);;Notes XML export (*.dxl)");
inline const QString kAlreadyExists = QStringLiteral(" already exist in the list");
inline const QString kNetworkWarning = QStringLiteral(
    "You are selecting the file from network. \r\nIt's advisable to copy the file to local computer for better "
    "saving results ");
inline const QString kNothingToRemove = QStringLiteral("There are no NSF file(s) in the list to remove.");
inline const QString kSelectToRemove = QStringLiteral("Please select file to remove.");
inline const QString kNothingToPreview = QStringLiteral("There are no NSF file(s) in the list to see preview.");
inline const QString kSelectToPreview = QStringLiteral("Please select NSF file from list to see preview");
inline const QString kEnterNsf = QStringLiteral("Please enter .NSF file");
inline const QString kAddToExport = QStringLiteral("Please add NSF file(s) to export.");
}  // namespace SourceTexts

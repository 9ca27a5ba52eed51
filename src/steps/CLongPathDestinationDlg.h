#pragma once

#include <QDialog>

class QLineEdit;

// "Select Destination" for a Notes folder whose output folder would get too
// long: another place, with a new sub-folder named after the Notes folder.
class CLongPathDestinationDlg : public QDialog {
    Q_OBJECT
public:
    CLongPathDestinationDlg(const QString& notesFolder, QWidget* parent = nullptr);

    void SetFolderPath(const QString& path);
    // Results after OK: the chosen folder (ending with "/") and the new sub-folder name.
    QString ChosenFolder() const { return m_strFolder; }
    QString NewFolderName() const { return m_strNewName; }

    void OnBrowse();
    void accept() override;

private:
    QString m_strNotesFolder;
    QLineEdit* m_pPathEdit;
    QString m_strFolder;
    QString m_strNewName;
};

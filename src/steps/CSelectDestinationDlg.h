#pragma once

#include <QDialog>

class QLineEdit;

// "Select Destination": the folder to write into; the conversion creates a
// new sub-folder ("ConvertedItems", or the next free numbered name) there.
class CSelectDestinationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelectDestinationDlg(QWidget* parent = nullptr);

    // The folder chosen with "..." (typed text is not used).
    void SetFolderPath(const QString& path);
    QString FolderPath() const { return m_strFolderPath; }
    // Results after OK.
    QString NewFolderName() const { return m_strNewName; }
    QString OutputRoot() const { return m_strRoot; }

    // Browses for the folder ("...").
    void OnBrowse();
    // The OK checks; closes with OK when they pass, else shows why and stays open.
    void accept() override;

private:
    QLineEdit* m_pPathEdit;
    QString m_strFolderPath;
    QString m_strNewName;
    QString m_strRoot;
};

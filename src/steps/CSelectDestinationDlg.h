#pragma once

#include <QDialog>

class QLineEdit;

// The folder of the last confirmed destination is offered again next time.

// "Select Destination": the folder to write into; the conversion creates a
// new sub-folder ("ConvertedItems", or the next free numbered name) there.
class CSelectDestinationDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelectDestinationDlg(QWidget* parent = nullptr);

    // The folder chosen with "...".
    void SetFolderPath(const QString& path);
    // Text typed into the "Folder Path :" box, as the user types it.
    void TypePath(const QString& text);
    // A typed path as it is checked: trimmed, "~" for the home folder, cleaned.
    static QString TypedPath(const QString& text);
    QString FolderPath() const { return m_strFolderPath; }
    // Results after OK.
    QString NewFolderName() const { return m_strNewName; }
    QString OutputRoot() const { return m_strRoot; }

    // Browses for the folder ("...").
    void OnBrowse();
    // The OK checks; closes with OK when they pass, else shows why and stays open.
    void accept() override;

private:
    // Makes a missing destination folder (and its parents); false with the reason.
    static bool MakeFolder(const QString& path, QString* why);
    QLineEdit* m_pPathEdit;
    QString m_strFolderPath;
    QString m_strNewName;
    QString m_strRoot;
};

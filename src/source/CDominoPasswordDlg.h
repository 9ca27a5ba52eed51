#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// Asks for the name and password to sign in to a Domino server. The password
// is never written to the settings; "remember" keeps it in the desktop's
// secret store when there is one.
class CDominoPasswordDlg : public QDialog {
    Q_OBJECT
public:
    CDominoPasswordDlg(const QString& serverName, const QString& url, const QString& user, bool refusedBefore,
                       bool keyringAvailable, QWidget* parent = nullptr);

    QString User() const;
    QString Password() const;
    bool Remember() const;
    // For tests and the screenshot tour.
    void SetAnswer(const QString& user, const QString& password, bool remember);
    QLineEdit* UserEdit() const { return m_pUser; }
    QLineEdit* PasswordEdit() const { return m_pPassword; }

private:
    QLineEdit* m_pUser;
    QLineEdit* m_pPassword;
    QCheckBox* m_pRemember;
};

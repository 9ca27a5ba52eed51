#pragma once

#include <QMutex>
#include <QString>

#include <functional>
#include <map>

class QWidget;

// Names and passwords for Domino servers as the wizard keeps them: asked in
// a dialog, kept in memory for the process, and, when the user ticks
// "remember" and the desktop has a secret store, kept there between runs.
// Never written to the settings file. Ask() may be called on any thread: the
// dialog and the secret store are used on the UI thread only.
class CServerPasswords {
public:
    struct Login {
        QString user;
        QString password;
    };

    static CServerPasswords& instance();

    // A name and password for the server. `login.user` comes in as the
    // configured or last name. Asks the user when nothing is known or the
    // server refused the last answer. False when the user cancelled or
    // `stopped` answered true while waiting.
    bool Ask(const QString& serverName, const QString& url, bool refusedBefore, Login& login,
             const std::function<bool()>& stopped = {});
    void Accepted(const QString& serverName, const Login& login);
    void Refused(const QString& serverName, const Login& login);
    // Forgets everything kept in memory (tests).
    void Clear();
    // The window the dialog is shown over (null: the active window).
    void SetParentWindow(QWidget* parent) { m_parent = parent; }

private:
    CServerPasswords() = default;
    struct Kept {
        Login login;
        QString url;
        bool remember = false;  // write to the secret store once the server accepts it
    };
    bool AskOnUiThread(const QString& serverName, const QString& url, bool refusedBefore, Login& login);
    static QString Key(const QString& serverName);
    static QString KeychainKey(const QString& url, const QString& user);

    QMutex m_mutex;
    std::map<QString, Kept> m_kept;  // by upper-cased server name
    QWidget* m_parent = nullptr;
};

#include "source/CServerPasswords.h"

#include "app/CMessageBoxService.h"
#include "source/CDominoPasswordDlg.h"
#include "source/CPasswordKeychain.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <QSemaphore>
#include <QThread>

#include <memory>

CServerPasswords& CServerPasswords::instance() {
    static CServerPasswords passwords;
    return passwords;
}

QString CServerPasswords::Key(const QString& serverName) { return serverName.toUpper(); }

QString CServerPasswords::KeychainKey(const QString& url, const QString& user) {
    return user + QLatin1Char('@') + url.toLower();
}

bool CServerPasswords::Ask(const QString& serverName, const QString& url, bool refusedBefore, Login& login,
                           const std::function<bool()>& stopped) {
    if (!refusedBefore) {
        QMutexLocker lock(&m_mutex);
        auto it = m_kept.find(Key(serverName));
        if (it != m_kept.end()) {
            login = it->second.login;
            return true;
        }
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    if (QThread::currentThread() == app->thread()) return AskOnUiThread(serverName, url, refusedBefore, login);

    // From a worker: the UI thread asks while the worker waits, watching for a stop.
    struct Exchange {
        QSemaphore done;
        std::atomic<bool> abandoned{false};
        bool ok = false;
        Login login;
    };
    auto exchange = std::make_shared<Exchange>();
    exchange->login = login;
    QMetaObject::invokeMethod(
        app,
        [this, exchange, serverName, url, refusedBefore] {
            if (!exchange->abandoned) {
                Login answer = exchange->login;
                exchange->ok = AskOnUiThread(serverName, url, refusedBefore, answer);
                exchange->login = answer;
            }
            exchange->done.release();
        },
        Qt::QueuedConnection);
    while (!exchange->done.tryAcquire(1, 100)) {
        if (stopped && stopped()) {
            exchange->abandoned = true;
            return false;
        }
    }
    if (exchange->ok) login = exchange->login;
    return exchange->ok;
}

bool CServerPasswords::AskOnUiThread(const QString& serverName, const QString& url, bool refusedBefore,
                                     Login& login) {
    // A password remembered in an earlier run, unless the server just refused it.
    if (!refusedBefore && !login.user.isEmpty()) {
        QString password;
        if (CPasswordKeychain::Read(KeychainKey(url, login.user), password) == CPasswordKeychain::Result::Found) {
            login.password = password;
            QMutexLocker lock(&m_mutex);
            m_kept[Key(serverName)] = {login, url, false};
            return true;
        }
    }
    QWidget* parent = m_parent ? m_parent : QApplication::activeWindow();
    CDominoPasswordDlg dlg(serverName, url, login.user, refusedBefore, CPasswordKeychain::Available(), parent);
    if (CMessageBoxService::instance().ExecDialog(dlg) != QDialog::Accepted) return false;
    login = {dlg.User(), dlg.Password()};
    QMutexLocker lock(&m_mutex);
    m_kept[Key(serverName)] = {login, url, dlg.Remember()};
    return true;
}

void CServerPasswords::Accepted(const QString& serverName, const Login& login) {
    bool remember = false;
    QString url;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_kept.find(Key(serverName));
        if (it == m_kept.end() || it->second.login.user != login.user) return;
        remember = it->second.remember;
        url = it->second.url;
        it->second.remember = false;
    }
    if (!remember) return;
    const QString key = KeychainKey(url, login.user);
    const QString password = login.password;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [key, password] { CPasswordKeychain::Write(key, password); },
        Qt::QueuedConnection);
}

void CServerPasswords::Refused(const QString& serverName, const Login& login) {
    QString url;
    {
        QMutexLocker lock(&m_mutex);
        auto it = m_kept.find(Key(serverName));
        if (it == m_kept.end()) return;
        url = it->second.url;
        m_kept.erase(it);
    }
    const QString key = KeychainKey(url, login.user);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [key] { CPasswordKeychain::Remove(key); }, Qt::QueuedConnection);
}

void CServerPasswords::Clear() {
    QMutexLocker lock(&m_mutex);
    m_kept.clear();
}

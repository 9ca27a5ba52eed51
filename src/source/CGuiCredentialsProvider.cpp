#if __has_include("notes/das/DominoCredentials.h")
#include "source/CGuiCredentialsProvider.h"

#include "notes/das/DasCancel.h"
#include "source/CServerPasswords.h"

bool CGuiCredentialsProvider::credentials(const QString& serverName, const QString& url, bool refusedBefore,
                                          das::Credentials& credentials) {
    CServerPasswords::Login login{credentials.user, credentials.password};
    // A stop of the program's work also ends the wait for the dialog.
    if (!CServerPasswords::instance().Ask(serverName, url, refusedBefore, login,
                                          [] { return das::DasCancel::anyRequested(); }))
        return false;
    credentials.user = login.user;
    credentials.password = login.password;
    return true;
}

void CGuiCredentialsProvider::accepted(const QString& serverName, const das::Credentials& credentials) {
    CServerPasswords::instance().Accepted(serverName, {credentials.user, credentials.password});
}

void CGuiCredentialsProvider::refused(const QString& serverName, const das::Credentials& credentials) {
    CServerPasswords::instance().Refused(serverName, {credentials.user, credentials.password});
}
#endif

#pragma once
#if __has_include("notes/das/DominoCredentials.h")

#include "notes/das/DominoCredentials.h"

// The wizard's answer when a Domino server asks for a name and password:
// the sign-in dialog, passwords kept in memory or the desktop's keyring
// (CServerPasswords). Called on the worker that reads the server.
class CGuiCredentialsProvider : public das::ICredentialsProvider {
public:
    bool credentials(const QString& serverName, const QString& url, bool refusedBefore,
                     das::Credentials& credentials) override;
    void accepted(const QString& serverName, const das::Credentials& credentials) override;
    void refused(const QString& serverName, const das::Credentials& credentials) override;
};
#endif

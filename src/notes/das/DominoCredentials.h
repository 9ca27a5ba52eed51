#pragma once

#include <QString>

#include <memory>

namespace das {

// What the program asks for and remembers about a sign-in.
struct Credentials {
    QString user;
    QString password;
};

// Supplies names and passwords for servers. The GUI implements it with a
// dialog (and may keep passwords in the desktop's secret store); the command
// line with TESSELDOC_PASSWORD, --password-file or a terminal prompt.
// Called on the thread that reads the server (a worker, never the UI thread
// of the program's own calls): a GUI provider must hop to its UI thread.
class ICredentialsProvider {
public:
    virtual ~ICredentialsProvider() = default;

    // Name and password for `serverName` (`url` is where they go). `user` holds
    // the configured or last user name. `refusedBefore` is set when the server
    // refused the last ones given for it. False: the user declined.
    virtual bool credentials(const QString& serverName, const QString& url, bool refusedBefore,
                             Credentials& credentials) = 0;
    // The server accepted them (a provider may now store the password).
    virtual void accepted(const QString& serverName, const Credentials& credentials) {
        (void)serverName;
        (void)credentials;
    }
    // The server refused them (a provider should forget a stored password).
    virtual void refused(const QString& serverName, const Credentials& credentials) {
        (void)serverName;
        (void)credentials;
    }
};

// The process's provider; none by default (servers that need a sign-in then
// fail with "needs a name and password").
void setCredentialsProvider(std::shared_ptr<ICredentialsProvider> provider);
std::shared_ptr<ICredentialsProvider> credentialsProvider();

}  // namespace das

#pragma once

#include "notes/das/DominoCredentials.h"

#include <QString>

// Names and passwords for Domino servers on the command line: the password
// from --password-file, else TESSELDOC_PASSWORD, else a prompt on the
// terminal (echo off); the name from --user, TESSELDOC_USER or the server's
// settings, else asked on the terminal too.
class CliCredentials : public das::ICredentialsProvider {
public:
    CliCredentials(QString user, QString passwordFile) : m_user(std::move(user)), m_passwordFile(std::move(passwordFile)) {}
    bool credentials(const QString& serverName, const QString& url, bool refusedBefore,
                     das::Credentials& credentials) override;

private:
    QString m_user;
    QString m_passwordFile;
};

#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

// tesseldoc-cli: the core without the GUI. Commands: folders, items, header, convert,
// convert-many, report, servers, databases.
class CliApp {
public:
    CliApp();
    int run(const QStringList& arguments);

    // Escapes a backslash, tab, CR and LF as \\ \t \r \n.
    static QString escape(const QString& text);
    // "SERVER!!PATH" names a database on a server; anything else is a path.
    static void splitDatabase(const QString& db, QString& path, QString& server);

    // The exit status of a run a stop signal ended: 128 plus the signal's
    // number (SIGINT 130, SIGTERM 143); otherwise `status`.
    static int stoppedStatus(int signal, int status) { return signal > 0 ? 128 + signal : status; }

private:
    // Names what is wrong with the arguments in one line and where the help
    // is; exit status 2.
    int usageError(const QString& message);
    // `command` was given the wrong arguments: says what it takes.
    int wrongArguments(const QString& command);
    int cmdHelp(const QStringList& args);
    int cmdFolders(const QStringList& args);
    int cmdItems(const QStringList& args);
    int cmdHeader(const QStringList& args);
    int cmdConvert(const QStringList& args);
    int cmdConvertMany(const QStringList& args);
    int cmdReport(const QStringList& args);
    int cmdServers(const QStringList& args);
    int cmdDatabases(const QStringList& args);

    QTextStream m_out;
    QTextStream m_err;
};

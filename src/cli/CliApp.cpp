#include "cli/CliApp.h"

#include "export/RunJournal.h"

#include "cli/CliCredentials.h"
#include "convert/CNotesConverter.h"

#include <cstdio>

CliApp::CliApp() : m_out(stdout), m_err(stderr) {
    m_out.setEncoding(QStringConverter::Utf8);
    m_err.setEncoding(QStringConverter::Utf8);
}

QString CliApp::escape(const QString& text) {
    // The output fields are escaped as the journal's are.
    return RunJournal::escapeField(text);
}

int CliApp::usage() {
    m_err << "usage:\n"
             "  tesseldoc-cli folders DB [--view-folders]\n"
             "  tesseldoc-cli items DB FOLDER\n"
             "  tesseldoc-cli header DB NOTEID\n"
             "  tesseldoc-cli convert DB DEST [--view-folders] [--folder NAME]... [--mode text|rtf-low|rtf-best]\n"
             "                [--format doc|docx|pdf] [--embed-attachments] [--since YYYY-MM-DD] [--until YYYY-MM-DD]\n"
             "                [--resume] [--jobs N]\n"
             "  tesseldoc-cli convert-many DEST [DB]... [--manifest FILE] [--shard K/N] [--view-folders]\n"
             "                [--mode M] [--format F] [--embed-attachments] [--since D] [--until D]\n"
             "                [--resume] [--jobs N]\n"
             "  tesseldoc-cli report DEST\n"
             "  tesseldoc-cli servers\n"
             "  tesseldoc-cli databases SERVER\n"
             "DB is a .nsf or .dxl file, or SERVER!!PATH for a database on a Domino server\n"
             "(SERVER: a configured server name, a host name or an http(s):// address).\n"
             "NOTEID is hexadecimal, or a 32-digit UNID.\n"
             "A manifest names one database per line. --shard K/N converts the databases whose\n"
             "position (from 0) is K modulo N. --resume skips items an earlier run into DEST wrote.\n"
             "Server sign-in: [--user NAME] [--password-file FILE], or TESSELDOC_USER and\n"
             "TESSELDOC_PASSWORD, or a prompt on the terminal.\n";
    m_err.flush();
    return 2;
}

int CliApp::usageError(const QString& message) {
    m_err << "tesseldoc-cli: " << message << "\n";
    return usage();
}

int CliApp::run(const QStringList& arguments) {
    QStringList args;
    QString user, passwordFile;
    const QStringList given = arguments.mid(1);
    for (int i = 0; i < given.size(); ++i) {
        if (given[i] == QLatin1String("--user") && i + 1 < given.size())
            user = given[++i];
        else if (given[i] == QLatin1String("--password-file") && i + 1 < given.size())
            passwordFile = given[++i];
        else
            args << given[i];
    }
    das::setCredentialsProvider(std::make_shared<CliCredentials>(user, passwordFile));
    if (args.isEmpty()) return usage();
    const QString command = args.front();
    if (command == QLatin1String("folders")) return cmdFolders(args.mid(1));
    if (command == QLatin1String("items")) return cmdItems(args.mid(1));
    if (command == QLatin1String("header")) return cmdHeader(args.mid(1));
    if (command == QLatin1String("convert")) return cmdConvert(args.mid(1));
    if (command == QLatin1String("convert-many")) return cmdConvertMany(args.mid(1));
    if (command == QLatin1String("report")) return cmdReport(args.mid(1));
    if (command == QLatin1String("servers")) return cmdServers(args.mid(1));
    if (command == QLatin1String("databases")) return cmdDatabases(args.mid(1));
    return usage();
}

void CliApp::splitDatabase(const QString& db, QString& path, QString& server) {
    const int sep = db.indexOf(QStringLiteral("!!"));
    if (sep > 0) {
        server = db.left(sep);
        path = db.mid(sep + 2);
    } else {
        server.clear();
        path = db;
    }
}

int CliApp::cmdFolders(const QStringList& args) {
    QString db;
    CNotesConverter converter;
    for (const QString& a : args) {
        if (a == QLatin1String("--view-folders"))
            converter.showViewFolders = 1;
        else if (db.isEmpty())
            db = a;
        else
            return usage();
    }
    if (db.isEmpty()) return usage();
    if (!converter.Initialize()) {
        m_err << converter.GetLastErrorText() << "\n";
        return 1;
    }
    QString path, server;
    splitDatabase(db, path, server);
    QStringList names;
    if (!converter.EnumerateFolders(path, server, names, 1)) {
        m_err << "tesseldoc-cli: " << converter.GetLastErrorText() << "\n";
        return 1;
    }
    // Entry counts: open each listed folder once more.
    for (const QString& name : names) {
        QString bare = name;
        bare.chop(1);
        uint32_t count = 0;
        try {
            LNViewFolder folder;
            converter.database().GetViewFolder(CNotesConverter::WideToLNString(bare), &folder);
            folder.Open(0);
            count = uint32_t(folder.GetEntryCount());
            folder.Close();
        } catch (LNSTATUS) {
        }
        m_out << escape(name) << '\t' << count << '\n';
    }
    m_out.flush();
    for (const QString& problem : converter.folderProblems()) m_err << "warning: " << escape(problem) << "\n";
    // Damage: the listing may lack folders or entries; each loss is named.
    for (const QString& problem : converter.databaseProblems()) m_err << "warning: " << escape(problem) << "\n";
    m_err.flush();
    return converter.databaseProblems().isEmpty() ? 0 : 1;
}

#include "cli/CliApp.h"

#include "export/RunJournal.h"

#include "cli/CliCredentials.h"
#include "cli/CliHelp.h"
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

int CliApp::usageError(const QString& message) {
    m_err << "tesseldoc-cli: " << message << "\nsee tesseldoc-cli --help\n";
    m_err.flush();
    return 2;
}

int CliApp::wrongArguments(const QString& command) {
    const CliHelp::Command* c = CliHelp::command(command);
    if (!c || c->arguments.isEmpty()) return usageError(command + QStringLiteral(" takes no arguments"));
    return usageError(command + QStringLiteral(" takes ") + c->arguments);
}

int CliApp::cmdHelp(const QStringList& args) {
    if (args.size() > 1) return wrongArguments(QStringLiteral("help"));
    if (args.isEmpty()) {
        m_out << CliHelp::helpText();
    } else {
        const CliHelp::Command* c = CliHelp::command(args.front());
        if (!c) return usageError(QStringLiteral("no command named \"%1\"").arg(escape(args.front())));
        m_out << CliHelp::commandHelp(*c);
    }
    m_out.flush();
    return 0;
}

int CliApp::run(const QStringList& arguments) {
    QStringList args;
    QString user, passwordFile;
    const QStringList given = arguments.mid(1);
    for (int i = 0; i < given.size(); ++i) {
        const QString& a = given[i];
        if (a == QLatin1String("--user") || a == QLatin1String("--password-file")) {
            if (i + 1 >= given.size()) return usageError(a + QStringLiteral(" needs a value"));
            (a == QLatin1String("--user") ? user : passwordFile) = given[++i];
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            // "convert --help" is the help of convert.
            return cmdHelp(args.isEmpty() || !CliHelp::command(args.front()) ? QStringList() : args.mid(0, 1));
        } else if (a == QLatin1String("--version")) {
            m_out << CliHelp::versionText(QStringLiteral(TESSELDOC_VERSION));
            m_out.flush();
            return 0;
        } else {
            args << a;
        }
    }
    das::setCredentialsProvider(std::make_shared<CliCredentials>(user, passwordFile));
    if (args.isEmpty()) return usageError(QStringLiteral("no command given"));
    const QString command = args.front();
    if (command == QLatin1String("folders")) return cmdFolders(args.mid(1));
    if (command == QLatin1String("items")) return cmdItems(args.mid(1));
    if (command == QLatin1String("header")) return cmdHeader(args.mid(1));
    if (command == QLatin1String("convert")) return cmdConvert(args.mid(1));
    if (command == QLatin1String("convert-many")) return cmdConvertMany(args.mid(1));
    if (command == QLatin1String("report")) return cmdReport(args.mid(1));
    if (command == QLatin1String("servers")) return cmdServers(args.mid(1));
    if (command == QLatin1String("databases")) return cmdDatabases(args.mid(1));
    if (command == QLatin1String("help")) return cmdHelp(args.mid(1));
    return usageError(QStringLiteral("unknown command \"%1\"").arg(escape(command)));
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
    converter.listEveryDocument = true;
    for (const QString& a : args) {
        if (a == QLatin1String("--view-folders"))
            converter.showViewFolders = 1;
        else if (a.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("unknown option ") + a);
        else if (db.isEmpty())
            db = a;
        else
            return wrongArguments(QStringLiteral("folders"));
    }
    if (db.isEmpty()) return wrongArguments(QStringLiteral("folders"));
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

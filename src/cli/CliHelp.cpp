#include "cli/CliHelp.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

using Entry = CliHelp::Entry;

// Options of convert that convert-many shares.
std::vector<Entry> runOptions() {
    return {
        {QStringLiteral("--view-folders"),
         QStringLiteral("Converts the views of the database as well as its folders.")},
        {QStringLiteral("--all-documents"),
         QStringLiteral("Converts every document of the database into the folder \"All Documents "
                        "(every document)\", which folders lists last, in place of the folders and views "
                        "converted by default (--view-folders then changes nothing). It is the default "
                        "for a database whose views and folders list none of its documents.")},
        {QStringLiteral("--once"),
         QStringLiteral("Writes each document once, in the first folder of the listing that holds it; the "
                        "summary names the other folders as \"written in FOLDER\".")},
        {QStringLiteral("--mode text|rtf-low|rtf-best"),
         QStringLiteral("How item bodies are written: plain text (the default), rich text of low quality, "
                        "or rich text of best quality with pictures and tables.")},
        {QStringLiteral("--format doc|docx|pdf"),
         QStringLiteral("The documents' file format; Word 97-2003 (.doc) unless chosen otherwise.")},
        {QStringLiteral("--embed-attachments"),
         QStringLiteral("With --format pdf: the attachments are embedded in the PDF as well as written "
                        "beside it.")},
        {QStringLiteral("--since YYYY-MM-DD"),
         QStringLiteral("Leaves out items dated before that day (counted, not failed; contacts and items "
                        "without a date are converted).")},
        {QStringLiteral("--until YYYY-MM-DD"), QStringLiteral("Leaves out items dated after that day.")},
        {QStringLiteral("--resume"),
         QStringLiteral("Skips the items an earlier run into DEST wrote whole, after removing what a run "
                        "that was killed left half-written.")},
        {QStringLiteral("--engine native|office"),
         QStringLiteral("Which engine writes the documents: native (the default) writes .doc and .docx in "
                        "the program itself, without an office, and hands an item it cannot represent to "
                        "the office (counted and named as \"written by the office\" in the summary); office "
                        "writes every document through LibreOffice. PDF documents are always written by "
                        "the office.")},
        {QStringLiteral("--jobs N"),
         QStringLiteral("Runs N writers side by side: office instances, or threads of the native engine "
                        "(1 to 64; default one per core, at most 4).")},
        {QStringLiteral("--server-stalls N"),
         QStringLiteral("For a database on a server: after N documents the server did not answer in time "
                        "(in a row or not; default 8, 0 for no bound), the rest of the database's "
                        "documents are named as not converted instead of each waiting for the deadline.")},
    };
}

const char kFolderNames[] =
    "Folder names are printed escaped: a backslash as \\\\, a tab as \\t, CR and LF as \\r and \\n, "
    "with a backslash at the end. Every command takes a folder name as folders prints it, or as "
    "the database gives it.";

std::vector<CliHelp::Command> makeCommands() {
    std::vector<CliHelp::Command> c;
    c.push_back({QStringLiteral("folders"), QStringLiteral("DB [--view-folders]"),
                 QStringLiteral("list the folders of a database"),
                 QStringLiteral("Lists the folders of DB, one a line: the name, a tab and the number of "
                                "entries.\n\n") +
                     QString::fromLatin1(kFolderNames),
                 {{QStringLiteral("--view-folders"), QStringLiteral("Lists the views as well.")}}});
    c.push_back({QStringLiteral("items"), QStringLiteral("DB FOLDER"),
                 QStringLiteral("list the items of a folder or view"),
                 QStringLiteral("Lists the items of FOLDER, one a line, tab-separated and escaped: the kind "
                                "(2 mail, 3 calendar entry, 4 contact, 5 task, 9 journal entry), the note ID "
                                "in hexadecimal, then the five columns of the wizard's item list."),
                 {}});
    c.push_back({QStringLiteral("header"), QStringLiteral("DB NOTEID"),
                 QStringLiteral("print the header text of one item"),
                 QStringLiteral("Prints the header text that the item's document begins with (for a "
                                "contact, also the contact's text). NOTEID is a note ID in hexadecimal "
                                "(0x may precede it) or a 32-digit UNID."),
                 {}});
    std::vector<Entry> convertOptions = {
        {QStringLiteral("--folder NAME"),
         QStringLiteral("Converts this folder or view; may be given more than once. Without it every "
                        "folder is converted except ($All). With --all-documents, the folders named are "
                        "converted as well as \"All Documents (every document)\".")}};
    for (const Entry& e : runOptions()) convertOptions.push_back(e);
    c.push_back({QStringLiteral("convert"), QStringLiteral("DB DEST [OPTION]..."),
                 QStringLiteral("convert a database into documents"),
                 QStringLiteral("Converts the items of DB into DEST, one document per item in a folder per "
                                "Notes folder, each item's attachments in a folder beside its document. "
                                "DEST is made if it does not exist.\n\n"
                                "A progress line goes to stderr; at the end a summary goes to stdout: the "
                                "items found, written and failed, then one line per failure and per item "
                                "not converted, and how many of the database's documents no converted folder "
                                "held. A journal in DEST records every item, for --resume and for the report "
                                "command."),
                 convertOptions});
    std::vector<Entry> manyOptions = {
        {QStringLiteral("--manifest FILE"), QStringLiteral("Reads more databases from FILE, one a line.")},
        {QStringLiteral("--shard K/N"),
         QStringLiteral("Converts only the databases whose position in the list (from 0) is K modulo N, "
                        "so that N runs, on one machine or on many, share the list.")}};
    for (const Entry& e : runOptions()) manyOptions.push_back(e);
    c.push_back({QStringLiteral("convert-many"), QStringLiteral("DEST [DB]... [OPTION]..."),
                 QStringLiteral("convert databases, each into its own folder"),
                 QStringLiteral("Converts every database given, each into a folder of DEST named after its "
                                "file (upper-cased, without .nsf or .dxl). A database that cannot be read is "
                                "named and the others go on. The summary ends with one line per database: "
                                "its outcome and counts."),
                 manyOptions});
    c.push_back({QStringLiteral("report"), QStringLiteral("DEST"),
                 QStringLiteral("summarize the runs into a destination"),
                 QStringLiteral("Reads the journals the runs into DEST wrote and prints what was found, "
                                "written and failed, and each database's last outcome. Exits with 1 when a "
                                "database was missing, damaged, failed or saved nothing."),
                 {}});
    c.push_back({QStringLiteral("servers"), QString(), QStringLiteral("list the configured Domino servers"),
                 QStringLiteral("Lists the Domino servers the program knows, one a line: the name, a tab "
                                "and the address; \"admin\" follows those of the administrator's file. "
                                "Says so on stderr when none is configured."),
                 {}});
    c.push_back({QStringLiteral("databases"), QStringLiteral("SERVER"),
                 QStringLiteral("list the databases on a Domino server"),
                 QStringLiteral("Lists the databases on SERVER that the user may read, one a line: the path, "
                                "a tab and the title. Databases that cannot be listed are named on stderr."),
                 {}});
    c.push_back({QStringLiteral("help"), QStringLiteral("[COMMAND]"), QStringLiteral("show this help, or a command's"),
                 QStringLiteral("Prints the help, or the arguments and options of COMMAND."), {}});
    return c;
}

std::vector<CliHelp::Section> makeSections() {
    return {
        {QStringLiteral("DATABASES"),
         QStringLiteral("DB is a Notes database file (.nsf), a Notes XML export (.dxl), or SERVER!!PATH for "
                        "a database on a Domino server. SERVER is a configured server's name, a host name "
                        "or an http:// or https:// address."),
         {}},
        {QStringLiteral("SERVER SIGN-IN"),
         QStringLiteral("The name comes from --user, else TESSELDOC_USER, else a prompt on the terminal; the "
                        "password from --password-file (its first line), else TESSELDOC_PASSWORD, else a "
                        "prompt. Without a terminal nothing is asked."),
         {}},
        {QStringLiteral("ENVIRONMENT"),
         QString(),
         {{QStringLiteral("TESSELDOC_USER"), QStringLiteral("The name to sign in to servers with.")},
          {QStringLiteral("TESSELDOC_PASSWORD"), QStringLiteral("The password to sign in to servers with.")},
          {QStringLiteral("TMPDIR"),
           QStringLiteral("Where a run keeps its private temporary folder (default /tmp).")},
          {QStringLiteral("XDG_CONFIG_HOME"),
           QStringLiteral("Where the user's settings and servers, tesseldoc/tesseldoc.conf, are (default "
                          "~/.config); the file of earlier versions is moved there once.")},
          {QStringLiteral("XDG_CONFIG_DIRS"),
           QStringLiteral("Where the administrator's list of servers, tesseldoc/domino-servers.ini, is "
                          "looked for (default /etc/xdg).")}}},
        {QStringLiteral("EXIT STATUS"),
         QString(),
         {{QStringLiteral("0"), QStringLiteral("Done: everything asked for was read or written.")},
          {QStringLiteral("1"),
           QStringLiteral("Done in part, or not at all: items or attachments failed, the database is "
                          "damaged, or it cannot be read. What went wrong is on stderr or in the summary.")},
          {QStringLiteral("2"), QStringLiteral("The command line is wrong; nothing was done.")},
          {QStringLiteral("130, 143, 129"),
           QStringLiteral("Stopped by SIGINT, SIGTERM or SIGHUP: the item in progress was finished, the "
                          "summary names those not converted (128 plus the signal's number).")}}},
    };
}

QString synopsis(const CliHelp::Command& c) {
    return QStringLiteral("tesseldoc-cli ") + c.name + (c.arguments.isEmpty() ? QString() : QLatin1Char(' ') + c.arguments);
}

}  // namespace

const std::vector<CliHelp::Command>& CliHelp::commands() {
    static const std::vector<Command> all = makeCommands();
    return all;
}

const CliHelp::Command* CliHelp::command(const QString& name) {
    for (const Command& c : commands())
        if (c.name == name) return &c;
    return nullptr;
}

const std::vector<CliHelp::Section>& CliHelp::sections() {
    static const std::vector<Section> all = makeSections();
    return all;
}

const std::vector<CliHelp::Entry>& CliHelp::commonOptions() {
    static const std::vector<Entry> all = {
        {QStringLiteral("--user NAME"), QStringLiteral("Signs in to Domino servers as NAME.")},
        {QStringLiteral("--password-file FILE"),
         QStringLiteral("Reads the password for Domino servers from the first line of FILE.")},
        {QStringLiteral("-h, --help"), QStringLiteral("Prints this help and exits.")},
        {QStringLiteral("--version"), QStringLiteral("Prints the version and exits.")},
    };
    return all;
}

QString CliHelp::wrap(const QString& text, int indent, int width) {
    const QString pad(indent, QLatin1Char(' '));
    QStringList out;
    const QStringList paragraphs = text.split(QStringLiteral("\n\n"));
    for (int p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) out << QString();
        QString line;
        for (const QString& word : paragraphs[p].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
            if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
                out << pad + line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        if (!line.isEmpty()) out << pad + line;
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

namespace {

// Entries as a list: the name on its own line when it is long, the text indented.
QString entryList(const std::vector<Entry>& entries, int indent) {
    QString out;
    const int textColumn = indent + 24;
    for (const Entry& e : entries) {
        const QString name = QString(indent, QLatin1Char(' ')) + e.name;
        const QString text = CliHelp::wrap(e.text, textColumn);
        if (name.size() + 2 <= textColumn)
            out += name.leftJustified(textColumn) + text.mid(textColumn);
        else
            out += name + QLatin1Char('\n') + text;
    }
    return out;
}

}  // namespace

QString CliHelp::helpText() {
    QString out = QStringLiteral("usage: tesseldoc-cli COMMAND [ARGUMENT]... [OPTION]...\n\n");
    out += wrap(QStringLiteral("Converts the items of Lotus Notes databases (NSF files, Notes XML exports, "
                               "databases on Domino servers) into Word documents, as the wizard tesseldoc "
                               "does."),
                0);
    out += QStringLiteral("\ncommands:\n");
    for (const Command& c : commands()) {
        const QString head = QStringLiteral("  ") + c.name + (c.arguments.isEmpty() ? QString() : QLatin1Char(' ') + c.arguments);
        if (head.size() + 2 <= 36)
            out += head.leftJustified(36) + c.summary + QLatin1Char('\n');
        else
            out += head + QLatin1Char('\n') + QString(36, QLatin1Char(' ')) + c.summary + QLatin1Char('\n');
    }
    out += QStringLiteral("\noptions of every command:\n") + entryList(commonOptions(), 2);
    for (const Section& s : sections()) {
        out += QLatin1Char('\n') + s.title.toLower() + QStringLiteral(":\n");
        if (!s.text.isEmpty()) out += wrap(s.text, 2);
        out += entryList(s.entries, 2);
    }
    out += QStringLiteral("\nThe options of a command: tesseldoc-cli help COMMAND\nThe manual: man tesseldoc-cli\n");
    return out;
}

QString CliHelp::commandHelp(const Command& c) {
    QString out = QStringLiteral("usage: ") + synopsis(c) + QStringLiteral("\n\n") + wrap(c.text, 0);
    if (!c.options.empty()) out += QStringLiteral("\noptions:\n") + entryList(c.options, 2);
    return out;
}

QString CliHelp::versionText(const QString& version) {
    return QStringLiteral("tesseldoc-cli ") + version +
           QStringLiteral("\nCopyright The Tesseldoc developers. Licensed under the Apache License, "
                          "Version 2.0.\n");
}

QString CliHelp::roff(const QString& text) {
    QString out;
    out.reserve(text.size() + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\e");
        else if (c == QLatin1Char('-'))
            out += QStringLiteral("\\-");
        else
            out += c;
    }
    // A line that begins with a dot or an apostrophe would be read as a request.
    QStringList lines = out.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\''))) line.prepend(QStringLiteral("\\&"));
    return lines.join(QLatin1Char('\n'));
}

namespace {

// Paragraphs of running text: roff fills them; .PP between them.
QString roffParagraphs(const QString& text) {
    QStringList out;
    for (const QString& p : text.split(QStringLiteral("\n\n"))) out << CliHelp::roff(p.simplified());
    return out.join(QStringLiteral("\n.PP\n")) + QLatin1Char('\n');
}

// An option name in bold, its placeholders (upper-case words) in italics.
QString roffName(const QString& name) {
    QString out;
    for (const QString& word : name.split(QLatin1Char(' '))) {
        if (!out.isEmpty()) out += QLatin1Char(' ');
        const bool placeholder = word == word.toUpper() && word.contains(QRegularExpression(QStringLiteral("[A-Z]")));
        out += (placeholder ? QStringLiteral("\\fI") : QStringLiteral("\\fB")) + CliHelp::roff(word) + QStringLiteral("\\fR");
    }
    return out;
}

QString roffEntries(const std::vector<Entry>& entries) {
    QString out;
    for (const Entry& e : entries)
        out += QStringLiteral(".TP\n") + roffName(e.name) + QLatin1Char('\n') + CliHelp::roff(e.text.simplified()) +
               QLatin1Char('\n');
    return out;
}

}  // namespace

QString CliHelp::manPage(const QString& version, const QString& date) {
    QString out;
    out += QStringLiteral(".\\\" Made by tesseldoc-cli-man from the program's own help; edit src/cli/CliHelp.cpp.\n");
    out += QStringLiteral(".TH TESSELDOC\\-CLI 1 \"%1\" \"tesseldoc %2\" \"User Commands\"\n").arg(date, version);
    out += QStringLiteral(".SH NAME\ntesseldoc\\-cli \\- convert Lotus Notes databases into Word documents\n");
    out += QStringLiteral(".SH SYNOPSIS\n");
    for (const Command& c : commands())
        out += QStringLiteral(".B tesseldoc\\-cli\n") + roffName(c.name) +
               (c.arguments.isEmpty() ? QString() : QLatin1Char(' ') + roffName(c.arguments)) + QStringLiteral("\n.br\n");
    out += QStringLiteral(".B tesseldoc\\-cli\n\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n");
    out += QStringLiteral(".SH DESCRIPTION\n") +
           roffParagraphs(QStringLiteral("tesseldoc-cli converts the items of Lotus Notes databases (NSF files, "
                                         "Notes XML exports, databases on Domino servers) into Word documents, "
                                         "as the wizard tesseldoc(1) does, through LibreOffice or with "
                                         "its own native writers (--engine)."));
    out += QStringLiteral(".SH COMMANDS\n");
    for (const Command& c : commands()) {
        out += QStringLiteral(".SS ") + roff(synopsis(c)) + QLatin1Char('\n');
        out += roffParagraphs(c.text);
        if (!c.options.empty()) out += roffEntries(c.options);
    }
    out += QStringLiteral(".SH OPTIONS\nEvery command takes these.\n") + roffEntries(commonOptions());
    for (const Section& s : sections()) {
        out += QStringLiteral(".SH ") + s.title + QLatin1Char('\n');
        if (!s.text.isEmpty()) out += roffParagraphs(s.text);
        out += roffEntries(s.entries);
    }
    out += QStringLiteral(".SH SEE ALSO\n.BR tesseldoc (1)\n");
    return out;
}

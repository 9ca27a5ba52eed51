#pragma once

#include <QString>
#include <vector>

// What tesseldoc-cli says about itself: its commands with their arguments and
// options, and the notes that hold for all of them. `--help`, `help COMMAND`
// and the manual page (tesseldoc-cli.1, written at build time by
// tesseldoc-cli-man) are all made from these texts, so they cannot disagree.
class CliHelp {
public:
    // One option or one entry of a list: its name as typed, what it does.
    struct Entry {
        QString name;
        QString text;
    };
    struct Command {
        QString name;
        QString arguments;  // what follows the name: "DB DEST [OPTION]..."
        QString summary;    // one line
        QString text;       // paragraphs, separated by an empty line
        std::vector<Entry> options;
    };
    // A note for every command: databases, sign-in, exit status...
    struct Section {
        QString title;
        QString text;
        std::vector<Entry> entries;
    };

    static const std::vector<Command>& commands();
    static const Command* command(const QString& name);
    static const std::vector<Section>& sections();
    // The options every command takes (--user, --password-file).
    static const std::vector<Entry>& commonOptions();

    // What --help prints.
    static QString helpText();
    // What help COMMAND prints.
    static QString commandHelp(const Command& command);
    // "tesseldoc-cli VERSION" and the licence, for --version.
    static QString versionText(const QString& version);
    // The manual page in man(7) roff; `date` as YYYY-MM-DD.
    static QString manPage(const QString& version, const QString& date);

    // `text` broken into lines of at most `width` characters, each indented
    // by `indent` spaces; paragraphs (empty lines) stay apart.
    static QString wrap(const QString& text, int indent, int width = 79);
    // `text` made safe as roff text: backslashes, hyphens of options, lines
    // that begin with a dot or an apostrophe.
    static QString roff(const QString& text);
};

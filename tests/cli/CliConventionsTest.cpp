// tesseldoc-cli by the conventions of the command line: help and version on
// stdout, one-line usage errors with status 2, folder names taken as `folders`
// prints them, an empty server list said; and the help texts the manual page
// is written from.
#include <gtest/gtest.h>

#include "cli/CliHelp.h"
#include "cli/FolderArgument.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace {

const QString kCli = QStringLiteral(TESSELDOC_CLI);
const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kCli, args);
    Result r;
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}  // namespace

TEST(CliConventions, HelpAndVersionGoToStdoutWithStatus0) {
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"help"}}) {
        const Result r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, CliHelp::helpText()) << args.join(' ').toStdString();
        EXPECT_EQ(r.err, QString()) << args.join(' ').toStdString();
    }
    for (const CliHelp::Command& c : CliHelp::commands()) {
        SCOPED_TRACE(c.name.toStdString());
        const Result r = runCli({"help", c.name});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, CliHelp::commandHelp(c));
        // A command's --help is its help, whatever else is on the line.
        EXPECT_EQ(runCli({c.name, "some-db.nsf", "--help"}).out, CliHelp::commandHelp(c));
        for (const QString& line : r.out.split('\n')) EXPECT_LE(line.size(), 80) << line.toStdString();
    }
    for (const QString& line : CliHelp::helpText().split('\n')) EXPECT_LE(line.size(), 80) << line.toStdString();

    const Result v = runCli({"--version"});
    EXPECT_EQ(v.exitCode, 0);
    EXPECT_TRUE(v.out.startsWith(QStringLiteral("tesseldoc-cli " TESSELDOC_VERSION "\n"))) << v.out.toStdString();
    EXPECT_EQ(v.err, QString());
}

TEST(CliConventions, UsageErrorsNameTheProblemInOneLineWithStatus2) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString dest = dir.filePath("never");
    const QList<QPair<QStringList, QString>> cases = {
        {{}, "no command given"},
        {{"frob"}, "unknown command \"frob\""},
        {{"help", "frob"}, "no command named \"frob\""},
        {{"folders"}, "folders takes DB"},
        {{"folders", kDemo, "--frob"}, "unknown option --frob"},
        {{"items", kDemo}, "items takes DB FOLDER"},
        {{"header", kDemo, "xyz"}, "not a note ID"},
        {{"convert", kDemo}, "convert takes DB DEST"},
        {{"convert", kDemo, dest, "--jobs"}, "--jobs needs a value"},
        {{"convert", kDemo, dest, "--folder"}, "--folder needs a value"},
        {{"convert", kDemo, dest, "--mode", "fast"}, "unknown mode"},
        {{"convert", kDemo, dest, "--shard", "0/2"}, "--shard is not an option of convert"},
        {{"convert-many", dest}, "needs a database, or --manifest FILE"},
        {{"convert-many", dest, kDemo, "--folder", "Inbox"}, "--folder is not an option of convert-many"},
        {{"report"}, "report takes DEST"},
        {{"servers", "x"}, "servers takes no arguments"},
        {{"folders", kDemo, "--user"}, "--user needs a value"},
    };
    for (const auto& [args, problem] : cases) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Result r = runCli(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, QString());
        const QStringList lines = r.err.split('\n');
        ASSERT_EQ(lines.size(), 3) << r.err.toStdString();
        EXPECT_TRUE(lines[0].startsWith("tesseldoc-cli: ")) << r.err.toStdString();
        EXPECT_TRUE(lines[0].contains(problem)) << r.err.toStdString();
        EXPECT_EQ(lines[1], QStringLiteral("see tesseldoc-cli --help"));
        EXPECT_FALSE(QFileInfo::exists(dest));
    }
}

TEST(CliConventions, EveryCommandTakesAFolderNameAsFoldersPrintsIt) {
    const Result folders = runCli({"folders", kDemo});
    ASSERT_EQ(folders.exitCode, 0) << folders.err.toStdString();
    QStringList printed;
    for (const QString& line : folders.out.split('\n', Qt::SkipEmptyParts)) printed << line.section('\t', 0, 0);
    ASSERT_TRUE(printed.contains(QStringLiteral("($Inbox)\\\\")));
    ASSERT_TRUE(printed.contains(QStringLiteral("Projects\\\\2012\\\\")));
    for (const QString& name : printed) {
        SCOPED_TRACE(name.toStdString());
        const Result r = runCli({"items", kDemo, name});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("no folder or view")) << r.err.toStdString();
    }
    // As the database gives them, a sub-folder with its single backslash, the
    // backslash at the end or not: the same lists.
    const QString inbox = runCli({"items", kDemo, "($Inbox)\\\\"}).out;
    EXPECT_FALSE(inbox.isEmpty());
    EXPECT_EQ(runCli({"items", kDemo, "($Inbox)"}).out, inbox);
    EXPECT_EQ(runCli({"items", kDemo, "($Inbox)\\"}).out, inbox);
    const QString sub = runCli({"items", kDemo, "Projects\\\\2012\\\\"}).out;
    EXPECT_FALSE(sub.isEmpty());
    EXPECT_EQ(runCli({"items", kDemo, "Projects\\2012"}).out, sub);
    EXPECT_NE(sub, runCli({"items", kDemo, "Projects"}).out);

    const Result missing = runCli({"items", kDemo, "Nope\\\\"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QStringLiteral("tesseldoc-cli: no folder or view named Nope\\\\\n"));

    // convert --folder: the sub-folder is converted, by the name folders printed.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Result r = runCli({"convert", kDemo, dir.filePath("out"), "--folder", "Projects\\\\2012\\\\"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    // (Found counts the documents of the other folders too, as not in a chosen folder.)
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("items: ")));
    EXPECT_TRUE(r.out.contains(QStringLiteral(" found, %1 written, 0 failed")
                                     .arg(sub.count('\n')))) << r.out.toStdString();
}

TEST(CliConventions, ServersSaysOnStderrWhenNoneIsConfigured) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("XDG_CONFIG_DIRS", home.filePath("etc-xdg"));
    const Result r = runCli({"servers"}, env);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(r.err.startsWith("tesseldoc-cli: no Domino server is configured")) << r.err.toStdString();
    EXPECT_EQ(r.err.count('\n'), 1);
}

TEST(FolderArgument, ReadsTheEscapedFormFirstThenTheTextAsTyped) {
    EXPECT_EQ(FolderArgument::readings("($Inbox)\\\\"), QStringList({"($Inbox)", "($Inbox)\\"}));
    EXPECT_EQ(FolderArgument::readings("($Inbox)"), QStringList({"($Inbox)"}));
    EXPECT_EQ(FolderArgument::readings("($Inbox)\\"), QStringList({"($Inbox)"}));
    // Not a valid escaped form: only as typed.
    EXPECT_EQ(FolderArgument::readings("Projects\\2012"), QStringList({"Projects\\2012"}));
    EXPECT_EQ(FolderArgument::readings("Tab\\there\\\\"), QStringList({"Tab\there", "Tab\\there\\"}));
    EXPECT_EQ(FolderArgument::readings("\\\\"), QStringList({"\\"}));
    EXPECT_EQ(FolderArgument::readings(""), QStringList());
    const QSet<QString> known = {"a\\b", "($Inbox)"};
    auto exists = [&known](const QString& n) { return known.contains(n); };
    EXPECT_EQ(FolderArgument::resolve("a\\\\b\\\\", exists), "a\\b");
    EXPECT_EQ(FolderArgument::resolve("a\\b", exists), "a\\b");
    EXPECT_EQ(FolderArgument::resolve("Nope", exists), QString());
}

TEST(CliHelp, TheManualPageCarriesEveryCommandAndOption) {
    const QString page = CliHelp::manPage("9.8.7", "2026-01-02");
    EXPECT_TRUE(page.startsWith(".\\\"")) << "a comment first";
    EXPECT_TRUE(page.contains(".TH TESSELDOC\\-CLI 1 \"2026-01-02\" \"tesseldoc 9.8.7\"")) << page.toStdString();
    auto bold = [](const QString& word) { return "\\fB" + CliHelp::roff(word) + "\\fR"; };
    for (const CliHelp::Command& c : CliHelp::commands()) {
        EXPECT_TRUE(page.contains(".SS " + CliHelp::roff("tesseldoc-cli " + c.name))) << c.name.toStdString();
        for (const CliHelp::Entry& o : c.options)
            EXPECT_TRUE(page.contains(bold(o.name.section(' ', 0, 0)))) << o.name.toStdString();
    }
    for (const CliHelp::Section& s : CliHelp::sections()) EXPECT_TRUE(page.contains(".SH " + s.title + "\n"));
    // No line of running text begins with a request character.
    for (const QString& line : page.split('\n')) {
        if (line.startsWith('.')) {
            EXPECT_TRUE(QRegularExpression(R"(^\.(\\"|TH|SH|SS|TP|PP|B|BR|br)( |$))").match(line).hasMatch())
                << line.toStdString();
        }
        EXPECT_FALSE(line.startsWith('\'')) << line.toStdString();
    }
    EXPECT_EQ(CliHelp::roff("a\\b -x\n.y\n'z"), "a\\eb \\-x\n\\&.y\n\\&'z");
}

TEST(CliHelp, WrapKeepsParagraphsAndWidth) {
    const QString text = QString("word ").repeated(40).trimmed() + "\n\nnext";
    const QString wrapped = CliHelp::wrap(text, 4, 30);
    for (const QString& line : wrapped.split('\n', Qt::SkipEmptyParts)) {
        EXPECT_LE(line.size(), 30);
        EXPECT_TRUE(line.startsWith("    ")) << line.toStdString();
    }
    EXPECT_TRUE(wrapped.endsWith("word\n\n    next\n")) << wrapped.toStdString();
}

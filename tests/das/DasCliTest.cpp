// tesseldoc-cli on server databases, against the loopback server.

#include "DasTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace dastest;

namespace {

const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

class Cli {
public:
    Cli() {
        QDir(m_home.path()).mkpath(QStringLiteral("config/Local AppWizard-Generated Applications1"));
        QDir(m_home.path()).mkpath(QStringLiteral("config/tesseldoc"));
        QDir(m_home.path()).mkpath(QStringLiteral("xdg"));
    }
    // The user's settings; in the place of earlier versions with oldPlace,
    // which the program moves to config/tesseldoc/tesseldoc.conf.
    void configure(const QByteArray& ini, bool oldPlace = false) {
        QFile f(m_home.filePath(oldPlace ? QStringLiteral("config/Local AppWizard-Generated Applications1/Tesseldoc.conf")
                                         : QStringLiteral("config/tesseldoc/tesseldoc.conf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ini);
    }
    CliRun run(const QStringList& args, const QMap<QString, QString>& env = {}) {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        e.insert(QStringLiteral("XDG_CONFIG_DIRS"), m_home.filePath(QStringLiteral("xdg")));
        e.insert(QStringLiteral("TZ"), QStringLiteral("UTC-1"));
        e.remove(QStringLiteral("TESSELDOC_PASSWORD"));
        e.remove(QStringLiteral("TESSELDOC_USER"));
        for (auto it = env.begin(); it != env.end(); ++it) e.insert(it.key(), it.value());
        p.setProcessEnvironment(e);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(TESSELDOC_CLI), args);
        CliRun r;
        if (!p.waitForFinished(120000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString path(const QString& name) const { return m_home.filePath(name); }

private:
    QTemporaryDir m_home;
};

}  // namespace

TEST(DasCli, ServersDatabasesFoldersItemsAndHeaders) {
    if (!QFile::exists(kDemo)) GTEST_SKIP() << "no demo database";
    ProviderScope scope(nullptr);
    fakedomino::Server fake;
    ASSERT_TRUE(fake.addDatabaseFile(QStringLiteral("demo-mail.nsf"), kDemo));
    ASSERT_NE(fake.start(), 0);
    Cli cli;
    // Written where earlier versions kept the settings: the first run moves them.
    cli.configure("[DominoServers]\nLoopback\\url=" + fake.baseUrl().toUtf8() + "\nLoopback\\proxy=none\n", true);

    CliRun r = cli.run({QStringLiteral("servers")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Loopback\t%1\n").arg(fake.baseUrl()));
    EXPECT_TRUE(QFile::exists(cli.path(QStringLiteral("config/tesseldoc/tesseldoc.conf"))));
    EXPECT_FALSE(QFile::exists(cli.path(QStringLiteral("config/Local AppWizard-Generated Applications1/Tesseldoc.conf"))));

    r = cli.run({QStringLiteral("databases"), QStringLiteral("LOOPBACK")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("demo-mail.nsf\tAnn Lee (demo mail)\n"));

    const QString onServer = QStringLiteral("loopback!!demo-mail.nsf");
    const CliRun filesFolders = cli.run({QStringLiteral("folders"), kDemo});
    const CliRun serverFolders = cli.run({QStringLiteral("folders"), onServer});
    EXPECT_EQ(serverFolders.code, 0) << serverFolders.err.toStdString();
    EXPECT_EQ(filesFolders.out, serverFolders.out);

    const CliRun fileItems = cli.run({QStringLiteral("items"), kDemo, QStringLiteral("($Inbox)")});
    const CliRun serverItems = cli.run({QStringLiteral("items"), fake.baseUrl() + QStringLiteral("!!demo-mail.nsf"),
                                     QStringLiteral("($Inbox)")});
    EXPECT_EQ(serverItems.code, 0) << serverItems.err.toStdString();
    const auto withoutSizes = [](const QString& out) {
        QStringList lines;
        for (const QString& line : out.split(QLatin1Char('\n'))) {
            QStringList columns = line.split(QLatin1Char('\t'));
            if (columns.size() > 5) columns[5].clear();  // the service has no note size
            lines << columns.join(QLatin1Char('\t'));
        }
        return lines.join(QLatin1Char('\n')).toStdString();
    };
    EXPECT_EQ(withoutSizes(fileItems.out), withoutSizes(serverItems.out));
    ASSERT_FALSE(fileItems.out.isEmpty());

    // The header of the first item, by note ID from the file and by UNID from the server.
    const QString noteId = fileItems.out.section(QLatin1Char('\t'), 1, 1);
    const CliRun fileHeader = cli.run({QStringLiteral("header"), kDemo, noteId});
    ASSERT_EQ(fileHeader.code, 0) << fileHeader.err.toStdString();
    store::StoreError e;
    auto demo = store::openStore(kDemo, QString(), e);
    ASSERT_TRUE(demo);
    store::StoreNote note;
    ASSERT_TRUE(demo->loadNote(noteId.toUInt(nullptr, 16), note).ok());
    const CliRun byUnid = cli.run({QStringLiteral("header"), onServer, note.unid});
    EXPECT_EQ(byUnid.code, 0) << byUnid.err.toStdString();
    EXPECT_EQ(fileHeader.out.toStdString(), byUnid.out.toStdString());
    const CliRun byNoteId = cli.run({QStringLiteral("header"), onServer, noteId});
    EXPECT_EQ(byNoteId.code, 0) << byNoteId.err.toStdString();
    EXPECT_EQ(fileHeader.out.toStdString(), byNoteId.out.toStdString());
}

TEST(DasCli, PasswordsFromTheEnvironmentOrAFileAndAClearRefusal) {
    fakedomino::Profile profile;
    profile.auth = fakedomino::Auth::Session;
    profile.users = {{QStringLiteral("Ann Lee"), QStringLiteral("s3cret")}};
    fakedomino::Server fake(profile);
    fake.addDatabase(dbOf(QStringLiteral("mail/alee.nsf"), QStringLiteral("Ann"), memoStore(3)));
    ASSERT_NE(fake.start(), 0);
    Cli cli;
    cli.configure("[DominoServers]\nLoop\\url=" + fake.baseUrl().toUtf8() +
                  "\nLoop\\proxy=none\nLoop\\allowHttp=true\nLoop\\user=Ann Lee\n");
    CliRun r = cli.run({QStringLiteral("databases"), QStringLiteral("Loop")}, {{QStringLiteral("TESSELDOC_PASSWORD"), QStringLiteral("s3cret")}});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("mail/alee.nsf\tAnn\n"));

    QFile file(cli.path(QStringLiteral("pw")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("s3cret\n");
    file.close();
    r = cli.run({QStringLiteral("--password-file"), file.fileName(), QStringLiteral("folders"), QStringLiteral("Loop!!mail\\alee.nsf")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\t3\n"))) << r.out.toStdString();

    r = cli.run({QStringLiteral("databases"), QStringLiteral("Loop")}, {{QStringLiteral("TESSELDOC_PASSWORD"), QStringLiteral("nope")}});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("refused the name and password of Ann Lee"))) << r.err.toStdString();

    // No password anywhere and no terminal: a clear refusal, not a hang.
    r = cli.run({QStringLiteral("databases"), QStringLiteral("Loop")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("needs a name and password"))) << r.err.toStdString();
}

// tesseldoc-cli convert run as a separate program over the demo database and
// the real office: stop signals at start-up and mid-run, a killed run's
// leftovers, and paths a careless or hostile user may give.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

namespace {

const QString kCli = QStringLiteral(TESSELDOC_CLI);
const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

// Every file below root, hidden ones too, relative to root.
QStringList filesBelow(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

// A pid that no process has now: a child that has ended and been reaped.
pid_t deadPid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

class CliRun : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_tmp = m_dir.filePath(QStringLiteral("tmp"));
        m_dest = m_dir.filePath(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(m_tmp));
    }

    QProcess* start(const QStringList& args) {
        auto* p = new QProcess();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), m_tmp);
        p->setProcessEnvironment(env);
        p->start(kCli, args);
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }
    static Result finish(QProcess* p, int timeoutMs = 180000) {
        Result r;
        if (!p->waitForFinished(timeoutMs)) {
            p->kill();
            p->waitForFinished();
        }
        r.exitCode = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
        r.out = QString::fromUtf8(p->readAllStandardOutput());
        r.err = QString::fromUtf8(p->readAllStandardError());
        delete p;
        return r;
    }
    Result run(const QStringList& args) { return finish(start(args)); }

    // Waits until at least `count` documents are below the destination.
    bool waitForDocuments(int count, int timeoutMs = 120000) {
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            int docs = 0;
            for (const QString& f : filesBelow(m_dest))
                if (f.endsWith(QLatin1String(".doc"))) ++docs;
            if (docs >= count) return true;
            QThread::msleep(20);
        }
        return false;
    }

    // Checks a stopped run's report: counts add up, every item not reached is
    // named, nothing partial or temporary is left.
    // The exit status is 128 plus the signal's number, as a shell reports a
    // program the signal ended.
    void expectStoppedCleanly(const Result& r, int sig, bool midRun) {
        EXPECT_EQ(r.exitCode, 128 + sig) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("stopped:"))) << r.err.toStdString();
        const QRegularExpression summary(
            QStringLiteral("^items: (\\d+) found, (\\d+) written, (\\d+) failed, (\\d+) not converted$"),
            QRegularExpression::MultilineOption);
        const auto m = summary.match(r.out);
        ASSERT_TRUE(m.hasMatch()) << r.out.toStdString();
        const int found = m.captured(1).toInt(), written = m.captured(2).toInt(), failed = m.captured(3).toInt(),
                  notConverted = m.captured(4).toInt();
        EXPECT_EQ(found, written + failed + notConverted);
        EXPECT_EQ(failed, 0) << r.out.toStdString();
        EXPECT_EQ(r.out.count(QRegularExpression(QStringLiteral("(^|\\n)not converted: [^\\n]*\\t[0-9a-f]+\\tstopped\\n"))),
                  notConverted);
        EXPECT_GT(notConverted, 0);
        if (midRun) {
            EXPECT_GT(written, 0);
        } else {
            EXPECT_EQ(written, 0);
            EXPECT_EQ(found, s_demoItems) << "folders not reached are counted in found";
        }
        int docs = 0;
        for (const QString& f : filesBelow(m_dest)) {
            // The run's journal, its key and the lock stay in the destination on purpose (a later run
            // resumes from them).
            const QString name = QFileInfo(f).fileName();
            if (name == QLatin1String(".tesseldoc-journal") || name == QLatin1String(".tesseldoc-key") ||
                name == QLatin1String(".tesseldoc.lock"))
                continue;
            EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << "left behind: " << f.toStdString();
            if (f.endsWith(QLatin1String(".doc"))) ++docs;
        }
        EXPECT_GE(docs, written);
        EXPECT_EQ(QDir(m_tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList())
            << "the temporary directory stays";
    }

    static inline int s_demoItems = -1;
    QTemporaryDir m_dir;
    QString m_tmp;
    QString m_dest;
};

}  // namespace

TEST_F(CliRun, CompleteRunCountsAddUp) {
    const Result r = run({QStringLiteral("convert"), kDemo, m_dest});
    ASSERT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    const auto m = QRegularExpression(QStringLiteral("^items: (\\d+) found, (\\d+) written, 0 failed\\n"))
                       .match(r.out);
    ASSERT_TRUE(m.hasMatch()) << r.out.toStdString();
    EXPECT_EQ(m.captured(1), m.captured(2));
    s_demoItems = m.captured(1).toInt();
    EXPECT_EQ(QDir(m_tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

TEST_F(CliRun, EachStopSignalAtStartUpNamesEveryItem) {
    if (s_demoItems < 0) GTEST_SKIP() << "needs the complete run first";
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        QDir(m_dest).removeRecursively();
        QProcess* p = start({QStringLiteral("convert"), kDemo, m_dest});
        QThread::msleep(250);  // reading the database or starting the office
        ::kill(pid_t(p->processId()), sig);
        expectStoppedCleanly(finish(p), sig, false);
    }
}

TEST_F(CliRun, EachStopSignalMidRunFinishesTheItemAndNamesTheRest) {
    if (s_demoItems < 0) GTEST_SKIP() << "needs the complete run first";
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(sig);
        QDir(m_dest).removeRecursively();
        QProcess* p = start({QStringLiteral("convert"), kDemo, m_dest});
        ASSERT_TRUE(waitForDocuments(3));
        ::kill(pid_t(p->processId()), sig);
        expectStoppedCleanly(finish(p), sig, true);
    }
}

TEST_F(CliRun, NextRunRemovesWhatAKilledRunLeft) {
    // A run killed outright leaves its temporary directory; the office goes with it.
    QProcess* p = start({QStringLiteral("convert"), kDemo, m_dest});
    ASSERT_TRUE(waitForDocuments(2));
    ::kill(pid_t(p->processId()), SIGKILL);
    finish(p);
    EXPECT_FALSE(QDir(m_tmp).entryList({QStringLiteral("tesseldoc-*")}, QDir::Dirs).isEmpty());

    // Leftovers of dead processes of ours, with their pid in the name, and some that are not ours.
    const pid_t dead = deadPid();
    const QString part = QStringLiteral(".~tesseldoc-%1-0123456789abcdef.doc.part").arg(dead);
    const QStringList stale = {
        QStringLiteral("Inbox/") + part,
        QStringLiteral("Inbox/.~lock.") + part + QLatin1Char('#'),
        QStringLiteral("Inbox/xAttachments/.~tesseldoc-%1-a1b2c3d4e5f60718.part").arg(dead),
    };
    const QStringList kept = {
        QStringLiteral("Inbox/.~tesseldoc-%1-0123456789abcdef.doc.part").arg(::getpid()),  // alive
        QStringLiteral("Inbox/.~tesseldoc-notes.txt"),
        QStringLiteral("Inbox/.hidden-by-the-user"),
    };
    for (const QString& f : stale + kept) {
        QDir().mkpath(QFileInfo(m_dest + QLatin1Char('/') + f).path());
        QFile file(m_dest + QLatin1Char('/') + f);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("partial");
    }
    const QString staleDir = m_tmp + QStringLiteral("/tesseldoc-%1-AbC123").arg(dead);
    ASSERT_TRUE(QDir().mkpath(staleDir + QStringLiteral("/office-1")));
    QFile mail(staleDir + QStringLiteral("/NewTxt.txt"));
    ASSERT_TRUE(mail.open(QIODevice::WriteOnly));
    mail.write("private mail text");
    mail.close();
    const QString pipe = QStringLiteral("/tmp/OSL_PIPE_%1_tesseldoc-%2-1-0123abcd").arg(::getuid()).arg(dead);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(pipe).constData());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(sock);

    // The next run (of an unknown folder: it makes no directory for it) cleans up.
    const Result r = run({QStringLiteral("convert"), kDemo, m_dest, QStringLiteral("--folder"), QStringLiteral("Nope")});
    EXPECT_EQ(r.exitCode, 1);
    // The database's documents are all outside the chosen folder: found, and left behind.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^items: (\\d+) found, 0 written, 0 failed, \\1 not in a chosen "
                                                  "folder\\nfailed: Nope\\t0\\t"))
                    .match(r.out)
                    .hasMatch())
        << r.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(m_dest + QStringLiteral("/Nope")));
    for (const QString& f : stale) EXPECT_FALSE(QFileInfo::exists(m_dest + QLatin1Char('/') + f)) << f.toStdString();
    for (const QString& f : kept) EXPECT_TRUE(QFileInfo::exists(m_dest + QLatin1Char('/') + f)) << f.toStdString();
    EXPECT_EQ(QDir(m_tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    struct stat info;
    EXPECT_NE(::lstat(QFile::encodeName(pipe).constData(), &info), 0) << "the dead office's pipe stays";
    ::unlink(QFile::encodeName(pipe).constData());
}

TEST_F(CliRun, HostilePathsAreRefusedOrAvoided) {
    // A FIFO as the database: refused at once, not read for ever.
    const QString fifo = m_dir.filePath(QStringLiteral("db.dxl"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& command : {QStringLiteral("folders"), QStringLiteral("convert")}) {
        QStringList args{command, fifo};
        if (command == QLatin1String("convert")) args << m_dest;
        const Result r = finish(start(args), 20000);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QLatin1String("is a FIFO"))) << r.err.toStdString();
    }

    // A destination that is not valid UTF-8 is refused instead of being written elsewhere.
    const QByteArray badDest = QFile::encodeName(m_dir.path()) + "/out\xff\xfe";
    const pid_t child = ::fork();
    if (child == 0) {
        const QByteArray cli = QFile::encodeName(kCli), demo = QFile::encodeName(kDemo);
        ::execl(cli.constData(), cli.constData(), "convert", demo.constData(), badDest.constData(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_EQ(QDir(m_dir.path()).entryList({QStringLiteral("out*")}, QDir::AllEntries), QStringList());

    // An unusable temporary directory is named as such.
    {
        auto* p = new QProcess();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("no/such/dir")));
        p->setProcessEnvironment(env);
        p->start(kCli, {QStringLiteral("convert"), kDemo, m_dest});
        const Result r = finish(p, 60000);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QLatin1String("the temporary directory"))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QLatin1String("Microsoft Word"))) << r.err.toStdString();
    }

    // A link inside the destination is never followed: the folder gets the next numbered name.
    const QString outside = m_dir.filePath(QStringLiteral("outside"));
    ASSERT_TRUE(QDir().mkpath(outside));
    ASSERT_TRUE(QDir().mkpath(m_dest));
    ASSERT_TRUE(QFile::link(outside, m_dest + QStringLiteral("/Inbox")));
    const Result r = run({QStringLiteral("convert"), kDemo, m_dest, QStringLiteral("--folder"), QStringLiteral("($Inbox)")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    EXPECT_FALSE(QDir(m_dest + QStringLiteral("/Inbox0")).entryList({QStringLiteral("*.doc")}).isEmpty());
    for (const QString& f : filesBelow(m_dest + QStringLiteral("/Inbox0")))
        EXPECT_FALSE(QFileInfo(f).fileName().startsWith(QLatin1Char('.'))) << f.toStdString();
}

// A journal deleted or emptied: `report` says the documents on disk are in no
// journal and does not end with success; `convert --resume` warns, takes the
// documents already there as written instead of writing them twice, and the
// journal and the disk agree again.
TEST_F(CliRun, ALostOrEmptiedJournalIsRebuiltFromTheDocumentsOnDisk) {
    const auto documents = [this] {
        QStringList docs;
        for (const QString& f : filesBelow(m_dest))
            if (f.endsWith(QLatin1String(".doc"))) docs << f;
        return docs;
    };
    const Result first = run({QStringLiteral("convert"), kDemo, m_dest});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QStringList written = documents();
    ASSERT_FALSE(written.isEmpty());
    const QString journal = m_dest + QStringLiteral("/.tesseldoc-journal");
    for (const char* loss : {"deleted", "emptied"}) {
        SCOPED_TRACE(loss);
        if (QByteArray(loss) == "deleted") {
            ASSERT_TRUE(QFile::remove(journal));
        } else {
            QFile f(journal);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        }
        const Result before = run({QStringLiteral("report"), m_dest});
        EXPECT_EQ(before.exitCode, 1);
        EXPECT_TRUE(before.err.contains(QByteArray(loss) == "deleted" ? "the journal was deleted" : "in no journal"))
            << before.err.toStdString();

        const Result resumed = run({QStringLiteral("convert"), kDemo, m_dest, QStringLiteral("--resume")});
        EXPECT_EQ(resumed.exitCode, 0) << resumed.err.toStdString();
        EXPECT_TRUE(resumed.err.contains(QStringLiteral("was %1").arg(QString::fromLatin1(loss)))) << resumed.err.toStdString();
        EXPECT_TRUE(resumed.err.contains(QStringLiteral("%1 document(s) already in the destination without a journal "
                                                        "record were taken as written")
                                             .arg(written.size())))
            << resumed.err.toStdString();
        EXPECT_TRUE(resumed.out.contains(QStringLiteral("already written: %1\n").arg(written.size())))
            << resumed.out.toStdString();
        EXPECT_EQ(documents(), written);

        const Result after = run({QStringLiteral("report"), m_dest});
        EXPECT_EQ(after.exitCode, 0) << after.err.toStdString();
        EXPECT_TRUE(after.out.contains(QStringLiteral("documents on disk: %1\n").arg(written.size())))
            << after.out.toStdString();
        EXPECT_TRUE(after.out.contains(QStringLiteral(", %1 written, 0 failed\n").arg(written.size())))
            << after.out.toStdString();
    }
}

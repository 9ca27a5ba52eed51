// tesseldoc-cli at scale, run as its users run it: separate processes, the
// real office, runs killed with SIGKILL and resumed.
#include "GeneratedMailDb.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/types.h>

namespace {

QString cli() { return qEnvironmentVariable("TESSELDOC_CLI"); }

struct Result {
    int code = -1;
    QString out, err;
};

Result runCli(const QStringList& args, int timeoutMs = 600000) {
    QProcess p;
    p.start(cli(), args);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int lineCount(const QString& path) { return int(readAll(path).count('\n')); }

// The text of a written document, as an independent reader sees it.
QString docText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"), path});
    if (!p.waitForFinished(60000)) return QStringLiteral("<catdoc hung>");
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A tree as users see it: every visible file by relative path; a document by
// its text (its bytes hold the time it was saved), anything else by its bytes.
// Hidden files (the journal, the lock, partial files) are listed separately.
struct Tree {
    QMap<QString, QByteArray> files;
    QStringList hidden;
};

Tree snapshot(const QString& root) {
    Tree t;
    const bool haveCatdoc = !QStandardPaths::findExecutable(QStringLiteral("catdoc")).isEmpty();
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QString rel = QDir(root).relativeFilePath(p);
        if (it.fileName().startsWith(QLatin1Char('.'))) {
            t.hidden << rel;
            continue;
        }
        if (rel.endsWith(QLatin1String(".doc")))
            t.files.insert(rel, haveCatdoc ? docText(p).toUtf8() : QByteArray("doc"));
        else
            t.files.insert(rel, readAll(p));
    }
    t.hidden.sort();
    return t;
}

QStringList docNames(const Tree& t) {
    QStringList out;
    for (auto it = t.files.begin(); it != t.files.end(); ++it)
        if (it.key().endsWith(QLatin1String(".doc"))) out << it.key();
    return out;
}

class ScaleCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (cli().isEmpty() || !QFile::exists(cli())) GTEST_SKIP() << "TESSELDOC_CLI does not name tesseldoc-cli";
    }
    QTemporaryDir m_dir;
};

}  // namespace

// A run killed with SIGKILL at many points and resumed writes exactly the tree
// of a run that was never interrupted; a second run into a destination in use
// is refused. The database is large enough that the run is still going when
// the journal reaches the kill points (the native engine writes about a
// thousand small mails a second).
void killedRunsResume(const QString& dir, const QString& engine, int documents) {
    const QString db = dir + "/mail.dxl";
    ASSERT_TRUE(GeneratedMailDb::write(db, documents));
    const QString found = QStringLiteral("items: %1 found").arg(documents);
    const QString reference = dir + "/reference";
    const Result ref = runCli({"convert", db, reference, "--engine", engine});
    ASSERT_EQ(ref.code, 0) << ref.out.toStdString() << ref.err.toStdString();
    ASSERT_TRUE(ref.out.contains(found + QStringLiteral(", %1 written, 0 failed").arg(documents)))
        << ref.out.toStdString();
    const Tree expected = snapshot(reference);
    ASSERT_EQ(docNames(expected).size(), documents);

    // Journal lines at which the run is killed (each item adds two: names
    // chosen, document in place), and one kill after a time.
    const QList<int> killAtLines = {2, 5, 12, 31, 60, -1};
    int index = 0;
    for (const int killAt : killAtLines) {
        SCOPED_TRACE("kill point " + std::to_string(killAt));
        const QString dest = dir + QStringLiteral("/run%1").arg(index++);
        const QString journal = dest + "/.tesseldoc-journal";
        QProcess victim;
        victim.start(cli(), {"convert", db, dest, "--engine", engine});
        ASSERT_TRUE(victim.waitForStarted());
        QElapsedTimer timer;
        timer.start();
        bool refusedChecked = index != 1;
        while (victim.state() == QProcess::Running && timer.elapsed() < 120000) {
            if (killAt < 0 ? lineCount(journal) >= 4 && timer.elapsed() > 2500 : lineCount(journal) >= killAt) break;
            if (!refusedChecked && QFile::exists(journal)) {
                const Result second = runCli({"convert", db, dest, "--engine", engine});
                EXPECT_EQ(second.code, 1);
                EXPECT_TRUE(second.err.contains("another run is already writing into")) << second.err.toStdString();
                refusedChecked = true;
            }
            QThread::usleep(300);
        }
        victim.kill();  // SIGKILL
        victim.waitForFinished();
        if (killAt == 31) {
            // Killed again while resuming.
            QProcess again;
            again.start(cli(), {"convert", db, dest, "--resume", "--engine", engine});
            ASSERT_TRUE(again.waitForStarted());
            timer.restart();
            const int lines = lineCount(journal);
            while (again.state() == QProcess::Running && timer.elapsed() < 120000 && lineCount(journal) < lines + 9)
                QThread::usleep(300);
            again.kill();
            again.waitForFinished();
        }
        const Result resumed = runCli({"convert", db, dest, "--resume", "--engine", engine});
        EXPECT_EQ(resumed.code, 0) << resumed.out.toStdString() << resumed.err.toStdString();
        const Tree got = snapshot(dest);
        EXPECT_EQ(docNames(got), docNames(expected));
        for (auto it = expected.files.begin(); it != expected.files.end(); ++it)
            EXPECT_EQ(got.files.value(it.key()), it.value()) << "differs: " << it.key().toStdString();
        for (auto it = got.files.begin(); it != got.files.end(); ++it)
            EXPECT_TRUE(expected.files.contains(it.key())) << "extra: " << it.key().toStdString();
        for (const QString& h : got.hidden)
            EXPECT_FALSE(h.contains(".~tesseldoc-")) << "partial file left: " << h.toStdString();
        // Every item is either already written or written now, exactly once.
        const QRegularExpression counts(found + ", (\\d+) written, 0 failed\\nalready written: (\\d+)");
        const QRegularExpressionMatch m = counts.match(resumed.out);
        ASSERT_TRUE(m.hasMatch()) << resumed.out.toStdString();
        EXPECT_EQ(m.captured(1).toInt() + m.captured(2).toInt(), documents) << resumed.out.toStdString();
    }
}

TEST_F(ScaleCli, KilledNativeRunsResumeToTheTreeOfAnUninterruptedRun) {
    killedRunsResume(m_dir.path(), QStringLiteral("native"), 1500);
}

// Many databases from a manifest: each into its sub-folder, each source named
// with its outcome; the bad lines cost only themselves. Then the same manifest
// in two shards, and the report over their journals.
TEST_F(ScaleCli, ManifestOfManyDatabasesWithBadEntriesAndShards) {
    const QString a = m_dir.path() + "/alpha.dxl";
    const QString b = m_dir.path() + "/Beta.DXL";
    const QString c = m_dir.path() + "/gamma.dxl";
    ASSERT_TRUE(GeneratedMailDb::write(a, 6));
    ASSERT_TRUE(GeneratedMailDb::write(b, 4));
    ASSERT_TRUE(GeneratedMailDb::write(c, 3));
    const QString manifest = m_dir.path() + "/manifest.txt";
    {
        QFile f(manifest);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((a + "\n\n" + b + "\n" + m_dir.path() + "/missing.nsf\n" + m_dir.path() + "/./alpha.dxl\n" +
                 "127.0.0.1:9!!mail/down.nsf\n" + m_dir.path() + "\n" + c + "\n")
                    .toUtf8());
    }
    const QString dest = m_dir.path() + "/many";
    const Result r = runCli({"convert-many", dest, "--manifest", manifest});
    EXPECT_EQ(r.code, 1) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("items: 13 found, 13 written, 0 failed")) << r.out.toStdString();
    const QStringList lines = r.out.split('\n');
    auto sourceLine = [&lines](const QString& start) {
        for (const QString& l : lines)
            if (l.startsWith("source: " + start)) return l;
        return QString();
    };
    EXPECT_TRUE(sourceLine(a).contains("\tProcess Completed\tALPHA/\t6 found, 6 written, 0 failed"))
        << sourceLine(a).toStdString();
    EXPECT_TRUE(sourceLine(b).contains("\tProcess Completed\tBETA/\t4 found")) << sourceLine(b).toStdString();
    EXPECT_TRUE(sourceLine(m_dir.path() + "/missing.nsf").contains("\tFail to save\tno such file (manifest line 4)"));
    EXPECT_TRUE(sourceLine(m_dir.path() + "/./alpha.dxl").contains("\tskipped\tthe same database as manifest line 1"));
    EXPECT_TRUE(sourceLine("127.0.0.1:9!!mail/down.nsf").contains("\tFail to save\t"));
    EXPECT_TRUE(sourceLine(m_dir.path() + "\t").contains("not a regular file"));
    EXPECT_TRUE(sourceLine(c).contains("\tProcess Completed\tGAMMA/"));
    EXPECT_EQ(docNames(snapshot(dest + "/ALPHA")).size(), 6);
    EXPECT_EQ(docNames(snapshot(dest + "/BETA")).size(), 4);

    const Result report = runCli({"report", dest});
    EXPECT_TRUE(report.out.contains("items: 13 found, 13 written, 0 failed")) << report.out.toStdString();
    // The databases that could not be converted are in the journal: named, and no success.
    EXPECT_EQ(report.code, 1);
    EXPECT_TRUE(report.out.contains("source: " + m_dir.path() + "/missing.nsf\tFail to save\tno such file"))
        << report.out.toStdString();
    EXPECT_TRUE(report.err.contains("not converted completely")) << report.err.toStdString();

    // Two shards, one after the other, into one destination: the same tree.
    const QString sharded = m_dir.path() + "/sharded";
    const Result s0 = runCli({"convert-many", sharded, "--manifest", manifest, "--shard", "0/2"});
    const Result s1 = runCli({"convert-many", sharded, "--manifest", manifest, "--shard", "1/2"});
    EXPECT_TRUE(s0.out.contains(a)) << s0.out.toStdString();
    EXPECT_FALSE(s0.out.contains(b));
    EXPECT_TRUE(s1.out.contains(b)) << s1.out.toStdString();
    EXPECT_EQ(docNames(snapshot(sharded)), docNames(snapshot(dest)));
    const Result merged = runCli({"report", sharded});
    EXPECT_TRUE(merged.out.contains("journals: 2")) << merged.out.toStdString();
    EXPECT_TRUE(merged.out.contains("items: 13 found, 13 written, 0 failed")) << merged.out.toStdString();

    // Resumed, nothing is written twice.
    const Result resumed = runCli({"convert-many", sharded, "--manifest", manifest, "--shard", "0/2", "--resume"});
    EXPECT_TRUE(resumed.out.contains("items: 6 found, 0 written, 0 failed\nalready written: 6"))
        << resumed.out.toStdString();
    EXPECT_EQ(docNames(snapshot(sharded)), docNames(snapshot(dest)));

    // Usage errors come before any work.
    EXPECT_EQ(runCli({"convert-many", dest, a, "--shard", "2/2"}).code, 2);
    EXPECT_EQ(runCli({"convert-many", dest, "--manifest", m_dir.path() + "/none.txt"}).code, 1);
}

namespace {

// The processes below `root` (children, their children, ...), with their names.
QMap<qint64, QString> descendants(qint64 root) {
    QMap<qint64, qint64> parent;
    QMap<qint64, QString> name;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok) continue;
        const QByteArray stat = readAll(QStringLiteral("/proc/%1/stat").arg(pid));
        const int close = stat.lastIndexOf(')');
        if (close < 0) continue;
        name.insert(pid, QString::fromUtf8(stat.mid(stat.indexOf('(') + 1, close - stat.indexOf('(') - 1)));
        parent.insert(pid, stat.mid(close + 2).split(' ').value(1).toLongLong());
    }
    QMap<qint64, QString> out;
    bool grew = true;
    while (grew) {
        grew = false;
        for (auto it = parent.begin(); it != parent.end(); ++it)
            if ((it.value() == root || out.contains(it.value())) && !out.contains(it.key())) {
                out.insert(it.key(), name.value(it.key()));
                grew = true;
            }
    }
    return out;
}

}  // namespace

// Three office instances write the same tree as one: the same names, numbers
// and attachment folders, the same text in every document.
TEST_F(ScaleCli, ThreeInstancesWriteTheTreeOfOne) {
    const QString db = m_dir.path() + "/mail.dxl";
    ASSERT_TRUE(GeneratedMailDb::write(db, 60));
    const QString one = m_dir.path() + "/one";
    const QString three = m_dir.path() + "/three";
    const Result r1 = runCli({"convert", db, one, "--jobs", "1"});
    ASSERT_EQ(r1.code, 0) << r1.out.toStdString() << r1.err.toStdString();
    const Result r3 = runCli({"convert", db, three, "--jobs", "3"});
    ASSERT_EQ(r3.code, 0) << r3.out.toStdString() << r3.err.toStdString();
    EXPECT_EQ(r1.out, r3.out);
    const Tree t1 = snapshot(one);
    const Tree t3 = snapshot(three);
    EXPECT_EQ(docNames(t1).size(), 60);
    EXPECT_EQ(docNames(t1), docNames(t3));
    EXPECT_TRUE(t1.files == t3.files) << "names, document text or attachment bytes differ";
    // The documents' own bytes carry the time they were saved, so they are not
    // compared; say so when they differ.
    int sameBytes = 0;
    for (const QString& n : docNames(t1))
        if (readAll(one + "/" + n) == readAll(three + "/" + n)) ++sameBytes;
    std::printf("documents byte-identical between --jobs 1 and --jobs 3: %d of %d\n", sameBytes,
                int(docNames(t1).size()));
}

// One instance killed in the middle of a run with three: it is restarted and
// the others go on; at most the items it had in hand fail, each named.
TEST_F(ScaleCli, ALostInstanceIsRestartedWhileTheOthersGoOn) {
    const QString db = m_dir.path() + "/mail.dxl";
    ASSERT_TRUE(GeneratedMailDb::write(db, 90));
    const QString dest = m_dir.path() + "/out";
    QProcess run;
    run.start(cli(), {"convert", db, dest, "--engine", "office", "--jobs", "3"});
    ASSERT_TRUE(run.waitForStarted());
    const QString journal = dest + "/.tesseldoc-journal";
    QElapsedTimer timer;
    timer.start();
    while (run.state() == QProcess::Running && lineCount(journal) < 40 && timer.elapsed() < 120000)
        QThread::msleep(5);
    qint64 victim = 0;
    const QMap<qint64, QString> below = descendants(run.processId());
    for (auto it = below.begin(); it != below.end(); ++it)
        if (it.value().startsWith("soffice.bin")) victim = it.key();
    ASSERT_NE(victim, 0) << "no office process found below the run";
    ::kill(pid_t(victim), SIGKILL);
    ASSERT_TRUE(run.waitForFinished(600000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    const QRegularExpression counts("items: 90 found, (\\d+) written, (\\d+) failed");
    const QRegularExpressionMatch m = counts.match(out);
    ASSERT_TRUE(m.hasMatch()) << out.toStdString();
    EXPECT_EQ(m.captured(1).toInt() + m.captured(2).toInt(), 90);
    EXPECT_LE(m.captured(2).toInt(), 3) << out.toStdString();
    EXPECT_EQ(out.count("failed: "), m.captured(2).toInt());
    // What failed is written by a resumed run, nothing twice.
    const Result resumed = runCli({"convert", db, dest, "--resume", "--jobs", "3"});
    EXPECT_EQ(resumed.code, 0) << resumed.out.toStdString();
    EXPECT_EQ(docNames(snapshot(dest)).size(), 90);
}

// Several instances write every output format: PDFs named as one instance
// names them, with each item's attachments inside once the PDF is in place.
TEST_F(ScaleCli, SeveralInstancesWritePdfsWithTheirAttachmentsInside) {
    const QString db = m_dir.path() + "/mail.dxl";
    ASSERT_TRUE(GeneratedMailDb::write(db, 10));
    const QStringList pdf = {"--format", "pdf", "--embed-attachments"};
    const Result one = runCli(QStringList{"convert", db, m_dir.path() + "/one", "--jobs", "1"} + pdf);
    const Result two = runCli(QStringList{"convert", db, m_dir.path() + "/two", "--jobs", "2"} + pdf);
    ASSERT_EQ(one.code, 0) << one.out.toStdString() << one.err.toStdString();
    ASSERT_EQ(two.code, 0) << two.out.toStdString() << two.err.toStdString();
    const Tree t1 = snapshot(m_dir.path() + "/one");
    const Tree t2 = snapshot(m_dir.path() + "/two");
    EXPECT_EQ(t1.files.keys(), t2.files.keys());
    int pdfs = 0, withFiles = 0;
    for (auto it = t2.files.begin(); it != t2.files.end(); ++it) {
        if (!it.key().endsWith(QLatin1String(".pdf"))) continue;
        ++pdfs;
        EXPECT_TRUE(it.value().startsWith("%PDF")) << it.key().toStdString();
        if (it.value().contains("/Type /EmbeddedFile")) ++withFiles;
    }
    EXPECT_EQ(pdfs, 10);
    EXPECT_EQ(withFiles, 2);  // every fifth mail has attachments
}

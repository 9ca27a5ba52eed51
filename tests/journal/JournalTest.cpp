#include "../run/FakeExporter.h"
#include "../scale/GeneratedMailDb.h"

#include "convert/CFolderExportRun.h"
#include "export/DestinationLock.h"
#include "export/RunJournal.h"
#include "export/SourceList.h"
#include "convert/CNotesConverter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Every visible file below root: relative path -> bytes.
QMap<QString, QByteArray> tree(const QString& root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        out.insert(QDir(root).relativeFilePath(p), readAll(p));
    }
    return out;
}

JournalKey key(uint32_t id) { return {QStringLiteral("/data/a.nsf"), QStringLiteral("Inbox"), id, QString()}; }

struct Counts {
    int found = 0, written = 0, already = 0, failed = 0;
};

// One run of the folder export over a database into dest, with the journal,
// through the recording exporter (which writes a small file per document).
Counts runInto(const QString& db, const QString& dest, bool resume) {
    Counts c;
    CNotesConverter converter;
    EXPECT_TRUE(converter.Initialize());
    QStringList names;
    EXPECT_TRUE(converter.EnumerateFolders(db, QString(), names, 1));
    QDir().mkpath(dest);
    RunJournal journal;
    QString error;
    EXPECT_TRUE(journal.open(dest, RunJournal::fileNameFor(0, 0), &error)) << error.toStdString();
    if (resume) journal.undoUnfinished();
    FakeExporter exporter;
    exporter.SetRootFolder(dest);
    converter.journal = &journal;
    converter.journalDatabase = db;
    converter.resumeRun = resume;
    CFolderExportRun run;
    run.converter = &converter;
    run.exporter = &exporter;
    for (const QString& n : names)
        if (!n.contains(QLatin1String("$All"))) run.SaveFolder(n);
    c.found = converter.exportReport.found();
    c.written = converter.exportReport.written();
    c.already = converter.exportReport.alreadyWritten();
    c.failed = converter.exportReport.failedCount();
    return c;
}

}  // namespace

TEST(RunJournal, RecordsAreReadBackAndADamagedTailIsDroppedNotFatal) {
    QTemporaryDir dir;
    const QString dest = dir.path();
    writeFile(dest + "/Inbox/A.doc", "doc-a");
    writeFile(dest + "/Inbox/AAttachments/x.txt", "xx");
    {
        RunJournal j;
        ASSERT_TRUE(j.open(dest, ".tesseldoc-journal", nullptr));
        j.recordBegin(key(4), "m1", dest + "/Inbox/A.doc", dest + "/Inbox/AAttachments");
        j.recordWritten(key(4), "m1", dest + "/Inbox/A.doc", dest + "/Inbox/AAttachments", QString());
        j.recordBegin(key(8), "m2", dest + "/Inbox/B\tname.doc", QString());
    }
    // A run killed mid-write: half a line, then a line whose check sum is wrong.
    const QString file = dest + "/.tesseldoc-journal";
    QByteArray bytes = readAll(file);
    const QByteArray good = bytes;
    bytes += "DONE\t/data/a.nsf\tInbox\t8\t\tm2\t\tInbox/B.doc\t5\tdeadbeef\n";
    bytes += "DONE\t/data/a.nsf\tInb";
    writeFile(file, bytes);

    RunJournal j;
    ASSERT_TRUE(j.open(dest, ".tesseldoc-journal", nullptr));
    EXPECT_EQ(j.damagedLines(), 2);
    const std::optional<JournalWritten> a = j.written(key(4));
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->modified, "m1");
    ASSERT_EQ(a->files.size(), 2);
    EXPECT_EQ(a->files[0].path, "Inbox/A.doc");
    EXPECT_EQ(a->files[0].size, 5);
    EXPECT_EQ(a->files[1].path, "Inbox/AAttachments/x.txt");
    EXPECT_TRUE(j.isPresent(*a));
    EXPECT_FALSE(j.written(key(8)).has_value());  // the damaged record does not count
    // The cut-off tail was removed: new records start on a line of their own.
    j.recordSkipped(key(4));
    j.close();
    RunJournal again;
    ASSERT_TRUE(again.load(file, nullptr));
    EXPECT_EQ(again.damagedLines(), 0);  // the whole damaged tail went
    EXPECT_TRUE(readAll(file).startsWith(good));

    // A file of the wrong size, or a missing one, is not complete.
    writeFile(dest + "/Inbox/AAttachments/x.txt", "x");
    EXPECT_FALSE(again.isPresent(*again.written(key(4))));
}

TEST(RunJournal, UndoRemovesOnlyTheOutputOfUnfinishedItemsInsideTheDestination) {
    QTemporaryDir dir;
    const QString dest = dir.path() + "/out";
    writeFile(dest + "/F/Done.doc", "d");
    writeFile(dir.path() + "/outside.txt", "keep");
    {
        RunJournal j;
        ASSERT_TRUE(j.open(dest, ".tesseldoc-journal", nullptr));
        j.recordBegin(key(1), "", dest + "/F/Done.doc", QString());
        j.recordWritten(key(1), "", dest + "/F/Done.doc", QString(), QString());
        j.recordBegin(key(2), "", dest + "/F/Half.doc", dest + "/F/HalfAttachments");
        ASSERT_TRUE(QDir().mkpath(dest + "/F/HalfAttachments"));
        j.recordAttachmentFolder(key(2), dest + "/F/Half.doc", dest + "/F/HalfAttachments");
        writeFile(dest + "/F/HalfAttachments/a.bin", "partial");
        writeFile(dest + "/F/Half.doc", "h");
        // A journal that names a path outside the destination is not followed.
        j.recordBegin(key(3), "", dir.path() + "/outside.txt", QString());
        // Killed between making the attachment folder and recording it: empty, it goes.
        j.recordBegin(key(4), "", dest + "/F/Early.doc", dest + "/F/EarlyAttachments");
        ASSERT_TRUE(QDir().mkpath(dest + "/F/EarlyAttachments"));
    }
    RunJournal j;
    ASSERT_TRUE(j.open(dest, ".tesseldoc-journal", nullptr));
    EXPECT_EQ(j.undoUnfinished(), 3);
    EXPECT_FALSE(QFileInfo::exists(dest + "/F/EarlyAttachments"));
    EXPECT_TRUE(QFile::exists(dest + "/F/Done.doc"));
    EXPECT_FALSE(QFile::exists(dest + "/F/Half.doc"));
    EXPECT_FALSE(QFileInfo::exists(dest + "/F/HalfAttachments"));
    EXPECT_TRUE(QFile::exists(dir.path() + "/outside.txt"));
    // Undone once, never again (a later item may take the freed name).
    j.close();
    RunJournal next;
    ASSERT_TRUE(next.open(dest, ".tesseldoc-journal", nullptr));
    EXPECT_EQ(next.undoUnfinished(), 0);
}

TEST(RunJournal, SummaryMergesShardsAndKeepsTheLastOutcomePerItem) {
    QTemporaryDir dir;
    const QString dest = dir.path();
    writeFile(dest + "/A/F/1.doc", "1");
    writeFile(dest + "/B/F/2.doc", "2");
    {
        RunJournal j;
        ASSERT_TRUE(j.open(dest, RunJournal::fileNameFor(0, 2), nullptr));
        j.recordFolder("a", "F", 3);
        j.recordWritten({"a", "F", 1, ""}, "", dest + "/A/F/1.doc", QString(), QString());
        j.recordFailed({"a", "F", 5, ""}, "the office could not write the document");
        j.recordFailed({"a", "F", 9, ""}, "first failure");
        j.recordSource("a", "Process Completed", "");
    }
    {
        // The resumed shard: item 9 now written, item 1 skipped.
        RunJournal j;
        ASSERT_TRUE(j.open(dest, RunJournal::fileNameFor(0, 2), nullptr));
        j.recordFolder("a", "F", 3);
        j.recordSkipped({"a", "F", 1, ""});
        j.recordWritten({"a", "F", 9, ""}, "", dest + "/A/F/1.doc", QString(), QString());
        j.recordFailed({"a", "F", 5, ""}, "still failing");
    }
    {
        RunJournal j;
        ASSERT_TRUE(j.open(dest, RunJournal::fileNameFor(1, 2), nullptr));
        j.recordFolder("b", "F", 1);
        j.recordWritten({"b", "F", 2, ""}, "", dest + "/B/F/2.doc", QString(), QString());
        j.recordSource("b", "Fail to save", "no such file");
    }
    const QStringList files = RunJournal::journalsIn(dest);
    ASSERT_EQ(files.size(), 2);
    RunJournal::Summary s;
    for (const QString& f : files) {
        RunJournal j;
        ASSERT_TRUE(j.load(f, nullptr));
        j.summarize(s);
    }
    EXPECT_EQ(s.found, 4);
    EXPECT_EQ(s.written, 3);
    EXPECT_EQ(s.alreadyWritten, 1);
    ASSERT_EQ(s.failures.size(), 1);
    EXPECT_EQ(s.failures[0].key.noteId, 5u);
    EXPECT_EQ(s.failures[0].reason, "still failing");
    ASSERT_EQ(s.sources.size(), 2);
    EXPECT_EQ(s.sources[1].outcome, "Fail to save");
}

TEST(DestinationLock, ASecondRunIsRefusedButShardsOfOneArrayRunSideBySide) {
    QTemporaryDir dir;
    QString error;
    {
        DestinationLock whole;
        ASSERT_TRUE(whole.acquire(dir.path(), 0, 0, &error)) << error.toStdString();
        DestinationLock second;
        EXPECT_FALSE(second.acquire(dir.path(), 0, 0, &error));
        EXPECT_TRUE(error.contains("another run is already writing")) << error.toStdString();
        DestinationLock shard;
        EXPECT_FALSE(shard.acquire(dir.path(), 0, 4, &error));
    }
    DestinationLock s0, s1, s0again, whole;
    EXPECT_TRUE(s0.acquire(dir.path(), 0, 4, &error));
    EXPECT_TRUE(s1.acquire(dir.path(), 1, 4, &error));
    EXPECT_FALSE(s0again.acquire(dir.path(), 0, 4, &error));
    EXPECT_FALSE(whole.acquire(dir.path(), 0, 0, &error));
    s0.release();
    s1.release();
    EXPECT_TRUE(whole.acquire(dir.path(), 0, 0, &error));  // released with its holder
}

// Shards of arrays of different sizes both list the first database: only one
// of them may write its folder at a time; another folder goes on beside it.
// A database reached through a link (or a second hard link) is one source.
TEST(SourceFolderLock, OverlappingShardsWriteADatabaseFolderOneAtATimeAndAliasesAreOneSource) {
    QTemporaryDir dir;
    QString error;
    DestinationLock shardOfTwo, shardOfThree;
    ASSERT_TRUE(shardOfTwo.acquire(dir.path(), 0, 2, &error)) << error.toStdString();
    ASSERT_TRUE(shardOfThree.acquire(dir.path(), 0, 3, &error)) << error.toStdString();
    {
        SourceFolderLock a, b, other;
        ASSERT_TRUE(a.acquire(dir.path(), "JOHN", &error)) << error.toStdString();
        EXPECT_FALSE(b.acquire(dir.path(), "JOHN", &error));
        EXPECT_TRUE(error.contains("another run is writing the folder JOHN")) << error.toStdString();
        EXPECT_TRUE(other.acquire(dir.path(), "ANN", &error));
        a.release();
        EXPECT_TRUE(b.acquire(dir.path(), "JOHN", &error));
    }
    // Nothing of the locks reaches the destination's visible content.
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

    writeFile(dir.path() + "/real.nsf", "x");
    ASSERT_EQ(::symlink(QFile::encodeName(dir.path() + "/real.nsf").constData(),
                        QFile::encodeName(dir.path() + "/alias.nsf").constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(dir.path() + "/real.nsf").constData(),
                     QFile::encodeName(dir.path() + "/hard.nsf").constData()), 0);
    SourceList list;
    list.add(dir.path() + "/real.nsf", "manifest line 1");
    list.add(dir.path() + "/alias.nsf", "manifest line 2");
    list.add(dir.path() + "/hard.nsf", "manifest line 3");
    list.add(dir.path() + "/missing.nsf", "manifest line 4");
    ASSERT_EQ(list.entries().size(), 4);
    EXPECT_EQ(list.entries()[1].duplicateOf, "manifest line 1");
    EXPECT_EQ(list.entries()[1].subFolder, "REAL");
    EXPECT_EQ(list.entries()[2].duplicateOf, "manifest line 1");
    EXPECT_TRUE(list.entries()[3].duplicateOf.isEmpty());
    EXPECT_EQ(list.entries()[3].position, 1);
}

TEST(SourceList, ManifestLinesDuplicatesShardsAndSubFolders) {
    QTemporaryDir dir;
    const QString manifest = dir.path() + "/list.txt";
    writeFile(manifest, QByteArray("/m/john.nsf\n\n   \r\n") + "/m/../m/john.nsf\n" + "/other/JOHN.NSF\n" +
                            "srv1!!mail/ann.nsf\n" + "SRV1!!Mail/Ann.nsf\n" + "/m/b.dxl\n");
    SourceList list;
    ASSERT_TRUE(list.addManifest(manifest, nullptr));
    const QList<SourceEntry>& e = list.entries();
    ASSERT_EQ(e.size(), 6);  // the blank lines are not sources
    EXPECT_EQ(e[0].subFolder, "JOHN");
    EXPECT_EQ(e[0].origin, "manifest line 1");
    EXPECT_EQ(e[1].duplicateOf, "manifest line 1");  // another spelling of the same file
    EXPECT_EQ(e[2].subFolder, "JOHN0");              // same title, another file
    EXPECT_EQ(e[3].server, "srv1");
    EXPECT_EQ(e[3].subFolder, "ANN");
    EXPECT_EQ(e[4].duplicateOf, "manifest line 6");
    EXPECT_EQ(e[5].subFolder, "B");
    EXPECT_EQ(e[5].position, 3);

    // Positions of distinct sources modulo N; duplicates go with their original.
    const QList<SourceEntry> s1 = list.shard(1, 2);
    ASSERT_EQ(s1.size(), 2);
    EXPECT_EQ(s1[0].subFolder, "JOHN0");
    EXPECT_EQ(s1[1].subFolder, "B");
    const QList<SourceEntry> s0 = list.shard(0, 2);
    ASSERT_EQ(s0.size(), 4);
    EXPECT_EQ(s0[1].duplicateOf, "manifest line 1");

    // What no folder name should hold does not reach the sub-folder.
    SourceList odd;
    odd.add("/m/tab\there.nsf", "argument 2");
    odd.add(QString("/m/x") + QChar(0x202E) + "y.nsf", "argument 3");
    odd.add("/m/con.nsf", "argument 4");
    EXPECT_EQ(odd.entries()[0].subFolder, "TAB_HERE");
    EXPECT_EQ(odd.entries()[1].subFolder, "X_Y");
    EXPECT_EQ(odd.entries()[2].subFolder, "CON_");

    // A named pipe nobody writes to is refused at once, not waited on.
    const QString fifo = dir.path() + "/fifo";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    SourceList fromPipe;
    QString error;
    EXPECT_FALSE(fromPipe.addManifest(fifo, &error));
    EXPECT_TRUE(error.contains("pipe")) << error.toStdString();

    int k = 0, n = 0;
    EXPECT_TRUE(SourceList::parseShard("3/4", &k, &n));
    EXPECT_EQ(k, 3);
    for (const char* bad : {"4/4", "-1/4", "1/0", "1", "a/b", "/4"}) EXPECT_FALSE(SourceList::parseShard(bad, &k, &n));
}

TEST(ResumedRun, SkipsCompleteItemsRedoesDamagedOnesAndRewritesChangedOnesUnderNewNames) {
    QTemporaryDir dir;
    const QString db = dir.path() + "/mail.dxl";
    ASSERT_TRUE(GeneratedMailDb::write(db, 30));
    const QString dest = dir.path() + "/out";

    const Counts first = runInto(db, dest, false);
    EXPECT_EQ(first.found, 30);
    EXPECT_EQ(first.written, 30);
    const auto original = tree(dest);

    // Nothing to do: every item is complete.
    const Counts again = runInto(db, dest, true);
    EXPECT_EQ(again.written, 0);
    EXPECT_EQ(again.already, 30);
    EXPECT_EQ(again.failed, 0);
    EXPECT_EQ(tree(dest), original);

    // A document lost and an attachment cut short: those two items are written
    // again, under their own names.
    const QString lostDoc = dest + "/Projects/Mail number 0.doc";
    const QString cutAttachment = dest + "/Archive/Mail number 19Attachments/part1.txt";
    ASSERT_TRUE(QFile::exists(lostDoc));
    ASSERT_TRUE(QFile::exists(cutAttachment));
    QFile::remove(lostDoc);
    writeFile(cutAttachment, "att");
    const Counts repaired = runInto(db, dest, true);
    EXPECT_EQ(repaired.written, 2);
    EXPECT_EQ(repaired.already, 28);
    EXPECT_EQ(tree(dest), original);

    // Every document changed: each is written again beside the old one.
    ASSERT_TRUE(GeneratedMailDb::write(db, 30, 1));
    const Counts changed = runInto(db, dest, true);
    EXPECT_EQ(changed.written, 30);
    EXPECT_EQ(changed.already, 0);
    const auto after = tree(dest);
    for (auto it = original.begin(); it != original.end(); ++it) EXPECT_TRUE(after.contains(it.key())) << it.key().toStdString();
    EXPECT_TRUE(after.contains("Projects/Mail number 00.doc"));
    RunJournal j;
    ASSERT_TRUE(j.load(dest + "/.tesseldoc-journal", nullptr));
    RunJournal::Summary s;
    j.summarize(s);
    EXPECT_EQ(s.rewritten, 30);
}

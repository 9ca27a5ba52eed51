// Resuming when the journal does not know what is on disk: a journal deleted,
// emptied, overwritten or cut, with or without the note marks the documents
// carry, and a journal that could not be written (a full disk). In each case
// the resumed tree is the tree of one uninterrupted run: no document twice,
// no attachment under another document's name, no empty attachment folder.
#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "export/RunJournal.h"
#include "notes/store/MemoryStore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/xattr.h>

using namespace store;

namespace {

StoreNote note(int i, const QString& subject) {
    StoreNote n;
    n.unid = QStringLiteral("%1").arg(i + 1, 32, 16, QLatin1Char('0')).toUpper();
    n.changeMark = QStringLiteral("cm%1").arg(i);
    StoreItem s;
    s.name = QStringLiteral("Subject");
    s.type = TypeText;
    s.texts = {subject};
    n.items.push_back(s);
    return n;
}

struct Outcome {
    int exports = 0;  // documents the exporter was asked for
    int written = 0, skipped = 0, failed = 0;
    QStringList failures;
};

class ResumeFromDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        store = std::make_shared<MemoryStore>();
        name = QStringLiteral("resume%1").arg(++counter);
        // Three items of one subject (the first and last with attachments),
        // two of others; one attachment file name repeats across items.
        std::vector<uint32_t> ids;
        const char* subjects[] = {"Report", "Report", "Memo", "Report", "Plain"};
        for (int i = 0; i < 5; ++i) ids.push_back(store->addNote(note(i, QString::fromLatin1(subjects[i]))));
        store->addAttachment(ids[0], "data.txt", "first report's data");
        store->addAttachment(ids[2], "data.txt", "memo's data");
        store->addAttachment(ids[3], "data.txt", "third report's data");
        store->addAttachment(ids[3], "more.txt", "third report's more");
        store->addFolder("F", true, ids);
        MemoryStore::registerStore(name, store);
    }
    void TearDown() override { MemoryStore::unregisterStore(name); }

    // One run into `dest` with its journal; `fileSizeLimit` > 0 caps the size
    // of every file written once the journal is open (a disk that fills up).
    Outcome run(const QString& dest, bool resume, rlim_t fileSizeLimit = 0) {
        Outcome o;
        QDir().mkpath(dest);
        RunJournal journal;
        QString error;
        EXPECT_TRUE(journal.open(dest, RunJournal::fileNameFor(0, 0), &error)) << error.toStdString();
        if (resume) journal.undoUnfinished();
        CNotesConverter conv;
        EXPECT_EQ(conv.Initialize(), 1);
        QStringList listed;
        EXPECT_EQ(conv.EnumerateFolders("memory:" + name, "", listed, 1), 1);
        conv.journal = &journal;
        conv.journalDatabase = "memory:" + name;
        conv.resumeRun = resume;
        FakeExporter exporter;
        exporter.SetRootFolder(dest);
        CFolderExportRun r;
        r.converter = &conv;
        r.exporter = &exporter;
        struct rlimit before {};
        ::getrlimit(RLIMIT_FSIZE, &before);
        if (fileSizeLimit > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit cap = before;
            cap.rlim_cur = QFileInfo(dest + "/" + RunJournal::fileNameFor(0, 0)).size() + fileSizeLimit;
            ::setrlimit(RLIMIT_FSIZE, &cap);
        }
        r.SaveFolder("F\\");
        ::setrlimit(RLIMIT_FSIZE, &before);
        o.exports = int(exporter.calls.size());
        o.written = conv.exportReport.written();
        o.skipped = conv.exportReport.alreadyWritten();
        o.failed = conv.exportReport.failedCount();
        for (const auto& f : conv.exportReport.failures()) o.failures << f.reason;
        return o;
    }

    // Every file (with its bytes) and folder below `dest`, the run's own files left out.
    static std::string tree(const QString& dest) { return treeList(dest).join("\n").toStdString(); }
    static QStringList treeList(const QString& dest) {
        QStringList out;
        QDirIterator it(dest, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileName().startsWith(".tesseldoc")) continue;
            QString line = path.mid(dest.size());
            if (it.fileInfo().isDir()) {
                line += "/";
                if (QDir(path).isEmpty()) line += " (empty)";
            } else {
                QFile f(path);
                f.open(QIODevice::ReadOnly);
                line += " = " + QString::fromUtf8(f.readAll());
            }
            out << line;
        }
        out.sort();
        return out;
    }

    static void removeMarks(const QString& dest) {
        QDirIterator it(dest, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) ::lremovexattr(QFile::encodeName(it.next()).constData(), "user.tesseldoc.note");
    }

    static int counter;
    QTemporaryDir dir;
    std::shared_ptr<MemoryStore> store;
    QString name;
};
int ResumeFromDisk::counter = 0;

}  // namespace

TEST_F(ResumeFromDisk, ALostEmptiedGarbledOrCutJournalWritesNothingTwice) {
    const QString journalName = RunJournal::fileNameFor(0, 0);
    const struct {
        const char* what;
        bool keepMarks;
    } cases[] = {{"deleted", true}, {"emptied", true}, {"garbage", true},  {"cut", true},
                 {"deleted", false}, {"cut", false},   {"keyless", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.keepMarks ? "" : " without marks"));
        const QString dest = dir.path() + QStringLiteral("/%1-%2").arg(c.what).arg(c.keepMarks);
        ASSERT_EQ(run(dest, false).written, 5);
        const std::string whole = tree(dest);
        ASSERT_EQ(treeList(dest).filter(".doc =").size(), 5);
        const QString journal = dest + "/" + journalName;
        QFile f(journal);
        const QString what = QString::fromLatin1(c.what);
        if (what == "deleted") {
            ASSERT_TRUE(f.remove());
        } else if (what == "keyless") {
            ASSERT_TRUE(QFile::remove(dest + "/" + RunJournal::keyFileName()));
        } else {
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            const QByteArray bytes = f.readAll();
            f.resize(0);
            f.seek(0);
            if (what == "garbage") f.write(QByteArray(bytes.size(), 'x').replace(40, 1, "\n"));
            if (what == "cut") f.write(bytes.left(bytes.size() / 2));
            f.close();
        }
        if (!c.keepMarks) removeMarks(dest);
        const Outcome resumed = run(dest, true);
        EXPECT_EQ(tree(dest), whole);
        EXPECT_EQ(resumed.failed, 0) << resumed.failures.join("; ").toStdString();
        EXPECT_EQ(resumed.written + resumed.skipped, 5);
        if (what != "cut") {
            EXPECT_EQ(resumed.exports, 0);
        }
        // The journal knows every document again: a further resume writes nothing.
        const Outcome again = run(dest, true);
        EXPECT_EQ(again.exports, 0);
        EXPECT_EQ(again.skipped, 5);
        EXPECT_EQ(tree(dest), whole);
    }
}

TEST_F(ResumeFromDisk, AJournalThatCannotBeWrittenStopsTheItemsAndAResumeGivesTheWholeTree) {
    const QString reference = dir.path() + "/reference";
    ASSERT_EQ(run(reference, false).written, 5);
    const std::string whole = tree(reference);

    // The journal fills the disk at different points of the run.
    for (rlim_t room : {300, 700, 1100, 1500, 1900}) {
        SCOPED_TRACE(room);
        const QString dest = dir.path() + QStringLiteral("/full%1").arg(room);
        const Outcome full = run(dest, false, room);
        ASSERT_GT(full.failed, 0);
        EXPECT_LT(full.written, 5);
        for (const QString& why : full.failures) {
            EXPECT_TRUE(why.contains("cannot be written")) << why.toStdString();
            EXPECT_TRUE(why.contains(RunJournal::fileNameFor(0, 0))) << why.toStdString();
        }
        const Outcome resumed = run(dest, true);
        EXPECT_EQ(resumed.failed, 0) << resumed.failures.join("; ").toStdString();
        EXPECT_EQ(tree(dest), whole);
    }
}

#include "export/RunJournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

JournalKey item(uint32_t id) { return {QStringLiteral("/data/a.nsf"), QStringLiteral("Inbox"), id, QString()}; }

}  // namespace

// A journal is data: a record naming a path through a link, or a file that is
// not the one written, removes nothing, and a hard link loses only its name;
// forged lines (without the destination's key) are not records at all.
TEST(JournalTrust, ResumeRemovesNothingThroughLinksOrThatTheRunDidNotWrite) {
    QTemporaryDir dir;
    const QString dest = dir.path() + "/out";
    const QString outside = dir.path() + "/home";
    ASSERT_TRUE(QDir().mkpath(dest + "/F"));
    ASSERT_TRUE(QDir().mkpath(outside + "/victimAttachments"));
    ASSERT_TRUE(QFile::link(outside, dest + "/linkdir"));
    put(outside + "/other.doc", "other");
    ASSERT_EQ(::link(QFile::encodeName(outside + "/other.doc").constData(),
                     QFile::encodeName(dest + "/F/hard.doc").constData()), 0);
    {
        RunJournal j;
        ASSERT_TRUE(j.open(dest, ".tesseldoc-journal", nullptr));
        // Genuine records whose folder became a link afterwards.
        j.recordBegin(item(1), "", dest + "/linkdir/victim.doc", dest + "/linkdir/victimAttachments");
        j.recordAttachmentFolder(item(1), dest + "/linkdir/victim.doc", dest + "/linkdir/victimAttachments");
        put(outside + "/victim.doc", "precious");
        put(outside + "/victimAttachments/secret.bin", "precious too");
        // A document that is another name (a hard link) of a file outside: only the name goes.
        j.recordBegin(item(2), "", dest + "/F/hard.doc", QString());
        // Complete, then replaced by another file of the same name and size.
        put(dest + "/F/Done.doc", "done");
        j.recordWritten(item(3), "m", dest + "/F/Done.doc", QString(), QString());
    }
    put(dest + "/F/Other.doc", "keep");
    ASSERT_EQ(::rename(QFile::encodeName(dest + "/F/Other.doc").constData(),
                       QFile::encodeName(dest + "/F/Done.doc").constData()), 0);

    // Forged lines: an md5 prefix and an unkeyed SHA-256 are both refused.
    const QByteArray forged = "BEGIN\t/data/a.nsf\tInbox\t9\t\t\tlinkdir/victim.doc\tlinkdir/victimAttachments\t1";
    QFile journal(dest + "/.tesseldoc-journal");
    ASSERT_TRUE(journal.open(QIODevice::Append));
    journal.write(forged + '\t' + QCryptographicHash::hash(forged, QCryptographicHash::Md5).toHex().left(8) + '\n');
    journal.write(forged + '\t' + QCryptographicHash::hash(forged, QCryptographicHash::Sha256).toHex() + '\n');
    journal.close();

    RunJournal j;
    ASSERT_TRUE(j.open(dest, ".tesseldoc-journal", nullptr));
    EXPECT_EQ(j.damagedLines(), 2);
    EXPECT_EQ(j.undoUnfinished(), 2);
    const std::optional<JournalWritten> done = j.written(item(3));
    ASSERT_TRUE(done.has_value());
    j.removeOutput(*done);

    EXPECT_EQ(get(outside + "/victim.doc"), "precious");
    EXPECT_EQ(get(outside + "/victimAttachments/secret.bin"), "precious too");
    EXPECT_EQ(get(outside + "/other.doc"), "other");
    EXPECT_EQ(get(dest + "/F/Done.doc"), "keep");
    // The key is its owner's alone.
    EXPECT_EQ(QFileInfo(dest + "/" + RunJournal::keyFileName()).permissions() &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFileDevice::Permissions());
}

// A record that cannot be written (here: the file size limit, as a full disk
// would) is named, stops the run, and leaves the journal on a whole line.
TEST(JournalTrust, AWriteFailureIsNamedAndStopsTheRun) {
    QTemporaryDir dir;
    std::atomic<int> stop{0};
    RunJournal j;
    ASSERT_TRUE(j.open(dir.path(), ".tesseldoc-journal", nullptr));
    j.setStopFlag(&stop);
    const QString path = dir.path() + "/.tesseldoc-journal";
    const qint64 size = QFileInfo(path).size();

    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = rlim_t(size + 300);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    for (uint32_t i = 1; i <= 10; ++i) j.recordSkipped(item(i));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(stop.load(), 1);
    EXPECT_TRUE(j.writeFailure().contains(path)) << j.writeFailure().toStdString();
    EXPECT_TRUE(j.writeFailure().contains(QLatin1String("cannot be written")));
    j.close();
    const QByteArray bytes = get(path);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.back(), '\n');
    RunJournal again;
    ASSERT_TRUE(again.load(path, nullptr));
    EXPECT_EQ(again.damagedLines(), 0);
}

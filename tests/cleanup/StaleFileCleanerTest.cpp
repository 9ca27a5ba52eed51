// What a later run removes of a killed run's files, and what it must leave:
// anything of a live process, anything not named like ours, links and what
// they point to.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "files/PrivateTempDir.h"
#include "files/StaleFileCleaner.h"

namespace {

pid_t deadPid() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("x");
}

bool makeSocket(const QString& path) {
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(path).constData());
    const bool ok = ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(sock);
    return ok;
}

bool present(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

}  // namespace

TEST(StaleFileCleaner, PartialNamesCarryThePidAndAreRecognised) {
    const QString doc = StaleFileCleaner::partialFileName(QStringLiteral(".doc.part"));
    EXPECT_TRUE(doc.startsWith(QStringLiteral(".~tesseldoc-%1-").arg(::getpid()))) << doc.toStdString();
    EXPECT_EQ(StaleFileCleaner::partialFileOwnerPid(doc), long(::getpid()));
    EXPECT_EQ(StaleFileCleaner::partialFileOwnerPid(QStringLiteral(".~lock.") + doc + QLatin1Char('#')),
              long(::getpid()));
    EXPECT_EQ(StaleFileCleaner::partialFileOwnerPid(StaleFileCleaner::partialFileName(QStringLiteral(".part"))),
              long(::getpid()));
    for (const char* other : {".~tesseldoc-notes.txt", ".~tesseldoc-12-ab.doc.part", "report.doc",
                              ".~lock.report.doc#", ".~tesseldoc-12-0123456789abcdef.doc"})
        EXPECT_EQ(StaleFileCleaner::partialFileOwnerPid(QString::fromLatin1(other)), 0) << other;
    // The private temporary directory names its process too.
    EXPECT_TRUE(QFileInfo(PrivateTempDir::path()).fileName().startsWith(QStringLiteral("tesseldoc-%1-").arg(::getpid())));
}

TEST(StaleFileCleaner, DestinationLosesOnlyDeadProcessesPartialFiles) {
    QTemporaryDir dir;
    const QString dest = dir.filePath(QStringLiteral("dest"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    const pid_t dead = deadPid();
    const QString deadPart = QStringLiteral(".~tesseldoc-%1-0123456789abcdef.doc.part").arg(dead);
    const QString livePart = QStringLiteral(".~tesseldoc-%1-0123456789abcdef.doc.part").arg(::getpid());

    const QStringList gone = {dest + QLatin1Char('/') + deadPart,
                              dest + QStringLiteral("/A/B/.~lock.") + deadPart + QLatin1Char('#'),
                              dest + QStringLiteral("/A/xAttachments/.~tesseldoc-%1-abcdefabcdef0123.part").arg(dead)};
    const QStringList kept = {dest + QLatin1Char('/') + livePart, dest + QStringLiteral("/A/.~tesseldoc-notes"),
                              dest + QStringLiteral("/A/mail.doc"), outside + QLatin1Char('/') + deadPart};
    for (const QString& f : gone + kept) touch(f);
    // A link named like a partial file, and a link to a directory holding one: neither is followed.
    ASSERT_TRUE(QFile::link(outside + QLatin1Char('/') + deadPart,
                            dest + QStringLiteral("/.~tesseldoc-%1-fedcba9876543210.doc.part").arg(dead)));
    ASSERT_TRUE(QFile::link(outside, dest + QStringLiteral("/A/linked")));

    EXPECT_EQ(StaleFileCleaner::cleanDestination(dest), gone.size());
    for (const QString& f : gone) EXPECT_FALSE(present(f)) << f.toStdString();
    for (const QString& f : kept) EXPECT_TRUE(present(f)) << f.toStdString();
    EXPECT_TRUE(present(dest + QStringLiteral("/.~tesseldoc-%1-fedcba9876543210.doc.part").arg(dead)));
}

TEST(StaleFileCleaner, TemporaryDirectoriesAndPipesOfDeadProcessesGo) {
    QTemporaryDir tmp, pipes, elsewhere;
    const pid_t dead = deadPid();
    const QString deadDir = tmp.filePath(QStringLiteral("tesseldoc-%1-AbC123").arg(dead));
    touch(deadDir + QStringLiteral("/office-1/profile/registry.xcd"));
    touch(deadDir + QStringLiteral("/NewTxt.txt"));
    const QString liveDir = tmp.filePath(QStringLiteral("tesseldoc-%1-XyZ789").arg(::getpid()));
    touch(liveDir + QStringLiteral("/NewTxt.txt"));
    const QString oddName = tmp.filePath(QStringLiteral("tesseldoc-%1-AbC12").arg(dead));
    touch(oddName + QStringLiteral("/keep"));
    // A link with our name pattern: not a directory of ours, and its target is never touched.
    touch(elsewhere.filePath(QStringLiteral("precious")));
    const QString link = tmp.filePath(QStringLiteral("tesseldoc-%1-LnK123").arg(dead));
    ASSERT_TRUE(QFile::link(elsewhere.path(), link));

    const QString deadPipe = pipes.filePath(QStringLiteral("OSL_PIPE_%1_tesseldoc-%2-1-0123abcd").arg(::getuid()).arg(dead));
    const QString livePipe =
        pipes.filePath(QStringLiteral("OSL_PIPE_%1_tesseldoc-%2-3-0123abcd").arg(::getuid()).arg(::getpid()));
    const QString notSocket =
        pipes.filePath(QStringLiteral("OSL_PIPE_%1_tesseldoc-%2-2-0123abcd").arg(::getuid()).arg(dead));
    ASSERT_TRUE(makeSocket(deadPipe));
    ASSERT_TRUE(makeSocket(livePipe));
    touch(notSocket);

    EXPECT_EQ(StaleFileCleaner::cleanTemporaryDirectory(tmp.path(), pipes.path()), 2);
    EXPECT_FALSE(present(deadDir));
    EXPECT_FALSE(present(deadPipe));
    for (const QString& p : {liveDir, oddName, link, livePipe, notSocket}) EXPECT_TRUE(present(p)) << p.toStdString();
    EXPECT_TRUE(present(elsewhere.filePath(QStringLiteral("precious"))));
}

// The office's save temporaries ("lu<office pid><base 36>.tmp") go when that
// office is gone, stay while it runs; files of other names stay.
TEST(StaleFileCleaner, OfficeSaveTemporariesOfDeadOfficesGo) {
    QTemporaryDir root;
    const QString dead = root.filePath(QStringLiteral("Inbox/lu%1a1b2.tmp").arg(deadPid()));
    touch(dead);
    // A live process that calls itself the office.
    const QString fakeOffice = root.filePath(QStringLiteral("soffice.bin"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), fakeOffice));
    QFile::setPermissions(fakeOffice, QFile::ReadOwner | QFile::ExeOwner);
    QProcess office;
    office.start(fakeOffice, {QStringLiteral("30")});
    ASSERT_TRUE(office.waitForStarted());
    const QString live = root.filePath(QStringLiteral("Inbox/lu%1zz9.tmp").arg(office.processId()));
    touch(live);
    const QStringList others = {QStringLiteral("lunch.tmp"), QStringLiteral("lu.tmp"), QStringLiteral("Lu123.tmp"),
                                QStringLiteral("lu123.tmp.doc"), QStringLiteral("lu12345678abcdefg.tmp")};
    for (const QString& name : others) touch(root.filePath(QStringLiteral("Inbox/") + name));

    EXPECT_EQ(StaleFileCleaner::cleanDestination(root.path()), 1);
    EXPECT_FALSE(present(dead));
    EXPECT_TRUE(present(live));
    for (const QString& name : others) EXPECT_TRUE(present(root.filePath(QStringLiteral("Inbox/") + name))) << name.toStdString();
    office.kill();
    office.waitForFinished();
}

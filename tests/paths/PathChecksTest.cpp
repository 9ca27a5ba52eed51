// Paths the user names: what is refused before anything is read or written,
// and how refusals are put in words. Permission cases run in a child process
// that has given up root (skipped when the test does not run as root).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "export/DestinationChecks.h"

namespace {

// Runs f as user nobody in a child process and returns the text it gives.
QString asNobody(const std::function<QString()>& f) {
    int fds[2];
    if (::pipe(fds) != 0) return QStringLiteral("<pipe>");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        const QByteArray text = f().toUtf8();
        if (::write(fds[1], text.constData(), size_t(text.size())) < 0) ::_exit(4);
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray out;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, int(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return QString::fromUtf8(out);
}

}  // namespace

TEST(PathChecks, OnlyARegularFileIsReadAsADatabase) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("mail.nsf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(DatabaseFileProblem(fifo), fifo + QStringLiteral(" is a FIFO, not a database file; it is not read"));
    EXPECT_TRUE(DatabaseFileProblem(QStringLiteral("/dev/null")).contains(QLatin1String("a character device")));
    // A directory, a missing file and a readable one are left to the database layer.
    EXPECT_EQ(DatabaseFileProblem(dir.path()), QString());
    EXPECT_EQ(DatabaseFileProblem(dir.filePath(QStringLiteral("missing.nsf"))), QString());
    QFile file(dir.filePath(QStringLiteral("real.nsf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(DatabaseFileProblem(file.fileName()), QString());
}

TEST(PathChecks, PermissionProblemsNameTheFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile db(locked + QStringLiteral("/mail.nsf"));
    ASSERT_TRUE(db.open(QIODevice::WriteOnly));
    db.close();
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0700), 0);

    // A database behind a folder the user may not enter does not read as missing.
    EXPECT_EQ(asNobody([&] { return DatabaseFileProblem(db.fileName()); }),
              db.fileName() + QStringLiteral(": permission denied: the folder ") + locked +
                  QStringLiteral(" may not be entered"));

    // A destination in a folder the user may not write.
    const QString dest = dir.filePath(QStringLiteral("out/items"));
    EXPECT_EQ(asNobody([&] {
                  QString problem;
                  return MakeDestination(dest, &problem) ? QStringLiteral("made") : problem;
              }),
              QStringLiteral("permission denied in the folder ") + dir.path());
    EXPECT_EQ(asNobody([&] { return DescribeWriteFailure(dir.filePath(QStringLiteral("x.doc")), EACCES); }),
              dir.filePath(QStringLiteral("x.doc")) + QStringLiteral(": permission denied (the folder ") +
                  dir.path() + QStringLiteral(" may not be written)"));
}

TEST(PathChecks, WriteFailuresInPlainWords) {
    EXPECT_EQ(DescribeWriteFailure(QStringLiteral("/d/x.doc"), ENOSPC), QStringLiteral("/d/x.doc: no space left on the device"));
    EXPECT_EQ(DescribeWriteFailure(QStringLiteral("/d/x.doc"), ENAMETOOLONG), QStringLiteral("/d/x.doc: path too long"));
    EXPECT_EQ(DescribeWriteFailure(QStringLiteral("/d/x.doc"), EROFS), QStringLiteral("/d/x.doc: read-only file system"));
}

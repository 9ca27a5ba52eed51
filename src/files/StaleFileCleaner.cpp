#include "files/StaleFileCleaner.h"

#include "files/PrivateTempDir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>

namespace {

const QRegularExpression& partialPattern() {
    static const QRegularExpression re(
        QStringLiteral("^(?:\\.~lock\\.)?\\.~tesseldoc-([0-9]{1,10})-[0-9A-Za-z]{6,32}(?:\\.doc)?\\.part#?$"));
    return re;
}

const QRegularExpression& directoryPattern() {
    static const QRegularExpression re(QStringLiteral("^tesseldoc-([0-9]{1,10})-[0-9A-Za-z]{6}$"));
    return re;
}

const QRegularExpression& pipePattern() {
    static const QRegularExpression re(
        QStringLiteral("^OSL_PIPE_%1_tesseldoc-([0-9]{1,10})-[0-9]+-[0-9a-f]{8}$").arg(::getuid()));
    return re;
}

long pidIn(const QRegularExpression& re, const QString& name) {
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch()) return 0;
    bool ok = false;
    const long pid = m.captured(1).toLong(&ok);
    return ok ? pid : 0;
}

// lstat: ours (same user), of the wanted kind, and its maker is gone.
bool staleEntry(const QString& path, long pid, mode_t kind) {
    if (pid <= 0 || pid == long(::getpid())) return false;
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return false;
    if (info.st_uid != ::getuid() || (info.st_mode & S_IFMT) != kind) return false;
    return !StaleFileCleaner::processAlive(pid);
}

// The office saves through a temporary file beside the target,
// "lu<office pid><up to six base-36 digits>.tmp"; an office killed while it
// saves leaves it there. Where the pid digits end is not written, so every
// leading run of digits is tried: the file is stale when none of them is a
// live office. A name without digits after "lu" is not the office's.
bool officeTemporaryOfDeadOffice(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^lu([0-9]{1,7})[0-9a-z]{0,6}\\.tmp$"));
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch()) return false;
    const QString digits = m.captured(1);
    for (int length = 1; length <= digits.size(); ++length) {
        const long pid = digits.left(length).toLong();
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (pid > 0 && comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("soffice")) return false;
    }
    return true;
}

}  // namespace

namespace StaleFileCleaner {

QString partialFileName(const QString& suffix) {
    return QStringLiteral(".~tesseldoc-%1-%2")
               .arg(::getpid())
               .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')) +
           suffix;
}

long partialFileOwnerPid(const QString& fileName) {
    return pidIn(partialPattern(), fileName);
}

bool processAlive(long pid) {
    if (pid <= 0) return false;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

int cleanDestination(const QString& root) {
    if (root.isEmpty()) return 0;
    int removed = 0;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);  // links to directories are not followed
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        if (officeTemporaryOfDeadOffice(name)) {
            struct stat info;
            if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid == ::getuid() &&
                S_ISREG(info.st_mode) && ::unlink(QFile::encodeName(path).constData()) == 0)
                ++removed;
            continue;
        }
        if (!name.startsWith(QLatin1Char('.'))) continue;
        if (staleEntry(path, partialFileOwnerPid(name), S_IFREG) &&
            ::unlink(QFile::encodeName(path).constData()) == 0)
            ++removed;
    }
    return removed;
}

int cleanTemporaryDirectory(const QString& tempDirIn, const QString& pipeDir) {
    const QString tempDir = tempDirIn.isEmpty() ? PrivateTempDir::baseDirectory() : tempDirIn;
    if (!QFileInfo(tempDir).isDir()) return 0;
    int removed = 0;
    const QDir temp(tempDir);
    for (const QString& name : temp.entryList({QStringLiteral("tesseldoc-*")}, QDir::Dirs | QDir::Hidden | QDir::System)) {
        const QString path = temp.filePath(name);
        if (staleEntry(path, pidIn(directoryPattern(), name), S_IFDIR) && QDir(path).removeRecursively()) ++removed;
    }
    const QDir pipes(pipeDir);
    for (const QString& name :
         pipes.entryList({QStringLiteral("OSL_PIPE_*_tesseldoc-*")}, QDir::System | QDir::Files | QDir::Hidden)) {
        const QString path = pipes.filePath(name);
        if (staleEntry(path, pidIn(pipePattern(), name), S_IFSOCK) &&
            ::unlink(QFile::encodeName(path).constData()) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace StaleFileCleaner

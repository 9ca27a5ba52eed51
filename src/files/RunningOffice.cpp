#include "files/RunningOffice.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

namespace {

// The "PPid:" and "Uid:" lines of /proc/<pid>/status.
bool readStatus(long pid, long* parent, long* uid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    *parent = -1;
    *uid = -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("PPid:")) *parent = line.mid(5).trimmed().toLong();
        else if (line.startsWith("Uid:")) *uid = line.mid(4).trimmed().split('\t').value(0).trimmed().toLong();
    }
    return *parent >= 0 && *uid >= 0;
}

bool descendsFrom(long pid, long ancestor) {
    for (int depth = 0; depth < 64 && pid > 1; ++depth) {
        long parent = 0, uid = 0;
        if (!readStatus(pid, &parent, &uid)) return false;
        if (parent == ancestor) return true;
        pid = parent;
    }
    return false;
}

}  // namespace

namespace RunningOffice {

bool userOfficeRunning() {
    const long self = long(::getpid());
    const long me = long(::getuid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const long pid = entry.toLong(&number);
        if (!number || pid == self) continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (!comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("soffice")) continue;
        long parent = 0, uid = 0;
        if (!readStatus(pid, &parent, &uid) || uid != me) continue;
        if (!descendsFrom(pid, self)) return true;
    }
    return false;
}

}  // namespace RunningOffice

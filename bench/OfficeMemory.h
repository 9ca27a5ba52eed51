#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <unistd.h>

// Resident memory (VmRSS) and its peak (VmHWM), in MB, of the largest office
// process (soffice.bin) below this process.
struct OfficeMemory {
    double rss = 0, peak = 0;

    static OfficeMemory largest() {
        OfficeMemory best;
        const pid_t self = getpid();
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool ok = false;
            const int pid = entry.toInt(&ok);
            if (!ok) continue;
            QFile status(QStringLiteral("/proc/%1/status").arg(pid));
            if (!status.open(QIODevice::ReadOnly)) continue;
            const QByteArray text = status.readAll();
            if (!text.startsWith("Name:\tsoffice.bin") || !descendsFrom(pid, self)) continue;
            const double rss = field(text, "VmRSS:");
            if (rss > best.rss) best = {rss, field(text, "VmHWM:")};
        }
        return best;
    }

private:
    static bool descendsFrom(int pid, pid_t ancestor) {
        int ppid = pid;
        for (int depth = 0; depth < 6 && ppid > 1; ++depth) {
            QFile st(QStringLiteral("/proc/%1/stat").arg(ppid));
            if (!st.open(QIODevice::ReadOnly)) return false;
            ppid = st.readAll().split(')').value(1).trimmed().split(' ').value(1).toInt();
            if (ppid == ancestor) return true;
        }
        return false;
    }
    static double field(const QByteArray& text, const char* name) {
        const int at = text.indexOf(name);
        if (at < 0) return 0.0;
        const int start = at + int(qstrlen(name));
        return text.mid(start, text.indexOf('\n', at) - start).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
};

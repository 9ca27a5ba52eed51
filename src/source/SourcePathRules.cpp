#include "source/SourcePathRules.h"

#include <QDir>
#include <QFileInfo>

#include <sys/statfs.h>

namespace SourcePathRules {

bool IsAcceptedSourcePath(const QString& path) {
    const QString upper = path.toUpper();
    return upper.contains(QStringLiteral(".NSF")) || upper.contains(QStringLiteral(".DXL"));
}

unsigned long FileSystemMagic(const QString& path) {
    // The file itself is not opened: the nearest existing folder is asked.
    QFileInfo info(path);
    QString probe = info.exists() ? info.absoluteFilePath() : info.absolutePath();
    while (!probe.isEmpty() && !QFileInfo::exists(probe)) {
        const QString up = QFileInfo(probe).absolutePath();
        if (up == probe) break;
        probe = up;
    }
    struct statfs fs {};
    if (probe.isEmpty() || statfs(QFile::encodeName(probe).constData(), &fs) != 0) return 0;
    return static_cast<unsigned long>(fs.f_type);
}

bool IsNetworkFileSystemMagic(unsigned long magic) {
    switch (magic) {
    case 0x6969UL:      // NFS
    case 0xFF534D42UL:  // CIFS
    case 0x517BUL:      // SMB
    case 0xFE534D42UL:  // SMB2
    case 0x564C0000UL:  // NCP (low half)
    case 0x564CUL:      // NCP
    case 0x5346414FUL:  // AFS
    case 0x6B414653UL:  // kAFS
    case 0x00C36400UL:  // Ceph
    case 0x47504653UL:  // GPFS
    case 0x013111A8UL:  // IBRIX
    case 0x0BD00BD0UL:  // Lustre
    case 0x73757245UL:  // Coda
    case 0x01021997UL:  // 9P (v9fs)
        return true;
    default:
        return false;
    }
}

bool IsNetworkPath(const QString& path) {
    if (path.startsWith(QStringLiteral("//")) || path.startsWith(QStringLiteral("\\\\"))) return true;
    return IsNetworkFileSystemMagic(FileSystemMagic(path));
}

QString FileTitle(const QString& path) {
    const int slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString title = path.mid(slash + 1).toUpper();
    title.remove(QStringLiteral(".NSF"));
    title.remove(QStringLiteral(".DXL"));
    return title;
}

}  // namespace SourcePathRules

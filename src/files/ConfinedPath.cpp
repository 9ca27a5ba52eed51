#include "files/ConfinedPath.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace ConfinedPath {
namespace {

// Closes a descriptor at scope end.
class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Opens the directory that holds the last component of `relative`; the
// component itself goes to `leaf`. -1 when the walk meets a link or fails.
int openParent(const QString& root, const QString& relative, QByteArray& leaf) {
    if (!isPlainRelative(relative)) return -1;
    const QStringList parts = relative.split(QLatin1Char('/'));
    Fd dir(::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) return -1;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        const int next = ::openat(dir.get(), QFile::encodeName(parts[i]).constData(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) return -1;
        dir.reset(next);
    }
    leaf = QFile::encodeName(parts.back());
    return dir.release();
}

}  // namespace

QString Identity::toString() const { return QStringLiteral("%1:%2").arg(device).arg(inode); }

Identity Identity::fromString(const QString& text) {
    Identity id;
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon <= 0) return id;
    bool okDevice = false, okInode = false;
    const unsigned long long device = text.left(colon).toULongLong(&okDevice);
    const unsigned long long inode = text.mid(colon + 1).toULongLong(&okInode);
    if (okDevice && okInode) id = {device, inode};
    return id;
}

Identity Identity::of(const struct stat& info) {
    return {static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

bool isPlainRelative(const QString& relative) {
    if (relative.isEmpty() || relative.startsWith(QLatin1Char('/')) || relative.contains(QChar(0))) return false;
    for (const QString& part : relative.split(QLatin1Char('/')))
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) return false;
    return true;
}

bool statBelow(const QString& root, const QString& relative, struct stat& info) {
    QByteArray leaf;
    Fd parent(openParent(root, relative, leaf));
    if (parent.get() < 0) return false;
    return ::fstatat(parent.get(), leaf.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool removeFileBelow(const QString& root, const QString& relative,
                     const std::function<bool(const struct stat&)>& accept) {
    QByteArray leaf;
    Fd parent(openParent(root, relative, leaf));
    if (parent.get() < 0) return false;
    struct stat info;
    if (::fstatat(parent.get(), leaf.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
        !accept(info))
        return false;
    return ::unlinkat(parent.get(), leaf.constData(), 0) == 0;
}

bool removeDirectoryBelow(const QString& root, const QString& relative,
                          const std::function<bool(const struct stat&)>& accept) {
    QByteArray leaf;
    Fd parent(openParent(root, relative, leaf));
    if (parent.get() < 0) return false;
    Fd dir(::openat(parent.get(), leaf.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.get() < 0) return false;
    struct stat info;
    if (::fstat(dir.get(), &info) != 0 || !accept(info)) return false;
    // Through a duplicate: closedir() closes the descriptor it was given.
    DIR* listing = ::fdopendir(::dup(dir.get()));
    if (!listing) return false;
    while (const dirent* entry = ::readdir(listing)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        struct stat e;
        if (::fstatat(dir.get(), name, &e, AT_SYMLINK_NOFOLLOW) != 0) continue;
        // A name with other links loses only that name: the data stays where the others are.
        const bool ownFile = S_ISREG(e.st_mode) && e.st_uid == ::getuid();
        if (ownFile || S_ISLNK(e.st_mode)) ::unlinkat(dir.get(), name, 0);
    }
    ::closedir(listing);
    return ::unlinkat(parent.get(), leaf.constData(), AT_REMOVEDIR) == 0;
}

bool removeEmptyDirectoryBelow(const QString& root, const QString& relative) {
    QByteArray leaf;
    Fd parent(openParent(root, relative, leaf));
    if (parent.get() < 0) return false;
    return ::unlinkat(parent.get(), leaf.constData(), AT_REMOVEDIR) == 0;
}

}  // namespace ConfinedPath

#include "notes/nsf/NsfFile.h"

#include <algorithm>

#include <sys/mman.h>
#include <unistd.h>

namespace nsf {

std::unique_ptr<NsfFile> NsfFile::open(const QString& path, QString& error) {
    std::unique_ptr<NsfFile> f(new NsfFile);
    f->m_file = std::make_unique<QFile>(path);
    if (!f->m_file->open(QIODevice::ReadOnly)) {
        error = f->m_file->errorString();
        return nullptr;
    }
    const qint64 size = f->m_file->size();
    if (size <= 0) {
        error = QStringLiteral("the file is empty");
        return nullptr;
    }
    if (uint64_t(size) > uint64_t(SIZE_MAX / 2)) {
        error = QStringLiteral("the file is too large for this system");
        return nullptr;
    }
    uchar* p = f->m_file->map(0, size);
    if (!p) {
        // Mapping can fail on special file systems: fall back to reading.
        f->m_memory = f->m_file->readAll();
        if (f->m_memory.size() != size) {
            error = f->m_file->errorString();
            return nullptr;
        }
        f->m_view = ByteView(f->m_memory.constData(), size_t(f->m_memory.size()));
        return f;
    }
    f->m_view = ByteView(p, size_t(size));
    return f;
}

std::unique_ptr<NsfFile> NsfFile::fromBytes(QByteArray bytes) {
    std::unique_ptr<NsfFile> f(new NsfFile);
    f->m_memory = std::move(bytes);
    f->m_view = ByteView(f->m_memory.constData(), size_t(f->m_memory.size()));
    return f;
}

void NsfFile::releasePages(ByteView range) const {
    if (!m_memory.isEmpty() || !m_view.data() || !range.data()) return;  // not a mapping of the file
    if (m_view.size() < kReleaseFrom) return;  // a small file may as well stay
    const uintptr_t base = reinterpret_cast<uintptr_t>(m_view.data());
    const uintptr_t from = reinterpret_cast<uintptr_t>(range.data());
    if (from < base || from - base > m_view.size() || range.size() > m_view.size() - (from - base)) return;
    // Whole windows around the range: the system maps neighbouring pages in
    // with every page read, and those stay otherwise.
    static const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
    const uint64_t window = std::max<uint64_t>(kReleaseWindow, page);
    const uint64_t mapped = (uint64_t(m_view.size()) + page - 1) / page * page;
    const uint64_t begin = (from - base) / window * window;
    const uint64_t end = std::min<uint64_t>((from - base + range.size() + window - 1) / window * window, mapped);
    if (end > begin) ::madvise(reinterpret_cast<void*>(base + begin), size_t(end - begin), MADV_DONTNEED);
}

NsfFile::~NsfFile() {
    if (m_file && m_file->isOpen() && m_memory.isEmpty() && m_view.data())
        m_file->unmap(const_cast<uchar*>(m_view.data()));
}

}  // namespace nsf

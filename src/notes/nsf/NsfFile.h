#pragma once

#include "notes/nsf/ByteView.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

namespace nsf {

// The bytes of one database file: memory-mapped from disk, or held in memory
// (tests, fuzzing). All reads go through bytes(), a bounds-checked view.
class NsfFile {
public:
    // Maps the file read-only. Null with `error` set on failure.
    static std::unique_ptr<NsfFile> open(const QString& path, QString& error);
    // Wraps bytes already in memory.
    static std::unique_ptr<NsfFile> fromBytes(QByteArray bytes);

    ~NsfFile();
    NsfFile(const NsfFile&) = delete;
    NsfFile& operator=(const NsfFile&) = delete;

    ByteView bytes() const { return m_view; }
    uint64_t size() const { return m_view.size(); }

    // Tells the system that the pages of the mapped file around `range` (the
    // 64 KB windows it touches) are not needed for now: they leave the
    // process's memory and are read again (from the page cache) if touched.
    // Reading a large file through once keeps the process small this way.
    // Files held in memory, and files smaller than kReleaseFrom (read again
    // faster when they stay), are left as they are.
    void releasePages(ByteView range) const;
    static constexpr uint64_t kReleaseWindow = 0x10000;
    static constexpr uint64_t kReleaseFrom = uint64_t(64) << 20;

private:
    NsfFile() = default;
    std::unique_ptr<QFile> m_file;
    QByteArray m_memory;
    ByteView m_view;
};

}  // namespace nsf

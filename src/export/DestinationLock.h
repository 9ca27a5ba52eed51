#pragma once

#include <QString>

// Keeps a second run from writing into a destination while one is at work:
// a record lock on ".tesseldoc.lock" in the destination (held by the open
// file, so it goes away with the process, however it ends; it also works
// across machines on a shared file system that supports record locks).
// A whole run locks it exclusively. The shards of one job array share it and
// each locks its own ".tesseldoc-shard-K-of-N.lock" exclusively, so shards
// run side by side but the same shard twice, or a whole run beside a shard,
// is refused.
class DestinationLock {
public:
    DestinationLock() = default;
    ~DestinationLock();
    DestinationLock(const DestinationLock&) = delete;
    DestinationLock& operator=(const DestinationLock&) = delete;

    // shardCount 0: a whole run. False with a message for people when refused.
    bool acquire(const QString& dest, int shard, int shardCount, QString* error);
    void release();

private:
    int m_mainFd = -1;
    int m_shardFd = -1;
};

// Keeps two runs from writing one database's sub-folder of a destination at
// once (shards of job arrays of different sizes, a manifest run beside a
// shard): an exclusive record lock on a file of its own in the destination's
// ".tesseldoc-locks" folder, named after the sub-folder.
class SourceFolderLock {
public:
    SourceFolderLock() = default;
    ~SourceFolderLock();
    SourceFolderLock(const SourceFolderLock&) = delete;
    SourceFolderLock& operator=(const SourceFolderLock&) = delete;

    // False with a message for people when another run holds it.
    bool acquire(const QString& dest, const QString& subFolder, QString* error);
    void release();

private:
    int m_fd = -1;
};

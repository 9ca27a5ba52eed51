#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

// The single-instance guard: a lock file named after the product's GUID in
// $XDG_RUNTIME_DIR (the temporary folder when that is not set). A lock left
// behind by a process that no longer runs is taken over.
class CSingleInstanceLock {
public:
    CSingleInstanceLock();
    // True when this process now holds the lock; false when another
    // running instance holds it.
    bool tryAcquire();
    bool isHeld() const { return m_held; }
    void release();
    static QString lockFilePath();

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

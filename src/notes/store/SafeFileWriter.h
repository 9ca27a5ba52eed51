#pragma once

#include "notes/store/StoreStatus.h"

#include <QByteArray>
#include <QString>

namespace store {

// Writes a new file without ever replacing an existing one and without
// leaving a partial file behind: the data goes to a temporary file in the same
// directory, which is then linked to the target name (fails if it exists).
class SafeFileWriter {
public:
    static StoreError writeNew(const QString& targetPath, const QByteArray& data);

    // Streaming form: open(), append() any number of times, commit() or abort().
    explicit SafeFileWriter(const QString& targetPath);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    StoreError open();
    StoreError append(const char* data, qint64 size);
    StoreError commit();
    void abort();

    // Each file is flushed to disk before it gets its name, except while a
    // run defers that: a run that makes its whole output durable at its end,
    // with one sync of the file system. Counted: every begin has its end.
    static void beginDeferredFlush();
    static void endDeferredFlush();

private:
    QString m_target;
    QString m_temp;
    int m_fd = -1;
};

}  // namespace store

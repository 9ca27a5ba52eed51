#pragma once

#include <QByteArray>
#include <QString>

// Puts a finished document in place without ever replacing anything: the
// bytes go to a file without a name in the target's folder (or, where the
// file system has none, a hidden temporary file beside the target), which is
// then given the target's name only if that name is still free. A failed or
// interrupted write leaves no partial document behind.
class DocumentPublisher {
public:
    // 0 when written; otherwise the errno (EEXIST: the name was taken meanwhile).
    static int publish(const QString& path, const QByteArray& bytes);
};

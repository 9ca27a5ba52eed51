#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace worddoc {

// Writes a compound file (version 3, 512-byte sectors) in memory: streams in
// the root storage, small ones in the mini stream. Enough for the Word binary
// format: no sub-storages, no CLSIDs, no time stamps.
class CompoundFileWriter {
public:
    // Adds a stream to the root storage. Names are at most 31 UTF-16 units and
    // unique (case-insensitively); the caller keeps to that.
    void addStream(const QString& name, QByteArray data);
    QByteArray toBytes() const;

private:
    struct Stream {
        QString name;
        QByteArray data;
    };
    std::vector<Stream> m_streams;
};

}  // namespace worddoc

#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The databases of a run over many sources: given on the command line or in a
// manifest (one per line: a path, or SERVER!!PATH), each converted into its own
// sub-folder of the destination.
struct SourceEntry {
    QString text;       // as given
    QString path;       // the file path (absolute for local files), or the path on the server
    QString server;     // empty for a local file
    QString origin;     // where it came from ("manifest line 3", "argument 2")
    QString subFolder;  // the sub-folder of the destination it is written into
    int position = -1;  // among the distinct sources, from 0 (sharding counts these)
    QString duplicateOf;  // non-empty: same database as that earlier entry; not converted again
    QString fileId;     // a local file's device and inode (links followed), empty when it cannot be read

    // How the journal and the report name the source.
    QString id() const { return server.isEmpty() ? path : server + QStringLiteral("!!") + path; }
};

class SourceList {
public:
    // The sub-folder the list export gives a database file: its file name,
    // upper-cased, without ".NSF" and ".DXL" (D:/Mail/john.nsf gives JOHN).
    static QString FileTitle(const QString& path);

    // Adds one source; `origin` names it in messages. Blank text is ignored.
    void add(const QString& text, const QString& origin);
    // Adds every line of a manifest file; false with `error` when it cannot be read.
    bool addManifest(const QString& file, QString* error);

    // Every entry, duplicates included, in the order given.
    const QList<SourceEntry>& entries() const { return m_entries; }
    // The distinct entries whose position is `shard` modulo `shardCount`
    // (shardCount 0: all), each with the duplicates that refer to it after it.
    QList<SourceEntry> shard(int shard, int shardCount) const;

    // "K/N" with 0 <= K < N; false when malformed.
    static bool parseShard(const QString& text, int* shard, int* shardCount);

private:
    QList<SourceEntry> m_entries;
    int m_distinct = 0;
};

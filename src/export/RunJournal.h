#pragma once

#include <QHash>
#include <QList>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <optional>

// Which item of which database a journal record is about.
struct JournalKey {
    QString database;  // the source as the run names it (absolute path, or SERVER!!PATH)
    QString folder;    // Notes name of the folder, without its trailing backslash
    uint32_t noteId = 0;
    QString unid;

    QString id() const;
};

// One file of a written item: its path relative to the destination, its size,
// and which file it was ("device:inode" when it was written).
struct JournalFile {
    QString path;
    qint64 size = 0;
    QString identity;
};

// What the journal knows of an item that was written completely.
struct JournalWritten {
    QString modified;           // the document's last-modified stamp when it was written
    QList<JournalFile> files;   // the document first, then its attachments
};

// The journal of the runs into one destination: an append-only text file in
// the destination, one record per line, each line carrying its own keyed
// check sum (HMAC-SHA-256 with a key of the destination, kept beside the
// journal readable by its owner only), written with a single write() so that
// a killed run leaves at worst one damaged last line. What a journal says is
// data, never trusted for paths: a removal goes only to a file below the
// destination reached without links, which is the file the run recorded. Every item is recorded when its names are chosen (before
// anything is written for it) and again when its document is in place, so a
// later run knows which items are complete and which partial output a killed
// run left behind. Thread-safe for writing.
class RunJournal {
public:
    // Journal file names: ".tesseldoc-journal", or for one shard of a job
    // array ".tesseldoc-journal-shard-K-of-N".
    static QString fileNameFor(int shard, int shardCount);
    // Every journal file in `dest` (all shards).
    static QStringList journalsIn(const QString& dest);
    // The name of the key file beside the journals.
    static QString keyFileName();

    RunJournal() = default;
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // Reads dest/fileName when it exists (a damaged tail is dropped from the
    // file) and opens it for appending; records a run start. False with
    // `error` when the file cannot be read or written.
    bool open(const QString& dest, const QString& fileName, QString* error);
    // Reads a journal file without opening it for writing.
    bool load(const QString& path, QString* error);
    void close();
    QString destination() const { return m_dest; }
    // Lines that were damaged or cut off and were ignored.
    int damagedLines() const { return m_damaged; }
    // What the journal held when it was opened or loaded.
    enum class Found { Missing, Empty, Untrusted, Records };
    Found found() const { return m_found; }
    // Items the journal knows as written (complete documents).
    int writtenCount() const;
    // The documents of those items, relative to the destination.
    QStringList writtenDocuments() const;
    // Every path a complete write named (earlier versions of changed items included).
    QSet<QString> claimedPaths() const;
    // Set once a record could not be written (a full disk): the reason, naming
    // the journal. Nothing is written after it; `stop` (when set) is raised
    // so that the run ends rather than writing what it cannot record.
    QString writeFailure() const;
    void setStopFlag(std::atomic<int>* stop) { m_stop = stop; }

    // ---- what earlier runs did
    // The latest complete write of the item, if any (a copy: other threads may write meanwhile).
    std::optional<JournalWritten> written(const JournalKey& key) const;
    // Whether every file of the record is on disk with its recorded size.
    bool isPresent(const JournalWritten& written) const;
    // Removes what is left of an incomplete write (its files that are still
    // the files recorded, and its attachment folder when that is then empty),
    // so that the item is written again under the same names.
    void removeOutput(const JournalWritten& written);
    // Removes the output of items whose write was begun and never finished
    // (a killed run, a failed document): their document when it is a file of
    // this user made after the item was begun, and their
    // attachment folder when it is the one recorded when it was made. Each
    // undo is recorded. Returns the number of items undone.
    int undoUnfinished();

    // Whether a complete write of any item (in this journal or in the other
    // journals of the destination) names the path: a document or a file or
    // folder of its attachments, relative to the destination or absolute.
    bool claims(const QString& path) const;

    // ---- what is on disk without a record (a journal lost, emptied or cut)
    // The note identity a written document carries (an extended attribute),
    // or empty when it carries none.
    static QString noteMarkOf(const QString& document);
    // The mark written for an item: its UNID (or note ID) and change mark.
    static QString noteMarkFor(const JournalKey& key, const QString& modified);
    // Takes a document found on disk (and its attachment folder, if any) as
    // the item's complete write: recorded as written, then as skipped.
    bool adopt(const JournalKey& key, const QString& modified, const QString& document,
               const QString& attachmentDir);
    // Documents taken from disk by this run.
    int adoptedCount() const { return m_adopted.load(); }

    // ---- records (each flushed to the file at once; false when it could not
    // be written, see writeFailure)
    bool recordBegin(const JournalKey& key, const QString& modified, const QString& document,
                     const QString& attachmentDir);
    // The attachment folder of a begun item was made (its identity is recorded).
    bool recordAttachmentFolder(const JournalKey& key, const QString& document, const QString& attachmentDir);
    // `replaces`: the document of an earlier version of the item, or empty.
    // The document also gets the item's note mark.
    bool recordWritten(const JournalKey& key, const QString& modified, const QString& document,
                       const QString& attachmentDir, const QString& replaces);
    void recordFailed(const JournalKey& key, const QString& reason);
    void recordSkipped(const JournalKey& key);
    void recordFolder(const QString& database, const QString& folder, int found);
    void recordSource(const QString& database, const QString& outcome, const QString& reason);

    // ---- the merged view of one or more journals (for the report)
    struct Summary {
        int found = 0;           // entries of the folders last converted, per database and folder
        int written = 0;         // items with a complete write
        int alreadyWritten = 0;  // items the last run found complete and skipped
        int rewritten = 0;       // changed items written again
        struct Failure {
            JournalKey key;
            QString reason;
        };
        QList<Failure> failures;  // items whose last outcome is a failure
        struct Source {
            QString database, outcome, reason;
        };
        QList<Source> sources;    // last outcome per database, in first-seen order
    };
    // Adds this journal's records to `summary`.
    void summarize(Summary& summary) const;

    // Field escaping of the file format (also used by tests).
    static QString escapeField(const QString& text);
    static QString unescapeField(const QString& text);

private:
    struct Record {
        QString type;
        QStringList fields;
    };
    bool parse(const QByteArray& bytes, qint64* validEnd);
    QByteArray checksum(const QByteArray& content) const;
    bool readKey(const QString& dest, bool create, QString* error);
    void apply(const Record& record);
    bool append(const QString& type, const QStringList& fields);
    void loadClaimsOfOtherJournals(const QString& ownFileName);
    QString relative(const QString& absolutePath) const;
    QList<JournalFile> filesOf(const QString& document, const QString& attachmentDir) const;

    struct Begun {
        JournalKey key;
        QString document;
        QString attachmentDir;
        QString modified;
        qint64 beganMs = 0;           // when it was begun (ms since the epoch)
        QString attachmentDirIdentity;  // "device:inode" once the folder was made
    };

    mutable QMutex m_mutex;
    QString m_dest;
    QString m_path;
    int m_fd = -1;
    int m_damaged = 0;
    Found m_found = Found::Missing;
    std::atomic<int> m_adopted{0};
    QSet<QString> m_claimed;              // relative paths of complete writes (all journals)
    QByteArray m_key;
    QString m_writeFailure;
    std::atomic<int>* m_stop = nullptr;
    QList<Record> m_records;              // as read (for summaries)
    QHash<QString, JournalWritten> m_written;
    QHash<QString, Begun> m_open;         // begun and not finished, by key id + document
};

#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QIODevice;

// Writes NSF files for tests: one header, an uncompressed superblock and BDB,
// data RRV buckets (the first is the current one, kept in the superblock,
// with a stale on-disk copy; the others on disk), summary buckets with sector
// stamps applied (their descriptors over as many superblock pages as they
// need), object records and separate non-summary records at file positions.
// Large objects are generated while they are written (write()), so that
// databases of several GB can be written without holding them in memory.
class MiniNsf {
public:
    struct Item {
        QString name;
        uint16_t type = 0x0500;      // stored type
        uint16_t flags = 0x0004;     // summary
        QByteArray value;            // without type word
        bool typeWord = false;       // store the type in the value (flag 0x0008 clear)
        uint16_t nameType = 0x0500;  // the type the name table keeps
    };
    enum class NonSummary { Inline, Separate, Missing };
    struct Note {
        uint32_t id = 0;
        uint16_t noteClass = 1;
        std::vector<Item> items;
        std::vector<uint32_t> responses;
        NonSummary placement = NonSummary::Separate;
        bool deletionStub = false;
        uint32_t storedId = 0;       // 0: the same as id
        uint32_t rrvBucket = 0;      // 0: the real bucket number (1)
        uint32_t rrvSlot = 0;        // 0: the real slot
    };
    struct Object {
        uint32_t id = 0;
        QByteArray data;
    };
    // An object whose `size` bytes are made while writing: fill(offset, out, n)
    // writes bytes offset .. offset + n of the data into out.
    struct StreamedObject {
        uint32_t id = 0;
        uint64_t size = 0;
        std::function<void(uint64_t offset, char* out, size_t n)> fill;
        uint64_t gapBefore = 0;      // unwritten bytes (a hole) before this object
    };

    std::vector<Note> notes;
    std::vector<Object> objects;
    std::vector<StreamedObject> streamedObjects;  // placed after everything else
    uint64_t streamedGap = 0;        // unwritten bytes (a hole) before the streamed objects
    uint32_t notesPerBucket = 0;     // 0: every note in one summary bucket
    uint32_t bucketSize = 0x2000;
    uint8_t stamp = 0x7;             // per-write stamp written over each sector's byte 0x42
    bool staleDiskRrvHasNotes = false;
    QString title = QStringLiteral("Mini");

    QByteArray build() const;
    // The same notes and objects in the Notes Release 4 layout (ODS 20,
    // 768-byte header, no superblock, one uncompressed BDB, 8 KB RRV buckets
    // of byte offsets, 84-byte note headers, bare non-summary values). IDs
    // from kFirstId on go to data buckets, the bucket of each ID range being
    // a non-data bucket when its first note is not a document.
    QByteArray buildRelease4() const;
    // Writes the database to a new, empty device; false when a write fails.
    bool write(QIODevice& out) const;

    // Item value helpers.
    static QByteArray text(const QByteArray& s) { return s; }
    static QByteArray textList(const std::vector<QByteArray>& list);
    static QByteArray number(double d);
    static QByteArray timeDate(uint32_t t, uint32_t d);
    static QByteArray fileObject(uint32_t objectId, const QByteArray& name, uint16_t compression, uint32_t size);
    static void put16(QByteArray& b, qsizetype at, uint16_t v);
    static void put32(QByteArray& b, qsizetype at, uint32_t v);
    static uint32_t xor32(const QByteArray& b, qsizetype from, qsizetype len);

    static constexpr uint32_t kFirstId = 0x8F6;
    static constexpr uint32_t kSummaryBucketOffset = 0x10000;
    static constexpr uint32_t kRrvIdsPerBucket = 508;
    static constexpr uint32_t kDescriptorsPerPage = 570;
};

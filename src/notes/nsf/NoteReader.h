#pragma once

#include "notes/nsf/BucketCache.h"
#include "notes/nsf/BucketDescriptorBlock.h"
#include "notes/nsf/RawNote.h"
#include "notes/nsf/RrvMap.h"
#include "notes/nsf/Superblock.h"

#include <QString>

namespace nsf {

// Finds a note's record through its RRV entry and lays out its items: the
// 100-byte header, the 8-byte item entries, then the values. Summary values
// come first, then the IDs of the note's responses, then the non-summary
// values: inline when the note says so, otherwise in a separate non-summary
// record (in a non-summary bucket or at a file position).
class NoteReader {
public:
    enum class Result { Note, DeletionStub, NotANote, Error };

    // `release4`: notes of a Release 4 file (84-byte header; the non-summary
    // values at the byte offset the header names, without a record header).
    NoteReader(ByteView file, const Superblock& sb, const BucketDescriptorBlock& bdb, BucketCache& cache,
               bool release4 = false)
        : m_file(file), m_sb(sb), m_bdb(bdb), m_cache(cache), m_release4(release4) {}

    // The record bytes behind an RRV entry (a bucket slot or a file position);
    // `keep` receives the bucket the bytes live in.
    ByteView recordBytes(const RrvMap::Entry& entry, std::shared_ptr<const SlotBucket>& keep, QString& error);

    // Reads the note of `entry`. Note: `note` is filled. DeletionStub: a
    // 64-byte record of a deleted note. NotANote: an object record.
    Result read(const RrvMap::Entry& entry, RawNote& note, QString& error);

    // Only the class and flags (cheap: no items).
    Result peek(const RrvMap::Entry& entry, uint16_t& noteClass, QString& error);

private:
    bool locateNonSummary(RawNote& note, ByteView record, uint64_t inlineAt, uint64_t needed, ByteView& values,
                          QString& error);

    ByteView m_file;
    const Superblock& m_sb;
    const BucketDescriptorBlock& m_bdb;
    BucketCache& m_cache;
    bool m_release4 = false;
};

}  // namespace nsf

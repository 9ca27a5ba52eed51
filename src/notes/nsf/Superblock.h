#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/nsf/NsfHeader.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace nsf {

// The superblock: where the summary and non-summary buckets are, the current
// data RRV bucket (newer than its copy on disk) and the data-note ID table.
// Up to four copies exist; the valid one with the highest write count wins.
class Superblock {
public:
    static constexpr uint16_t kSignature = 0x000E;

    // Loads the newest valid copy named by the header. False with `error`
    // when no copy can be read.
    bool load(ByteView file, const NsfHeader& header, QString& error);

    uint32_t writeCount() const { return m_writeCount; }
    // POS of the summary bucket with the 1-based number, 0 when unknown.
    uint32_t summaryBucketPos(uint32_t number) const;
    uint32_t nonSummaryBucketPos(uint32_t number) const;
    size_t summaryBucketCount() const { return m_summaryPos.size(); }
    size_t nonSummaryBucketCount() const { return m_nonSummaryPos.size(); }

    uint32_t currentRrvPos() const { return m_currentRrvPos; }
    uint32_t currentRrvInitialId() const { return m_currentRrvInitialId; }
    ByteView currentRrvBucket() const;
    ByteView dataNoteIdTable() const;
    ByteView folderDirectory() const;

private:
    bool loadCopy(ByteView file, uint64_t offset, QString& error);

    QByteArray m_body;
    uint32_t m_writeCount = 0;
    std::vector<uint32_t> m_summaryPos;
    std::vector<uint32_t> m_nonSummaryPos;
    uint32_t m_currentRrvPos = 0;
    uint32_t m_currentRrvInitialId = 0;
    uint64_t m_rrvOffset = 0, m_rrvSize = 0;
    uint64_t m_idTableOffset = 0, m_idTableSize = 0;
    uint64_t m_fdoOffset = 0, m_fdoSize = 0;
};

}  // namespace nsf

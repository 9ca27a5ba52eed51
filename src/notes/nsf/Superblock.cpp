#include "notes/nsf/Superblock.h"

#include "notes/nsf/CxDecompressor.h"
#include "notes/nsf/NewestCopy.h"

#include <algorithm>

namespace nsf {
namespace {

constexpr uint64_t kHeaderSize = 100;
constexpr uint64_t kSummaryPageSize = 8206;
constexpr uint64_t kSummaryPageFirst = 224;
constexpr uint64_t kSummaryEntrySize = 14;
constexpr uint64_t kNonSummaryPageSize = 8198;
constexpr uint64_t kNonSummaryPageFirst = 70;
constexpr uint64_t kNonSummaryEntrySize = 6;
constexpr uint64_t kBitmapDescriptorSize = 20;
// More than a database of any size could hold: treat as damage.
constexpr uint32_t kMaxPages = 4096;
constexpr uint32_t kMaxBuckets = 1u << 22;

// Reads `count` bucket positions spread over `pages` descriptor pages. Every
// database seen so far has one page of each kind; a second page is taken to
// continue where the first is full (as many entries as fit after its header).
bool readDescriptors(ByteView body, uint64_t start, uint32_t pages, uint64_t pageSize, uint64_t first,
                     uint64_t entrySize, uint32_t count, std::vector<uint32_t>& out) {
    out.clear();
    if (count == 0) return true;
    if (pages == 0) return false;
    const uint64_t perPage = (pageSize - first) / entrySize;
    if (uint64_t(count) > perPage * pages) return false;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t page = i / perPage;
        const uint64_t at = start + page * pageSize + first + entrySize * (i % perPage);
        if (!body.has(at, 4)) return false;
        out.push_back(body.u32(at));
    }
    return true;
}

}  // namespace

bool Superblock::load(ByteView file, const NsfHeader& header, QString& error) {
    std::vector<CopyCandidate> candidates;
    for (const NsfHeader::Slot& slot : header.superblocks) {
        const uint64_t off = uint64_t(slot.pos) * 256;
        if (slot.pos == 0 || !file.has(off, kHeaderSize) || file.u16(off) != kSignature) continue;
        candidates.push_back({off, file.u32(off + 60)});
    }
    const auto load = [&](uint64_t offset, QString& e) { return loadCopy(file, offset, e); };
    return loadNewestCopy(std::move(candidates), "superblock", load, error);
}


bool Superblock::loadCopy(ByteView file, uint64_t off, QString& error) {
    const ByteView h = file.sub(off, kHeaderSize);
    const uint32_t bodySize = h.u32(10);
    const uint32_t stored = file.u32(off + 100);
    const ByteView data = file.sub(off + 104, stored);
    if (!file.has(off + 104, uint64_t(stored) + 12)) {
        error = QStringLiteral("superblock at 0x%1 runs past the end of the file").arg(off, 0, 16);
        return false;
    }
    const uint32_t checksum = file.u32(off + 112 + stored);
    if (xorChecksum(file.sub(off + 100, uint64_t(stored) + 4)) != checksum) {
        error = QStringLiteral("superblock at 0x%1 fails its checksum").arg(off, 0, 16);
        return false;
    }
    QByteArray body;
    const uint16_t compression = h.u16(68);
    if (compression == 1) {
        QString e;
        if (!CxDecompressor::decompress(data, bodySize, body, e)) {
            error = QStringLiteral("superblock at 0x%1: %2 (encrypted or damaged)").arg(off, 0, 16).arg(e);
            return false;
        }
    } else if (compression == 0) {
        if (stored < bodySize) {
            error = QStringLiteral("superblock at 0x%1 is shorter than its body").arg(off, 0, 16);
            return false;
        }
        body = QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(bodySize));
    } else {
        error = QStringLiteral("superblock at 0x%1 uses unknown compression %2").arg(off, 0, 16).arg(compression);
        return false;
    }

    const uint32_t summaryCount = h.u32(14);
    const uint32_t nonSummaryCount = h.u32(18);
    const uint32_t bitmaps = h.u32(22);
    const uint64_t rrvSize = h.u32(26);
    const uint64_t bitmapSize = h.u32(42);
    const uint64_t idTableSize = h.u32(46);
    const uint64_t logSize = h.u32(50);
    const uint64_t fdoSize = h.u32(54);
    const uint32_t summaryPages = h.u32(70);
    const uint32_t nonSummaryPages = h.u32(74);
    if (summaryPages > kMaxPages || nonSummaryPages > kMaxPages || bitmaps > kMaxPages ||
        summaryCount > kMaxBuckets || nonSummaryCount > kMaxBuckets) {
        error = QStringLiteral("superblock at 0x%1 has impossible counts").arg(off, 0, 16);
        return false;
    }
    const uint64_t nsStart = kSummaryPageSize * summaryPages;
    const uint64_t rrvOffset = nsStart + kNonSummaryPageSize * nonSummaryPages + kBitmapDescriptorSize * bitmaps;
    const uint64_t idOffset = rrvOffset + rrvSize + bitmapSize;
    const uint64_t fdoOffset = idOffset + idTableSize + logSize;
    const ByteView bv(body.constData(), size_t(body.size()));
    if (fdoOffset + fdoSize != uint64_t(body.size()) || rrvSize < 32) {
        error = QStringLiteral("superblock at 0x%1 has an inconsistent layout").arg(off, 0, 16);
        return false;
    }
    std::vector<uint32_t> summary, nonSummary;
    if (!readDescriptors(bv, 0, summaryPages, kSummaryPageSize, kSummaryPageFirst, kSummaryEntrySize, summaryCount,
                         summary) ||
        !readDescriptors(bv, nsStart, nonSummaryPages, kNonSummaryPageSize, kNonSummaryPageFirst,
                         kNonSummaryEntrySize, nonSummaryCount, nonSummary)) {
        error = QStringLiteral("superblock at 0x%1: bucket descriptors do not fit their pages").arg(off, 0, 16);
        return false;
    }
    m_body = std::move(body);
    m_writeCount = h.u32(60);
    m_summaryPos = std::move(summary);
    m_nonSummaryPos = std::move(nonSummary);
    m_currentRrvPos = h.u32(30);
    m_currentRrvInitialId = h.u32(34);
    m_rrvOffset = rrvOffset;
    m_rrvSize = rrvSize;
    m_idTableOffset = idOffset;
    m_idTableSize = idTableSize;
    m_fdoOffset = fdoOffset;
    m_fdoSize = fdoSize;
    return true;
}

uint32_t Superblock::summaryBucketPos(uint32_t number) const {
    return number >= 1 && number <= m_summaryPos.size() ? m_summaryPos[number - 1] : 0;
}

uint32_t Superblock::nonSummaryBucketPos(uint32_t number) const {
    return number >= 1 && number <= m_nonSummaryPos.size() ? m_nonSummaryPos[number - 1] : 0;
}

ByteView Superblock::currentRrvBucket() const {
    return ByteView(m_body.constData(), size_t(m_body.size())).sub(m_rrvOffset, m_rrvSize);
}

ByteView Superblock::dataNoteIdTable() const {
    return ByteView(m_body.constData(), size_t(m_body.size())).sub(m_idTableOffset, m_idTableSize);
}

ByteView Superblock::folderDirectory() const {
    return ByteView(m_body.constData(), size_t(m_body.size())).sub(m_fdoOffset, m_fdoSize);
}

}  // namespace nsf

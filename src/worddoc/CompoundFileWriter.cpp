#include "worddoc/CompoundFileWriter.h"

#include "worddoc/LeBytes.h"

#include <algorithm>
#include <cstdint>

namespace worddoc {
namespace {

constexpr uint32_t kFreeSect = 0xFFFFFFFF;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFatSect = 0xFFFFFFFD;
constexpr uint32_t kDifSect = 0xFFFFFFFC;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr int kSector = 512;
constexpr int kMiniSector = 64;
constexpr int kMiniCutoff = 4096;
constexpr int kHeaderDifat = 109;

uint32_t sectorsFor(qsizetype bytes, int unit) { return uint32_t((bytes + unit - 1) / unit); }

// Directory order: shorter names first, then by upper-case code units.
bool nameLess(const QString& a, const QString& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    return a.toUpper() < b.toUpper();
}

struct DirEntry {
    QString name;
    int type = 2;  // 1 storage, 2 stream, 5 root
    uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    uint32_t start = kEndOfChain;
    uint32_t size = 0;
};

// Links the entries `order[lo, hi)` (sorted) into a balanced binary tree and
// returns its root. All nodes are black: a valid red-black tree for readers
// that check, since every path has the same length up to one node.
uint32_t buildTree(std::vector<DirEntry>& dir, const std::vector<uint32_t>& order, int lo, int hi) {
    if (lo >= hi) return kNoStream;
    const int mid = (lo + hi) / 2;
    const uint32_t node = order[size_t(mid)];
    dir[node].left = buildTree(dir, order, lo, mid);
    dir[node].right = buildTree(dir, order, mid + 1, hi);
    return node;
}

void appendDirEntry(QByteArray& out, const DirEntry& e) {
    const qsizetype start = out.size();
    const QString name = e.name.left(31);
    le::utf16(out, name);
    le::zeros(out, 64 - name.size() * 2);
    le::u16(out, unsigned(name.size() + 1) * 2);
    le::u8(out, unsigned(e.type));
    le::u8(out, 1);  // black
    le::u32(out, e.left);
    le::u32(out, e.right);
    le::u32(out, e.child);
    le::zeros(out, 16 + 4 + 8 + 8);  // CLSID, state bits, times
    le::u32(out, e.start);
    le::u32(out, e.size);
    le::u32(out, 0);
    Q_ASSERT(out.size() - start == 128);
}

void appendEmptyDirEntry(QByteArray& out) {
    le::zeros(out, 64 + 2 + 2);
    le::u32(out, kNoStream);
    le::u32(out, kNoStream);
    le::u32(out, kNoStream);
    le::zeros(out, 16 + 4 + 8 + 8 + 4 + 8);
}

}  // namespace

void CompoundFileWriter::addStream(const QString& name, QByteArray data) {
    m_streams.push_back({name, std::move(data)});
}

QByteArray CompoundFileWriter::toBytes() const {
    // Directory: the root, then the streams in the order they were added.
    std::vector<DirEntry> dir(1 + m_streams.size());
    dir[0].name = QStringLiteral("Root Entry");
    dir[0].type = 5;

    // Sector plan: big streams, the mini stream, the mini FAT, the directory,
    // then the FAT and DIFAT sectors.
    std::vector<uint32_t> fat;
    auto chain = [&fat](uint32_t count) {
        const uint32_t first = uint32_t(fat.size());
        for (uint32_t i = 0; i < count; ++i) fat.push_back(i + 1 == count ? kEndOfChain : first + i + 1);
        return count ? first : kEndOfChain;
    };

    QByteArray miniStream;
    std::vector<uint32_t> miniFat;
    for (size_t i = 0; i < m_streams.size(); ++i) {
        const QByteArray& data = m_streams[i].data;
        DirEntry& e = dir[i + 1];
        e.name = m_streams[i].name;
        e.size = uint32_t(data.size());
        if (data.isEmpty()) continue;
        if (data.size() >= kMiniCutoff) {
            e.start = chain(sectorsFor(data.size(), kSector));
        } else {
            const uint32_t count = sectorsFor(data.size(), kMiniSector);
            e.start = uint32_t(miniFat.size());
            for (uint32_t s = 0; s < count; ++s) miniFat.push_back(s + 1 == count ? kEndOfChain : e.start + s + 1);
            miniStream += data;
            le::padTo(miniStream, kMiniSector);
        }
    }
    const uint32_t miniStreamStart = chain(sectorsFor(miniStream.size(), kSector));
    dir[0].start = miniStream.isEmpty() ? kEndOfChain : miniStreamStart;
    dir[0].size = uint32_t(miniStream.size());
    const uint32_t miniFatSectors = sectorsFor(qsizetype(miniFat.size()) * 4, kSector);
    const uint32_t miniFatStart = chain(miniFatSectors);
    const uint32_t dirSectors = sectorsFor(qsizetype(dir.size()) * 128, kSector);
    const uint32_t dirStart = chain(dirSectors);

    // FAT sectors F and DIFAT sectors D so that the FAT covers every sector.
    const uint32_t used = uint32_t(fat.size());
    uint32_t fatSectors = 1, difatSectors = 0;
    for (;;) {
        difatSectors = fatSectors > kHeaderDifat ? (fatSectors - kHeaderDifat + 126) / 127 : 0;
        if (uint64_t(fatSectors) * 128 >= uint64_t(used) + fatSectors + difatSectors) break;
        ++fatSectors;
    }
    const uint32_t fatStart = uint32_t(fat.size());
    for (uint32_t i = 0; i < fatSectors; ++i) fat.push_back(kFatSect);
    const uint32_t difatStart = uint32_t(fat.size());
    for (uint32_t i = 0; i < difatSectors; ++i) fat.push_back(kDifSect);
    fat.resize(size_t(fatSectors) * 128, kFreeSect);

    // Directory tree: the streams are the root's children.
    std::vector<uint32_t> order;
    for (uint32_t i = 1; i < dir.size(); ++i) order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&dir](uint32_t a, uint32_t b) { return nameLess(dir[a].name, dir[b].name); });
    dir[0].child = buildTree(dir, order, 0, int(order.size()));

    QByteArray out;
    qsizetype total = qsizetype(kSector) * (1 + used + fatSectors + difatSectors);
    out.reserve(total);

    // Header.
    static const unsigned char signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    out.append(reinterpret_cast<const char*>(signature), 8);
    le::zeros(out, 16);
    le::u16(out, 0x003E);
    le::u16(out, 0x0003);
    le::u16(out, 0xFFFE);
    le::u16(out, 9);
    le::u16(out, 6);
    le::zeros(out, 6);
    le::u32(out, 0);  // directory sectors: 0 in version 3
    le::u32(out, fatSectors);
    le::u32(out, dirStart);
    le::u32(out, 0);
    le::u32(out, kMiniCutoff);
    le::u32(out, miniFat.empty() ? kEndOfChain : miniFatStart);
    le::u32(out, miniFatSectors);
    le::u32(out, difatSectors ? difatStart : kEndOfChain);
    le::u32(out, difatSectors);
    for (uint32_t i = 0; i < uint32_t(kHeaderDifat); ++i) le::u32(out, i < fatSectors ? fatStart + i : kFreeSect);
    Q_ASSERT(out.size() == kSector);

    // Big streams, in chain order (the order they were planned in).
    for (const Stream& s : m_streams) {
        if (s.data.size() < kMiniCutoff) continue;
        out += s.data;
        le::padTo(out, kSector);
    }
    out += miniStream;
    le::padTo(out, kSector);
    for (uint32_t v : miniFat) le::u32(out, v);
    for (qsizetype i = qsizetype(miniFat.size()); i < qsizetype(miniFatSectors) * 128; ++i) le::u32(out, kFreeSect);
    for (const DirEntry& e : dir) appendDirEntry(out, e);
    for (qsizetype i = qsizetype(dir.size()); i < qsizetype(dirSectors) * 4; ++i) appendEmptyDirEntry(out);
    for (uint32_t v : fat) le::u32(out, v);
    // DIFAT sectors: 127 FAT sector numbers each, then the next DIFAT sector.
    for (uint32_t d = 0; d < difatSectors; ++d) {
        for (uint32_t k = 0; k < 127; ++k) {
            const uint32_t index = kHeaderDifat + d * 127 + k;
            le::u32(out, index < fatSectors ? fatStart + index : kFreeSect);
        }
        le::u32(out, d + 1 < difatSectors ? difatStart + d + 1 : kEndOfChain);
    }
    Q_ASSERT(out.size() == total);
    return out;
}

}  // namespace worddoc

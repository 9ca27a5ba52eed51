#include "MiniNsf.h"

#include <map>

namespace {

constexpr qsizetype kHeaderSize = 768;
constexpr qsizetype kRrvBucketSize = 0x2000;
constexpr uint32_t kIdsPerBucket = (kRrvBucketSize - 10) / 4;

// Appends `bytes` at the next 64-byte boundary of `file`; returns its offset.
uint32_t place(QByteArray& file, const QByteArray& bytes) {
    while (file.size() % 64 != 0) file.append('#');
    const uint32_t at = uint32_t(file.size());
    file += bytes;
    return at;
}

}  // namespace

QByteArray MiniNsf::buildRelease4() const {
    std::map<QString, uint16_t> nameIndex;
    std::vector<const Item*> nameOrder;
    for (const Note& n : notes)
        for (const Item& i : n.items)
            if (nameIndex.emplace(i.name, uint16_t(nameOrder.size())).second) nameOrder.push_back(&i);

    QByteArray file(kHeaderSize, '\0');
    put16(file, 0, 0x001A);
    put32(file, 2, uint32_t(kHeaderSize));
    put32(file, 6, 20);
    put16(file, 6 + 36, 0xFF01);
    put16(file, 6 + 70, uint16_t(kRrvBucketSize));
    const QByteArray t = title.toLatin1();
    for (qsizetype i = 0; i < t.size() && i < 127; ++i) file[200 + i] = t[i];

    std::map<uint32_t, uint32_t> offsets;  // ID -> record offset
    std::map<uint32_t, bool> bucketNonData;  // bucket index -> non-data
    for (const Note& n : notes) {
        QByteArray summary, other;
        QByteArray rec(84 + 8 * qsizetype(n.items.size()), '\0');
        for (size_t k = 0; k < n.items.size(); ++k) {
            const Item& i = n.items[k];
            QByteArray v = i.value;
            uint16_t flags = i.flags;
            if (i.typeWord) {
                QByteArray w(2, '\0');
                put16(w, 0, i.type);
                v = w + v;
                flags &= uint16_t(~0x0008);
            } else {
                flags |= 0x0008;
            }
            const qsizetype e = 84 + 8 * qsizetype(k);
            put16(rec, e, nameIndex.at(i.name));
            put16(rec, e + 2, flags);
            put16(rec, e + 4, uint16_t(v.size()));
            (flags & 0x0004 ? summary : other) += v;
        }
        put16(rec, 0, 0x0004);
        put32(rec, 6, n.storedId ? n.storedId : n.id);
        put16(rec, 40, n.noteClass);
        put16(rec, 50, uint16_t(n.items.size()));
        put16(rec, 54, uint16_t(n.responses.size()));
        rec += summary;
        for (uint32_t r : n.responses) {
            QByteArray w(4, '\0');
            put32(w, 0, r);
            rec += w;
        }
        if (!other.isEmpty() && n.placement == NonSummary::Inline) {
            put16(rec, 38, 0x2000);
            rec += other;
        } else if (!other.isEmpty() && n.placement == NonSummary::Separate) {
            put32(rec, 56, place(file, other));
            put32(rec, 60, uint32_t(other.size()));
        }
        if (n.deletionStub) rec = rec.left(64);
        put32(rec, 2, uint32_t(rec.size()));
        offsets[n.id] = place(file, rec);
        const uint32_t bucket = (n.id - kFirstId) / 4 / kIdsPerBucket;
        bucketNonData.emplace(bucket, n.noteClass != 1);
    }
    for (const Object& o : objects) {
        QByteArray rec(22, '\0');
        put16(rec, 0, 0x0007);
        put32(rec, 2, uint32_t(22 + o.data.size()));
        offsets[o.id] = place(file, rec + o.data);
        bucketNonData.emplace((o.id - kFirstId) / 4 / kIdsPerBucket, true);
    }

    // RRV buckets: 06 0A, previous bucket, initial ID, 4-byte offsets.
    std::vector<std::pair<uint32_t, uint32_t>> buckets;  // offset | non-data bit, initial ID
    bool dataBucketNamed = false;
    for (const auto& [index, nonData] : bucketNonData) {
        const uint32_t initial = kFirstId + 4 * kIdsPerBucket * index;
        QByteArray b(kRrvBucketSize, char(0xFF));
        b[0] = 0x06;
        b[1] = 0x0A;
        put32(b, 2, 0);
        put32(b, 6, initial);
        for (const auto& [id, at] : offsets)
            if (id >= initial && id < initial + 4 * kIdsPerBucket) put32(b, 10 + 4 * qsizetype((id - initial) / 4), at);
        while (file.size() % 256 != 0) file.append('\0');
        const uint32_t at = place(file, b);
        buckets.push_back({at | (nonData ? 1u : 0u), initial});
        if (!nonData && !dataBucketNamed) {
            put32(file, 6 + 56, at);
            put32(file, 6 + 60, initial);
            dataBucketNamed = true;
        }
    }

    // The BDB: header, RRV buckets, one bitmap descriptor, names, name text.
    QByteArray names, text;
    for (const Item* i : nameOrder) {
        QByteArray e(8, '\0');
        put16(e, 0, uint16_t(text.size()));
        put16(e, 2, uint16_t(i->name.toLatin1().size()));
        put16(e, 4, i->nameType);
        names += e;
        text += i->name.toLatin1();
    }
    QByteArray bdb(32, '\0');
    put16(bdb, 0, 0x0001);
    put16(bdb, 6, 1);
    put16(bdb, 8, uint16_t(nameOrder.size()));
    put16(bdb, 10, uint16_t(buckets.size()));
    for (const auto& [offsetFlag, initial] : buckets) {
        QByteArray e(8, '\0');
        put32(e, 0, offsetFlag);
        put32(e, 4, initial);
        bdb += e;
    }
    bdb += QByteArray(12, '\0') + names + text;
    put32(bdb, 12, uint32_t(bdb.size()));
    const uint32_t reserved = uint32_t((bdb.size() + 0x3FF) / 0x400 * 0x400);
    put32(bdb, 2, reserved);
    const uint32_t bdbAt = place(file, bdb + QByteArray(reserved - bdb.size(), char(0xAA)));
    put32(file, 6 + 40, reserved);
    put32(file, 6 + 44, bdbAt);
    put32(file, 6 + 82, uint32_t(file.size()));
    return file;
}

#include "MiniNsf.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <map>

void MiniNsf::put16(QByteArray& b, qsizetype at, uint16_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void MiniNsf::put32(QByteArray& b, qsizetype at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
uint32_t MiniNsf::xor32(const QByteArray& b, qsizetype from, qsizetype len) {
    uint32_t x = 0;
    for (qsizetype i = 0; i < len; ++i) x ^= uint32_t(uchar(b[from + i])) << (8 * (i % 4));
    return x;
}

QByteArray MiniNsf::textList(const std::vector<QByteArray>& list) {
    QByteArray v(2 + 2 * qsizetype(list.size()), 0);
    put16(v, 0, uint16_t(list.size()));
    for (size_t i = 0; i < list.size(); ++i) put16(v, 2 + 2 * qsizetype(i), uint16_t(list[i].size()));
    for (const QByteArray& s : list) v += s;
    return v;
}
QByteArray MiniNsf::number(double d) {
    QByteArray v(8, 0);
    std::memcpy(v.data(), &d, 8);
    return v;
}
QByteArray MiniNsf::timeDate(uint32_t t, uint32_t d) {
    QByteArray v(8, 0);
    put32(v, 0, t);
    put32(v, 4, d);
    return v;
}
QByteArray MiniNsf::fileObject(uint32_t objectId, const QByteArray& name, uint16_t compression, uint32_t size) {
    QByteArray v(36, 0);
    put16(v, 0, 0);
    put32(v, 2, objectId);
    put16(v, 6, uint16_t(name.size()));
    put16(v, 10, compression);
    put32(v, 16, size);
    return v + name;
}

QByteArray MiniNsf::build() const {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer)) qFatal("MiniNsf: the database could not be written");
    return buffer.data();
}

namespace {

// Sector stamps: the original low nibbles go to the footer (sector s is
// nibble n-1-s of the footer read as one little-endian number).
void stampSectors(QByteArray& bucket, uint8_t stamp) {
    const qsizetype size = bucket.size();
    const qsizetype sectors = size / 512, footer = size - size / 1024;
    for (qsizetype s = 0; s < sectors; ++s) {
        const qsizetype nib = sectors - 1 - s;
        uchar& fb = reinterpret_cast<uchar&>(bucket[footer + nib / 2]);
        uchar& target = reinterpret_cast<uchar&>(bucket[s * 512 + 0x42]);
        const uchar original = target & 0x0F;
        fb = (nib & 1) ? uchar((fb & 0x0F) | (original << 4)) : uchar((fb & 0xF0) | original);
        target = uchar((target & 0xF0) | stamp);
    }
}

}  // namespace

bool MiniNsf::write(QIODevice& out) const {
    // Item names: one table entry per distinct name.
    std::map<QString, uint16_t> nameIndex;
    std::vector<const Item*> nameOrder;
    for (const Note& n : notes)
        for (const Item& i : n.items)
            if (!nameIndex.count(i.name)) {
                nameIndex[i.name] = uint16_t(nameOrder.size());
                nameOrder.push_back(&i);
            }

    const qsizetype sbOffset = 0x400, bdbOffset = 0x6000, diskRrvOffset = 0x8000;
    const qsizetype perBucket = notesPerBucket ? qsizetype(notesPerBucket) : qsizetype(notes.size()) + 1;
    const qsizetype bucketCount = std::max<qsizetype>(1, (qsizetype(notes.size()) + perBucket - 1) / perBucket);
    const qsizetype objectsOffset =
        std::max<qsizetype>(0x20000, (kSummaryBucketOffset + bucketCount * bucketSize + 255) / 256 * 256);
    QByteArray file(objectsOffset, '\0');

    // Objects and separate non-summary records live after the buckets.
    QByteArray tail;
    std::map<uint32_t, uint32_t> objectPos;
    auto place = [&](const QByteArray& record, qsizetype alignment = 256) {
        while ((objectsOffset + tail.size()) % alignment) tail.append('\0');
        const uint32_t pos = uint32_t((objectsOffset + tail.size()) / 256);
        tail += record;
        return pos;
    };
    auto objectHeader = [](uint64_t dataSize) {
        QByteArray rec(22, 0);
        put16(rec, 0, 0x0007);
        put32(rec, 2, uint32_t(22 + dataSize));
        put32(rec, 6, 1);
        return rec;
    };
    for (const Object& o : objects) objectPos[o.id] = place(objectHeader(uint64_t(o.data.size())) + o.data);

    // Summary buckets, notesPerBucket notes each.
    std::vector<QByteArray> buckets;
    std::vector<qsizetype> used;
    std::vector<std::pair<uint32_t, uint32_t>> rrv;  // id -> slot
    std::map<uint32_t, uint32_t> bucketOf;
    for (size_t k = 0; k < notes.size(); ++k) {
        const qsizetype b = qsizetype(k) / perBucket, slot = qsizetype(k) % perBucket;
        if (slot == 0) {
            QByteArray bucket(bucketSize, '\0');
            bucket[0] = 0x02;
            bucket[1] = 0x42;
            put32(bucket, 2, uint32_t(b));
            put32(bucket, 6, uint32_t(bucketSize));
            put16(bucket, 38, 1);
            put32(bucket, 50, uint32_t(bucketSize / 1024));
            buckets.push_back(bucket);
            used.push_back(0x44);
        }
        QByteArray& bucket = buckets.back();
        qsizetype& at = used.back();
        const Note& n = notes[k];
        QByteArray rec(n.deletionStub ? 64 : 100, 0);
        put16(rec, 0, 0x0004);
        put32(rec, 6, n.storedId ? n.storedId : n.id);
        for (int i = 0; i < 8; ++i) rec[10 + i] = char(0x10 + i);
        for (int i = 0; i < 8; ++i) rec[18 + i] = char(0x20 + k + i);
        put32(rec, 26, 1);
        put16(rec, 40, n.noteClass);
        if (n.deletionStub) {
            put16(rec, 38, 3);
        } else {
            put16(rec, 50, uint16_t(n.items.size()));
            put16(rec, 54, uint16_t(n.responses.size()));
            QByteArray table, summary, other;
            for (const Item& i : n.items) {
                QByteArray value = i.value;
                uint16_t flags = i.flags;
                if (i.typeWord) {
                    QByteArray tw(2, 0);
                    put16(tw, 0, i.type);
                    value = tw + value;
                    flags &= ~0x0008;
                } else {
                    flags |= 0x0008;
                }
                QByteArray e(8, 0);
                put16(e, 0, nameIndex.at(i.name));
                put16(e, 2, flags);
                put16(e, 4, uint16_t(value.size()));
                table += e;
                (flags & 0x0004 ? summary : other) += value;
            }
            QByteArray resp(4 * qsizetype(n.responses.size()), 0);
            for (size_t r = 0; r < n.responses.size(); ++r) put32(resp, 4 * qsizetype(r), n.responses[r]);
            rec += table + summary + resp;
            if (!other.isEmpty()) {
                if (n.placement == NonSummary::Inline) {
                    put16(rec, 38, 0x2000);
                    put32(rec, 56, 0x7777);  // stale: must be ignored
                    put32(rec, 60, 0x12345);
                    rec += other;
                } else if (n.placement == NonSummary::Separate) {
                    QByteArray ns(68, 0);
                    put16(ns, 0, 0x0010);
                    put32(ns, 2, uint32_t(68 + other.size()));
                    put32(ns, 6, n.id);
                    ns += other;
                    put32(rec, 56, place(ns));
                    put32(rec, 60, uint32_t(ns.size()));
                }
            }
        }
        put32(rec, 2, uint32_t(rec.size()));
        while (rec.size() % 4) rec.append('\0');
        const qsizetype slotEntry = bucketSize - bucketSize / 1024 - 4 * (slot + 1);
        put16(bucket, slotEntry, uint16_t(at));
        put16(bucket, slotEntry + 2, uint16_t(rec.size()));
        if (at + rec.size() > slotEntry) qFatal("MiniNsf: the notes do not fit their bucket");
        bucket.replace(at, rec.size(), rec);
        at += rec.size();
        put32(bucket, 44, uint32_t(slot + 1));
        rrv.push_back({n.id, n.rrvSlot ? n.rrvSlot : uint32_t(slot + 1)});
        bucketOf[n.id] = n.rrvBucket ? n.rrvBucket : uint32_t(b + 1);
    }
    if (buckets.empty()) {
        QByteArray bucket(bucketSize, '\0');
        bucket[0] = 0x02;
        bucket[1] = 0x42;
        put32(bucket, 6, uint32_t(bucketSize));
        put16(bucket, 38, 1);
        put32(bucket, 50, uint32_t(bucketSize / 1024));
        buckets.push_back(bucket);
        used.push_back(0x44);
    }
    for (size_t b = 0; b < buckets.size(); ++b) {
        put16(buckets[b], 40, uint16_t(used[b]));
        stampSectors(buckets[b], stamp);
        file.replace(kSummaryBucketOffset + qsizetype(b) * bucketSize, bucketSize, buckets[b]);
    }

    // Streamed objects: after the tail, the further RRV buckets and the gap.
    uint32_t lastId = kFirstId;
    for (const Note& n : notes) lastId = std::max(lastId, n.id);
    for (const Object& o : objects) lastId = std::max(lastId, o.id);
    for (const StreamedObject& o : streamedObjects) lastId = std::max(lastId, o.id);
    const uint32_t rrvCount = (lastId - kFirstId) / (4 * kRrvIdsPerBucket) + 1;
    std::vector<uint32_t> rrvPos(rrvCount, uint32_t(diskRrvOffset / 256));
    // (A bucket's position in the BDB keeps its lowest bit for the bucket's
    // kind: buckets start on 512-byte boundaries.)
    for (uint32_t r = 1; r < rrvCount; ++r) rrvPos[r] = place(QByteArray(4096, '\0'), 512);
    while (tail.size() % 256) tail.append('\0');
    uint64_t streamAt = uint64_t(objectsOffset) + uint64_t(tail.size()) + streamedGap;
    std::vector<uint64_t> streamedAt;
    for (const StreamedObject& o : streamedObjects) {
        streamAt = (streamAt + o.gapBefore + 255) / 256 * 256;
        if (streamAt / 256 > 0xFFFFFFFFu) qFatal("MiniNsf: object past the last file position");
        streamedAt.push_back(streamAt);
        objectPos[o.id] = uint32_t(streamAt / 256);
        streamAt += 22 + o.size;
    }

    // RRV buckets: the notes by bucket/slot, objects by position.
    auto rrvBucket = [&](uint32_t r, bool withEntries) {
        QByteArray b(4096, '\xFF');
        b[0] = 0x06;
        b[1] = 0x20;
        for (int i = 2; i < 32; ++i) b[i] = 0;
        const uint32_t first = kFirstId + 4 * kRrvIdsPerBucket * r;
        put32(b, 6, first);
        auto entry = [&](uint32_t id) -> qsizetype {
            if (id < first || id >= first + 4 * kRrvIdsPerBucket) return -1;
            return 32 + 8 * qsizetype((id - first) / 4);
        };
        if (withEntries) {
            for (auto [id, slot] : rrv) {
                const qsizetype e = entry(id);
                if (e < 0) continue;
                put32(b, e, 0x80000000u | bucketOf[id]);
                put32(b, e + 4, slot);
            }
            for (auto [id, pos] : objectPos) {
                const qsizetype e = entry(id);
                if (e < 0) continue;
                put32(b, e, pos);
                put32(b, e + 4, 0);
            }
        }
        put32(b, 18, xor32(b, 32, 4096 - 32));
        return b;
    };
    file.replace(diskRrvOffset, 4096, rrvBucket(0, staleDiskRrvHasNotes));
    for (uint32_t r = 1; r < rrvCount; ++r)
        tail.replace(qsizetype(rrvPos[r]) * 256 - objectsOffset, 4096, rrvBucket(r, true));

    // Superblock, stored uncompressed: the summary descriptors over as many
    // pages as they need.
    const qsizetype pageSize = 8206;
    const qsizetype pages = (qsizetype(buckets.size()) + kDescriptorsPerPage - 1) / kDescriptorsPerPage;
    QByteArray idTable(18, 0);
    put32(idTable, 0, 4);
    QByteArray body(pageSize * pages, 0);
    for (size_t b = 0; b < buckets.size(); ++b)
        put32(body, qsizetype(b / kDescriptorsPerPage) * pageSize + 224 + 14 * qsizetype(b % kDescriptorsPerPage),
              uint32_t((kSummaryBucketOffset + qsizetype(b) * bucketSize) / 256));
    body += rrvBucket(0, true) + idTable;
    QByteArray sb(100, 0);
    put16(sb, 0, 0x000E);
    put32(sb, 10, uint32_t(body.size()));
    put32(sb, 14, uint32_t(buckets.size()));
    put32(sb, 26, 4096);
    put32(sb, 30, uint32_t(diskRrvOffset / 256));
    put32(sb, 34, kFirstId);
    put32(sb, 46, uint32_t(idTable.size()));
    put32(sb, 60, 5);
    put16(sb, 68, 0);
    put32(sb, 70, uint32_t(pages));
    QByteArray len(4, 0);
    put32(len, 0, uint32_t(body.size()));
    sb += len + body;
    sb += QByteArray(8, 0);
    QByteArray sum(4, 0);
    put32(sum, 0, xor32(sb, 100, 4 + body.size()));
    sb += sum;
    if (sbOffset + sb.size() > bdbOffset) qFatal("MiniNsf: the superblock does not fit before the BDB");
    file.replace(sbOffset, sb.size(), sb);

    // BDB, stored uncompressed: the data RRV buckets, the item names.
    QByteArray names, text;
    for (const Item* i : nameOrder) {
        QByteArray e(10, 0);
        put32(e, 0, uint32_t(text.size()));
        const QByteArray n = i->name.toLatin1();
        put16(e, 4, uint16_t(n.size()));
        put16(e, 6, i->nameType);
        names += e;
        text += n;
    }
    QByteArray bdbBody(8 * qsizetype(rrvCount), 0);
    for (uint32_t r = 0; r < rrvCount; ++r) {
        put32(bdbBody, 8 * qsizetype(r), rrvPos[r]);
        put32(bdbBody, 8 * qsizetype(r) + 4, kFirstId + 4 * kRrvIdsPerBucket * r);
    }
    QByteArray textLen(4, 0);
    put32(textLen, 0, uint32_t(text.size()));
    bdbBody += names + textLen + text;
    QByteArray bdb(66, 0);
    put16(bdb, 0, 0x0001);
    put16(bdb, 2, 2);
    put16(bdb, 4, 0);
    put32(bdb, 6, uint32_t(bdbBody.size()));
    put32(bdb, 10, 3);
    put32(bdb, 26, uint32_t(nameOrder.size()));
    put32(bdb, 34, uint32_t(text.size()));
    put32(bdb, 38, rrvCount);
    put32(bdb, 54, xor32(bdb, 0, 54));
    bdb += bdbBody;
    if (bdbOffset + bdb.size() > diskRrvOffset) qFatal("MiniNsf: the BDB does not fit before the RRV bucket");
    file.replace(bdbOffset, bdb.size(), bdb);

    // Header.
    put16(file, 0, 0x001A);
    put32(file, 2, 1024);
    put32(file, 6, 43);
    put32(file, 6 + 56, uint32_t(diskRrvOffset / 256));
    put16(file, 6 + 70, 4096);
    const QByteArray t = title.toLatin1();
    file.replace(200, t.size(), t);
    put32(file, 520 + 40, uint32_t(sbOffset / 256));
    put32(file, 520 + 44, 0x8000);
    put32(file, 520 + 104, 0x1000);
    put32(file, 520 + 108, uint32_t(bdbOffset / 256));

    if (out.write(file) != file.size() || out.write(tail) != tail.size()) return false;
    // The streamed objects, a chunk at a time (after a hole for the gap).
    std::vector<char> chunk(1 << 20);
    for (size_t k = 0; k < streamedObjects.size(); ++k) {
        const StreamedObject& o = streamedObjects[k];
        if (!out.seek(qint64(streamedAt[k]))) return false;
        const QByteArray head = objectHeader(o.size);
        if (out.write(head) != head.size()) return false;
        for (uint64_t done = 0; done < o.size;) {
            const size_t n = size_t(std::min<uint64_t>(chunk.size(), o.size - done));
            o.fill(done, chunk.data(), n);
            if (out.write(chunk.data(), qint64(n)) != qint64(n)) return false;
            done += n;
        }
    }
    return true;
}

#include "notes/nsf/NoteReader.h"

#include <cstring>

namespace nsf {
namespace {
constexpr uint16_t kNoteSignature = 0x0004;
constexpr uint16_t kNonSummarySignature = 0x0010;
constexpr uint16_t kObjectSignature = 0x0007;
constexpr uint16_t kObjectSignatureLarge = 0x001B;
constexpr uint64_t kNoteHeaderSize = 100;
constexpr uint64_t kRelease4NoteHeaderSize = 84;
constexpr uint64_t kNonSummaryHeaderSize = 68;

QString hex(uint64_t v) { return QStringLiteral("0x") + QString::number(v, 16).toUpper(); }
}  // namespace

ByteView NoteReader::recordBytes(const RrvMap::Entry& entry, std::shared_ptr<const SlotBucket>& keep,
                                 QString& error) {
    if (entry.isBucketSlot()) {
        const uint32_t pos = m_sb.summaryBucketPos(entry.bucket());
        if (pos == 0) {
            error = QStringLiteral("summary bucket %1 does not exist (the database has %2)")
                        .arg(entry.bucket())
                        .arg(m_sb.summaryBucketCount());
            return ByteView();
        }
        QString e;
        keep = m_cache.get(m_file, uint64_t(pos) * 256, e);
        if (!keep) {
            error = e;
            return ByteView();
        }
        const ByteView slot = keep->slotRecord(entry.slot(), e);
        if (slot.empty()) {
            error = QStringLiteral("summary bucket %1: %2").arg(entry.bucket()).arg(e);
            return ByteView();
        }
        const uint32_t length = slot.u32(2);
        if (slot.size() < 6 || length > slot.size()) {
            error = QStringLiteral("record in summary bucket %1 slot %2 is longer than its slot")
                        .arg(entry.bucket())
                        .arg(entry.slot());
            return ByteView();
        }
        return slot.sub(0, length);
    }
    const uint64_t off = entry.fileOffset();
    if (!m_file.has(off, 6)) {
        error = QStringLiteral("record position %1 lies past the end of the file").arg(hex(off));
        return ByteView();
    }
    const uint32_t length = m_file.u32(off + 2);
    const ByteView record = m_file.sub(off, length);
    if (length < 6 || record.size() != length) {
        error = QStringLiteral("record at %1 declares %2 bytes, past the end of the file").arg(hex(off)).arg(length);
        return ByteView();
    }
    return record;
}

NoteReader::Result NoteReader::peek(const RrvMap::Entry& entry, uint16_t& noteClass, QString& error) {
    std::shared_ptr<const SlotBucket> keep;
    const ByteView rec = recordBytes(entry, keep, error);
    if (rec.empty()) return Result::Error;
    const uint16_t sig = rec.u16(0);
    if (sig == kObjectSignature || sig == kObjectSignatureLarge) return Result::NotANote;
    if (sig != kNoteSignature) {
        error = QStringLiteral("record of ID %1 has the unknown signature %2").arg(hex(entry.id)).arg(hex(sig));
        return Result::Error;
    }
    if (rec.size() < (m_release4 ? kRelease4NoteHeaderSize : kNoteHeaderSize)) return Result::DeletionStub;
    if (rec.u32(6) != entry.id) {
        error = QStringLiteral("record of ID %1 holds note ID %2").arg(hex(entry.id)).arg(hex(rec.u32(6)));
        return Result::Error;
    }
    noteClass = rec.u16(40);
    return Result::Note;
}

NoteReader::Result NoteReader::read(const RrvMap::Entry& entry, RawNote& note, QString& error) {
    note = RawNote();
    const ByteView rec = recordBytes(entry, note.summaryBucket, error);
    if (rec.empty()) return Result::Error;
    const uint16_t sig = rec.u16(0);
    if (sig == kObjectSignature || sig == kObjectSignatureLarge) return Result::NotANote;
    if (sig != kNoteSignature) {
        error = QStringLiteral("record of ID %1 has the unknown signature %2").arg(hex(entry.id)).arg(hex(sig));
        return Result::Error;
    }
    note.noteId = entry.id;
    note.nonData = entry.nonData;
    note.noteClass = rec.u16(40);
    note.noteFlags = rec.u16(38);
    const uint64_t headerSize = m_release4 ? kRelease4NoteHeaderSize : kNoteHeaderSize;
    if (rec.size() < headerSize) return Result::DeletionStub;
    if (rec.u32(6) != entry.id) {
        error = QStringLiteral("record of ID %1 holds note ID %2").arg(hex(entry.id)).arg(hex(rec.u32(6)));
        return Result::Error;
    }
    std::memcpy(note.oid, rec.data() + 10, sizeof note.oid);
    note.parentId = rec.u32(80);
    note.summaryLength = uint32_t(rec.size());

    const uint64_t itemCount = rec.u16(50);
    const uint64_t responses = rec.u16(54);
    const uint64_t tableEnd = headerSize + 8 * itemCount;
    if (tableEnd > rec.size()) {
        error = QStringLiteral("note %1: its item table runs past the record").arg(hex(entry.id));
        return Result::Error;
    }
    uint64_t summaryBytes = 0, otherBytes = 0;
    note.items.resize(size_t(itemCount));
    const std::vector<BucketDescriptorBlock::ItemName>& names = m_bdb.itemNames();
    for (uint64_t i = 0; i < itemCount; ++i) {
        const uint64_t e = headerSize + 8 * i;
        RawItem& item = note.items[size_t(i)];
        item.nameIndex = rec.u16(e);
        item.flags = rec.u16(e + 2);
        item.duplicateIndex = rec.u8(e + 6);
        const uint16_t length = rec.u16(e + 4);
        if (item.nameIndex < names.size()) {
            item.name = names[item.nameIndex].name;
            item.type = names[item.nameIndex].type;
        } else {
            item.problem = QStringLiteral("item name index %1 is outside the name table").arg(item.nameIndex);
        }
        if (item.flags & ItemSummary)
            summaryBytes += length;
        else
            otherBytes += length;
    }
    const uint64_t responsesAt = tableEnd + summaryBytes;
    if (responsesAt + 4 * responses > rec.size()) {
        error = QStringLiteral("note %1: its values run past the record").arg(hex(entry.id));
        return Result::Error;
    }
    for (uint64_t r = 0; r < responses; ++r) note.responseIds.push_back(rec.u32(responsesAt + 4 * r));

    ByteView other;
    QString otherError;
    if (otherBytes > 0 &&
        !locateNonSummary(note, rec, responsesAt + 4 * responses, otherBytes, other, otherError))
        otherError = QStringLiteral("note %1: %2").arg(hex(entry.id)).arg(otherError);

    uint64_t summaryAt = tableEnd, otherAt = 0;
    for (uint64_t i = 0; i < itemCount; ++i) {
        const uint64_t e = headerSize + 8 * i;
        RawItem& item = note.items[size_t(i)];
        const uint16_t length = rec.u16(e + 4);
        ByteView value;
        if (item.flags & ItemSummary) {
            value = rec.sub(summaryAt, length);
            summaryAt += length;
        } else if (!otherError.isEmpty()) {
            if (item.problem.isEmpty()) item.problem = otherError;
            continue;
        } else {
            value = other.sub(otherAt, length);
            otherAt += length;
        }
        if (item.flags & ItemNoTypeWord) {
            item.value = value;
        } else if (value.size() >= 2) {
            item.type = value.u16(0);
            item.value = value.from(2);
        } else {
            item.type = 0;
            item.value = ByteView();
        }
    }
    return Result::Note;
}

bool NoteReader::locateNonSummary(RawNote& note, ByteView rec, uint64_t inlineAt, uint64_t needed,
                                  ByteView& values, QString& error) {
    if (note.noteFlags & RawNote::kNonSummaryInline) {
        values = rec.sub(inlineAt, needed);
        if (values.size() != needed) {
            error = QStringLiteral("its inline non-summary values run past the record");
            return false;
        }
        return true;
    }
    const uint32_t location = rec.u32(56);
    if (location == 0) {
        error = QStringLiteral("its non-summary values are missing");
        return false;
    }
    if (m_release4) {
        // The values alone, at the byte offset of +56, as long as +60 says.
        const uint32_t length = rec.u32(60);
        values = m_file.sub(location, needed);
        if (values.size() != needed || length < needed) {
            error = QStringLiteral("its non-summary values at %1 lie past the end of the file or their record")
                        .arg(hex(location));
            return false;
        }
        note.nonSummaryLength = length;
        return true;
    }
    ByteView record;
    if (location & 0x80000000u) {
        const uint32_t bucketNumber = location & 0xFFFFFFu;
        const uint32_t slot = (location >> 24) & 0x7Fu;
        const uint32_t pos = m_sb.nonSummaryBucketPos(bucketNumber);
        if (pos == 0) {
            error = QStringLiteral("non-summary bucket %1 does not exist").arg(bucketNumber);
            return false;
        }
        QString e;
        note.nonSummaryBucket = m_cache.get(m_file, uint64_t(pos) * 256, e);
        if (!note.nonSummaryBucket) {
            error = e;
            return false;
        }
        record = note.nonSummaryBucket->slotRecord(slot, e);
        if (record.empty()) {
            error = QStringLiteral("non-summary bucket %1: %2").arg(bucketNumber).arg(e);
            return false;
        }
    } else {
        const uint64_t off = uint64_t(location) * 256;
        record = m_file.sub(off, m_file.u32(off + 2));
        if (!m_file.has(off, 6) || record.size() < kNonSummaryHeaderSize) {
            error = QStringLiteral("its non-summary record at %1 lies past the end of the file").arg(hex(off));
            return false;
        }
    }
    if (record.u16(0) != kNonSummarySignature || record.u32(6) != note.noteId) {
        error = QStringLiteral("its non-summary record is not the note's");
        return false;
    }
    const uint32_t length = record.u32(2);
    if (length > record.size() || length < kNonSummaryHeaderSize + needed) {
        error = QStringLiteral("its non-summary record is shorter than its values");
        return false;
    }
    values = record.sub(kNonSummaryHeaderSize, needed);
    note.nonSummaryLength = length;
    return true;
}

}  // namespace nsf

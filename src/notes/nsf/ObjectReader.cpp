#include "notes/nsf/ObjectReader.h"

#include "notes/nsf/NsfFile.h"

#include <algorithm>

namespace nsf {
namespace {
constexpr uint16_t kSmallObject = 0x0007;
constexpr uint16_t kLargeObject = 0x001B;
constexpr uint64_t kSmallHeader = 22;
constexpr uint64_t kLargeHeader = 115;
// Stored attachments go to the sink in pieces of this size, each released
// from memory once written when the file is mapped.
constexpr uint64_t kExtractChunk = uint64_t(8) << 20;
}  // namespace

ByteView ObjectReader::storedData(uint32_t objectId, QString& error) const {
    const RrvMap::Entry* entry = m_rrv.find(objectId);
    if (!entry) {
        error = QStringLiteral("object 0x%1 is not in the database").arg(objectId, 0, 16);
        return ByteView();
    }
    if (entry->isBucketSlot()) {
        error = QStringLiteral("object 0x%1 is not stored as an object record").arg(objectId, 0, 16);
        return ByteView();
    }
    const uint64_t off = entry->fileOffset();
    const uint16_t sig = m_file.u16(off);
    const uint64_t header = sig == kSmallObject ? kSmallHeader : sig == kLargeObject ? kLargeHeader : 0;
    if (header == 0 || !m_file.has(off, header)) {
        error = QStringLiteral("object 0x%1 has no object record").arg(objectId, 0, 16);
        return ByteView();
    }
    const uint32_t length = m_file.u32(off + 2);
    if (length < header || !m_file.has(off, length)) {
        error = QStringLiteral("object 0x%1 declares %2 bytes, past the end of the file").arg(objectId, 0, 16).arg(length);
        return ByteView();
    }
    ByteView data = m_file.sub(off + header, length - header);
    if (data.empty()) data = ByteView(m_file.data() + off + header, 0);
    return data;
}

bool ObjectReader::checkFile(const FileObject& file, QString& error) const {
    if (file.compression == FileObject::Lz1) {
        error = QStringLiteral("LZ1 compression is not supported");
        return false;
    }
    if (file.compression != FileObject::None && file.compression != FileObject::Huffman) {
        error = QStringLiteral("unknown compression %1").arg(file.compression);
        return false;
    }
    QString e;
    const ByteView data = storedData(file.objectId, e);
    if (!data.data()) {
        error = e;
        return false;
    }
    if (file.compression == FileObject::None && data.size() < file.fileSize) {
        error = QStringLiteral("only %1 of %2 bytes are stored in the database").arg(data.size()).arg(file.fileSize);
        return false;
    }
    if (file.compression == FileObject::Huffman && uint64_t(file.fileSize) > uint64_t(data.size()) * 8) {
        error = QStringLiteral("the compressed data is too short for %1 bytes").arg(file.fileSize);
        return false;
    }
    return true;
}

bool ObjectReader::extractFile(const FileObject& file, const HuffmanDecoder::Sink& sink, QString& error) const {
    if (!checkFile(file, error)) return false;
    QString e;
    const ByteView data = storedData(file.objectId, e);
    if (file.compression == FileObject::None) {
        const ByteView bytes = data.sub(0, file.fileSize);
        for (uint64_t at = 0; at < bytes.size() || at == 0; at += kExtractChunk) {
            const ByteView chunk = bytes.sub(at, std::min<uint64_t>(kExtractChunk, bytes.size() - at));
            if (!sink(reinterpret_cast<const char*>(chunk.data()), chunk.size())) {
                error = QStringLiteral("the output could not be written");
                return false;
            }
            if (m_owner) m_owner->releasePages(chunk);
            if (bytes.size() == 0) break;
        }
        return true;
    }
    return HuffmanDecoder::decode(data, file.fileSize, sink, error);
}

}  // namespace nsf

#include "notes/nsf/NsfHeader.h"

#include <QString>

namespace nsf {

bool NsfHeader::parse(ByteView file, NsfHeader& h, QString& error, bool& unsupported) {
    unsupported = false;
    if (!file.has(0, 6) || file.u16(0) != kSignature) {
        error = QStringLiteral("not a Notes database (no NSF signature)");
        return false;
    }
    h.headerSize = file.u32(2);
    if (h.headerSize != 1024 && h.headerSize != 2048) {
        unsupported = true;
        error = QStringLiteral("unknown database header size %1").arg(h.headerSize);
        return false;
    }
    if (!file.has(0, h.headerSize)) {
        error = QStringLiteral("the file is truncated inside its header (%1 bytes)").arg(qulonglong(file.size()));
        return false;
    }
    const uint64_t info = 6;
    h.ods = file.u32(info);
    if (h.ods < kMinOds || h.ods > kMaxOds) {
        unsupported = true;
        error = QStringLiteral("on-disk structure version %1 is not supported (%2 to %3 are)")
                    .arg(h.ods)
                    .arg(kMinOds)
                    .arg(kMaxOds);
        return false;
    }
    h.databaseClass = file.u16(info + 36);
    h.currentDataRrvPos = file.u32(info + 56);
    h.rrvBucketSize = file.u16(info + 70);

    const ByteView title = file.sub(200, 128);
    size_t n = 0;
    while (n < title.size() && title.u8(n) != 0 && title.u8(n) != 0x0A) ++n;
    h.titleBytes = QByteArray(reinterpret_cast<const char*>(title.data()), qsizetype(n));

    for (size_t k = 0; k < h.defaultNoteIds.size(); ++k) h.defaultNoteIds[k] = file.u32(328 + 4 * k);

    const uint64_t info2 = 520;
    for (size_t k = 0; k < 4; ++k) {
        h.superblocks[k].pos = file.u32(info2 + 40 + 8 * k);
        h.superblocks[k].size = file.u32(info2 + 44 + 8 * k);
    }
    for (size_t k = 0; k < 2; ++k) {
        h.bdbs[k].size = file.u32(info2 + 104 + 8 * k);
        h.bdbs[k].pos = file.u32(info2 + 108 + 8 * k);
    }
    return true;
}

}  // namespace nsf

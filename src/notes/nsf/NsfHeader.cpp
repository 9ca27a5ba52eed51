#include "notes/nsf/NsfHeader.h"

#include <QString>

namespace nsf {
namespace {

bool isCurrentLayout(uint32_t ods, uint32_t headerSize) {
    return ods >= NsfHeader::kMinOds && ods <= NsfHeader::kMaxOds && (headerSize == 1024 || headerSize == 2048);
}

bool isRelease4Layout(uint32_t ods, uint32_t headerSize) {
    return ods == NsfHeader::kRelease4Ods && headerSize == NsfHeader::kRelease4HeaderSize;
}

}  // namespace

QString NsfHeader::releaseName(uint32_t ods) {
    switch (ods) {
        case 16:
        case 17: return QStringLiteral("Notes Release 3");
        case 20: return QStringLiteral("Notes Release 4");
        case 41: return QStringLiteral("Notes Release 5");
        case 43: return QStringLiteral("Notes Release 6 or 7");
        case 48: return QStringLiteral("Notes Release 8");
        case 51: return QStringLiteral("Notes Release 8.5");
        case 52: return QStringLiteral("Notes and Domino 9");
        case 53: return QStringLiteral("Domino 10 or 11");
        case 55: return QStringLiteral("Domino 12");
        default: return QString();
    }
}

QString NsfHeader::unsupportedMessage(uint32_t ods, uint32_t headerSize) {
    const QString release = releaseName(ods);
    QString what;
    if (!release.isEmpty())
        what = QStringLiteral("a %1 database (ODS %2)").arg(release).arg(ods);
    else if (ods > kMaxOds && ods < 0x10000)
        what = QStringLiteral("a database of a release newer than Domino 12 (ODS %1)").arg(ods);
    else if (ods < kMinOds && ods > 0)
        what = QStringLiteral("a database of a release before Notes Release 5 (ODS %1)").arg(ods);
    else
        what = QStringLiteral("a database of unknown on-disk structure version %1").arg(ods);
    // A version this reader knows in another header size: say which.
    if (isCurrentLayout(ods, 1024) || isRelease4Layout(ods, kRelease4HeaderSize))
        what += QStringLiteral(" with a header of %1 bytes").arg(headerSize);
    return what + QStringLiteral(": not supported");
}

bool NsfHeader::parse(ByteView file, NsfHeader& h, QString& error, bool& unsupported) {
    unsupported = false;
    if (!file.has(0, 6) || file.u16(0) != kSignature) {
        error = QStringLiteral("not a Notes database (no NSF signature)");
        return false;
    }
    h.headerSize = file.u32(2);
    if (!file.has(0, 10)) {
        error = QStringLiteral("the file is truncated inside its header (%1 bytes)").arg(qulonglong(file.size()));
        return false;
    }
    const uint64_t info = 6;
    h.ods = file.u32(info);
    h.release4 = isRelease4Layout(h.ods, h.headerSize);
    if (!h.release4 && !isCurrentLayout(h.ods, h.headerSize)) {
        unsupported = true;
        error = unsupportedMessage(h.ods, h.headerSize);
        return false;
    }
    if (!file.has(0, h.headerSize)) {
        error = QStringLiteral("the file is truncated inside its header (%1 bytes)").arg(qulonglong(file.size()));
        return false;
    }
    h.databaseClass = file.u16(info + 36);
    h.currentDataRrvPos = file.u32(info + 56);
    h.rrvBucketSize = file.u16(info + 70);

    // The same places in Release 4 files.
    const ByteView title = file.sub(200, 128);
    size_t n = 0;
    while (n < title.size() && title.u8(n) != 0 && title.u8(n) != 0x0A) ++n;
    h.titleBytes = QByteArray(reinterpret_cast<const char*>(title.data()), qsizetype(n));

    for (size_t k = 0; k < h.defaultNoteIds.size(); ++k) h.defaultNoteIds[k] = file.u32(328 + 4 * k);

    if (h.release4) {
        // One BDB, named by size and byte offset in the database information.
        h.release4BdbSize = file.u32(info + 40);
        h.release4BdbOffset = file.u32(info + 44);
        return true;
    }
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

#include "richtext/RtfImageInfo.h"

namespace rtf {
namespace {

quint32 be16(const QByteArray& d, qsizetype at) {
    return (quint32(quint8(d[at])) << 8) | quint8(d[at + 1]);
}
quint32 be32(const QByteArray& d, qsizetype at) { return (be16(d, at) << 16) | be16(d, at + 2); }
quint32 le16(const QByteArray& d, qsizetype at) {
    return quint32(quint8(d[at])) | (quint32(quint8(d[at + 1])) << 8);
}
qint32 le32(const QByteArray& d, qsizetype at) { return qint32(le16(d, at) | (le16(d, at + 2) << 16)); }

// Bounds a header value to something a page can show.
int sane(qint64 v) { return (v > 0 && v <= 65535) ? int(v) : 0; }

void jpegSize(const QByteArray& d, RtfImageInfo& info) {
    qsizetype i = 2;
    while (i + 9 < d.size()) {
        if (quint8(d[i]) != 0xFF) return;
        const quint8 marker = quint8(d[i + 1]);
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            i += 2;
            continue;
        }
        const quint32 len = be16(d, i + 2);
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            info.heightPx = sane(be16(d, i + 5));
            info.widthPx = sane(be16(d, i + 7));
            return;
        }
        if (len < 2) return;
        i += 2 + qsizetype(len);
    }
}

}  // namespace

RtfImageInfo RtfImageInfo::probe(const QByteArray& d) {
    RtfImageInfo info;
    if (d.size() >= 24 && d.startsWith("\x89PNG\r\n\x1a\n")) {
        info.format = Format::Png;
        if (d.mid(12, 4) == "IHDR") {
            info.widthPx = sane(be32(d, 16));
            info.heightPx = sane(be32(d, 20));
        }
    } else if (d.size() >= 3 && quint8(d[0]) == 0xFF && quint8(d[1]) == 0xD8 && quint8(d[2]) == 0xFF) {
        info.format = Format::Jpeg;
        jpegSize(d, info);
    } else if (d.size() >= 10 && (d.startsWith("GIF87a") || d.startsWith("GIF89a"))) {
        info.format = Format::Gif;
        info.widthPx = sane(le16(d, 6));
        info.heightPx = sane(le16(d, 8));
    } else if (d.size() >= 26 && d.startsWith("BM")) {
        info.format = Format::Bmp;
        const qint32 headerSize = le32(d, 14);
        if (headerSize == 12) {
            info.widthPx = sane(le16(d, 18));
            info.heightPx = sane(le16(d, 20));
        } else {
            info.widthPx = sane(le32(d, 18));
            const qint64 h = le32(d, 22);
            info.heightPx = sane(h < 0 ? -h : h);
        }
    }
    return info;
}

QString RtfImageInfo::formatName(Format format) {
    switch (format) {
        case Format::Png: return QStringLiteral("png");
        case Format::Jpeg: return QStringLiteral("jpeg");
        case Format::Gif: return QStringLiteral("gif");
        case Format::Bmp: return QStringLiteral("bmp");
        case Format::Unknown: break;
    }
    return QString();
}

QString RtfImageInfo::mimeType(Format format) {
    const QString name = formatName(format);
    return name.isEmpty() ? QString() : QStringLiteral("image/") + name;
}

}  // namespace rtf

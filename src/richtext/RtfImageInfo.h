#pragma once

#include <QByteArray>
#include <QString>

namespace rtf {

// What an embedded picture really is, told by its bytes rather than by the
// format name it came with, and its pixel size where the header gives it.
struct RtfImageInfo {
    enum class Format { Unknown, Png, Jpeg, Gif, Bmp };
    Format format = Format::Unknown;
    int widthPx = 0;
    int heightPx = 0;

    static RtfImageInfo probe(const QByteArray& data);
    // "png", "jpeg", "gif", "bmp" or "" for Unknown.
    static QString formatName(Format format);
    // "image/png", ... or "" for Unknown.
    static QString mimeType(Format format);
};

}  // namespace rtf

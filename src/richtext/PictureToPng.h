#pragma once

#include <QByteArray>

#include <vector>

namespace rtf {

// Turns the pictures RTF cannot embed in a form every reader shows (GIF, which
// is how Notes stores most images, and BMP) into PNG: GIF is read by libgif,
// BMP by Qt's image reader (every kind: palettes, run-length data, bit fields,
// rows top-down; in a module loaded when the first BMP is met, BmpDecoderModule),
// PNG written by libpng. A GIF gives its first frame with its
// transparency. None of it needs a QGuiApplication.
class PictureToPng {
public:
    // The PNG, or an empty array when the data is not a GIF or BMP this reads
    // (damaged, truncated, or larger than MaxPixels).
    static QByteArray convert(const QByteArray& data);
    static QByteArray fromGif(const QByteArray& gif);
    static QByteArray fromBmp(const QByteArray& bmp);

    // PNG of 8-bit rows: colour type 3 (indices into `palette`, RGB triples,
    // `transparentIndex` -1 for none), 2 (RGB) or 6 (RGBA).
    static QByteArray encodePng(int width, int height, int colorType, const QByteArray& pixels,
                                const QByteArray& palette = {}, int transparentIndex = -1);

    // Larger pictures are not converted (memory stays bounded).
    static constexpr qint64 MaxPixels = 40'000'000;
};

}  // namespace rtf

#include "richtext/PictureToPng.h"

#include "richtext/RtfImageInfo.h"

#include <QtEndian>

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace rtf {
namespace {

// ---- PNG through libpng

struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 0;
    const QByteArray* pixels = nullptr;
    const QByteArray* palette = nullptr;  // fitted: covers every index, at most 256 entries
    int transparentIndex = -1;
};

void appendToByteArray(png_structp png, png_bytep data, png_size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp: nothing in this frame needs destroying.
bool writePng(png_structp png, png_infop info, const PngImage* image, QByteArray* out, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, appendToByteArray, flushNothing);
    png_set_compression_level(png, 1);  // fast: pictures are converted as notes are read
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    const int type = image->colorType == 3   ? PNG_COLOR_TYPE_PALETTE
                     : image->colorType == 2 ? PNG_COLOR_TYPE_RGB
                                             : PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, png_uint_32(image->width), png_uint_32(image->height), 8, type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_color colours[256];
    png_byte alpha[256];
    if (image->colorType == 3) {
        const int entries = int(image->palette->size() / 3);
        for (int i = 0; i < entries; ++i) {
            colours[i].red = png_byte(image->palette->at(i * 3));
            colours[i].green = png_byte(image->palette->at(i * 3 + 1));
            colours[i].blue = png_byte(image->palette->at(i * 3 + 2));
        }
        png_set_PLTE(png, info, colours, entries);
        if (image->transparentIndex >= 0 && image->transparentIndex < entries) {
            for (int i = 0; i <= image->transparentIndex; ++i) alpha[i] = 0xFF;
            alpha[image->transparentIndex] = 0;
            png_set_tRNS(png, info, alpha, image->transparentIndex + 1, nullptr);
        }
    }
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

// The palette cut or padded to cover every index used (a PNG must).
QByteArray fittedPalette(QByteArray palette, const QByteArray& indices) {
    if (palette.isEmpty())  // no colour table at all: a grey ramp
        for (int i = 0; i < 256; ++i) palette += QByteArray(3, char(i));
    int maxIndex = 0;
    for (char i : indices) maxIndex = std::max(maxIndex, int(quint8(i)));
    const qsizetype entries = std::max<qsizetype>(palette.size() / 3, maxIndex + 1);
    palette = palette.left(std::min<qsizetype>(entries, 256) * 3);
    palette.append(std::min<qsizetype>(entries, 256) * 3 - palette.size(), '\0');
    return palette;
}

// ---- GIF through libgif

struct GifInput {
    const QByteArray* data = nullptr;
    qsizetype pos = 0;
};

int readGif(GifFileType* gif, GifByteType* buffer, int length) {
    auto* in = static_cast<GifInput*>(gif->UserData);
    const qsizetype n = std::clamp<qsizetype>(in->data->size() - in->pos, 0, length);
    std::memcpy(buffer, in->data->constData() + in->pos, size_t(n));
    in->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

QByteArray paletteOf(const ColorMapObject* map) {
    QByteArray palette;
    if (!map || !map->Colors) return palette;
    for (int i = 0; i < map->ColorCount && i < 256; ++i) {
        palette += char(map->Colors[i].Red);
        palette += char(map->Colors[i].Green);
        palette += char(map->Colors[i].Blue);
    }
    return palette;
}

}  // namespace

QByteArray PictureToPng::encodePng(int width, int height, int colorType, const QByteArray& pixels,
                                   const QByteArray& palette, int transparentIndex) {
    const int channels = colorType == 3 ? 1 : colorType == 2 ? 3 : colorType == 6 ? 4 : 0;
    const qsizetype rowBytes = qsizetype(width) * channels;
    if (channels == 0 || width <= 0 || height <= 0 || pixels.size() < rowBytes * height) return {};
    const QByteArray fitted = colorType == 3 ? fittedPalette(palette, pixels.left(qsizetype(width) * height)) : QByteArray();
    std::vector<png_bytep> rows(static_cast<size_t>(height), nullptr);
    auto* base = reinterpret_cast<png_bytep>(const_cast<char*>(pixels.constData()));  // libpng only reads them
    for (int y = 0; y < height; ++y) rows[size_t(y)] = base + qsizetype(y) * rowBytes;
    const PngImage image{width, height, colorType, &pixels, &fitted, transparentIndex};

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return {};
    png_infop info = png_create_info_struct(png);
    QByteArray out;
    out.reserve(rowBytes * height / 2 + 1024);
    const bool written = info && writePng(png, info, &image, &out, rows.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return written ? out : QByteArray();
}

QByteArray PictureToPng::convert(const QByteArray& data) {
    switch (RtfImageInfo::probe(data).format) {
        case RtfImageInfo::Format::Gif: return fromGif(data);
        case RtfImageInfo::Format::Bmp: return fromBmp(data);
        default: return {};
    }
}

QByteArray PictureToPng::fromGif(const QByteArray& data) {
    if (!data.startsWith("GIF87a") && !data.startsWith("GIF89a")) return {};
    GifInput input{&data, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&input, readGif, &error));
    if (!gif) return {};
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) return {};
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR) return {};
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb;
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
            }
            while (ext)
                if (DGifGetExtensionNext(gif.get(), &ext) == GIF_ERROR) return {};
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) return {};  // trailer or garbage before any image
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) return {};
        const GifImageDesc& desc = gif->Image;
        const int w = desc.Width, h = desc.Height;
        // LZW packs at most a few thousand pixels into a byte: a frame far
        // larger than the whole file is damage, not a picture.
        const qint64 framePixels = qint64(w) * h;
        if (w <= 0 || h <= 0 || framePixels > MaxPixels || framePixels > qint64(data.size()) * 4096 + 65536) return {};
        int width = gif->SWidth > 0 ? gif->SWidth : w;
        int height = gif->SHeight > 0 ? gif->SHeight : h;
        int frameLeft = desc.Left, frameTop = desc.Top;
        if (qint64(width) * height > framePixels * 4 + 65536) {  // a screen out of proportion: the frame alone
            width = w;
            height = h;
            frameLeft = frameTop = 0;
        }
        const QByteArray palette = paletteOf(desc.ColorMap ? desc.ColorMap : gif->SColorMap);
        // Rows the data does not reach stay transparent (or index 0).
        QByteArray frame(qsizetype(w) * h, char(transparent >= 0 ? transparent : 0));
        std::vector<int> rowOf(size_t(h), 0);
        if (desc.Interlace) {
            int i = 0;
            static const int start[] = {0, 4, 2, 1};
            static const int step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < h; y += step[pass]) rowOf[size_t(i++)] = y;
        } else {
            for (int y = 0; y < h; ++y) rowOf[size_t(y)] = y;
        }
        for (int r = 0; r < h; ++r)
            if (DGifGetLine(gif.get(), reinterpret_cast<GifPixelType*>(frame.data()) + qsizetype(rowOf[size_t(r)]) * w,
                            w) == GIF_ERROR)
                break;
        // Place the frame on the logical screen.
        const char fill = char(transparent >= 0 ? transparent : gif->SBackGroundColor);
        QByteArray canvas(qsizetype(width) * height, fill);
        for (int y = 0; y < h; ++y) {
            const int cy = frameTop + y;
            if (cy < 0 || cy >= height) continue;
            for (int x = 0; x < w; ++x) {
                const int cx = frameLeft + x;
                if (cx >= width) break;
                canvas[qsizetype(cy) * width + cx] = frame[qsizetype(y) * w + x];
            }
        }
        return encodePng(width, height, 3, canvas, palette, transparent);
    }
}

QByteArray PictureToPng::fromBmp(const QByteArray& bmp) {
    if (bmp.size() < 26 || !bmp.startsWith("BM")) return {};
    const auto* d = reinterpret_cast<const uchar*>(bmp.constData());
    const qsizetype size = bmp.size();
    const quint32 pixelOffset = qFromLittleEndian<quint32>(d + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(d + 14);
    qint64 width = 0, height = 0;
    int bpp = 0;
    quint32 compression = 0, colorsUsed = 0;
    if (headerSize == 12) {
        width = qFromLittleEndian<quint16>(d + 18);
        height = qFromLittleEndian<qint16>(d + 20);
        bpp = qFromLittleEndian<quint16>(d + 24);
    } else if (headerSize >= 40 && size >= 54) {
        width = qFromLittleEndian<qint32>(d + 18);
        height = qFromLittleEndian<qint32>(d + 22);
        bpp = qFromLittleEndian<quint16>(d + 28);
        compression = qFromLittleEndian<quint32>(d + 30);
        colorsUsed = qFromLittleEndian<quint32>(d + 46);
    } else {
        return {};
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width * height > MaxPixels) return {};
    if (!(compression == 0 || (compression == 3 && (bpp == 16 || bpp == 32)))) return {};  // RLE: not read
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return {};
    const qint64 stride = ((width * bpp + 31) / 32) * 4;
    if (qint64(pixelOffset) + stride * height > size) return {};

    const int w = int(width), h = int(height);
    if (bpp <= 8) {
        const qsizetype paletteAt = 14 + headerSize;
        const int entry = headerSize == 12 ? 3 : 4;
        int count = colorsUsed ? int(std::min<quint32>(colorsUsed, 256)) : (1 << bpp);
        QByteArray palette;
        for (int i = 0; i < count && paletteAt + (i + 1) * entry <= size; ++i) {
            const uchar* p = d + paletteAt + i * entry;
            palette += char(p[2]);
            palette += char(p[1]);
            palette += char(p[0]);
        }
        QByteArray pixels(qsizetype(w) * h, '\0');
        for (int y = 0; y < h; ++y) {
            const uchar* row = d + pixelOffset + (topDown ? y : h - 1 - y) * stride;
            for (int x = 0; x < w; ++x) {
                const int bit = x * bpp;
                const int v = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
                pixels[qsizetype(y) * w + x] = char(v);
            }
        }
        return encodePng(w, h, 3, pixels, palette);
    }
    const int bytes = bpp / 8;
    QByteArray pixels(qsizetype(w) * h * 3, '\0');
    for (int y = 0; y < h; ++y) {
        const uchar* row = d + pixelOffset + (topDown ? y : h - 1 - y) * stride;
        char* out = pixels.data() + qsizetype(y) * w * 3;
        for (int x = 0; x < w; ++x) {
            out[x * 3] = char(row[x * bytes + 2]);
            out[x * 3 + 1] = char(row[x * bytes + 1]);
            out[x * 3 + 2] = char(row[x * bytes]);
        }
    }
    return encodePng(w, h, 2, pixels);
}

}  // namespace rtf

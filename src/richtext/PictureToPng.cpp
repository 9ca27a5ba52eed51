#include "richtext/PictureToPng.h"

#include "richtext/BmpDecoderInterface.h"
#include "richtext/BmpDecoderModule.h"
#include "richtext/RtfImageInfo.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace rtf {
namespace {

// ---- PNG through libpng

struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 0;
    const QByteArray* palette = nullptr;  // fitted: covers every index, at most 256 entries
    int transparentIndex = -1;
    int transforms = PNG_TRANSFORM_IDENTITY;  // from the rows' layout to the PNG's
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
    png_write_png(png, info, image->transforms, nullptr);
    return true;
}

// The palette cut or padded to cover every index used (a PNG must).
QByteArray fittedPalette(QByteArray palette, const std::vector<png_bytep>& rows, int width) {
    if (palette.isEmpty())  // no colour table at all: a grey ramp
        for (int i = 0; i < 256; ++i) palette += QByteArray(3, char(i));
    int maxIndex = 0;
    for (const png_bytep row : rows)
        for (int x = 0; x < width; ++x) maxIndex = std::max(maxIndex, int(row[x]));
    const qsizetype entries = std::max<qsizetype>(palette.size() / 3, maxIndex + 1);
    palette = palette.left(std::min<qsizetype>(entries, 256) * 3);
    palette.append(std::min<qsizetype>(entries, 256) * 3 - palette.size(), '\0');
    return palette;
}

// PNG of the rows given (each `width` pixels of the colour type's bytes, or as
// `transforms` turns them into those; libpng only reads them).
QByteArray encodeRows(int width, int height, int colorType, std::vector<png_bytep> rows, const QByteArray& palette,
                      int transparentIndex, int transforms = PNG_TRANSFORM_IDENTITY) {
    const QByteArray fitted = colorType == 3 ? fittedPalette(palette, rows, width) : QByteArray();
    const PngImage image{width, height, colorType, &fitted, transparentIndex, transforms};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return {};
    png_infop info = png_create_info_struct(png);
    QByteArray out;
    const int channels = colorType == 3 ? 1 : colorType == 2 ? 3 : 4;
    out.reserve(qsizetype(width) * channels * height / 2 + 1024);
    const bool written = info && writePng(png, info, &image, &out, rows.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return written ? out : QByteArray();
}

// ---- BMP through the decoder module

// The module's rows, written as PNG into the QByteArray `context` points to.
void receiveBmpRows(void* context, int width, int height, int colorType, unsigned char** rows, const char* palette,
                    int paletteBytes, int layout) {
    int transforms = PNG_TRANSFORM_IDENTITY;
    if (layout & TesseldocBmpRowsBgr) transforms |= PNG_TRANSFORM_BGR;
    if (layout & TesseldocBmpRowsFillerAfter) transforms |= PNG_TRANSFORM_STRIP_FILLER_AFTER;
    *static_cast<QByteArray*>(context) =
        encodeRows(width, height, colorType, std::vector<png_bytep>(rows, rows + height),
                   paletteBytes > 0 ? QByteArray(palette, paletteBytes) : QByteArray(), -1, transforms);
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
    std::vector<png_bytep> rows(static_cast<size_t>(height), nullptr);
    auto* base = reinterpret_cast<png_bytep>(const_cast<char*>(pixels.constData()));  // libpng only reads them
    for (int y = 0; y < height; ++y) rows[size_t(y)] = base + qsizetype(y) * rowBytes;
    return encodeRows(width, height, colorType, std::move(rows), palette, transparentIndex);
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
    if (!bmp.startsWith("BM")) return {};
    const TesseldocDecodeBmp decode = BmpDecoderModule::decoder();
    if (!decode) return {};
    QByteArray png;
    if (!decode(bmp.constData(), bmp.size(), MaxPixels, &png, &receiveBmpRows)) return {};
    return png;
}

}  // namespace rtf

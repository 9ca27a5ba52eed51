#include "richtext/PictureToPng.h"

#include "richtext/RtfImageInfo.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QSysInfo>

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

// ---- BMP through Qt's image reader

// Qt's image reader refuses pictures above a process-wide allocation limit. It
// is kept no higher than the largest picture converted here (4 bytes a pixel),
// once, as the program starts and before any thread reads a picture.
[[maybe_unused]] const bool readerLimited = [] {
    const int megabytes = int((PictureToPng::MaxPixels * 4 + (1 << 20) - 1) >> 20);
    const int current = QImageReader::allocationLimit();
    if (current == 0 || current > megabytes) QImageReader::setAllocationLimit(megabytes);
    return true;
}();

// The picture's data, remembering whether a read asked for bytes past its end
// or a seek went there: the BMP reader stops at the end of truncated pixel data,
// and reads on where it stands when the header's offset of the pixels is out of
// the data, and reports success either way.
class EndWatchingBuffer : public QBuffer {
public:
    explicit EndWatchingBuffer(const QByteArray& data) { setData(data); }
    bool wentPastEnd() const { return m_pastEnd; }

    bool seek(qint64 pos) override {
        if (pos > size()) {
            m_pastEnd = true;
            return false;
        }
        return QBuffer::seek(pos);
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = QBuffer::readData(data, maxSize);
        if (n < maxSize) m_pastEnd = true;
        return n;
    }

private:
    bool m_pastEnd = false;
};

// Whether `bytes` of data could describe so many pixels in the form the reader
// gives them: uncompressed rows take at least 1 bit a pixel (two colours) or 2
// bytes (16-bit colour); a run of up to 255 palette pixels takes 2 bytes.
// Anything larger is a damaged or hostile header, refused before allocating.
bool plausibleSize(QSize size, QImage::Format format, qsizetype bytes) {
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.width() <= 0 || size.height() <= 0 || pixels > PictureToPng::MaxPixels) return false;
    switch (format) {
        case QImage::Format_Mono: return pixels <= qint64(bytes) * 8;
        case QImage::Format_Indexed8: return pixels <= qint64(bytes) * 128;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32: return pixels <= qint64(bytes) / 2;
        default: return false;
    }
}

// The picture, or a null image when the data is damaged, truncated or too
// large. It is decoded into an image cleared beforehand: run-length data may
// skip pixels, which the reader leaves as it found them.
QImage decodeBmp(const QByteArray& bmp) {
    QImage::Format format = QImage::Format_Invalid;
    for (int attempt = 0; attempt < 2; ++attempt) {
        EndWatchingBuffer device(bmp);
        if (!device.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
        QImageReader reader(&device, "bmp");
        reader.setAutoDetectImageFormat(false);
        const QSize header = reader.size();  // a negative height: rows stored top-down
        const QSize size(header.width(), header.height() == INT_MIN ? 0 : std::abs(header.height()));
        if (format == QImage::Format_Invalid) format = reader.imageFormat();
        if (!plausibleSize(size, format, bmp.size())) return {};
        QImage image(size, format);
        if (image.isNull()) return {};
        image.fill(0);
        const uchar* cleared = image.constBits();
        if (!reader.read(&image) || device.wentPastEnd()) return {};
        if (image.constBits() == cleared) return image;
        format = image.format();  // decoded into an image of its own making: again, into a cleared one of that form
    }
    return {};
}

bool everyAlphaIs(const QImage& image, int alpha) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != alpha) return false;
    }
    return true;
}

std::vector<png_bytep> rowsOf(const QImage& image) {
    std::vector<png_bytep> rows(size_t(image.height()), nullptr);
    for (int y = 0; y < image.height(); ++y) rows[size_t(y)] = const_cast<png_bytep>(image.constScanLine(y));
    return rows;
}

QByteArray pngOf(QImage image) {
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
        image.convertTo(QImage::Format_Indexed8);
        QByteArray palette;
        for (const QRgb c : image.colorTable()) {
            palette += char(qRed(c));
            palette += char(qGreen(c));
            palette += char(qBlue(c));
        }
        return encodeRows(image.width(), image.height(), 3, rowsOf(image), palette, -1);
    }
    // Many writers declare an alpha channel and leave it 0 throughout: such a
    // picture is opaque, as every viewer shows it.
    const bool alpha = image.hasAlphaChannel() && !everyAlphaIs(image, 0) && !everyAlphaIs(image, 0xFF);
    // 32-bit pixels, 0xAARRGGBB: in memory B, G, R, A on a little-endian machine,
    // which libpng reorders and strips of the alpha as it writes.
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian)
        return encodeRows(image.width(), image.height(), alpha ? 6 : 2, rowsOf(image), {}, -1,
                          PNG_TRANSFORM_BGR | (alpha ? 0 : PNG_TRANSFORM_STRIP_FILLER_AFTER));
    image.convertTo(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    return encodeRows(image.width(), image.height(), alpha ? 6 : 2, rowsOf(image), {}, -1);
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
    const QImage image = decodeBmp(bmp);
    return image.isNull() ? QByteArray() : pngOf(image);
}

}  // namespace rtf

// The BMP decoder module: Qt's image reader behind the plain C function of
// richtext/BmpDecoderInterface.h, loaded by the program only when it meets a
// BMP picture.
#include "richtext/BmpDecoderInterface.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QSysInfo>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The largest picture the program converts (PictureToPng::MaxPixels).
constexpr qint64 kLargestPicture = 40'000'000;


// Qt's image reader refuses pictures above a process-wide allocation limit. It
// is kept no higher than the largest picture converted here (4 bytes a pixel),
// once, as the program starts and before any thread reads a picture.
[[maybe_unused]] const bool readerLimited = [] {
    const int megabytes = int((kLargestPicture * 4 + (1 << 20) - 1) >> 20);
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
bool plausibleSize(QSize size, QImage::Format format, qsizetype bytes, qint64 maxPixels) {
    const qint64 pixels = qint64(size.width()) * size.height();
    if (size.width() <= 0 || size.height() <= 0 || pixels > maxPixels) return false;
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
QImage decodeBmp(const QByteArray& bmp, qint64 maxPixels) {
    QImage::Format format = QImage::Format_Invalid;
    for (int attempt = 0; attempt < 2; ++attempt) {
        EndWatchingBuffer device(bmp);
        if (!device.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return {};
        QImageReader reader(&device, "bmp");
        reader.setAutoDetectImageFormat(false);
        const QSize header = reader.size();  // a negative height: rows stored top-down
        const QSize size(header.width(), header.height() == INT_MIN ? 0 : std::abs(header.height()));
        if (format == QImage::Format_Invalid) format = reader.imageFormat();
        if (!plausibleSize(size, format, bmp.size(), maxPixels)) return {};
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

std::vector<unsigned char*> rowsOf(const QImage& image) {
    std::vector<unsigned char*> rows(size_t(image.height()), nullptr);
    for (int y = 0; y < image.height(); ++y) rows[size_t(y)] = const_cast<unsigned char*>(image.constScanLine(y));
    return rows;
}

void deliver(QImage image, void* context, TesseldocBmpRowsSink sink) {
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
        image.convertTo(QImage::Format_Indexed8);
        QByteArray palette;
        for (const QRgb c : image.colorTable()) {
            palette += char(qRed(c));
            palette += char(qGreen(c));
            palette += char(qBlue(c));
        }
        std::vector<unsigned char*> rows = rowsOf(image);
        sink(context, image.width(), image.height(), 3, rows.data(), palette.constData(), int(palette.size()),
             TesseldocBmpRowsAsColorType);
        return;
    }
    // Many writers declare an alpha channel and leave it 0 throughout: such a
    // picture is opaque, as every viewer shows it.
    const bool alpha = image.hasAlphaChannel() && !everyAlphaIs(image, 0) && !everyAlphaIs(image, 0xFF);
    // 32-bit pixels, 0xAARRGGBB: in memory B, G, R, A on a little-endian machine,
    // which the PNG writer reorders and strips of the alpha as it writes.
    if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        std::vector<unsigned char*> rows = rowsOf(image);
        sink(context, image.width(), image.height(), alpha ? 6 : 2, rows.data(), nullptr, 0,
             TesseldocBmpRowsBgr | (alpha ? 0 : TesseldocBmpRowsFillerAfter));
        return;
    }
    image.convertTo(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    std::vector<unsigned char*> rows = rowsOf(image);
    sink(context, image.width(), image.height(), alpha ? 6 : 2, rows.data(), nullptr, 0, TesseldocBmpRowsAsColorType);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tesseldoc_decode_bmp(const char* data, long long size,
                                                                          long long maxPixels, void* context,
                                                                          TesseldocBmpRowsSink sink) {
    if (!data || size < 2 || !sink || data[0] != 'B' || data[1] != 'M') return 0;
    // The caller's bytes are read in place.
    const QByteArray bmp = QByteArray::fromRawData(data, qsizetype(size));
    const QImage image = decodeBmp(bmp, std::min<qint64>(maxPixels, kLargestPicture));
    if (image.isNull()) return 0;
    deliver(image, context, sink);
    return 1;
}

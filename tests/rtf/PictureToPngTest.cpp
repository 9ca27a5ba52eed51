#include "RtfTestDocs.h"
#include "richtext/BmpDecoderModule.h"
#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QSize>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <fstream>
#include <string>

#include <climits>
#include <cstdlib>

using rtf::PictureToPng;

namespace {

QByteArray testFile(const QString& name) {
    QFile f(QStringLiteral(TESSELDOC_TEST_DATA "/rtf/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Decodes the PNGs PictureToPng writes (8-bit, filter 0, types 2, 3 and 6) to RGBA,
// checking every chunk's CRC on the way.
QByteArray pngToRgba(const QByteArray& png, int* width, int* height) {
    if (!png.startsWith("\x89PNG\r\n\x1a\n")) return {};
    qsizetype pos = 8;
    QByteArray palette, trns, idat;
    int type = 0;
    while (pos + 12 <= png.size()) {
        const quint32 len = qFromBigEndian<quint32>(png.constData() + pos);
        const QByteArray kind = png.mid(pos + 4, 4);
        const QByteArray data = png.mid(pos + 8, len);
        const quint32 crc = qFromBigEndian<quint32>(png.constData() + pos + 8 + len);
        EXPECT_EQ(crc, [&] {
            quint32 c = 0xFFFFFFFFu;
            for (char b : kind + data) {
                c ^= quint8(b);
                for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            return c ^ 0xFFFFFFFFu;
        }()) << kind.constData();
        if (kind == "IHDR") {
            *width = int(qFromBigEndian<quint32>(data.constData()));
            *height = int(qFromBigEndian<quint32>(data.constData() + 4));
            type = data[9];
        } else if (kind == "PLTE") {
            palette = data;
        } else if (kind == "tRNS") {
            trns = data;
        } else if (kind == "IDAT") {
            idat += data;
        }
        pos += 12 + len;
    }
    const int channels = type == 3 ? 1 : type == 6 ? 4 : 3;
    const qsizetype rawSize = qsizetype(*width * channels + 1) * *height;
    QByteArray prefixed(4, '\0');
    qToBigEndian(quint32(rawSize), prefixed.data());
    const QByteArray raw = qUncompress(prefixed + idat);
    if (raw.size() != rawSize) return {};
    QByteArray rgba;
    for (int y = 0; y < *height; ++y) {
        const char* row = raw.constData() + qsizetype(y) * (*width * channels + 1);
        EXPECT_EQ(row[0], 0);
        for (int x = 0; x < *width; ++x) {
            if (type == 3) {
                const int i = quint8(row[1 + x]);
                rgba += palette.mid(i * 3, 3);
                rgba += i < trns.size() ? trns[i] : char(0xFF);
            } else if (type == 6) {
                rgba += QByteArray(row + 1 + x * 4, 4);
            } else {
                rgba += QByteArray(row + 1 + x * 3, 3);
                rgba += char(0xFF);
            }
        }
    }
    return rgba;
}

QByteArray le16(int v) {
    QByteArray b(2, '\0');
    qToLittleEndian(quint16(v), b.data());
    return b;
}

QByteArray le32(qint64 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(quint32(v), b.data());
    return b;
}

// A BMP file: an info header of `headerSize` bytes (12: the old core header;
// 124: with colour masks in it), then `table` (colours or masks) and `pixels`.
QByteArray bmpFile(int headerSize, int width, int height, int bpp, int compression, const QByteArray& table,
                   const QByteArray& pixels, const QByteArray& headerMasks = {}, int coloursUsed = 0) {
    QByteArray info = le32(headerSize);
    if (headerSize == 12) {
        info += le16(width) + le16(height) + le16(1) + le16(bpp);
    } else {
        info += le32(width) + le32(height) + le16(1) + le16(bpp) + le32(compression) + le32(pixels.size()) +
                le32(2835) + le32(2835) + le32(coloursUsed) + le32(0);
        info += headerMasks;
        info.append(headerSize - info.size(), '\0');
    }
    const int offset = 14 + info.size() + table.size();
    return "BM" + le32(offset + pixels.size()) + le32(0) + le32(offset) + info + table + pixels;
}

// Palette entries as a BMP stores them (blue, green, red, 0): white, red, green, blue.
const QByteArray kBmpPalette = QByteArray::fromHex(
    "ffffff00"
    "0000ff00"
    "00ff0000"
    "ff000000");
const char* const kRgb[] = {"ffffff", "ff0000", "00ff00", "0000ff"};

// RGBA of rows of palette indices, top row first.
QByteArray rgbaOf(const std::vector<std::vector<int>>& rows) {
    QByteArray rgba;
    for (const auto& row : rows)
        for (int i : row) rgba += QByteArray::fromHex(kRgb[i]) + char(0xFF);
    return rgba;
}

const std::vector<std::vector<int>> kGrid = {{1, 2, 3, 0}, {2, 2, 2, 2}, {3, 0, 1, 1}};

// Pictures of kGrid in kinds the GIF and BMP files above do not cover, with
// what each must give.
struct BmpKind {
    const char* name;
    QByteArray file;
    QByteArray rgba;
    int tolerance = 0;  // per channel
};

std::vector<BmpKind> bmpKinds() {
    std::vector<BmpKind> kinds;
    // Run-length, 8 bits, bottom row first: absolute run, repeated run, single
    // pixels; the top row ends early (end of picture after one pixel), its
    // other pixels are cleared to colour 0.
    const QByteArray rle8 = QByteArray::fromHex(
        "000403000101"
        "0000"
        "0402"
        "0000"
        "0101"
        "0001");
    kinds.push_back({"rle8", bmpFile(40, 4, 3, 8, 1, kBmpPalette, rle8, {}, 4),
                     rgbaOf({{1, 0, 0, 0}, {2, 2, 2, 2}, {3, 0, 1, 1}})});
    // Run-length, 4 bits; a jump (00 02 dx dy) skips the middle row's first two pixels.
    const QByteArray rle4 = QByteArray::fromHex(
        "00043011"
        "0000"
        "00020200"
        "0222"
        "0000"
        "0110012001300100"
        "0001");
    kinds.push_back({"rle4", bmpFile(40, 4, 3, 4, 2, kBmpPalette, rle4, {}, 4),
                     rgbaOf({{1, 2, 3, 0}, {0, 0, 2, 2}, {3, 0, 1, 1}})});
    // 16 bits, 5-6-5 bit fields.
    const quint16 rgb565[] = {0xFFFF, 0xF800, 0x07E0, 0x001F};
    QByteArray p16;
    for (int y = 2; y >= 0; --y)
        for (int i : kGrid[size_t(y)]) p16 += le16(rgb565[i]);
    kinds.push_back({"bitfields16", bmpFile(40, 4, 3, 16, 3, le32(0xF800) + le32(0x07E0) + le32(0x001F), p16),
                     rgbaOf(kGrid), 7});  // Qt 6.4 widens 5 bits by shifting: 31 gives 248
    // 24 bits stored top-down (negative height).
    QByteArray p24;
    for (const auto& row : kGrid)
        for (int i : row) p24 += kBmpPalette.mid(i * 4, 3);
    kinds.push_back({"topdown24", bmpFile(40, 4, -3, 24, 0, {}, p24), rgbaOf(kGrid)});
    // One bit a pixel, the old core header (3-byte colours).
    const QByteArray mono = QByteArray::fromHex(
        "50000000"
        "a0000000"
        "50000000");  // 0101 / 1010 / 0101 bottom-up
    kinds.push_back({"core1", bmpFile(12, 4, 3, 1, 0, QByteArray::fromHex("ffffff0000ff"), mono),
                     rgbaOf({{0, 1, 0, 1}, {1, 0, 1, 0}, {0, 1, 0, 1}})});
    // 32 bits with an alpha mask: the alpha is kept. An alpha of 0 throughout
    // is a writer that ignored it: opaque.
    const QByteArray masks = le32(0x00FF0000) + le32(0x0000FF00) + le32(0x000000FF) + le32(0xFF000000);
    QByteArray p32, p32clear, alphaRgba;
    for (int y = 2; y >= 0; --y)
        for (int i : kGrid[size_t(y)]) {
            p32 += kBmpPalette.mid(i * 4, 3) + char(i == 2 ? 0x80 : 0xFF);
            p32clear += kBmpPalette.mid(i * 4, 3) + char(0);
        }
    for (const auto& row : kGrid)
        for (int i : row) alphaRgba += QByteArray::fromHex(kRgb[i]) + char(i == 2 ? 0x80 : 0xFF);
    kinds.push_back({"alpha32", bmpFile(124, 4, 3, 32, 3, {}, p32, masks), alphaRgba});
    kinds.push_back({"clearAlpha32", bmpFile(124, 4, 3, 32, 3, {}, p32clear, masks), rgbaOf(kGrid)});
    return kinds;
}

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

TEST(PictureToPng, GifAndBmpGiveTheSamePixels) {
    for (const char* name : {"plain.gif", "inter.gif", "trans.gif", "rgb24.bmp", "pal8.bmp", "pal4.bmp"}) {
        const QString file = QLatin1String(name);
        const QByteArray src = testFile(file);
        ASSERT_FALSE(src.isEmpty()) << name;
        const QByteArray png = PictureToPng::convert(src);
        ASSERT_FALSE(png.isEmpty()) << name;
        int w = 0, h = 0;
        QByteArray rgba = pngToRgba(png, &w, &h);
        EXPECT_EQ(w, 13);
        EXPECT_EQ(h, 7);
        QString expectedName = file;
        expectedName.replace(QLatin1Char('.'), QLatin1Char('-'));
        QByteArray expected = testFile(expectedName + QStringLiteral(".rgba"));
        // Fully transparent pixels may carry any colour.
        for (qsizetype i = 3; i < expected.size() && i < rgba.size(); i += 4)
            if (expected[i] == 0 && rgba[i] == 0) expected.replace(i - 3, 3, rgba.mid(i - 3, 3));
        EXPECT_EQ(rgba.toHex().toStdString(), expected.toHex().toStdString()) << name;
    }
    int w = 0, h = 0;
    const QByteArray tiny = pngToRgba(PictureToPng::convert(rtftest::tinyGif()), &w, &h);
    EXPECT_EQ(tiny.toHex(), QByteArray("ff000000"));
}

TEST(PictureToPng, DamagedOrUnsupportedDataGivesNothingOrWhatArrived) {
    const QByteArray gif = testFile(QStringLiteral("plain.gif"));
    for (qsizetype n = 0; n < gif.size(); ++n) {
        const QByteArray png = PictureToPng::convert(gif.left(n));
        if (png.isEmpty()) continue;
        int w = 0, h = 0;
        EXPECT_EQ(pngToRgba(png, &w, &h).size(), 13 * 7 * 4) << n;
    }
    const QByteArray bmp = testFile(QStringLiteral("rgb24.bmp"));
    for (qsizetype n = 0; n < bmp.size(); ++n) EXPECT_TRUE(PictureToPng::convert(bmp.left(n)).isEmpty()) << n;
    // Corrupt LZW codes, absurd sizes, JPEG and PNG input.
    QRandomGenerator rng(7);
    for (const char* name : {"plain.gif", "inter.gif", "pal4.bmp", "pal8.bmp"}) {
        const QByteArray good = testFile(QLatin1String(name));
        for (int round = 0; round < 300; ++round) {
            QByteArray bad = good;
            for (int k = 0; k < 4; ++k) bad[6 + rng.bounded(int(bad.size() - 6))] = char(rng.bounded(256));
            const QByteArray png = PictureToPng::convert(bad);
            int w = 0, h = 0;
            if (!png.isEmpty()) {
                EXPECT_FALSE(pngToRgba(png, &w, &h).isEmpty());
            }
        }
    }
    // A logical screen out of all proportion: the frame alone. A frame larger
    // than its data could ever fill: nothing.
    QByteArray hugeScreen = gif;
    hugeScreen[6] = hugeScreen[7] = hugeScreen[8] = hugeScreen[9] = char(0xFF);
    int w = 0, h = 0;
    EXPECT_EQ(pngToRgba(PictureToPng::convert(hugeScreen), &w, &h).size(), 13 * 7 * 4);
    QByteArray hugeFrame = gif;
    const qsizetype descriptor = hugeFrame.indexOf(QByteArray("\x2c\0\0\0\0\x0d\0\x07\0", 9));
    ASSERT_GT(descriptor, 0);
    hugeFrame[descriptor + 5] = hugeFrame[descriptor + 6] = hugeFrame[descriptor + 7] = char(0xFF);
    EXPECT_TRUE(PictureToPng::convert(hugeFrame).isEmpty());
    EXPECT_TRUE(PictureToPng::convert(rtftest::tinyPng()).isEmpty());
    EXPECT_TRUE(PictureToPng::convert(QByteArray("\xFF\xD8\xFF\xE0", 4)).isEmpty());
}

// Without any application object, and under a plain QCoreApplication with no
// platform named, as the command line runs.
TEST(PictureToPng, EveryKindOfBmpGivesItsPixels) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    qunsetenv("QT_QPA_PLATFORM");
    const std::vector<BmpKind> kinds = bmpKinds();
    {
        int argc = 1;
        char name[] = "test_rtf";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        for (const BmpKind& kind : kinds)
            EXPECT_FALSE(PictureToPng::convert(kind.file).isEmpty())
                << kind.name << " under QCoreApplication";
    }
    if (!platform.isNull()) qputenv("QT_QPA_PLATFORM", platform);
    for (const BmpKind& kind : kinds) {
        int w = 0, h = 0;
        const QByteArray rgba = pngToRgba(PictureToPng::convert(kind.file), &w, &h);
        EXPECT_EQ(QSize(w, h), QSize(4, 3)) << kind.name;
        ASSERT_EQ(rgba.size(), kind.rgba.size()) << kind.name;
        for (qsizetype i = 0; i < rgba.size(); ++i)
            if (std::abs(quint8(rgba[i]) - quint8(kind.rgba[i])) > kind.tolerance) {
                ADD_FAILURE() << kind.name << ": " << rgba.toHex().toStdString() << " instead of "
                              << kind.rgba.toHex().toStdString();
                break;
            }
    }
}

// Damaged and hostile headers give nothing, without a large allocation.
TEST(PictureToPng, TruncatedOrHostileBmpGivesNothing) {
    const long peakBefore = peakResidentKb();
    for (const BmpKind& kind : bmpKinds())
        for (qsizetype n = 0; n < kind.file.size(); ++n)
            EXPECT_TRUE(PictureToPng::convert(kind.file.left(n)).isEmpty()) << kind.name << " cut at " << n;

    const QByteArray row = QByteArray(12, char(0x40));
    const struct {
        const char* name;
        QByteArray file;
    } hostile[] = {
        {"beyond the pixel limit", bmpFile(40, 100000, 100000, 24, 0, {}, row)},
        {"6000 x 6000 over 12 bytes", bmpFile(40, 6000, 6000, 24, 0, {}, row)},
        {"6000 x 6000 run-length over 12 bytes", bmpFile(40, 6000, 6000, 8, 1, kBmpPalette, row, {}, 4)},
        {"6000 x 6000 of 1 bit over 12 bytes",
         bmpFile(40, 6000, 6000, 1, 0, kBmpPalette.left(8), row, {}, 2)},
        {"height INT_MIN", bmpFile(40, 4, INT_MIN, 24, 0, {}, row)},
        {"negative width", bmpFile(40, -4, 1, 24, 0, {}, row)},
        {"100000 colours", bmpFile(40, 4, 1, 8, 0, kBmpPalette, row, {}, 100000)},
    };
    for (const auto& h : hostile) EXPECT_TRUE(PictureToPng::convert(h.file).isEmpty()) << h.name;
    // Pixels said to start past the end of the data.
    QByteArray farOffset = bmpFile(40, 4, 1, 24, 0, {}, row);
    farOffset.replace(10, 4, le32(1 << 30));
    EXPECT_TRUE(PictureToPng::convert(farOffset).isEmpty());
    farOffset.replace(10, 4, le32(54));
    EXPECT_FALSE(PictureToPng::convert(farOffset).isEmpty());
    EXPECT_LT(peakResidentKb() - peakBefore, 64 * 1024) << "kB more at the peak";
}

// BMP pictures are decoded by a module loaded at the first one: a program that
// meets none does not carry QtGui and the libraries it brings.
TEST(PictureToPng, QtGuiIsLoadedOnlyWithTheFirstBmp) {
    const auto qtGuiMapped = [] {
        std::ifstream maps("/proc/self/maps");
        std::string line;
        while (std::getline(maps, line))
            if (line.find("libQt6Gui") != std::string::npos) return true;
        return false;
    };
    // Other tests of this program may have converted a BMP already.
    if (!qtGuiMapped()) {
        EXPECT_TRUE(rtf::PictureToPng::fromGif(QByteArray("GIF89a")).isEmpty());
        EXPECT_FALSE(qtGuiMapped());
    }
    ASSERT_NE(rtf::BmpDecoderModule::decoder(), nullptr) << rtf::BmpDecoderModule::loadError().toStdString();
    EXPECT_TRUE(rtf::BmpDecoderModule::loadError().isEmpty());
    EXPECT_TRUE(qtGuiMapped());
}

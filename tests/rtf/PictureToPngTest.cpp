#include "RtfTestDocs.h"
#include "richtext/PictureToPng.h"
#include "richtext/RtfImageInfo.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <gtest/gtest.h>

using rtf::PictureToPng;

namespace {

QByteArray testFile(const QString& name) {
    QFile f(QStringLiteral(TESSELDOC_TEST_DATA "/rtf/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Decodes the PNGs PictureToPng writes (8-bit, filter 0, types 2 and 3) to RGBA,
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
    const int channels = type == 3 ? 1 : 3;
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
            } else {
                rgba += QByteArray(row + 1 + x * 3, 3);
                rgba += char(0xFF);
            }
        }
    }
    return rgba;
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

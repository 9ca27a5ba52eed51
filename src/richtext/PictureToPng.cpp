#include "richtext/PictureToPng.h"

#include "richtext/RtfImageInfo.h"

#include <QtEndian>

#include <algorithm>
#include <array>

namespace rtf {
namespace {

quint32 crc32(const QByteArray& data) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (char b : data) c = table[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void appendBe32(QByteArray& out, quint32 v) {
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void appendChunk(QByteArray& out, const char* type, const QByteArray& data) {
    appendBe32(out, quint32(data.size()));
    QByteArray typed(type, 4);
    typed += data;
    out += typed;
    appendBe32(out, crc32(typed));
}

// Reads a GIF byte by byte; every read past the end gives 0 and sets `bad`.
struct GifStream {
    const QByteArray& d;
    qsizetype pos = 0;
    bool bad = false;
    quint8 byte() {
        if (pos >= d.size()) {
            bad = true;
            return 0;
        }
        return quint8(d[pos++]);
    }
    int le16() {
        const int lo = byte();
        return lo | (byte() << 8);
    }
    QByteArray take(qsizetype n) {
        if (n > d.size() - pos) {
            bad = true;
            n = d.size() - pos;
        }
        const QByteArray out = d.mid(pos, n);
        pos += n;
        return out;
    }
    // The data sub-blocks that follow, joined.
    QByteArray subBlocks() {
        QByteArray out;
        for (;;) {
            const int len = byte();
            if (len == 0 || bad) break;
            out += take(len);
        }
        return out;
    }
};

// GIF LZW: fills `out` (width * height indices) as far as the data reaches.
void lzwDecode(const QByteArray& data, int minCodeSize, QByteArray& out) {
    if (minCodeSize < 2 || minCodeSize > 11) return;
    std::vector<quint16> prefix(4096, 0);
    std::vector<quint8> suffix(4096, 0);
    std::vector<quint8> stack;
    stack.reserve(4097);
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    for (int i = 0; i < clear; ++i) suffix[size_t(i)] = quint8(i);
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    quint8 first = 0;
    qsizetype outPos = 0;
    const qsizetype outSize = out.size();
    quint32 bits = 0;
    int bitCount = 0;
    qsizetype in = 0;
    while (outPos < outSize) {
        while (bitCount < codeSize && in < data.size()) {
            bits |= quint32(quint8(data[in++])) << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize) break;
        int code = int(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == eoi) break;
        if (prev < 0) {
            if (code >= clear) break;
            out[outPos++] = char(code);
            prev = code;
            first = quint8(code);
            continue;
        }
        const int current = code;
        stack.clear();
        if (code >= next) {
            if (code > next) break;  // corrupt
            stack.push_back(first);
            code = prev;
        }
        while (code >= clear && stack.size() < 4097) {
            stack.push_back(suffix[size_t(code)]);
            code = prefix[size_t(code)];
        }
        first = quint8(code);
        stack.push_back(first);
        for (auto it = stack.rbegin(); it != stack.rend() && outPos < outSize; ++it) out[outPos++] = char(*it);
        if (next < 4096) {
            prefix[size_t(next)] = quint16(prev);
            suffix[size_t(next)] = first;
            ++next;
            if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        prev = current;
    }
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

}  // namespace

QByteArray PictureToPng::encodePng(int width, int height, int colorType, const QByteArray& pixels,
                                   const QByteArray& palette, int transparentIndex) {
    const int channels = colorType == 3 ? 1 : colorType == 2 ? 3 : 4;
    const qsizetype rowBytes = qsizetype(width) * channels;
    if (width <= 0 || height <= 0 || pixels.size() < rowBytes * height) return {};
    QByteArray raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        raw.append(pixels.constData() + y * rowBytes, rowBytes);
    }
    QByteArray z = qCompress(raw, 1);  // fast: pictures are decoded as notes are read
    if (z.size() < 4) return {};
    z.remove(0, 4);  // qCompress puts the length before the zlib stream

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    appendBe32(ihdr, quint32(width));
    appendBe32(ihdr, quint32(height));
    ihdr += char(8);
    ihdr += char(colorType);
    ihdr += QByteArray(3, '\0');
    appendChunk(png, "IHDR", ihdr);
    if (colorType == 3) {
        appendChunk(png, "PLTE", fittedPalette(palette, pixels));
        if (transparentIndex >= 0 && transparentIndex < 256) {
            QByteArray alpha(transparentIndex + 1, char(0xFF));
            alpha[transparentIndex] = '\0';
            appendChunk(png, "tRNS", alpha);
        }
    }
    appendChunk(png, "IDAT", z);
    appendChunk(png, "IEND", {});
    return png;
}

QByteArray PictureToPng::convert(const QByteArray& data) {
    switch (RtfImageInfo::probe(data).format) {
        case RtfImageInfo::Format::Gif: return fromGif(data);
        case RtfImageInfo::Format::Bmp: return fromBmp(data);
        default: return {};
    }
}

QByteArray PictureToPng::fromGif(const QByteArray& gif) {
    GifStream s{gif};
    if (!gif.startsWith("GIF87a") && !gif.startsWith("GIF89a")) return {};
    s.pos = 6;
    const int screenW = s.le16();
    const int screenH = s.le16();
    const quint8 packed = s.byte();
    const int background = s.byte();
    s.byte();  // aspect ratio
    QByteArray global;
    if (packed & 0x80) global = s.take(3 * (1 << ((packed & 7) + 1)));
    int transparent = -1;
    while (!s.bad) {
        const quint8 block = s.byte();
        if (block == 0x21) {
            const quint8 label = s.byte();
            const QByteArray ext = s.subBlocks();
            if (label == 0xF9 && ext.size() >= 4) transparent = (ext[0] & 1) ? quint8(ext[3]) : -1;
            continue;
        }
        if (block != 0x2C) return {};  // trailer or garbage before any image
        const int left = s.le16();
        const int top = s.le16();
        const int w = s.le16();
        const int h = s.le16();
        const quint8 ipacked = s.byte();
        QByteArray palette = global;
        if (ipacked & 0x80) palette = s.take(3 * (1 << ((ipacked & 7) + 1)));
        const int minCode = s.byte();
        const QByteArray lzw = s.subBlocks();
        // LZW packs at most a few thousand pixels into a byte: a frame far
        // larger than its data is damage, not a picture.
        const qint64 framePixels = qint64(w) * h;
        if (w <= 0 || h <= 0 || framePixels > MaxPixels || framePixels > qint64(lzw.size()) * 4096 + 65536) return {};
        int width = screenW > 0 ? screenW : w;
        int height = screenH > 0 ? screenH : h;
        int frameLeft = left, frameTop = top;
        if (qint64(width) * height > framePixels * 4 + 65536) {  // a screen out of proportion: the frame alone
            width = w;
            height = h;
            frameLeft = frameTop = 0;
        }
        QByteArray frame(qsizetype(w) * h, char(transparent >= 0 ? transparent : 0));
        lzwDecode(lzw, minCode, frame);
        // Place the frame on the logical screen.
        const char fill = char(transparent >= 0 ? transparent : background);
        QByteArray canvas(qsizetype(width) * height, fill);
        const bool interlaced = ipacked & 0x40;
        std::vector<int> rowOf(static_cast<size_t>(h), 0);
        if (interlaced) {
            int i = 0;
            for (int pass = 0; pass < 4; ++pass) {
                static const int start[] = {0, 4, 2, 1};
                static const int step[] = {8, 8, 4, 2};
                for (int y = start[pass]; y < h; y += step[pass]) rowOf[size_t(i++)] = y;
            }
        } else {
            for (int y = 0; y < h; ++y) rowOf[size_t(y)] = y;
        }
        for (int r = 0; r < h; ++r) {
            const int y = frameTop + rowOf[size_t(r)];
            if (y < 0 || y >= height) continue;
            for (int x = 0; x < w; ++x) {
                const int cx = frameLeft + x;
                if (cx >= width) break;
                canvas[qsizetype(y) * width + cx] = frame[qsizetype(r) * w + x];
            }
        }
        return encodePng(width, height, 3, canvas, palette, transparent);
    }
    return {};
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

#include "notes/nsf/NotesBitmap.h"

#include "richtext/PictureToPng.h"

#include <algorithm>

namespace nsf {

namespace {

constexpr int kPelsPerPattern = 8;
constexpr int kPatternEntrySize = 24;

// The 16 standard Windows colours, for 8-bit bitmaps stored without a colour table.
const uint8_t kWindowsColors[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

}  // namespace

void NotesBitmap::header(ByteView b) {
    m_hasHeader = b.size() >= 38;
    m_width = b.u16(22);
    m_height = b.u16(24);
    m_bitsPerPixel = b.u16(26);
}

void NotesBitmap::colorTable(ByteView b) {
    const ByteView c = b.from(6);
    m_colors = QByteArray(reinterpret_cast<const char*>(c.data()), qsizetype(std::min<size_t>(c.size(), 256 * 3)));
}

void NotesBitmap::patternTable(ByteView b) {
    const ByteView p = b.from(6);
    m_patterns = QByteArray(reinterpret_cast<const char*>(p.data()),
                            qsizetype(std::min<size_t>(p.size(), 64 * kPatternEntrySize)));
}

void NotesBitmap::segment(ByteView b) {
    Segment s;
    s.lines = b.u16(14);
    const ByteView data = b.sub(18, b.u16(16));
    s.data = QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
    m_segments.push_back(std::move(s));
}

bool NotesBitmap::decodeLines(std::vector<uint8_t>* out, int unit, int lineUnits, QString& problem) const {
    const size_t lineBytes = size_t(lineUnits) * size_t(unit);
    if (out) {
        out->clear();
        out->reserve(lineBytes * size_t(m_height));
    }
    int linesDone = 0;
    for (const Segment& s : m_segments) {
        const auto* d = reinterpret_cast<const uint8_t*>(s.data.constData());
        const size_t n = size_t(s.data.size());
        size_t p = 0;
        for (int l = 0; l < s.lines && linesDone < m_height; ++l, ++linesDone) {
            size_t filled = 0;  // bytes of this line so far
            while (filled < lineBytes) {
                if (p >= n) {
                    problem = QStringLiteral("its data ends inside scan line %1").arg(linesDone + 1);
                    return false;
                }
                const uint8_t f = d[p++];
                const int flag = f >> 6;
                size_t count = f & 0x3F;
                if (flag == 1 || flag == 2) {
                    if (p >= n) break;
                    count = (count << 8) | d[p++];
                }
                const size_t room = (lineBytes - filled) / size_t(unit);
                if (flag == 1) {
                    if (p >= n) break;
                    const size_t index = d[p++];
                    if ((index + 1) * kPatternEntrySize > size_t(m_patterns.size()) ||
                        count * kPelsPerPattern > room) {
                        problem = QStringLiteral("scan line %1 refers to a pattern it does not have").arg(linesDone + 1);
                        return false;
                    }
                    if (out) {
                        const auto* entry =
                            reinterpret_cast<const uint8_t*>(m_patterns.constData()) + index * kPatternEntrySize;
                        for (size_t k = 0; k < count; ++k) {
                            if (unit == 1) {
                                out->insert(out->end(), entry, entry + kPelsPerPattern);
                            } else {
                                for (size_t px = 0; px < kPelsPerPattern; ++px) {  // RGB to the 5-5-5 word
                                    const uint8_t* rgb = entry + px * 3;
                                    const uint16_t w =
                                        uint16_t(((rgb[0] >> 3) << 10) | ((rgb[1] >> 3) << 5) | (rgb[2] >> 3));
                                    out->push_back(uint8_t(w & 0xFF));
                                    out->push_back(uint8_t(w >> 8));
                                }
                            }
                        }
                    }
                    filled += count * kPelsPerPattern * size_t(unit);
                    continue;
                }
                if (count > room) {
                    problem = QStringLiteral("scan line %1 runs past the picture's width").arg(linesDone + 1);
                    return false;
                }
                if (flag == 0) {
                    if (p + count * size_t(unit) > n) {
                        problem = QStringLiteral("its data ends inside scan line %1").arg(linesDone + 1);
                        return false;
                    }
                    if (out) out->insert(out->end(), d + p, d + p + count * size_t(unit));
                    p += count * size_t(unit);
                } else {
                    if (p + size_t(unit) > n) {
                        problem = QStringLiteral("its data ends inside scan line %1").arg(linesDone + 1);
                        return false;
                    }
                    if (out && unit == 1) {
                        out->insert(out->end(), count, d[p]);
                    } else if (out) {
                        for (size_t k = 0; k < count; ++k) out->insert(out->end(), d + p, d + p + unit);
                    }
                    p += size_t(unit);
                }
                filled += count * size_t(unit);
            }
            if (filled != lineBytes) {
                problem = QStringLiteral("its data ends inside scan line %1").arg(linesDone + 1);
                return false;
            }
        }
    }
    if (linesDone < m_height) {
        problem = QStringLiteral("it has %1 of its %2 scan lines").arg(linesDone).arg(m_height);
        return false;
    }
    return true;
}

bool NotesBitmap::checkHeader(QString& problem) const {
    if (!m_hasHeader || m_width <= 0 || m_height <= 0) {
        problem = QStringLiteral("its bitmap header is missing or empty");
        return false;
    }
    if (qint64(m_width) * m_height > rtf::PictureToPng::MaxPixels) {
        problem = QStringLiteral("it is too large (%1 x %2 pixels)").arg(m_width).arg(m_height);
        return false;
    }
    if (m_bitsPerPixel != 1 && m_bitsPerPixel != 8 && m_bitsPerPixel != 16) {
        problem = QStringLiteral("its %1 bits per pixel are not a bitmap kind Notes writes").arg(m_bitsPerPixel);
        return false;
    }
    return true;
}

bool NotesBitmap::check(QString& problem) const {
    if (!checkHeader(problem)) return false;
    if (m_bitsPerPixel == 1) return decodeLines(nullptr, 1, (m_width + 7) / 8, problem);
    return decodeLines(nullptr, m_bitsPerPixel / 8, m_width, problem);
}

QByteArray NotesBitmap::toPng(QString& problem) const {
    if (!checkHeader(problem)) return {};
    std::vector<uint8_t> raw;
    if (m_bitsPerPixel == 8) {
        if (!decodeLines(&raw, 1, m_width, problem)) return {};
        QByteArray palette = m_colors;
        if (palette.isEmpty())
            for (const auto& c : kWindowsColors) palette.append(reinterpret_cast<const char*>(c), 3);
        palette = palette.left(palette.size() / 3 * 3);
        // Indices past the table show black rather than make an invalid PNG.
        while (palette.size() < 256 * 3) palette.append(3, '\0');
        const QByteArray pixels(reinterpret_cast<const char*>(raw.data()), qsizetype(raw.size()));
        return rtf::PictureToPng::encodePng(m_width, m_height, 3, pixels, palette);
    }
    if (m_bitsPerPixel == 16) {
        if (!decodeLines(&raw, 2, m_width, problem)) return {};
        QByteArray rgb;
        rgb.reserve(qsizetype(raw.size() / 2 * 3));
        for (size_t i = 0; i + 1 < raw.size(); i += 2) {
            const uint16_t w = uint16_t(raw[i] | (raw[i + 1] << 8));
            rgb.append(char(((w >> 10) & 0x1F) * 255 / 31));
            rgb.append(char(((w >> 5) & 0x1F) * 255 / 31));
            rgb.append(char((w & 0x1F) * 255 / 31));
        }
        return rtf::PictureToPng::encodePng(m_width, m_height, 2, rgb);
    }
    if (m_bitsPerPixel == 1) {
        const int lineBytes = (m_width + 7) / 8;
        if (!decodeLines(&raw, 1, lineBytes, problem)) return {};
        QByteArray pixels;
        pixels.reserve(qsizetype(m_width) * m_height);
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                pixels.append(char((raw[size_t(y) * size_t(lineBytes) + size_t(x / 8)] >> (7 - x % 8)) & 1));
        const QByteArray palette("\x00\x00\x00\xFF\xFF\xFF", 6);
        return rtf::PictureToPng::encodePng(m_width, m_height, 3, pixels, palette);
    }
    problem = QStringLiteral("its %1 bits per pixel are not a bitmap kind Notes writes").arg(m_bitsPerPixel);
    return {};
}

}  // namespace nsf

#pragma once

#include "notes/nsf/ByteView.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace nsf {

// A Notes bitmap picture: CDBITMAPHEADER, then CDBITMAPSEGMENTs and the
// optional CDCOLORTABLE and CDPATTERNTABLE (which may come after the
// segments), decoded to PNG.
//
// Scan lines are run-length coded one by one. A flag/length byte: top two
// bits 11 = repeat the next pixel (6-bit count), 10 = repeat the next pixel
// (14-bit count: the low 6 bits of this byte are the high bits, the next
// byte the low eight), 01 = repeat the pattern whose index follows (14-bit
// count of 8-pixel patterns), 00 = that many raw pixels follow (6-bit count).
// A pixel is one byte (8 bits per pixel: an index into the colour table; 1
// bit: eight pixels) or a little-endian 16-bit 0RRRRRGGGGGBBBBB word.
// Colour table and pattern entries are RGB byte triples; an 8-bit pattern
// entry holds its 8 indices in the first 8 of its 24 bytes.
class NotesBitmap {
public:
    void header(ByteView record);
    void colorTable(ByteView record);
    void patternTable(ByteView record);
    void segment(ByteView record);

    // Whether toPng() will give a picture: the header and every scan line are
    // read through without making pixels; false with `problem` set.
    bool check(QString& problem) const;
    // The picture as PNG, or empty with `problem` set.
    QByteArray toPng(QString& problem) const;

    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    bool checkHeader(QString& problem) const;
    // The scan lines' bytes into `pixels`, or only read through when it is null.
    bool decodeLines(std::vector<uint8_t>* pixels, int unit, int lineUnits, QString& problem) const;

    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
    bool m_hasHeader = false;
    QByteArray m_colors;    // RGB triples
    QByteArray m_patterns;  // 24-byte entries
    struct Segment {
        int lines = 0;
        QByteArray data;
    };
    std::vector<Segment> m_segments;
};

}  // namespace nsf

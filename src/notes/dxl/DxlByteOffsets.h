#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <utility>
#include <vector>

namespace store::dxl {

// Turns the character offsets of QXmlStreamReader (UTF-16 code units of the
// decoded text, byte-order mark not counted) into byte offsets of the file,
// reading the file a second time alongside the parser. Offsets must be asked
// for in increasing order. Only a short stretch behind the current position
// is kept, so memory stays small however large the file.
class DxlByteOffsets {
  public:
    // `firstByte`: where the text starts (after a byte-order mark);
    // `utf8`: false for a single-byte encoding.
    bool open(const QString& path, qint64 firstByte, bool utf8);
    // Byte ranges [start, end) the parser does not see (DxlSkippingFile), in
    // increasing order; kept across open().
    void setSkipped(std::vector<std::pair<qint64, qint64>> skipped) { m_skipped = std::move(skipped); }

    // The byte offset just after character `charOffset`; -1 past the end.
    qint64 byteAt(qint64 charOffset);
    // The offset of the "<" that opens the tag ending at byte `end`
    // (attribute values cannot hold "<"); -1 when it is not in reach.
    qint64 tagStart(qint64 end) const;

  private:
    bool fill();
    // Steps over a skipped range that starts at the current position.
    bool skip();

    QFile m_file;
    QByteArray m_window;
    qint64 m_windowStart = 0;  // file offset of m_window[0]
    qint64 m_pos = 0;          // current byte offset
    qint64 m_chars = 0;        // characters before m_pos
    bool m_utf8 = true;
    std::vector<std::pair<qint64, qint64>> m_skipped;
    size_t m_nextSkip = 0;
};

}  // namespace store::dxl

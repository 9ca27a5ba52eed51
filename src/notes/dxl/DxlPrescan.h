#pragma once

#include <QFile>
#include <QString>

#include <vector>

namespace store::dxl {

// One pass over the bytes of a Notes XML file before it is parsed, a
// megabyte at a time:
//  - the first NUL byte and the first control character in a name (XML
//    allows neither, yet the parser lets them pass in attribute names) and
//    the first bytes that are not UTF-8 (the parser notices those a block of
//    text late and names an earlier line);
//  - every NUL byte, control character in a name and run of bytes that are
//    not UTF-8, each with the child of the root element it lies in, so that
//    damage can cost that element alone (a document, a view) rather than
//    the whole file;
//  - the content of each <filedata> element large enough to matter: its
//    byte range, and what the base64 in it decodes to. The parser is then fed
//    the file without those ranges (DxlSkippingFile), so that an attachment
//    never becomes one text in memory.
class DxlPrescan {
  public:
    struct Finding {
        bool found = false;
        qint64 line = 0;    // 1-based
        qint64 column = 0;  // 1-based, in characters
        QString what;
    };
    // Base64 content of a <filedata> element: from `start` (just after its
    // start tag) to `end` (its "</").
    struct DataSpan {
        qint64 start = 0;
        qint64 end = 0;
        qint64 decodedSize = 0;
        bool valid = true;
    };
    // Bytes XML does not allow there.
    struct Damage {
        enum Kind { Nul, NotUtf8, ControlInName };
        Kind kind = Nul;
        qint64 at = 0;      // first byte
        qint64 length = 1;  // bytes
        qint64 line = 0;    // 1-based
        qint64 column = 0;  // 1-based, in characters
        // The child of the root element the bytes are in ([unitStart,
        // unitEnd), from its "<" to one past its closing ">"), -1: none (the
        // XML declaration, the root's own tags, text between its children).
        qint64 unitStart = -1;
        qint64 unitEnd = -1;
        qint64 unitLine = 0;
        QString what() const;
    };
    // Content shorter than this stays with the parser.
    static constexpr qint64 kMinSpan = 64 * 1024;
    // More damage than this is not listed (damageOverflow is set).
    static constexpr size_t kMaxDamage = 1000;

    // Scans from byte `firstByte` (after a byte-order mark). False when the
    // file cannot be read.
    bool run(const QString& path, qint64 firstByte);

    Finding firstNul;
    Finding firstNonUtf8;
    Finding firstControlInName;  // the parser takes these into attribute names
    std::vector<DataSpan> spans;  // in file order
    std::vector<Damage> damage;   // in file order
    bool damageOverflow = false;
    bool rootIsDatabase = false;  // the root element is <database>

    // The span starting at `start`, or null.
    const DataSpan* spanAt(qint64 start) const;

  private:
    // Line and column of the first NUL and the first bytes that are not
    // UTF-8, when the pass found any (`lastAt`: the later one's offset).
    bool placeFindings(QFile& file, qint64 firstByte, qint64 lastAt);
    // Line and column of each damage and line of the element it is in.
    bool placeDamage(QFile& file, qint64 firstByte);
};

}  // namespace store::dxl

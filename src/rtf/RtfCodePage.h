#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct UConverter;

namespace rtf {

// Decodes the 8-bit text of an RTF file (\'hh and raw bytes) in a Windows code
// page through ICU. Code page 1252 is decoded without ICU; a code page ICU does
// not know falls back to 1252. Multi-byte code pages (932, 936, 949, 950)
// decode lead and trail bytes given together.
class RtfCodePage {
public:
    explicit RtfCodePage(int codePage);
    ~RtfCodePage();
    RtfCodePage(const RtfCodePage&) = delete;
    RtfCodePage& operator=(const RtfCodePage&) = delete;

    QString decode(const QByteArray& bytes) const;
    int codePage() const { return m_codePage; }

    // The code page of an RTF font character set (\fcharsetN), or 0 when it
    // has none of its own (0 ANSI, 1 default, 2 symbol).
    static int codePageOfCharset(int charset);

private:
    int m_codePage;
    UConverter* m_converter = nullptr;
};

}  // namespace rtf

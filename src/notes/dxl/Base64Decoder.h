#pragma once

#include <QByteArray>
#include <QStringView>
#include <cstdint>

namespace store::dxl {

// Decodes base64 text piece by piece, as XML hands it over (with line breaks
// and blanks in between). Decoded bytes collect in output() unless the
// decoder only counts (countOnly), which is how data is checked and sized
// without holding it. After a bad character or bad padding every further call
// is ignored and failed() stays true.
class Base64Decoder {
  public:
    explicit Base64Decoder(bool countOnly = false) : m_countOnly(countOnly) {}

    void feed(QStringView text);
    void feed(const char* data, qint64 size);
    // Ends the data; returns false when the data was not valid base64.
    bool finish();

    bool failed() const { return m_failed; }
    qint64 decodedSize() const { return m_decoded; }
    QByteArray& output() { return m_out; }
    // Hands over the bytes decoded so far and clears them (streaming use).
    QByteArray takeOutput();

  private:
    void put(uint32_t c);

    bool m_countOnly;
    bool m_failed = false;
    bool m_finished = false;
    uint32_t m_bits = 0;
    int m_count = 0;    // sextets in m_bits
    int m_padding = 0;  // '=' seen
    qint64 m_decoded = 0;
    QByteArray m_out;
};

}  // namespace store::dxl

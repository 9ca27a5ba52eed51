#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace worddoc {

// Little-endian appends and patches on a byte array: the binary formats the
// writers produce are all little-endian.
namespace le {

inline void u8(QByteArray& b, unsigned v) { b.append(char(v & 0xFF)); }
inline void u16(QByteArray& b, unsigned v) {
    const char d[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    b.append(d, 2);
}
inline void u32(QByteArray& b, uint32_t v) {
    const char d[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
    b.append(d, 4);
}
inline void i16(QByteArray& b, int v) { u16(b, unsigned(uint16_t(int16_t(v)))); }
inline void zeros(QByteArray& b, qsizetype n) { b.append(n, '\0'); }
inline void padTo(QByteArray& b, qsizetype multiple) {
    const qsizetype rest = b.size() % multiple;
    if (rest) zeros(b, multiple - rest);
}
// UTF-16LE code units of `s`, no terminator.
inline void utf16(QByteArray& b, const QString& s) {
    for (QChar c : s) u16(b, c.unicode());
}

inline void put16(QByteArray& b, qsizetype at, unsigned v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}
inline void put32(QByteArray& b, qsizetype at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
inline uint32_t get32(const QByteArray& b, qsizetype at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
    return v;
}
inline unsigned get16(const QByteArray& b, qsizetype at) { return uint8_t(b[at]) | (unsigned(uint8_t(b[at + 1])) << 8); }

}  // namespace le
}  // namespace worddoc

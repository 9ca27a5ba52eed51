#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace rtf {

// One lexical element of an RTF stream.
struct RtfToken {
    enum class Type {
        End,            // no more input
        GroupStart,     // {
        GroupEnd,       // }
        ControlWord,    // \word or \wordN
        ControlSymbol,  // \* \~ \- \_ \: \| and other one-character symbols
        Text,           // literal bytes (with \\ \{ \} already unescaped)
        HexByte,        // \'hh
        Binary,         // the data of \binN: binOffset/binLength into the input
    };
    Type type = Type::End;
    // Views into the input (or into static text): valid while the input lives.
    QByteArrayView word;   // control word name, or the control symbol
    bool hasParam = false;
    int param = 0;
    QByteArrayView text;   // Text
    unsigned char byte = 0;  // HexByte
    qsizetype binOffset = 0;
    qsizetype binLength = 0;
};

// Splits RTF into tokens. Any input gives a finite token sequence ending in
// End: control words are cut at 32 letters, parameters clamped to int, \binN
// bounded by the bytes that remain, line breaks dropped.
class RtfTokenizer {
public:
    explicit RtfTokenizer(const QByteArray& input) : m_in(input) {}
    RtfToken next();
    const QByteArray& input() const { return m_in; }
    qsizetype position() const { return m_pos; }

private:
    const QByteArray& m_in;
    qsizetype m_pos = 0;
};

}  // namespace rtf

#pragma once

#include <QString>

// Longest file or directory name the file system takes, in bytes of UTF-8.
constexpr int kMaxNameBytes = 255;

// Control characters (C0, DEL and C1): no name the program makes holds one.
bool IsControlCharacter(QChar c);

// The name with " * / : < > ? \ | and every control character replaced by
// "_". A leading "." becomes "_": no name the program makes is hidden.
QString CleanFileName(const QString& name);

// The name with the nine characters " * / : < > ? \ | and every control
// character replaced by "_". A name that is just "." or ".." would name a
// directory, so its dots become "_"; any other leading "." becomes "_".
QString CleanNameNine(const QString& name);

// The longest start of `text` that fits in maxBytes bytes of UTF-8, cut
// between characters (never inside a surrogate pair).
QString CutToUtf8Bytes(const QString& text, int maxBytes);

// A name cut so that it and `reservedBytes` more bytes fit in 255 bytes of
// UTF-8. A short extension (".doc") is kept; the stem loses its end.
QString CapComponentBytes(const QString& name, int reservedBytes = 0);

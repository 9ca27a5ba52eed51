#pragma once

#include <QString>

// Longest file or directory name the file system takes, in bytes of UTF-8.
constexpr int kMaxNameBytes = 255;

// Control characters (C0, DEL and C1) and the bidirectional controls
// (U+200E, U+200F, U+202A-U+202E, U+2066-U+2069, which can make "exe.doc"
// show as "cod.exe"): no name the program makes holds one.
bool IsControlCharacter(QChar c);

// A whole name (with its extension) that Windows file shares take as it is:
// a reserved device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, in any
// case, before the first dot) gets "_" after it ("CON.doc" -> "CON_.doc"),
// and trailing spaces and dots become "_".
QString WindowsSafeName(const QString& name);

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

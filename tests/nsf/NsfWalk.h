#pragma once

#include <QByteArray>

// Opens bytes as a database and reads everything in it: every note and item,
// every attachment (into memory), the views, folders and their members.
// Returns the number of notes read; never throws.
int walkAllBytes(const QByteArray& bytes);

#include <cstddef>
#include <cstdint>

// One fuzz input: bytes starting with the NSF signature are a whole database
// (walkAllBytes); anything else feeds one decoder, chosen by the first byte,
// with the rest (CX, Huffman, ID table, rich text, item values, slot bucket).
void decodeFuzzInput(const uint8_t* data, size_t size);

// The small valid database that patch-mode fuzz inputs modify.
QByteArray fuzzBaseDatabase();

#pragma once

#include <QByteArray>

// Opens bytes as a database and reads everything in it: every note and item,
// every attachment (into memory), the views, folders and their members.
// Returns the number of notes read; never throws.
int walkAllBytes(const QByteArray& bytes);

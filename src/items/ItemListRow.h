#pragma once

#include <QString>
#include <array>

#include "items/NotesItemKind.h"
#include "notes/ln/LNGlobals.h"

// One row of the browse step's item list. Columns: sender, subject, date,
// size, attachment summary (for a contact: its three text blocks, size and
// attachments). Column 4 is set on the list only when it is not empty.
struct ItemListRow {
    NotesItemKind kind = Mail;
    std::array<QString, 5> columns;
    NOTEID noteId = 0;
};

#pragma once

#include <QList>
#include <QString>

// One item (or whole source) that produced no document in a run.
struct FailedItem {
    QString folder;  // Notes folder, or the source file when the source could not be read
    QString noteId;  // hexadecimal note ID; empty when the failure concerns a whole source
    QString reason;
};
using FailedItemList = QList<FailedItem>;

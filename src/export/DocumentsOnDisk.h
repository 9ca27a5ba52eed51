#pragma once

#include <QString>
#include <QStringList>

// The documents a destination holds, as a later run or `report` finds them
// without a journal: regular files with a document extension (.doc, .docx,
// .pdf) below the destination, links not followed, hidden files and the
// attachment folders beside documents (names ending in "Attachments" and a
// number, if any) left out. Paths are relative to the destination.
namespace DocumentsOnDisk {

QStringList list(const QString& dest);

}  // namespace DocumentsOnDisk

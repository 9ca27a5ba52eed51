#pragma once

#include <QString>

#include <cstdint>

// A listed folder or view.
struct NotesFolderEntry {
    QString notesName;   // full Notes name, without the trailing backslash
    int imageIndex = 1;  // FolderImageIndex
    uint32_t entryCount = 0;
};

// Image index of a folder in the folder tree's image list.
int FolderImageIndex(const QString& notesName, uint32_t entryCount);

// The word a system folder is shown as ("($Inbox)" -> "Inbox"); other names unchanged.
QString SystemFolderDisplayNames(const QString& notesName);

// Whether EnumerateFolders lists a view of this name (folders are always listed).
bool IsListedViewName(const QString& notesName, bool showViewFolders);

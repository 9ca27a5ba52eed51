#pragma once

#include <QString>

// One source of the list: a file path, and the Domino server holding it
// (empty for a file on a disk or share).
struct NsfSourceEntry {
    QString filePath;
    QString serverName;
    bool operator==(const NsfSourceEntry& other) const {
        return filePath == other.filePath && serverName == other.serverName;
    }
};

#pragma once

#include "notes/store/NoteStore.h"

#include <QMutex>
#include <QString>

#include <memory>
#include <vector>

// Internal: the shared state behind LNDatabase handles and everything read
// through them. Store calls are serialised by `mutex`.
struct LNDatabaseImpl {
    QString path;
    QString server;
    std::unique_ptr<store::NoteStore> store;
    std::vector<store::StoreFolderInfo> folders;
    bool foldersRead = false;
    QMutex mutex;

    bool isOpen() const { return store != nullptr; }
};

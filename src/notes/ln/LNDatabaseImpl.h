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
    std::vector<std::shared_ptr<const store::StoreForm>> forms;
    bool formsRead = false;
    QMutex mutex;

    bool isOpen() const { return store != nullptr; }
    // Reads the store's views and folders once, then adds the node of every
    // document after them (call with `mutex` held).
    void readFolders();
    // The form a document's Form item names (store::FindForm), the store's
    // forms read once; null when there is none. Takes `mutex` itself.
    std::shared_ptr<const store::StoreForm> formNamed(const QString& formItem, const QStringList& itemNames);
};

namespace lnimpl {
// The name of the node of every document: the first of "All Documents (every
// document)", "All Documents (every document) 2", ... that no view or folder
// of `folders` has (case aside), so that neither its name nor its output
// folder can be taken for a view's.
QString everyDocumentName(const std::vector<store::StoreFolderInfo>& folders);
}  // namespace lnimpl

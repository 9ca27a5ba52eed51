#pragma once

#include "notes/store/StoreForm.h"
#include "notes/store/StoreItem.h"
#include "notes/store/StoreStatus.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace store {

// A view or folder of a database, as the store lists it.
struct StoreFolderInfo {
    QString name;       // full Notes name, nesting levels separated by a backslash
    bool isFolder = false;
    QString unid;
    uint32_t noteId = 0;
    QString problem;    // set when the entries cannot be listed (unsupported formula, ...)
    // The item the view's first column that shows an item shows (what its
    // entries are listed by); empty for none.
    QString titleItem;
    // Not a design note: the access layer's node that holds every document
    // of the database (allDocumentIds), listed after the views and folders.
    bool everyDocument = false;
};

// A store driver: one open database, read-only. Implementations must be safe
// to call from one thread at a time; the access layer serialises calls.
class NoteStore {
public:
    virtual ~NoteStore() = default;

    // Title of the database (may be empty).
    virtual QString title() const { return QString(); }

    // Every view and folder, in the database's order.
    virtual std::vector<StoreFolderInfo> folders() = 0;

    // Note IDs of the entries of folders()[index], in entry order.
    virtual StoreError folderEntries(size_t index, std::vector<uint32_t>& noteIds) = 0;

    // Loads one document (all items; attachment data stays in the store).
    virtual StoreError loadNote(uint32_t noteId, StoreNote& note) = 0;

    // Writes the attachment's exact bytes to `targetPath` (created new; an
    // existing file there is an error). No partial file is left on failure.
    virtual StoreError detachAttachment(uint32_t noteId, const StoreAttachment& attachment,
                                        const QString& targetPath) = 0;

    // Note IDs of all documents, in the store's order: data notes only, no
    // design notes, no profile documents, no deletion stubs.
    virtual std::vector<uint32_t> allDocumentIds() = 0;

    // Parts of the database that could not be read (damaged buckets, notes
    // whose records fail a check, views or folders whose design note is
    // unreadable), one line each, naming what is lost. Empty when all was read.
    virtual QStringList problems() { return {}; }

    // The forms and subforms of the database with their fields in the order
    // the form lays them out; empty when the store holds no form design.
    virtual std::vector<std::shared_ptr<const StoreForm>> forms() { return {}; }
};

// Opens a database by path and server: picks the driver (".dxl"/".xml" by name
// or by the first bytes: DXL; NSF by signature; "memory:NAME": an in-memory
// store registered by tests; a non-empty server: the Domino driver when built).
std::unique_ptr<NoteStore> openStore(const QString& path, const QString& server, StoreError& error);

// Driver factories register here (each driver file registers itself).
using StoreOpener = std::unique_ptr<NoteStore> (*)(const QString& path, StoreError& error);
struct StoreDriver {
    const char* name;
    // Returns true when the driver claims the file by name or first bytes.
    bool (*claims)(const QString& path, const QByteArray& head);
    StoreOpener open;
};
void registerStoreDriver(const StoreDriver& driver);

// Each built-in driver's registration (src/notes/dxl, src/notes/nsf).
void registerDxlDriver();
void registerNsfDriver();

}  // namespace store

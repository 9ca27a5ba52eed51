#include "notes/dxl/DxlStore.h"
#include "notes/store/NoteStore.h"

namespace store {
namespace {

// A Notes XML file: by its name, or by XML at its start.
bool claimsDxl(const QString& path, const QByteArray& head) {
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".dxl")) || lower.endsWith(QLatin1String(".xml"))) return true;
    QByteArray h = head;
    if (h.startsWith("\xEF\xBB\xBF")) h = h.mid(3);
    h = h.trimmed();
    return h.startsWith("<?xml") || h.startsWith("<database") || h.startsWith("<document") ||
           h.startsWith("<note") || h.startsWith("<!DOCTYPE database");
}

std::unique_ptr<NoteStore> openDxl(const QString& path, StoreError& error) {
    return dxl::DxlStore::open(path, error);
}

}  // namespace

// Registers the Notes XML (DXL) driver.
void registerDxlDriver() {
    registerStoreDriver({"dxl", &claimsDxl, &openDxl});
}

}  // namespace store

#include "notes/nsf/NsfStore.h"
#include "notes/store/NoteStore.h"

#include <QFileInfo>

namespace store {
namespace {

bool claimsNsf(const QString& path, const QByteArray& head) {
    if (head.size() >= 2 && uchar(head[0]) == 0x1A && uchar(head[1]) == 0x00) return true;
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("nsf") || suffix == QLatin1String("ntf");
}

std::unique_ptr<NoteStore> openNsf(const QString& path, StoreError& error) { return nsf::NsfStore::open(path, error); }

}  // namespace

// Registers the native NSF driver.
void registerNsfDriver() { registerStoreDriver({"nsf", claimsNsf, openNsf}); }

}  // namespace store

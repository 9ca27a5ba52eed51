#include "notes/store/StoreItem.h"

namespace store {

const StoreItem* StoreNote::item(const QString& name) const {
    for (const StoreItem& it : items)
        if (it.name.compare(name, Qt::CaseInsensitive) == 0) return &it;
    return nullptr;
}

}  // namespace store

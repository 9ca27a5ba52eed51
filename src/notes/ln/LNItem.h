#pragma once

#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNString.h"
#include "notes/store/StoreItem.h"

#include <memory>

struct LNDatabaseImpl;
class LNNote;

// One item of an opened note. Typed views (LNText, LNDatetimes, LNRichText,
// LNAttachment) are made from it and fail when the type does not match.
class LNItem {
public:
    LNItem() = default;
    LNItem(std::shared_ptr<const store::StoreNote> note, const store::StoreItem* item, const LNNote& owner);

    LNString GetName() const;
    LNITEMTYPE GetType() const;
    bool IsNull() const { return m_item == nullptr; }

    const store::StoreItem* data() const { return m_item; }
    const std::shared_ptr<const store::StoreNote>& note() const { return m_note; }
    const std::shared_ptr<LNDatabaseImpl>& database() const { return m_db; }

private:
    std::shared_ptr<const store::StoreNote> m_note;  // keeps m_item alive
    const store::StoreItem* m_item = nullptr;
    std::shared_ptr<LNDatabaseImpl> m_db;
};

// Maps a store data type to the type LNNote::GetItemType reports.
LNITEMTYPE lnItemTypeOf(uint16_t storeType);

#include "notes/ln/LNItem.h"

#include "notes/ln/LNDocument.h"

LNItem::LNItem(std::shared_ptr<const store::StoreNote> note, const store::StoreItem* item, const LNNote& owner)
    : m_note(std::move(note)), m_item(item), m_db(owner.database()) {}

LNString LNItem::GetName() const {
    if (!m_item) return LNString();
    const QByteArray b = m_item->name.toUtf8();
    return LNString(std::string(b.constData(), size_t(b.size())));
}

LNITEMTYPE LNItem::GetType() const { return m_item ? lnItemTypeOf(m_item->type) : LNITEMTYPE_UNSUPPORTED; }

LNITEMTYPE lnItemTypeOf(uint16_t storeType) {
    switch (storeType) {
        case store::TypeText:
        case store::TypeTextList: return LNITEMTYPE_TEXT;
        case store::TypeComposite: return LNITEMTYPE_RICHTEXT;
        case store::TypeNumber:
        case store::TypeNumberRange: return LNITEMTYPE_NUMBERS;
        case store::TypeTime:
        case store::TypeTimeRange: return LNITEMTYPE_DATETIMES;
        case store::TypeObject: return LNITEMTYPE_OBJECT;
        default: return LNITEMTYPE(storeType);
    }
}

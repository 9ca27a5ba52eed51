#include "notes/store/BodyFallback.h"

namespace store {
namespace {

bool isBodyName(const QString& name) {
    return name.compare(QLatin1String("Body"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Comment"), Qt::CaseInsensitive) == 0;
}

bool hasText(const StoreItem& item) {
    switch (item.type) {
        case TypeComposite:
            return item.richText && !item.richText->plainText().trimmed().isEmpty();
        case TypeText:
        case TypeTextList:
            return !item.texts.join(QString()).trimmed().isEmpty();
        default:
            return !item.unreadable;
    }
}

}  // namespace

bool BodyFallback::bodyHoldsText(const StoreNote& note) {
    for (const StoreItem& item : note.items)
        if (isBodyName(item.name) && hasText(item)) return true;
    return false;
}

std::shared_ptr<const RichTextDoc> BodyFallback::compose(const StoreNote& note) {
    if (bodyHoldsText(note)) return nullptr;
    auto doc = std::make_shared<RichTextDoc>();
    int parts = 0;
    for (const StoreItem& item : note.items) {
        if (item.type != TypeComposite || !item.richText || isBodyName(item.name) ||
            item.name.startsWith(QLatin1Char('$')) || !hasText(item))
            continue;
        doc->blocks.insert(doc->blocks.end(), item.richText->blocks.begin(), item.richText->blocks.end());
        doc->rawRecords += item.richText->rawRecords;
        ++parts;
    }
    if (parts == 0) return nullptr;
    return doc;
}

}  // namespace store

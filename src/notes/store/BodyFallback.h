#pragma once

#include "notes/store/StoreItem.h"

#include <memory>

namespace store {

// The body of a document whose text is in neither Body nor Comment: its other
// rich-text items (not the $ items Notes keeps for itself), in item order,
// as one rich text. Documents such as the chapters of a guide keep their
// text in items named after their form's fields ("title", "text", ...).
class BodyFallback {
public:
    // Whether Body or Comment holds text (or a value of another kind, such as
    // MIME, that is read elsewhere).
    static bool bodyHoldsText(const StoreNote& note);

    // The other rich-text items with text, joined; null when there are none
    // or when Body or Comment holds text.
    static std::shared_ptr<const RichTextDoc> compose(const StoreNote& note);
};

}  // namespace store

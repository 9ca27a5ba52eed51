#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/store/StoreItem.h"

namespace nsf {

class LmbcsConverter;

// An RFC 822 text item (TYPE_RFC822_TEXT, 0x0502): the header items Notes
// keeps for mail received from the Internet. The value is an RFC822ITEMDESC
// (14 bytes: version, flags whose low three bits give the format - address,
// date or text - and the lengths of the parts), then the Notes value (LMBCS
// text, a text list, or a TIMEDATE for dates), then the original header's
// name, delimiter and body.
class Rfc822Text {
public:
    static constexpr uint16_t kType = 0x0502;
    static constexpr size_t kDescriptorSize = 14;
    enum Format : uint32_t { Address = 0, Date = 1, Text = 2 };
    static constexpr uint32_t kFormatMask = 0x7;
    static constexpr uint32_t kTextList = 0x10;

    // Fills `item` with the Notes value: text (or a text list) for addresses
    // and text, a date/time for dates; when that value is missing or cannot
    // be read, the original header body (unfolded; a date as RFC 2822 date
    // when it parses, else as text). Values that fit neither are unreadable.
    static void decode(ByteView value, LmbcsConverter& lmbcs, store::StoreItem& item);

    // The original header body of a value, unfolded and trimmed; empty when
    // the descriptor does not fit.
    static QString headerBody(ByteView value);
};

}  // namespace nsf

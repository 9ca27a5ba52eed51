#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/store/StoreForm.h"

#include <memory>

namespace nsf {

class LmbcsConverter;
struct RawNote;

// Reads a form's design note (class 4): its names from $TITLE, its window
// title from $WindowTitle, and its fields with their labels from the CD
// records of $Body. A CDFIELD record (0x8A, WSIG) is
//   +4  u16 flags, u16 data type, u16 list delimiters
//   +10 number format (4), time format (4), font (4)
//   +22 u16 lengths: default value, input translation, tab order (a value,
//       not a length), input validation, name, description, keyword list
//   +36 the default value, input translation and validation formulas, then
//       the name (LMBCS), the description and the keywords, in that order.
// Every field of the sample forms reads so, to its record's exact end.
class FormDesign {
public:
    // Null for a class-4 note that is no form or subform: pages, framesets,
    // image and file resources, shared actions.
    static std::shared_ptr<store::StoreForm> read(const RawNote& raw, LmbcsConverter& lmbcs);

    // The field name of a CDFIELD record; empty when the record is too short for it.
    static QString fieldName(ByteView record, LmbcsConverter& lmbcs);
};

}  // namespace nsf

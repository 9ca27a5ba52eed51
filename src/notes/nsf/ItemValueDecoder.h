#pragma once

#include "notes/nsf/RawNote.h"
#include "notes/store/StoreItem.h"

namespace nsf {

class LmbcsConverter;

// Stored data types of item values, with the Notes C API's numbers.
enum NsfType : uint16_t {
    NsfInvalid = 0x0000,
    NsfComposite = 0x0001,
    NsfObject = 0x0003,
    NsfNoteRefList = 0x0004,
    NsfNoteLinkList = 0x0007,
    NsfSeal = 0x0009,
    NsfSealData = 0x000A,
    NsfSealList = 0x000B,
    NsfUserData = 0x000E,
    NsfHtml = 0x0015,
    NsfSeal2 = 0x001F,
    NsfError = 0x0100,
    NsfNumber = 0x0300,
    NsfNumberRange = 0x0301,
    NsfTime = 0x0400,
    NsfTimeRange = 0x0401,
    NsfText = 0x0500,
    NsfTextList = 0x0501,
    NsfUserId = 0x0700,
};

// Decodes one stored item value (everything but rich text, which spans parts)
// into the store's item: texts (LMBCS to UTF-16), numbers, date/times and
// ranges; other types keep their bytes in `raw`. A value that does not fit
// its type is marked unreadable with the reason.
class ItemValueDecoder {
public:
    explicit ItemValueDecoder(LmbcsConverter& lmbcs) : m_lmbcs(lmbcs) {}

    void decode(const RawItem& raw, store::StoreItem& item);

    // The store's type number for a stored one.
    static uint16_t storeType(uint16_t nsfType);
    // Whether items of this type mark the note as encrypted.
    static bool isSealType(uint16_t nsfType);

private:
    bool decodeTime(ByteView at, store::NotesTime& t, QString& problem);

    LmbcsConverter& m_lmbcs;
};

}  // namespace nsf

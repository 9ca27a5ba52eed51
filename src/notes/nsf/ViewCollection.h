#pragma once

#include "notes/nsf/ByteView.h"

#include <QString>

#include <vector>

namespace nsf {

// The stored index of a view (its $Collection object): a header whose
// version fixes where a copy of the view's compiled formula starts, that
// copy, a copy of the collation, sometimes 8 further bytes and a 512-byte
// block of leftover memory (starting AA AD), then an ID table of the
// entries. Only the IDs are read; the index may be older than the data.
class ViewCollection {
public:
    static constexpr uint16_t kSignature = 0xCCCC;

    // The entry IDs, ascending. False with `error` when the layout is not one
    // that is known or the table does not decode.
    static bool readIds(ByteView payload, std::vector<uint32_t>& ids, QString& error);

private:
    static bool tableAt(ByteView payload, uint64_t at, std::vector<uint32_t>& ids);
};

}  // namespace nsf

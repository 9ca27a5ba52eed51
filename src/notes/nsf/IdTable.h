#pragma once

#include "notes/nsf/ByteView.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace nsf {

// A stored set of note IDs: a step (4 for note IDs), the ID and run counts, a
// time stamp, then runs of (count - 1, first ID), each run holding
// first, first + step, ... in ascending order.
class IdTable {
public:
    static constexpr size_t kHeaderSize = 18;
    static bool decode(ByteView bytes, std::vector<uint32_t>& ids, QString& error);
};

}  // namespace nsf

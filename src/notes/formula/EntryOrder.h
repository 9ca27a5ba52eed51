#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "notes/formula/FormulaValue.h"

namespace store::formula {

// The order of a view's entries by its sorted column: missing values first in
// both directions, then numbers, date/times and texts; numbers by value,
// date/times by their instant, text without regard to case; a list by its
// first value. The sort is stable: ties keep the order they come in.
class EntryOrder {
  public:
    template <typename T>
    static void sort(std::vector<std::pair<const FormulaValue*, T>>& entries, bool descending) {
        std::stable_sort(entries.begin(), entries.end(), [descending](const auto& a, const auto& b) {
            return before(a.first, b.first, descending);
        });
    }

    // Whether `a` sorts strictly before `b`.
    static bool before(const FormulaValue* a, const FormulaValue* b, bool descending);
};

}  // namespace store::formula

#pragma once

#include <QStringView>

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
    // What an entry sorts by, worked out once per entry (a date/time's instant
    // is not cheap to compute at every comparison).
    struct Key {
        int rank = 0;  // 0 missing, 1 number, 2 time, 3 text
        double number = 0;
        qint64 instant = 0;
        QStringView text;  // into the value, which must outlive the key
    };
    static Key keyOf(const FormulaValue* value);

    template <typename T>
    static void sort(std::vector<std::pair<const FormulaValue*, T>>& entries, bool descending) {
        std::vector<std::pair<Key, size_t>> keyed;
        keyed.reserve(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) keyed.emplace_back(keyOf(entries[i].first), i);
        std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
            return before(a.first, b.first, descending);
        });
        std::vector<std::pair<const FormulaValue*, T>> sorted;
        sorted.reserve(entries.size());
        for (const auto& k : keyed) sorted.push_back(std::move(entries[k.second]));
        entries = std::move(sorted);
    }

    // Whether `a` sorts strictly before `b`.
    static bool before(const Key& a, const Key& b, bool descending);
    static bool before(const FormulaValue* a, const FormulaValue* b, bool descending) {
        return before(keyOf(a), keyOf(b), descending);
    }
};

}  // namespace store::formula

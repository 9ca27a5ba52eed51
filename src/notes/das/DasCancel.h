#pragma once

#include <atomic>
#include <functional>

namespace das {

// Stop requests for server calls in flight. The program's stop flags
// (CNotesConverter::cancelRequested) are watched here; a call also takes an
// optional flag of its own.
class DasCancel {
public:
    static void watch(const std::atomic<int>* flag);
    static void unwatch(const std::atomic<int>* flag);
    // True when any watched flag is set.
    static bool anyRequested();
};

// A cancel test for one call: the watched flags, plus `own` when given.
using CancelCheck = std::function<bool()>;
CancelCheck cancelCheck(const std::atomic<int>* own = nullptr);

}  // namespace das

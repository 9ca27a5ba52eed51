#pragma once

#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace nsf {

// A database keeps several copies of its superblock and of its bucket
// descriptor block; the newest one that reads wins.
struct CopyCandidate {
    uint64_t offset;
    uint32_t writeCount;
};

// Tries the candidates newest first (highest write count; ties in slot order)
// with load(offset, error) and stops at the first that loads. Otherwise error
// says "no WHAT found" or "WHAT unreadable: " and the first copy's reason.
template <typename Load>
bool loadNewestCopy(std::vector<CopyCandidate> candidates, const char* what, Load load, QString& error) {
    if (candidates.empty()) {
        error = QStringLiteral("no %1 found").arg(QLatin1String(what));
        return false;
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const CopyCandidate& a, const CopyCandidate& b) { return a.writeCount > b.writeCount; });
    QString firstError;
    for (const CopyCandidate& c : candidates) {
        QString e;
        if (load(c.offset, e)) return true;
        if (firstError.isEmpty()) firstError = e;
    }
    error = QStringLiteral("%1 unreadable: %2").arg(QLatin1String(what), firstError);
    return false;
}

}  // namespace nsf

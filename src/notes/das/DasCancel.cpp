#include "notes/das/DasCancel.h"

#include <QMutex>

#include <algorithm>
#include <vector>

namespace das {
namespace {

QMutex& flagsMutex() {
    static QMutex m;
    return m;
}
std::vector<const std::atomic<int>*>& flags() {
    static std::vector<const std::atomic<int>*> f;
    return f;
}

}  // namespace

void DasCancel::watch(const std::atomic<int>* flag) {
    if (!flag) return;
    QMutexLocker lock(&flagsMutex());
    flags().push_back(flag);
}

void DasCancel::unwatch(const std::atomic<int>* flag) {
    QMutexLocker lock(&flagsMutex());
    auto& f = flags();
    f.erase(std::remove(f.begin(), f.end(), flag), f.end());
}

bool DasCancel::anyRequested() {
    QMutexLocker lock(&flagsMutex());
    for (const auto* f : flags())
        if (f->load()) return true;
    return false;
}

CancelCheck cancelCheck(const std::atomic<int>* own) {
    return [own] { return (own && own->load()) || DasCancel::anyRequested(); };
}

}  // namespace das

#include "richtext/PictureData.h"

namespace store {

PictureData PictureData::deferred(Maker maker) {
    PictureData d;
    if (!maker) return d;
    d.m_pending = std::make_shared<Pending>();
    d.m_pending->maker = std::move(maker);
    return d;
}

const QByteArray& PictureData::bytes() const {
    if (!m_pending) return m_bytes;
    Pending& p = *m_pending;
    if (!p.made.load(std::memory_order_acquire)) {
        const std::lock_guard<std::mutex> lock(p.mutex);
        if (!p.made.load(std::memory_order_relaxed)) {
            p.bytes = p.maker();
            p.maker = nullptr;  // what it held (the source data) is not needed again
            p.made.store(true, std::memory_order_release);
        }
    }
    return p.bytes;
}

bool PictureData::isDeferred() const { return m_pending && !m_pending->made.load(std::memory_order_acquire); }

}  // namespace store

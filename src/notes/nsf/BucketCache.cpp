#include "notes/nsf/BucketCache.h"

namespace nsf {

std::shared_ptr<const SlotBucket> BucketCache::get(ByteView file, uint64_t offset, QString& error) {
    const auto it = m_map.find(offset);
    if (it != m_map.end()) {
        m_order.splice(m_order.begin(), m_order, it->second.order);
        return it->second.bucket;
    }
    auto bucket = SlotBucket::load(file, offset, error);
    if (!bucket) return nullptr;
    if (m_loaded) m_loaded(file.sub(offset, bucket->bytes().size()));
    if (m_map.size() >= m_capacity && !m_order.empty()) {
        m_map.erase(m_order.back());
        m_order.pop_back();
    }
    m_order.push_front(offset);
    m_map.emplace(offset, Slot{bucket, m_order.begin()});
    return bucket;
}

}  // namespace nsf

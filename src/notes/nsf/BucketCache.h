#pragma once

#include "notes/nsf/SlotBucket.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <unordered_map>

namespace nsf {

// Restored buckets by file offset, least recently used dropped first, so that
// walking a large database keeps a bounded amount of memory.
class BucketCache {
public:
    explicit BucketCache(size_t capacity = 128) : m_capacity(capacity) {}

    std::shared_ptr<const SlotBucket> get(ByteView file, uint64_t offset, QString& error);
    // Called with the file bytes of each bucket once it is loaded (a copy).
    void setLoaded(std::function<void(ByteView)> loaded) { m_loaded = std::move(loaded); }
    void clear() {
        m_map.clear();
        m_order.clear();
    }

private:
    struct Slot {
        std::shared_ptr<const SlotBucket> bucket;
        std::list<uint64_t>::iterator order;
    };
    size_t m_capacity;
    std::function<void(ByteView)> m_loaded;
    std::unordered_map<uint64_t, Slot> m_map;
    std::list<uint64_t> m_order;  // front = most recent
};

}  // namespace nsf

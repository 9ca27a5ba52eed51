#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/nsf/NsfHeader.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace nsf {

class LmbcsConverter;

// The bucket descriptor block: the list of RRV buckets and the table of item
// names (each with the data type most used with it). Two copies; the valid
// one with the highest write count wins.
class BucketDescriptorBlock {
public:
    static constexpr uint16_t kSignature = 0x0001;

    struct RrvBucketRef {
        uint32_t pos = 0;        // POS, flag bit cleared (0 in Release 4 files)
        bool nonData = false;    // design notes and objects
        uint32_t initialId = 0;
        uint64_t offset = 0;     // file offset of the bucket
    };
    struct ItemName {
        QString name;
        uint16_t type = 0;
    };

    bool load(ByteView file, const NsfHeader& header, LmbcsConverter& lmbcs, QString& error);

    const std::vector<RrvBucketRef>& rrvBuckets() const { return m_rrvBuckets; }
    const std::vector<ItemName>& itemNames() const { return m_names; }
    uint32_t writeCount() const { return m_writeCount; }

private:
    // Release 4: one uncompressed block at a byte offset (see loadRelease4).
    bool loadRelease4(ByteView file, const NsfHeader& header, LmbcsConverter& lmbcs, QString& error);
    bool loadCopy(ByteView file, uint64_t offset, LmbcsConverter& lmbcs, QString& error);

    uint32_t m_writeCount = 0;
    std::vector<RrvBucketRef> m_rrvBuckets;
    std::vector<ItemName> m_names;
};

}  // namespace nsf

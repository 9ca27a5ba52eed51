#pragma once

#include "notes/nsf/ByteView.h"
#include "notes/nsf/SlotBucket.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace nsf {

// Item flags as stored in the item table.
enum ItemFlag : uint16_t {
    ItemSign = 0x0001,
    ItemSeal = 0x0002,
    ItemSummary = 0x0004,
    ItemNoTypeWord = 0x0008,  // the value has no leading type word: the name's type applies
    ItemPlaceholder = 0x0100,
};

// One item as stored: its name, flags, data type and value bytes (type word
// removed). The value points into storage the owning RawNote keeps alive.
struct RawItem {
    uint16_t nameIndex = 0;
    QString name;
    uint16_t flags = 0;
    uint16_t type = 0;
    uint8_t duplicateIndex = 0;
    ByteView value;
    QString problem;  // set when the value could not be located
};

// One note record with its items located.
struct RawNote {
    static constexpr uint16_t kNonSummaryInline = 0x2000;

    uint32_t noteId = 0;
    uint16_t noteClass = 0;  // with the "default note" bit 0x8000
    uint16_t noteFlags = 0;
    uint8_t oid[28] = {};    // file (8), note (8), sequence (4), sequence time (8)
    uint32_t parentId = 0;
    uint32_t summaryLength = 0;
    uint32_t nonSummaryLength = 0;
    bool nonData = false;
    std::vector<RawItem> items;
    std::vector<uint32_t> responseIds;
    // Storage the item values point into.
    std::shared_ptr<const SlotBucket> summaryBucket;
    std::shared_ptr<const SlotBucket> nonSummaryBucket;

    uint16_t classMasked() const { return noteClass & 0x7FFF; }
    // The 32 hexadecimal digits of the universal note ID.
    QString unid() const;
    // First item of that name (case-insensitive), or null.
    const RawItem* item(const QString& name) const;
};

}  // namespace nsf

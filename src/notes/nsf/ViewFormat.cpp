#include "notes/nsf/ViewFormat.h"

#include "notes/nsf/CompiledFormula.h"
#include "notes/nsf/LmbcsConverter.h"

namespace nsf {
namespace {

constexpr uint64_t kTableSize = 10;
constexpr uint64_t kColumnSize = 32;
constexpr uint16_t kMaxColumns = 1024;
constexpr uint8_t kVersion = 1;
constexpr uint16_t kColumnSignature = 0x4356;  // "VC" at the start of every column descriptor

}  // namespace

bool ViewFormat::parse(ByteView value, LmbcsConverter& lmbcs, QString& error) {
    m_columns.clear();
    if (!value.has(0, kTableSize)) {
        error = QStringLiteral("the view format is cut short");
        return false;
    }
    // The header starts with the format's version, 1 in every view seen.
    if (value.u8(0) != kVersion) {
        error = QStringLiteral("the view format has the unknown version %1").arg(value.u8(0));
        return false;
    }
    const uint16_t count = value.u16(2);
    if (count > kMaxColumns || !value.has(kTableSize, kColumnSize * count)) {
        error = QStringLiteral("the view format's %1 columns do not fit it").arg(count);
        return false;
    }
    uint64_t at = kTableSize + kColumnSize * count;
    std::vector<Column> columns(count);
    for (uint16_t i = 0; i < count; ++i) {
        const uint64_t d = kTableSize + kColumnSize * i;
        Column& c = columns[i];
        if (value.u16(d) != kColumnSignature) {
            error = QStringLiteral("column %1 of the view format has no column signature").arg(i + 1);
            return false;
        }
        c.flags1 = value.u16(d + 2);
        const uint64_t nameSize = value.u16(d + 4), titleSize = value.u16(d + 6), formulaSize = value.u16(d + 8),
                       constantSize = value.u16(d + 10);
        if (!value.has(at, nameSize + titleSize + formulaSize + constantSize)) {
            error = QStringLiteral("column %1 of the view format runs past it").arg(i + 1);
            return false;
        }
        c.itemName = lmbcs.toUnicode(value.sub(at, nameSize));
        at += nameSize;
        c.title = lmbcs.toUnicode(value.sub(at, titleSize));
        at += titleSize;
        c.formula = value.sub(at, formulaSize);
        at += formulaSize + constantSize;
        if (formulaSize == 0) {
            c.shownItem = c.itemName;
        } else {
            const QString item = CompiledFormula::singleItem(c.formula, lmbcs);
            if (!item.isEmpty() && item.compare(c.itemName, Qt::CaseInsensitive) == 0) c.shownItem = item;
        }
    }
    m_columns = std::move(columns);
    return true;
}

const ViewFormat::Column* ViewFormat::sortColumn() const {
    for (const Column& c : m_columns)
        if ((c.flags1 & kSort) && !c.shownItem.isEmpty()) return &c;
    return nullptr;
}

}  // namespace nsf

#pragma once

#include "notes/nsf/ByteView.h"

#include <QString>

#include <vector>

namespace nsf {

class LmbcsConverter;

// The columns of a view's $VIEWFORMAT item: a VIEW_TABLE_FORMAT (10 bytes),
// one VIEW_COLUMN_FORMAT (32 bytes, signature "VC") per column, then per column its item
// name, title, compiled formula and constant value, with the sizes its
// descriptor gives.
class ViewFormat {
public:
    static constexpr uint16_t kSort = 0x0001;
    static constexpr uint16_t kSortDescending = 0x0004;

    struct Column {
        uint16_t flags1 = 0;
        QString itemName;
        QString title;
        ByteView formula;
        // The item the column shows when its formula is nothing but that
        // item (or it has no formula); empty for computed columns.
        QString shownItem;
    };

    // False with `error` when the descriptors do not fit the value.
    bool parse(ByteView value, LmbcsConverter& lmbcs, QString& error);

    const std::vector<Column>& columns() const { return m_columns; }
    // The first sorted column that shows an item; null when there is none.
    const Column* sortColumn() const;

private:
    std::vector<Column> m_columns;
};

}  // namespace nsf

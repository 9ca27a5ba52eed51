#pragma once

#include "notes/formula/FormulaExpression.h"
#include "notes/nsf/ByteView.h"

#include <QString>

#include <memory>
#include <vector>

namespace nsf {

class LmbcsConverter;
class RrvMap;
struct RawNote;

// What a view's or folder's design note says about its entries: the
// selection (from $FORMULA) when every part of it can be evaluated, the IDs
// of the stored view index ($Collection) when it can be read, and the sorted
// column that orders the entries (from $VIEWFORMAT).
struct ViewDesign {
    std::shared_ptr<const store::formula::FormulaExpression> selection;
    QString selectionProblem;       // why there is no selection
    bool navigator = false;         // a navigator ("G" in $Flags): a map of the views, no entries
    bool indexed = false;
    std::vector<uint32_t> indexIds;  // ascending
    QString indexProblem;           // why there are no index IDs
    QString sortItem;               // empty: note ID order
    QString titleItem;              // the item of the first column that shows one
    QString formatProblem;          // why $VIEWFORMAT (the columns, the sort) cannot be read
    bool descending = false;

    static ViewDesign read(const RawNote& raw, ByteView file, const RrvMap& rrv, LmbcsConverter& lmbcs);
};

}  // namespace nsf

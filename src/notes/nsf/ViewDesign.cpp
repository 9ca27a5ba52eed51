#include "notes/nsf/ViewDesign.h"

#include "notes/nsf/CompiledFormula.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/ObjectReader.h"
#include "notes/nsf/RawNote.h"
#include "notes/nsf/ViewCollection.h"
#include "notes/nsf/ViewFormat.h"

namespace nsf {
namespace {

constexpr uint16_t kObjectCollection = 1;
constexpr uint16_t kTypeFormula = 0x0600;

}  // namespace

ViewDesign ViewDesign::read(const RawNote& raw, ByteView file, const RrvMap& rrv, LmbcsConverter& lmbcs) {
    ViewDesign v;
    const RawItem* formula = nullptr;
    const RawItem* collection = nullptr;
    const RawItem* format = nullptr;
    for (const RawItem& i : raw.items) {
        if (!i.problem.isEmpty()) continue;
        if (!formula && i.type == kTypeFormula && i.name.compare(QLatin1String("$FORMULA"), Qt::CaseInsensitive) == 0)
            formula = &i;
        else if (!collection && i.type == NsfObject && i.value.u16(0) == kObjectCollection &&
                 i.name.compare(QLatin1String("$Collection"), Qt::CaseInsensitive) == 0)
            collection = &i;
        else if (!format && i.name.compare(QLatin1String("$VIEWFORMAT"), Qt::CaseInsensitive) == 0)
            format = &i;
    }

    if (const RawItem* flags = raw.item(QStringLiteral("$Flags")); flags && flags->problem.isEmpty()) {
        store::StoreItem item;
        ItemValueDecoder(lmbcs).decode(*flags, item);
        v.navigator = item.texts.value(0).contains(QLatin1Char('G'));
    }

    if (formula)
        v.selection = CompiledFormula::selection(formula->value, lmbcs, v.selectionProblem);
    else
        v.selectionProblem = QStringLiteral("the view has no selection formula");

    if (!collection) {
        v.indexProblem = QStringLiteral("no stored index");
    } else {
        QString e;
        const ByteView data = ObjectReader(file, rrv).storedData(collection->value.u32(2), e);
        if (!data.data())
            v.indexProblem = QStringLiteral("the stored index cannot be read: %1").arg(e);
        else if (!ViewCollection::readIds(data, v.indexIds, e))
            v.indexProblem = QStringLiteral("the stored index cannot be read: %1").arg(e);
        else
            v.indexed = true;
    }

    if (format) {
        ViewFormat vf;
        QString e;
        if (vf.parse(format->value, lmbcs, e)) {
            for (const ViewFormat::Column& c : vf.columns()) {
                if (c.shownItem.isEmpty()) continue;
                v.titleItem = c.shownItem;
                break;
            }
            if (const ViewFormat::Column* c = vf.sortColumn()) {
                v.sortItem = c->shownItem;
                v.descending = (c->flags1 & ViewFormat::kSortDescending) != 0;
            }
        } else {
            // The entries would come in note ID order instead of the view's: say so.
            v.formatProblem = e;
        }
    }
    return v;
}

}  // namespace nsf

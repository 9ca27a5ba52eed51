#include "notes/formula/EntryOrder.h"

namespace store::formula {
namespace {

int compareKeys(const EntryOrder::Key& a, const EntryOrder::Key& b) {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    switch (a.rank) {
        case 1:
            return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
        case 2:
            return a.instant < b.instant ? -1 : (a.instant > b.instant ? 1 : 0);
        case 3:
            return a.text.compare(b.text, Qt::CaseInsensitive);
        default:
            return 0;
    }
}

}  // namespace

EntryOrder::Key EntryOrder::keyOf(const FormulaValue* v) {
    Key k;
    if (!v || v->size() == 0) return k;
    switch (v->kind()) {
        case FormulaValue::Kind::Number:
            k.rank = 1;
            k.number = v->numberList().front();
            break;
        case FormulaValue::Kind::Time:
            k.rank = 2;
            k.instant = v->timeList().front().instantMs();
            break;
        case FormulaValue::Kind::Text:
            k.rank = 3;
            k.text = v->textList().front();
            break;
    }
    return k;
}

bool EntryOrder::before(const Key& a, const Key& b, bool descending) {
    if (a.rank == 0 || b.rank == 0) return a.rank == 0 && b.rank != 0;
    const int c = compareKeys(a, b);
    return descending ? c > 0 : c < 0;
}

}  // namespace store::formula

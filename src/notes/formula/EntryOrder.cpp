#include "notes/formula/EntryOrder.h"

namespace store::formula {
namespace {

struct SortKey {
    int rank = 0;  // 0 missing, 1 number, 2 time, 3 text
    double number = 0;
    qint64 instant = 0;
    const QString* text = nullptr;
};

SortKey sortKey(const FormulaValue* v) {
    SortKey k;
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
            k.text = &v->textList().front();
            break;
    }
    return k;
}

int compareKeys(const SortKey& a, const SortKey& b) {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    switch (a.rank) {
        case 1:
            return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
        case 2:
            return a.instant < b.instant ? -1 : (a.instant > b.instant ? 1 : 0);
        case 3:
            return a.text->compare(*b.text, Qt::CaseInsensitive);
        default:
            return 0;
    }
}

}  // namespace

bool EntryOrder::before(const FormulaValue* a, const FormulaValue* b, bool descending) {
    const SortKey ka = sortKey(a), kb = sortKey(b);
    if (ka.rank == 0 || kb.rank == 0) return ka.rank == 0 && kb.rank != 0;
    const int c = compareKeys(ka, kb);
    return descending ? c > 0 : c < 0;
}

}  // namespace store::formula

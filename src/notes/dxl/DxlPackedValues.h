#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <utility>
#include <vector>

#include "notes/formula/FormulaValue.h"

namespace store::dxl {

// The values of one document that selection formulas and sorted columns use,
// packed into a few bytes: per value its item name id, kind and count, then
// texts in UTF-8, numbers as doubles, date/times as day, milliseconds and
// zone. An index of a large file holds one such run per document instead of
// a list of FormulaValues (a tenth of the memory); values are unpacked only
// while a formula looks at them.
class DxlPackedValues {
  public:
    using Values = std::vector<std::pair<int, formula::FormulaValue>>;

    static void append(QByteArray& out, int nameId, const formula::FormulaValue& value);
    static QByteArray pack(const Values& values);
    // Every value of a run (in the order they were packed).
    static Values unpackAll(QByteArrayView packed);
    // The value of item `nameId`; false when the run has none.
    static bool find(QByteArrayView packed, int nameId, formula::FormulaValue& value);
    static bool contains(QByteArrayView packed, int nameId);

    // What an entry sorts by (see formula::EntryOrder): the first value of
    // item `nameId`, read in place. `text` points into `packed`.
    struct SortKey {
        int rank = 0;        // 0 missing, 1 number, 2 date/time, 3 text
        double number = 0;
        qint64 instant = 0;  // milliseconds since the epoch, as NotesTime::instantMs()
        const char* text = nullptr;
        qsizetype textSize = 0;  // UTF-8 bytes
    };
    // `from`: where to start looking, an offset valueOffset() gave.
    static SortKey sortKey(QByteArrayView packed, int nameId, qsizetype from = 0);
    // Where item `nameId`'s value starts in `packed`; -1 when there is none.
    static qsizetype valueOffset(QByteArrayView packed, int nameId);
    // Below zero when `a` sorts before `b`, above when after, zero for a tie:
    // missing values first in both directions, then numbers, date/times and
    // texts (without regard to case).
    static int order(const SortKey& a, const SortKey& b, bool descending);
};

// Where the packed runs of an index live: large blocks, so that neither
// one allocation per document nor one growing array is needed.
class DxlValueArena {
  public:
    // Stores a run; returns its handle for bytes().
    quint32 add(const QByteArray& packed);
    QByteArrayView bytes(quint32 handle, quint32 size) const;

  private:
    static constexpr qsizetype kBlock = 1 << 20;
    static constexpr quint32 kLarge = 0x80000000u;
    std::vector<QByteArray> m_blocks;
    std::vector<QByteArray> m_large;  // runs larger than a block's share
};

}  // namespace store::dxl

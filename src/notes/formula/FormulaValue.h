#pragma once

#include <QStringList>
#include <variant>
#include <vector>

#include "notes/store/NotesTime.h"

namespace store {
struct StoreItem;
}

namespace store::formula {

// A value of the formula language as selection formulas and view sorting see
// it: a list of texts, numbers or date/times. A missing item reads as "".
// Kept small (one list at a time): the index holds one per document and item.
class FormulaValue {
  public:
    enum class Kind : uint8_t { Text, Number, Time };

    FormulaValue() = default;
    static FormulaValue text(const QString& t) { return texts(QStringList{t}); }
    static FormulaValue texts(QStringList list) {
        FormulaValue v;
        v.m_value = std::move(list);
        return v;
    }
    static FormulaValue number(double n) { return numbers({n}); }
    static FormulaValue numbers(std::vector<double> list) {
        FormulaValue v;
        v.m_value = std::move(list);
        return v;
    }
    // The value an item gives a formula: texts, numbers, date/times (a range
    // as its two ends), rich text as its plain text; "" for anything else.
    static FormulaValue fromItem(const StoreItem& item);
    static FormulaValue times(std::vector<NotesTime> list) {
        FormulaValue v;
        v.m_value = std::move(list);
        return v;
    }

    Kind kind() const { return Kind(m_value.index()); }
    // The list of the value's kind (empty for another kind).
    const QStringList& textList() const;
    const std::vector<double>& numberList() const;
    const std::vector<NotesTime>& timeList() const;
    int size() const;
    // The values as texts (numbers and date/times in their text form).
    QStringList asTexts() const;
    // True for a number value whose first value is not zero.
    bool isTrue() const;

  private:
    std::variant<QStringList, std::vector<double>, std::vector<NotesTime>> m_value;
};

}  // namespace store::formula

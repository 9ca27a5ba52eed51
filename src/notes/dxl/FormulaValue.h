#pragma once

#include "notes/store/NotesTime.h"

#include <QStringList>

#include <vector>

namespace store::dxl {

// A value of the formula language as selection formulas and view sorting see
// it: a list of texts, numbers or date/times. A missing item reads as "".
struct FormulaValue {
    enum class Kind : uint8_t { Text, Number, Time };
    Kind kind = Kind::Text;
    QStringList texts;
    std::vector<double> numbers;
    std::vector<NotesTime> times;

    static FormulaValue text(const QString& t) {
        FormulaValue v;
        v.texts << t;
        return v;
    }
    static FormulaValue number(double n) {
        FormulaValue v;
        v.kind = Kind::Number;
        v.numbers.push_back(n);
        return v;
    }
    int size() const {
        switch (kind) {
            case Kind::Text: return int(texts.size());
            case Kind::Number: return int(numbers.size());
            case Kind::Time: return int(times.size());
        }
        return 0;
    }
    // The values as texts (numbers and date/times in their text form).
    QStringList asTexts() const;
    // True for a number value whose first value is not zero.
    bool isTrue() const { return kind == Kind::Number && !numbers.empty() && numbers.front() != 0.0; }
};

}  // namespace store::dxl

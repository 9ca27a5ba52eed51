#pragma once

#include <QString>
#include <vector>

namespace store::dxl {

// Splits formula text into tokens. Tokens the selection subset does not know
// (+, :=, [keywords], ...) still come out, as Kind::Other, so that the parser
// can name them.
struct FormulaToken {
    enum class Kind { Text, Number, Name, Function, Operator, Other, End };
    Kind kind = Kind::End;
    QString text;  // the literal's value, the name, the operator
    double number = 0;
    int position = 0;
};

class FormulaTokenizer {
  public:
    // Returns false and sets `problem` on text that cannot be split (an
    // unterminated string).
    static bool tokenize(const QString& text, std::vector<FormulaToken>& tokens, QString& problem);
};

}  // namespace store::dxl

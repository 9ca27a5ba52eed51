#pragma once

#include "notes/formula/FormulaExpression.h"
#include "notes/nsf/ByteView.h"

#include <QString>

#include <memory>
#include <vector>

namespace nsf {

class LmbcsConverter;

// A compiled formula as Notes stores it (TYPE_FORMULA items such as $FORMULA,
// and the column formulas of $VIEWFORMAT): a u16 total length, then records
// [u16 type][u16 length with this header][payload]. Record 0 holds the main
// expression; its code is reverse Polish notation of u16 opcodes, of which
// only literals, item references and jumps carry inline operands.
class CompiledFormula {
public:
    struct Record {
        uint16_t type = 0;
        ByteView payload;
    };
    struct Token {
        uint16_t opcode = 0;
        uint32_t offset = 0;  // in the code
        QString text;         // text literal or item name
        double number = 0;
        uint16_t operand = 0; // jump distance
    };

    static constexpr uint16_t kRecordMain = 0;
    static constexpr uint16_t kRecordColumn = 2;  // u16 name length, the name (padded to even), the code
    static constexpr uint16_t kOpText = 0x0001;
    static constexpr uint16_t kOpEnd = 0x0003;
    static constexpr uint16_t kOpMarker = 0x0004;
    static constexpr uint16_t kOpItem = 0x0005;
    static constexpr uint16_t kOpNumber = 0x0010;

    // Splits an item value into its records. False with `error` when they do
    // not fit the value.
    static bool records(ByteView value, std::vector<Record>& out, QString& error);

    // Splits code into tokens up to and including the end opcode. False with
    // `error` on an operand that runs past the code or code without an end.
    static bool tokenize(ByteView code, LmbcsConverter& lmbcs, std::vector<Token>& out, QString& error);

    // Builds the expression of tokenized code when every opcode is one whose
    // meaning is known; otherwise null, and `problem` names what is not.
    static std::unique_ptr<store::formula::FormulaExpression> build(const std::vector<Token>& tokens,
                                                                    QString& problem);

    // The selection of a view: the main record of its $FORMULA value, read
    // and built. Null with `problem` when it cannot be evaluated.
    static std::unique_ptr<store::formula::FormulaExpression> selection(ByteView value, LmbcsConverter& lmbcs,
                                                                        QString& problem);

    // The item a column's formula (its column or main record) names when it
    // is nothing but one item reference; empty otherwise.
    static QString singleItem(ByteView value, LmbcsConverter& lmbcs);
};

}  // namespace nsf

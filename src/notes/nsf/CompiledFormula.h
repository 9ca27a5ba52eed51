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
// only literals, item references, keywords and jumps carry inline operands:
//   0x0000 number: an 8-byte IEEE double
//   0x0001 text: u16 length, LMBCS bytes, padded to even
//   0x0002 keyword ([CN], [Abbreviate], ...): 8 bytes
//   0x0005 item reference: u16 length, the name (ended early by a NUL, after
//          which the compiler keeps bytes of its own), padded to even
//   0x00AE jump: u16;  0x00AF conditional jump (@If): two u16
// With these rules every formula of the sample databases (1,331 records)
// tokenizes to one 0x0003 that ends its code exactly.
//
// An operator's or @function's opcode is its argument count in the high byte
// and the function in the low byte: 0x0156 is @Text with one argument, 0x0256
// with two. The meanings the evaluator knows, and how each was established:
//   0x0003 end; 0x0004 parenthesis marker (no value)
//   0x020A =  0x020B !=  0x021C &  0x021D |  0x021F : (list)
//   0x0066 @All; 0x0168 @IsAvailable(item)
//      (selections agree with the fresh view indexes the databases store)
//   0x0159 @IsUnavailable(item): the address book's ($Users), ($ServerAccess)
//      and Groups formulas read "@IsUnavailable(GroupType) | GroupType = "0"",
//      the complement of 0x0168 (with @IsAvailable the test would be the same
//      as "GroupType = ..." alone: a missing item reads as "")
//   0x0247 @Contains(text; part): "@If(@Contains(Form; "Log"); "Archive Logs";
//      "Archive Profile")" beside the selection @Contains(Form; "Archive"),
//      @Contains(name; "/"), @Contains(name; "=") before @Name, "Last, First"
//      made only when a name does not contain ","
//   0x0072 @Attachments: the mail views' icon column "@If(@Attachments; 5; 0)"
//      (the formula the mail template is documented to use), a view named
//      Attachments selecting @Attachments with the column "#" showing it
//   0x002C @Now: no argument, a date/time (the argument of @Date in a
//      "days open" column "(@Date(@Now) - @Date(DateReceived)) / 86400"); as a
//      selection it selects nothing, as the stored index of such a view says.
//      @Today would read the same on the samples.
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
        uint16_t operand = 0; // jump distance (the first of a conditional jump's two)
    };

    static constexpr uint16_t kRecordMain = 0;
    static constexpr uint16_t kRecordColumn = 2;  // u16 name length, the name (padded to even), the code
    static constexpr uint16_t kOpNumber = 0x0000;
    static constexpr uint16_t kOpText = 0x0001;
    static constexpr uint16_t kOpKeyword = 0x0002;
    static constexpr uint16_t kOpEnd = 0x0003;
    static constexpr uint16_t kOpMarker = 0x0004;
    static constexpr uint16_t kOpItem = 0x0005;
    static constexpr uint16_t kOpJump = 0x00AE;
    static constexpr uint16_t kOpJumpIfFalse = 0x00AF;

    // Splits an item value into its records. False with `error` when they do
    // not fit the value.
    static bool records(ByteView value, std::vector<Record>& out, QString& error);

    // Splits code into tokens up to and including the end opcode. False with
    // `error` on an operand that runs past the code or code without an end.
    static bool tokenize(ByteView code, LmbcsConverter& lmbcs, std::vector<Token>& out, QString& error);

    // Builds the expression of tokenized code when every opcode is one whose
    // meaning is known; otherwise null, and `problem` names what is not.
    // `values`: also the opcodes of formulas that compute a value (+, @If,
    // @Text, @IsNewDoc), which selections are not read with.
    static std::unique_ptr<store::formula::FormulaExpression> build(const std::vector<Token>& tokens,
                                                                    QString& problem, bool values = false);

    // The selection of a view: the main record of its $FORMULA value, read
    // and built. Null with `problem` when it cannot be evaluated.
    static std::unique_ptr<store::formula::FormulaExpression> selection(ByteView value, LmbcsConverter& lmbcs,
                                                                        QString& problem);

    // A formula that computes a value, such as a form's window title: the
    // main record, read and built with the value opcodes. Null with
    // `problem` when it cannot be evaluated.
    static std::unique_ptr<store::formula::FormulaExpression> value(ByteView value, LmbcsConverter& lmbcs,
                                                                    QString& problem);

    // The item a column's formula (its column or main record) names when it
    // is nothing but one item reference; empty otherwise.
    static QString singleItem(ByteView value, LmbcsConverter& lmbcs);
};

}  // namespace nsf

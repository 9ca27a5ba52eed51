#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "notes/formula/FormulaExpression.h"

namespace store::dxl {

using formula::FormulaValue;

// A view's selection formula, restricted to the part of the formula language
// that selects mail-like documents: SELECT, text and number literals, item
// names, = != < > <= >=, & | !, parentheses and the functions @All, @True,
// @False, @IsAvailable, @IsUnavailable, @IsMember, @IsNotMember, @Contains,
// @Begins, @Ends, @LowerCase, @UpperCase and @Trim.
//
// The tree it gives is evaluated by formula::FormulaExpression, as compiled
// formulas of NSF files are. "!" binds looser than a comparison and tighter
// than "&" and "|", which share one level and group from the left.
class SelectionFormula {
  public:
    // Looks an item up by name (any case); null when the document has none.
    using ItemLookup = formula::FormulaExpression::ItemLookup;

    // Parses `text`. On anything outside the supported part, returns null and
    // says what in `problem` ("@Today is not supported", ...).
    static std::unique_ptr<SelectionFormula> parse(const QString& text, QString& problem);

    // Parses a formula that computes a value, such as a form's window title:
    // the same part of the language with "+" and @If, @Text and @IsNewDoc.
    static std::shared_ptr<const formula::FormulaExpression> parseValue(const QString& text, QString& problem);

    ~SelectionFormula();
    SelectionFormula(const SelectionFormula&) = delete;
    SelectionFormula& operator=(const SelectionFormula&) = delete;

    bool selects(const ItemLookup& lookup) const;
    // The item names the formula reads, lower-cased.
    const QStringList& itemNames() const;

  private:
    SelectionFormula();
    std::unique_ptr<formula::FormulaExpression> m_expression;
};

}  // namespace store::dxl

#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "notes/formula/FormulaValue.h"

namespace store::formula {

// One node of a selection formula, whatever it was read from (formula text in
// Notes XML, compiled formula code in NSF files).
struct FormulaNode {
    enum class Type { Literal, Item, Not, And, Or, Compare, Call, List, Plus };
    Type type = Type::Literal;
    FormulaValue literal;
    // Item name (lower-cased), comparison operator ("=", "!=", "<", ">",
    // "<=", ">=") or function name (lower-cased, with its "@").
    QString name;
    std::vector<std::unique_ptr<FormulaNode>> children;
    int depth = 1;  // levels of the tree below and including this node

    static std::unique_ptr<FormulaNode> literalNode(FormulaValue v);
    static std::unique_ptr<FormulaNode> item(const QString& name);
    // A node over `children`; its depth follows from theirs.
    static std::unique_ptr<FormulaNode> make(Type type, const QString& name,
                                             std::vector<std::unique_ptr<FormulaNode>> children);
};

// A selection formula as a tree, and the one place where its values are
// compared and its functions evaluated, so that every driver selects alike:
// comparisons are true when any pair of values compares so; text compares
// exactly; values of different kinds never compare equal; a missing item and
// an empty list read as "".
class FormulaExpression {
  public:
    // Looks an item up by name (lower-cased); null when the document has none.
    using ItemLookup = std::function<const FormulaValue*(const QString& name)>;

    // The name under which @Attachments asks the lookup for the number of the
    // document's attachments (a number value); no item can have it.
    static inline const QString kAttachmentCount = QStringLiteral("@attachments");

    // Deeper trees are refused by the readers: evaluation recurses once per level.
    static constexpr int kMaxDepth = 200;

    explicit FormulaExpression(std::unique_ptr<FormulaNode> root);
    ~FormulaExpression();
    FormulaExpression(const FormulaExpression&) = delete;
    FormulaExpression& operator=(const FormulaExpression&) = delete;

    bool selects(const ItemLookup& lookup) const;
    FormulaValue evaluate(const ItemLookup& lookup) const;
    // The item names the formula reads, lower-cased, in order of appearance;
    // kAttachmentCount among them when it calls @Attachments.
    const QStringList& itemNames() const { return m_itemNames; }

    // The functions the evaluator knows (lower-cased, with "@") and their
    // argument counts; null for any other.
    struct FunctionInfo {
        const char* name;
        int minArgs;
        int maxArgs;
    };
    static const FunctionInfo* function(const QString& lowerName);
    // The same, with the functions that compute a value rather than select
    // (window titles): @If, @Text, @IsNewDoc, which a selection never needs.
    static const FunctionInfo* valueFunction(const QString& lowerName);

  private:
    std::unique_ptr<FormulaNode> m_root;
    QStringList m_itemNames;
};

}  // namespace store::formula

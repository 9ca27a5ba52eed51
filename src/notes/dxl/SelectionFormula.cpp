#include "notes/dxl/SelectionFormula.h"

#include <QRegularExpression>

#include "notes/dxl/FormulaTokenizer.h"

namespace store::dxl {

namespace {

using Node = formula::FormulaNode;
using Kind = FormulaToken::Kind;

// Deeper formulas are refused: evaluation recurses once per level.
constexpr int kMaxDepth = formula::FormulaExpression::kMaxDepth;

class Parser {
  public:
    // `values`: the formula computes a value (a window title): "+" and the
    // value functions are read as well.
    Parser(std::vector<FormulaToken> tokens, bool values) : m_tokens(std::move(tokens)), m_values(values) {}

    std::unique_ptr<Node> parseFormula(QString& problem) {
        // SELECT is optional; any case.
        if (peek().kind == Kind::Name &&
            peek().text.compare(QLatin1String("select"), Qt::CaseInsensitive) == 0)
            ++m_pos;
        auto root = parseLogic();
        while (root && isOp(QStringLiteral(";"))) ++m_pos;  // trailing statement separators
        if (root && peek().kind != Kind::End) fail(peek());
        if (!root || !m_problem.isEmpty()) {
            problem = m_problem;
            return nullptr;
        }
        return root;
    }

  private:
    const FormulaToken& peek() const { return m_tokens[m_pos]; }

    std::unique_ptr<Node> tooDeep() {
        if (m_problem.isEmpty()) m_problem = QStringLiteral("formula nested too deeply");
        return nullptr;
    }

    // Sets the node's depth from its children; null when it is too deep.
    std::unique_ptr<Node> finish(std::unique_ptr<Node> n) {
        for (const auto& c : n->children) n->depth = std::max(n->depth, c->depth + 1);
        return n->depth > kMaxDepth ? tooDeep() : std::move(n);
    }
    bool isOp(const QString& op) const { return peek().kind == Kind::Operator && peek().text == op; }

    std::unique_ptr<Node> fail(const FormulaToken& t) {
        if (!m_problem.isEmpty()) return nullptr;
        switch (t.kind) {
            case Kind::End:
                m_problem = QStringLiteral("incomplete formula");
                break;
            case Kind::Function:
                m_problem = t.text;
                break;
            case Kind::Other:
                m_problem = t.text == QLatin1String(":=") ? QStringLiteral("assignment :=")
                                                          : QStringLiteral("operator %1").arg(t.text);
                break;
            case Kind::Name:
                m_problem = QStringLiteral("keyword %1").arg(t.text.toUpper());
                break;
            default:
                m_problem =
                    QStringLiteral("unexpected \"%1\" at position %2").arg(t.text).arg(t.position + 1);
        }
        return nullptr;
    }

    // logic := unary (('&' | '|') unary)*
    std::unique_ptr<Node> parseLogic() {
        auto left = parseUnary();
        while (left && (isOp(QStringLiteral("&")) || isOp(QStringLiteral("|")))) {
            auto n = std::make_unique<Node>();
            n->type = peek().text == QLatin1String("&") ? Node::Type::And : Node::Type::Or;
            ++m_pos;
            auto right = parseUnary();
            if (!right) return nullptr;
            n->children.push_back(std::move(left));
            n->children.push_back(std::move(right));
            left = finish(std::move(n));
        }
        return left;
    }

    // unary := '!' unary | compare
    std::unique_ptr<Node> parseUnary() {
        if (isOp(QStringLiteral("!"))) {
            ++m_pos;
            if (++m_nesting > kMaxDepth) return tooDeep();
            auto operand = parseUnary();
            --m_nesting;
            if (!operand) return nullptr;
            auto n = std::make_unique<Node>();
            n->type = Node::Type::Not;
            n->children.push_back(std::move(operand));
            return finish(std::move(n));
        }
        return parseCompare();
    }

    // compare := sum (op sum)*
    std::unique_ptr<Node> parseCompare() {
        auto left = parseSum();
        static const QStringList ops = {QStringLiteral("="), QStringLiteral("!="), QStringLiteral("<"),
                                        QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        while (left && peek().kind == Kind::Operator && ops.contains(peek().text)) {
            auto n = std::make_unique<Node>();
            n->type = Node::Type::Compare;
            n->name = peek().text;
            ++m_pos;
            auto right = parseSum();
            if (!right) return nullptr;
            n->children.push_back(std::move(left));
            n->children.push_back(std::move(right));
            left = finish(std::move(n));
        }
        return left;
    }

    // sum := primary ('+' primary)*, in value formulas only
    std::unique_ptr<Node> parseSum() {
        auto left = parsePrimary();
        while (m_values && left && peek().kind == Kind::Other && peek().text == QLatin1String("+")) {
            auto n = std::make_unique<Node>();
            n->type = Node::Type::Plus;
            ++m_pos;
            auto right = parsePrimary();
            if (!right) return nullptr;
            n->children.push_back(std::move(left));
            n->children.push_back(std::move(right));
            left = finish(std::move(n));
        }
        return left;
    }

    std::unique_ptr<Node> parsePrimary() {
        const FormulaToken& t = peek();
        switch (t.kind) {
            case Kind::Text: {
                auto n = std::make_unique<Node>();
                n->literal = FormulaValue::text(t.text);
                ++m_pos;
                return n;
            }
            case Kind::Number: {
                auto n = std::make_unique<Node>();
                n->literal = FormulaValue::number(t.number);
                ++m_pos;
                return n;
            }
            case Kind::Name: {
                static const QStringList keywords = {QStringLiteral("select"), QStringLiteral("field"),
                                                     QStringLiteral("default"), QStringLiteral("environment"),
                                                     QStringLiteral("rem")};
                if (keywords.contains(t.text.toLower())) return fail(t);
                auto n = std::make_unique<Node>();
                n->type = Node::Type::Item;
                n->name = t.text.toLower();
                ++m_pos;
                return n;
            }
            case Kind::Function:
                return parseCall();
            case Kind::Operator:
                if (t.text == QLatin1String("(")) {
                    ++m_pos;
                    if (++m_nesting > kMaxDepth) return tooDeep();
                    auto inner = parseLogic();
                    --m_nesting;
                    if (!inner) return nullptr;
                    if (!isOp(QStringLiteral(")"))) return fail(peek());
                    ++m_pos;
                    return inner;
                }
                return fail(t);
            default:
                return fail(t);
        }
    }

    std::unique_ptr<Node> parseCall() {
        const FormulaToken& t = peek();
        const QString lower = t.text.toLower();
        const auto* info = m_values ? formula::FormulaExpression::valueFunction(lower)
                                    : formula::FormulaExpression::function(lower);
        if (!info) return fail(t);
        ++m_pos;
        auto n = std::make_unique<Node>();
        n->type = Node::Type::Call;
        n->name = lower;
        if (isOp(QStringLiteral("("))) {
            ++m_pos;
            if (!isOp(QStringLiteral(")"))) {
                for (;;) {
                    if (lower == QLatin1String("@isavailable") || lower == QLatin1String("@isunavailable")) {
                        // The argument is an item name, not its value.
                        if (peek().kind != Kind::Name) return fail(peek());
                        auto item = std::make_unique<Node>();
                        item->type = Node::Type::Item;
                        item->name = peek().text.toLower();
                        ++m_pos;
                        n->children.push_back(std::move(item));
                    } else {
                        if (++m_nesting > kMaxDepth) return tooDeep();
                        auto arg = parseLogic();
                        --m_nesting;
                        if (!arg) return nullptr;
                        n->children.push_back(std::move(arg));
                    }
                    if (isOp(QStringLiteral(";"))) {
                        ++m_pos;
                        continue;
                    }
                    break;
                }
            }
            if (!isOp(QStringLiteral(")"))) return fail(peek());
            ++m_pos;
        }
        const int count = int(n->children.size());
        if (count < info->minArgs || count > info->maxArgs ||
            (lower == QLatin1String("@if") && count % 2 == 0)) {
            m_problem = QStringLiteral("%1 with %2 argument(s)").arg(t.text).arg(count);
            return nullptr;
        }
        return finish(std::move(n));
    }

    std::vector<FormulaToken> m_tokens;
    bool m_values = false;
    size_t m_pos = 0;
    int m_nesting = 0;  // open parentheses, "!" and call arguments
    QString m_problem;
};

}  // namespace

SelectionFormula::SelectionFormula() = default;
SelectionFormula::~SelectionFormula() = default;

std::unique_ptr<SelectionFormula> SelectionFormula::parse(const QString& text, QString& problem) {
    problem.clear();
    std::vector<FormulaToken> tokens;
    if (!FormulaTokenizer::tokenize(text, tokens, problem)) return nullptr;
    Parser parser(std::move(tokens), false);
    auto root = parser.parseFormula(problem);
    if (!root) {
        if (problem.isEmpty()) problem = QStringLiteral("unreadable formula");
        return nullptr;
    }
    std::unique_ptr<SelectionFormula> formula(new SelectionFormula);
    formula->m_expression = std::make_unique<formula::FormulaExpression>(std::move(root));
    return formula;
}

std::shared_ptr<const formula::FormulaExpression> SelectionFormula::parseValue(const QString& text,
                                                                               QString& problem) {
    problem.clear();
    std::vector<FormulaToken> tokens;
    if (!FormulaTokenizer::tokenize(text, tokens, problem)) return nullptr;
    Parser parser(std::move(tokens), true);
    auto root = parser.parseFormula(problem);
    if (!root) {
        if (problem.isEmpty()) problem = QStringLiteral("unreadable formula");
        return nullptr;
    }
    return std::make_shared<const formula::FormulaExpression>(std::move(root));
}

bool SelectionFormula::selects(const ItemLookup& lookup) const { return m_expression->selects(lookup); }

const QStringList& SelectionFormula::itemNames() const { return m_expression->itemNames(); }

}  // namespace store::dxl

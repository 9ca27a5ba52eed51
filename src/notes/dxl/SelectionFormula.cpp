#include "notes/dxl/SelectionFormula.h"

#include <QRegularExpression>

#include "notes/dxl/FormulaTokenizer.h"

namespace store::dxl {

struct SelectionFormula::Node {
    enum class Type { Literal, Item, Not, And, Or, Compare, Call };
    Type type = Type::Literal;
    FormulaValue literal;
    QString name;  // item name (lower-cased), operator or function (lower-cased)
    std::vector<std::unique_ptr<Node>> children;
    int depth = 1;  // levels of the tree below and including this node
};

namespace {

using Node = SelectionFormula::Node;
using Kind = FormulaToken::Kind;

// Functions of the supported subset and how many arguments each takes.
struct FunctionInfo {
    const char* name;
    int minArgs;
    int maxArgs;
};
const FunctionInfo kFunctions[] = {
    {"@all", 0, 0},           {"@true", 0, 0},     {"@false", 0, 0},       {"@isavailable", 1, 1},
    {"@isunavailable", 1, 1}, {"@ismember", 2, 2}, {"@isnotmember", 2, 2}, {"@contains", 2, 2},
    {"@begins", 2, 2},        {"@ends", 2, 2},     {"@lowercase", 1, 1},   {"@uppercase", 1, 1},
    {"@trim", 1, 1},
};

const FunctionInfo* findFunction(const QString& lowerName) {
    for (const FunctionInfo& f : kFunctions)
        if (lowerName == QLatin1String(f.name)) return &f;
    return nullptr;
}

// Deeper formulas are refused: evaluation recurses once per level.
constexpr int kMaxDepth = 200;

class Parser {
  public:
    Parser(std::vector<FormulaToken> tokens, QStringList& names)
        : m_tokens(std::move(tokens)), m_names(names) {}

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

    // compare := primary (op primary)*
    std::unique_ptr<Node> parseCompare() {
        auto left = parsePrimary();
        static const QStringList ops = {QStringLiteral("="), QStringLiteral("!="), QStringLiteral("<"),
                                        QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">=")};
        while (left && peek().kind == Kind::Operator && ops.contains(peek().text)) {
            auto n = std::make_unique<Node>();
            n->type = Node::Type::Compare;
            n->name = peek().text;
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
                if (!m_names.contains(n->name)) m_names << n->name;
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
        const FunctionInfo* info = findFunction(lower);
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
                        if (!m_names.contains(item->name)) m_names << item->name;
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
        if (count < info->minArgs || count > info->maxArgs) {
            m_problem = QStringLiteral("%1 with %2 argument(s)").arg(t.text).arg(count);
            return nullptr;
        }
        return finish(std::move(n));
    }

    std::vector<FormulaToken> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;  // open parentheses, "!" and call arguments
    QStringList& m_names;
    QString m_problem;
};

// ---- evaluation

FormulaValue boolValue(bool b) {
    return FormulaValue::number(b ? 1 : 0);
}

// Compares two single values of the same kind: <0, 0, >0.
int compareAt(const FormulaValue& a, int i, const FormulaValue& b, int j) {
    switch (a.kind()) {
        case FormulaValue::Kind::Text:
            return a.textList().at(i).compare(b.textList().at(j));
        case FormulaValue::Kind::Number: {
            const double x = a.numberList()[size_t(i)], y = b.numberList()[size_t(j)];
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FormulaValue::Kind::Time: {
            const qint64 x = a.timeList()[size_t(i)].instantMs(), y = b.timeList()[size_t(j)].instantMs();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    return 0;
}

bool compareAny(const FormulaValue& a, const FormulaValue& b, const QString& op) {
    if (a.kind() != b.kind()) return false;  // values of different types never compare
    for (int i = 0; i < a.size(); ++i) {
        for (int j = 0; j < b.size(); ++j) {
            const int c = compareAt(a, i, b, j);
            bool r = false;
            if (op == QLatin1String("="))
                r = c == 0;
            else if (op == QLatin1String("!="))
                r = c != 0;
            else if (op == QLatin1String("<"))
                r = c < 0;
            else if (op == QLatin1String(">"))
                r = c > 0;
            else if (op == QLatin1String("<="))
                r = c <= 0;
            else if (op == QLatin1String(">="))
                r = c >= 0;
            if (r) return true;
        }
    }
    return false;
}

bool contains(const FormulaValue& list, const FormulaValue& v, int index) {
    if (list.kind() != v.kind()) return false;
    for (int i = 0; i < list.size(); ++i)
        if (compareAt(v, index, list, i) == 0) return true;
    return false;
}

// A missing item and an empty list both read as "".
FormulaValue normalised(const FormulaValue* v) {
    if (!v || v->size() == 0) return FormulaValue::text(QString());
    return *v;
}

FormulaValue mapTexts(const FormulaValue& v, const std::function<QString(const QString&)>& f,
                      bool dropEmpty) {
    QStringList out;
    for (const QString& s : v.asTexts()) {
        const QString r = f(s);
        if (dropEmpty && r.isEmpty() && v.size() > 1) continue;
        out << r;
    }
    if (out.isEmpty()) out << QString();
    return FormulaValue::texts(out);
}

FormulaValue evaluate(const Node& n, const SelectionFormula::ItemLookup& lookup) {
    switch (n.type) {
        case Node::Type::Literal:
            return n.literal;
        case Node::Type::Item:
            return normalised(lookup(n.name));
        case Node::Type::Not:
            return boolValue(!evaluate(*n.children[0], lookup).isTrue());
        case Node::Type::And:
            return boolValue(evaluate(*n.children[0], lookup).isTrue() &&
                             evaluate(*n.children[1], lookup).isTrue());
        case Node::Type::Or:
            return boolValue(evaluate(*n.children[0], lookup).isTrue() ||
                             evaluate(*n.children[1], lookup).isTrue());
        case Node::Type::Compare:
            return boolValue(
                compareAny(evaluate(*n.children[0], lookup), evaluate(*n.children[1], lookup), n.name));
        case Node::Type::Call:
            break;
    }
    const QString& f = n.name;
    if (f == QLatin1String("@all") || f == QLatin1String("@true")) return boolValue(true);
    if (f == QLatin1String("@false")) return boolValue(false);
    if (f == QLatin1String("@isavailable")) return boolValue(lookup(n.children[0]->name) != nullptr);
    if (f == QLatin1String("@isunavailable")) return boolValue(lookup(n.children[0]->name) == nullptr);
    if (f == QLatin1String("@lowercase"))
        return mapTexts(
            evaluate(*n.children[0], lookup), [](const QString& s) { return s.toLower(); }, false);
    if (f == QLatin1String("@uppercase"))
        return mapTexts(
            evaluate(*n.children[0], lookup), [](const QString& s) { return s.toUpper(); }, false);
    if (f == QLatin1String("@trim")) {
        static const QRegularExpression blanks(QStringLiteral(" {2,}"));
        return mapTexts(
            evaluate(*n.children[0], lookup),
            [](const QString& s) {
                QString t = s;
                while (t.startsWith(QLatin1Char(' '))) t.remove(0, 1);
                while (t.endsWith(QLatin1Char(' '))) t.chop(1);
                t.replace(blanks, QStringLiteral(" "));
                return t;
            },
            true);
    }
    const FormulaValue a = evaluate(*n.children[0], lookup);
    const FormulaValue b = evaluate(*n.children[1], lookup);
    if (f == QLatin1String("@ismember") || f == QLatin1String("@isnotmember")) {
        const bool member = f == QLatin1String("@ismember");
        for (int i = 0; i < a.size(); ++i) {
            const bool in = contains(b, a, i);
            if (member && !in) return boolValue(false);
            if (!member && in) return boolValue(false);
        }
        return boolValue(true);
    }
    // @Contains, @Begins, @Ends: any value of a against any value of b.
    const QStringList as = a.asTexts(), bs = b.asTexts();
    for (const QString& x : as) {
        for (const QString& y : bs) {
            bool r = false;
            if (f == QLatin1String("@contains"))
                r = x.contains(y);
            else if (f == QLatin1String("@begins"))
                r = x.startsWith(y);
            else if (f == QLatin1String("@ends"))
                r = x.endsWith(y);
            if (r) return boolValue(true);
        }
    }
    return boolValue(false);
}

}  // namespace

SelectionFormula::SelectionFormula() = default;
SelectionFormula::~SelectionFormula() = default;

std::unique_ptr<SelectionFormula> SelectionFormula::parse(const QString& text, QString& problem) {
    problem.clear();
    std::vector<FormulaToken> tokens;
    if (!FormulaTokenizer::tokenize(text, tokens, problem)) return nullptr;
    std::unique_ptr<SelectionFormula> formula(new SelectionFormula);
    Parser parser(std::move(tokens), formula->m_itemNames);
    formula->m_root = parser.parseFormula(problem);
    if (!formula->m_root) {
        if (problem.isEmpty()) problem = QStringLiteral("unreadable formula");
        return nullptr;
    }
    return formula;
}

bool SelectionFormula::selects(const ItemLookup& lookup) const {
    return evaluate(*m_root, lookup).isTrue();
}

}  // namespace store::dxl

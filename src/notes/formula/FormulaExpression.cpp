#include "notes/formula/FormulaExpression.h"

#include <QDateTime>
#include <QRegularExpression>

namespace store::formula {

using Node = FormulaNode;

std::unique_ptr<FormulaNode> FormulaNode::literalNode(FormulaValue v) {
    auto n = std::make_unique<FormulaNode>();
    n->literal = std::move(v);
    return n;
}

std::unique_ptr<FormulaNode> FormulaNode::item(const QString& name) {
    auto n = std::make_unique<FormulaNode>();
    n->type = Type::Item;
    n->name = name.toLower();
    return n;
}

std::unique_ptr<FormulaNode> FormulaNode::make(Type type, const QString& name,
                                               std::vector<std::unique_ptr<FormulaNode>> children) {
    auto n = std::make_unique<FormulaNode>();
    n->type = type;
    n->name = name;
    n->children = std::move(children);
    for (const auto& c : n->children) n->depth = std::max(n->depth, c->depth + 1);
    return n;
}

namespace {

const FormulaExpression::FunctionInfo kFunctions[] = {
    {"@all", 0, 0},           {"@true", 0, 0},     {"@false", 0, 0},       {"@isavailable", 1, 1},
    {"@isunavailable", 1, 1}, {"@ismember", 2, 2}, {"@isnotmember", 2, 2}, {"@contains", 2, 2},
    {"@begins", 2, 2},        {"@ends", 2, 2},     {"@lowercase", 1, 1},   {"@uppercase", 1, 1},
    {"@trim", 1, 1},          {"@attachments", 0, 0}, {"@now", 0, 0},
};

// @If(condition; value; ...; else) takes an odd number of arguments.
const FormulaExpression::FunctionInfo kValueFunctions[] = {
    {"@if", 3, 99}, {"@text", 1, 2}, {"@isnewdoc", 0, 0},
};

void collectNames(const Node& n, QStringList& names) {
    if (n.type == Node::Type::Item && !names.contains(n.name)) names << n.name;
    if (n.type == Node::Type::Call && n.name == QLatin1String("@attachments") &&
        !names.contains(FormulaExpression::kAttachmentCount))
        names << FormulaExpression::kAttachmentCount;
    for (const auto& c : n.children) collectNames(*c, names);
}

FormulaValue boolValue(bool b) { return FormulaValue::number(b ? 1 : 0); }

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

FormulaValue mapTexts(const FormulaValue& v, const std::function<QString(const QString&)>& f, bool dropEmpty) {
    QStringList out;
    for (const QString& s : v.asTexts()) {
        const QString r = f(s);
        if (dropEmpty && r.isEmpty() && v.size() > 1) continue;
        out << r;
    }
    if (out.isEmpty()) out << QString();
    return FormulaValue::texts(out);
}

// The list operator: the values of both sides in order; sides of different
// kinds join as texts.
FormulaValue concatenate(const FormulaValue& a, const FormulaValue& b) {
    if (a.kind() == b.kind()) {
        switch (a.kind()) {
            case FormulaValue::Kind::Text:
                return FormulaValue::texts(a.textList() + b.textList());
            case FormulaValue::Kind::Number: {
                std::vector<double> v = a.numberList();
                v.insert(v.end(), b.numberList().begin(), b.numberList().end());
                return FormulaValue::numbers(std::move(v));
            }
            case FormulaValue::Kind::Time: {
                std::vector<NotesTime> v = a.timeList();
                v.insert(v.end(), b.timeList().begin(), b.timeList().end());
                return FormulaValue::times(std::move(v));
            }
        }
    }
    return FormulaValue::texts(a.asTexts() + b.asTexts());
}

FormulaValue evaluateNode(const Node& n, const FormulaExpression::ItemLookup& lookup);

// "+": numbers add, texts join, value by value; a list shorter than the other
// repeats its last value. Other pairs of kinds have no sum: "".
FormulaValue plus(const FormulaValue& a, const FormulaValue& b) {
    const int count = std::max(a.size(), b.size());
    if (a.kind() == FormulaValue::Kind::Number && b.kind() == FormulaValue::Kind::Number && a.size() && b.size()) {
        std::vector<double> sums;
        for (int i = 0; i < count; ++i)
            sums.push_back(a.numberList()[size_t(std::min(i, a.size() - 1))] +
                           b.numberList()[size_t(std::min(i, b.size() - 1))]);
        return FormulaValue::numbers(std::move(sums));
    }
    if (a.kind() == FormulaValue::Kind::Text && b.kind() == FormulaValue::Kind::Text && a.size() && b.size()) {
        QStringList joined;
        for (int i = 0; i < count; ++i)
            joined << a.textList().at(std::min(i, a.size() - 1)) + b.textList().at(std::min(i, b.size() - 1));
        return FormulaValue::texts(joined);
    }
    return FormulaValue::text(QString());
}

// @If(c1; v1; c2; v2; ...; else): the value after the first true condition.
FormulaValue choose(const Node& n, const FormulaExpression::ItemLookup& lookup) {
    const size_t count = n.children.size();
    for (size_t i = 0; i + 1 < count; i += 2)
        if (evaluateNode(*n.children[i], lookup).isTrue()) return evaluateNode(*n.children[i + 1], lookup);
    return count ? evaluateNode(*n.children[count - 1], lookup) : FormulaValue::text(QString());
}

FormulaValue evaluateNode(const Node& n, const FormulaExpression::ItemLookup& lookup) {
    switch (n.type) {
        case Node::Type::Literal:
            return n.literal;
        case Node::Type::Item:
            return normalised(lookup(n.name));
        case Node::Type::Not:
            return boolValue(!evaluateNode(*n.children[0], lookup).isTrue());
        case Node::Type::And:
            return boolValue(evaluateNode(*n.children[0], lookup).isTrue() &&
                             evaluateNode(*n.children[1], lookup).isTrue());
        case Node::Type::Or:
            return boolValue(evaluateNode(*n.children[0], lookup).isTrue() ||
                             evaluateNode(*n.children[1], lookup).isTrue());
        case Node::Type::Compare:
            return boolValue(
                compareAny(evaluateNode(*n.children[0], lookup), evaluateNode(*n.children[1], lookup), n.name));
        case Node::Type::List:
            return concatenate(evaluateNode(*n.children[0], lookup), evaluateNode(*n.children[1], lookup));
        case Node::Type::Plus:
            return plus(evaluateNode(*n.children[0], lookup), evaluateNode(*n.children[1], lookup));
        case Node::Type::Call:
            break;
    }
    const QString& f = n.name;
    if (f == QLatin1String("@all") || f == QLatin1String("@true")) return boolValue(true);
    if (f == QLatin1String("@false")) return boolValue(false);
    // A document being converted exists: it is never new.
    if (f == QLatin1String("@isnewdoc")) return boolValue(false);
    if (f == QLatin1String("@if")) return choose(n, lookup);
    if (f == QLatin1String("@text")) return FormulaValue::texts(evaluateNode(*n.children[0], lookup).asTexts());
    if (f == QLatin1String("@isavailable")) return boolValue(lookup(n.children[0]->name) != nullptr);
    if (f == QLatin1String("@isunavailable")) return boolValue(lookup(n.children[0]->name) == nullptr);
    if (f == QLatin1String("@attachments")) {
        const FormulaValue* count = lookup(FormulaExpression::kAttachmentCount);
        return count && count->kind() == FormulaValue::Kind::Number && count->size() > 0
                   ? FormulaValue::number(count->numberList().front())
                   : FormulaValue::number(0);
    }
    if (f == QLatin1String("@now")) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        NotesTime t;
        t.date = now.date();
        t.time = now.time();
        t.hasZone = true;
        return FormulaValue::times({t});
    }
    if (f == QLatin1String("@lowercase"))
        return mapTexts(
            evaluateNode(*n.children[0], lookup), [](const QString& s) { return s.toLower(); }, false);
    if (f == QLatin1String("@uppercase"))
        return mapTexts(
            evaluateNode(*n.children[0], lookup), [](const QString& s) { return s.toUpper(); }, false);
    if (f == QLatin1String("@trim")) {
        static const QRegularExpression blanks(QStringLiteral(" {2,}"));
        return mapTexts(
            evaluateNode(*n.children[0], lookup),
            [](const QString& s) {
                QString t = s;
                while (t.startsWith(QLatin1Char(' '))) t.remove(0, 1);
                while (t.endsWith(QLatin1Char(' '))) t.chop(1);
                t.replace(blanks, QStringLiteral(" "));
                return t;
            },
            true);
    }
    if (n.children.size() < 2) return boolValue(false);
    const FormulaValue a = evaluateNode(*n.children[0], lookup);
    const FormulaValue b = evaluateNode(*n.children[1], lookup);
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

FormulaExpression::FormulaExpression(std::unique_ptr<FormulaNode> root) : m_root(std::move(root)) {
    if (m_root) collectNames(*m_root, m_itemNames);
}

FormulaExpression::~FormulaExpression() = default;

const FormulaExpression::FunctionInfo* FormulaExpression::function(const QString& lowerName) {
    for (const FunctionInfo& f : kFunctions)
        if (lowerName == QLatin1String(f.name)) return &f;
    return nullptr;
}

const FormulaExpression::FunctionInfo* FormulaExpression::valueFunction(const QString& lowerName) {
    for (const FunctionInfo& f : kValueFunctions)
        if (lowerName == QLatin1String(f.name)) return &f;
    return function(lowerName);
}

FormulaValue FormulaExpression::evaluate(const ItemLookup& lookup) const {
    return m_root ? evaluateNode(*m_root, lookup) : boolValue(false);
}

bool FormulaExpression::selects(const ItemLookup& lookup) const { return evaluate(lookup).isTrue(); }

}  // namespace store::formula

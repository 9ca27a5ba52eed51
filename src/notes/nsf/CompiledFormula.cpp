#include "notes/nsf/CompiledFormula.h"

#include "notes/nsf/LmbcsConverter.h"

namespace nsf {
namespace {

using store::formula::FormulaExpression;
using store::formula::FormulaNode;
using store::formula::FormulaValue;
using Type = FormulaNode::Type;

QString hex4(uint16_t v) {
    return QStringLiteral("0x") + QString::number(v, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// Opcodes whose meaning is established (see the header), and what they make
// of the values before them.
enum class Op { Push, End, NoOp, Function0, ItemTest, Equal, NotEqual, And, Or, List, Function2, Plus, FunctionN,
                Unknown };

struct Meaning {
    Op op;
    const char* function;  // for calls, as the formula language spells it
    int arguments = 0;     // for FunctionN
};

// The opcodes of formulas that compute a value (window titles), read from
// the forms of the sample databases beside what their windows show:
//   0x0222 +: "Test Document: " + Subject, "Personal Data" + "     " + Name
//   0x0156 @Text(value): "faxsrc - " + @Text(CompanyName)
//   0x0089 @IsNewDoc, 0x00AF/0x00AE the jumps around @If's branches, 0x03B5
//      @If with three arguments: @If(@IsNewDoc; "New Container"; Title), the
//      template idiom for a title
//   0x034A, 0x054A: @If as older forms store it, without jumps:
//      @If(@IsNewDoc; "New Request Type"; RequestType),
//      @If(@IsNewDoc; "New Group"; ListName)
// A jump only skips a branch the evaluator decides on itself, so each branch
// is built and @If (argument count in the high byte) picks among them.
Meaning valueMeaning(uint16_t opcode) {
    const int arguments = opcode >> 8;
    switch (opcode & 0xFF) {
        case 0x4A:
        case 0xB5:
            if (arguments >= 3 && arguments % 2 == 1) return {Op::FunctionN, "@If", arguments};
            break;
        case 0x56:
            if (arguments == 1 || arguments == 2) return {Op::FunctionN, "@Text", arguments};
            break;
        default: break;
    }
    switch (opcode) {
        case CompiledFormula::kOpJump:
        case CompiledFormula::kOpJumpIfFalse: return {Op::NoOp, nullptr};
        case 0x0089: return {Op::Function0, "@IsNewDoc"};
        case 0x0222: return {Op::Plus, nullptr};
        default: return {Op::Unknown, nullptr};
    }
}

Meaning meaning(uint16_t opcode, bool values) {
    if (values) {
        const Meaning m = valueMeaning(opcode);
        if (m.op != Op::Unknown) return m;
    }
    switch (opcode) {
        case CompiledFormula::kOpText:
        case CompiledFormula::kOpItem:
        case CompiledFormula::kOpNumber: return {Op::Push, nullptr};
        case CompiledFormula::kOpEnd: return {Op::End, nullptr};
        case CompiledFormula::kOpMarker: return {Op::NoOp, nullptr};
        case 0x002C: return {Op::Function0, "@Now"};
        case 0x0066: return {Op::Function0, "@All"};
        case 0x0072: return {Op::Function0, "@Attachments"};
        case 0x0159: return {Op::ItemTest, "@IsUnavailable"};
        case 0x0168: return {Op::ItemTest, "@IsAvailable"};
        case 0x020A: return {Op::Equal, nullptr};
        case 0x020B: return {Op::NotEqual, nullptr};
        case 0x021C: return {Op::And, nullptr};
        case 0x021D: return {Op::Or, nullptr};
        case 0x021F: return {Op::List, nullptr};
        case 0x0247: return {Op::Function2, "@Contains"};
        default: return {Op::Unknown, nullptr};
    }
}

// The name an item reference carries: the compiler may keep bytes of its own
// after a NUL within the operand.
ByteView itemName(ByteView operand) {
    for (uint64_t i = 0; i < operand.size(); ++i)
        if (operand.u8(i) == 0) return operand.sub(0, i);
    return operand;
}

}  // namespace

bool CompiledFormula::records(ByteView value, std::vector<Record>& out, QString& error) {
    out.clear();
    if (!value.has(0, 2)) {
        error = QStringLiteral("the compiled formula is empty");
        return false;
    }
    const uint64_t total = value.u16(0);
    if (total < 2 || total > value.size()) {
        error = QStringLiteral("the compiled formula's length (%1) does not fit its %2 bytes").arg(total).arg(value.size());
        return false;
    }
    uint64_t at = 2;
    while (at < total) {
        if (at + 4 > total) {
            error = QStringLiteral("a formula record header at %1 is cut short").arg(at);
            return false;
        }
        const uint16_t type = value.u16(at);
        const uint16_t length = value.u16(at + 2);
        if (length < 4 || at + length > total) {
            error = QStringLiteral("formula record %1 at %2 has an impossible length %3").arg(type).arg(at).arg(length);
            return false;
        }
        out.push_back({type, value.sub(at + 4, length - 4u)});
        at += length;
    }
    return true;
}

bool CompiledFormula::tokenize(ByteView code, LmbcsConverter& lmbcs, std::vector<Token>& out, QString& error) {
    out.clear();
    uint64_t at = 0;
    while (code.has(at, 2)) {
        Token t;
        t.offset = uint32_t(at);
        t.opcode = code.u16(at);
        at += 2;
        switch (t.opcode) {
            case kOpText:
            case kOpItem: {
                if (!code.has(at, 2)) {
                    error = QStringLiteral("the operand of opcode %1 at %2 is cut short").arg(hex4(t.opcode)).arg(t.offset);
                    return false;
                }
                const uint64_t length = code.u16(at);
                if (!code.has(at + 2, length)) {
                    error = QStringLiteral("the operand of opcode %1 at %2 runs past the code").arg(hex4(t.opcode)).arg(t.offset);
                    return false;
                }
                const ByteView bytes = code.sub(at + 2, length);
                t.text = lmbcs.toUnicode(t.opcode == kOpItem ? itemName(bytes) : bytes);
                at += 2 + length + (length & 1);
                break;
            }
            case kOpNumber:
                if (!code.has(at, 8)) {
                    error = QStringLiteral("the number at %1 is cut short").arg(t.offset);
                    return false;
                }
                t.number = code.f64(at);
                at += 8;
                break;
            case kOpKeyword:
                if (!code.has(at, 8)) {
                    error = QStringLiteral("the keyword at %1 is cut short").arg(t.offset);
                    return false;
                }
                at += 8;
                break;
            case kOpJump:
            case kOpJumpIfFalse: {
                const uint64_t size = t.opcode == kOpJump ? 2 : 4;
                if (!code.has(at, size)) {
                    error = QStringLiteral("the jump at %1 is cut short").arg(t.offset);
                    return false;
                }
                t.operand = code.u16(at);
                at += size;
                break;
            }
            default: break;
        }
        out.push_back(std::move(t));
        if (out.back().opcode == kOpEnd) return true;
    }
    error = QStringLiteral("the formula code has no end");
    return false;
}

std::unique_ptr<FormulaExpression> CompiledFormula::build(const std::vector<Token>& tokens, QString& problem,
                                                          bool values) {
    std::vector<std::unique_ptr<FormulaNode>> stack;
    auto pop = [&stack]() {
        auto n = std::move(stack.back());
        stack.pop_back();
        return n;
    };
    for (const Token& t : tokens) {
        const Meaning m = meaning(t.opcode, values);
        const Op op = m.op;
        if (op == Op::Unknown) {
            problem = QStringLiteral("opcode %1 at %2 of the compiled formula is not known").arg(hex4(t.opcode)).arg(t.offset);
            return nullptr;
        }
        if (op == Op::NoOp) continue;
        if (op == Op::End) break;
        std::unique_ptr<FormulaNode> node;
        if (op == Op::Push) {
            if (t.opcode == kOpText)
                node = FormulaNode::literalNode(FormulaValue::text(t.text));
            else if (t.opcode == kOpNumber)
                node = FormulaNode::literalNode(FormulaValue::number(t.number));
            else
                node = FormulaNode::item(t.text);
        } else if (op == Op::Function0) {
            node = FormulaNode::make(Type::Call, QString::fromLatin1(m.function).toLower(), {});
        } else if (op == Op::FunctionN) {
            if (stack.size() < size_t(m.arguments)) {
                problem = QStringLiteral("opcode %1 at %2 lacks its operands").arg(hex4(t.opcode)).arg(t.offset);
                return nullptr;
            }
            std::vector<std::unique_ptr<FormulaNode>> args(size_t(m.arguments));
            for (size_t i = args.size(); i-- > 0;) args[i] = pop();
            node = FormulaNode::make(Type::Call, QString::fromLatin1(m.function).toLower(), std::move(args));
        } else if (op == Op::ItemTest) {
            if (stack.empty() || stack.back()->type != Type::Item) {
                problem = QStringLiteral("%1 at %2 has no item name").arg(QLatin1String(m.function)).arg(t.offset);
                return nullptr;
            }
            std::vector<std::unique_ptr<FormulaNode>> args;
            args.push_back(pop());
            node = FormulaNode::make(Type::Call, QString::fromLatin1(m.function).toLower(), std::move(args));
        } else {
            if (stack.size() < 2) {
                problem = QStringLiteral("opcode %1 at %2 lacks its operands").arg(hex4(t.opcode)).arg(t.offset);
                return nullptr;
            }
            std::vector<std::unique_ptr<FormulaNode>> args(2);
            args[1] = pop();
            args[0] = pop();
            switch (op) {
                case Op::Equal: node = FormulaNode::make(Type::Compare, QStringLiteral("="), std::move(args)); break;
                case Op::NotEqual: node = FormulaNode::make(Type::Compare, QStringLiteral("!="), std::move(args)); break;
                case Op::And: node = FormulaNode::make(Type::And, QString(), std::move(args)); break;
                case Op::Or: node = FormulaNode::make(Type::Or, QString(), std::move(args)); break;
                case Op::Function2:
                    node = FormulaNode::make(Type::Call, QString::fromLatin1(m.function).toLower(), std::move(args));
                    break;
                case Op::Plus: node = FormulaNode::make(Type::Plus, QString(), std::move(args)); break;
                default: node = FormulaNode::make(Type::List, QString(), std::move(args)); break;
            }
        }
        if (node->depth > FormulaExpression::kMaxDepth) {
            problem = QStringLiteral("the compiled formula is nested too deeply");
            return nullptr;
        }
        stack.push_back(std::move(node));
    }
    if (stack.size() != 1) {
        problem = stack.empty() ? QStringLiteral("the compiled formula computes nothing")
                                : QStringLiteral("the compiled formula leaves %1 values").arg(stack.size());
        return nullptr;
    }
    return std::make_unique<FormulaExpression>(pop());
}

std::unique_ptr<FormulaExpression> CompiledFormula::selection(ByteView value, LmbcsConverter& lmbcs, QString& problem) {
    std::vector<Record> recs;
    if (!records(value, recs, problem)) return nullptr;
    for (const Record& r : recs) {
        if (r.type != kRecordMain) continue;
        std::vector<Token> tokens;
        if (!tokenize(r.payload, lmbcs, tokens, problem)) return nullptr;
        return build(tokens, problem);
    }
    problem = QStringLiteral("the compiled formula has no selection");
    return nullptr;
}

std::unique_ptr<FormulaExpression> CompiledFormula::value(ByteView value, LmbcsConverter& lmbcs, QString& problem) {
    std::vector<Record> recs;
    if (!records(value, recs, problem)) return nullptr;
    for (const Record& r : recs) {
        if (r.type != kRecordMain) continue;
        std::vector<Token> tokens;
        if (!tokenize(r.payload, lmbcs, tokens, problem)) return nullptr;
        return build(tokens, problem, true);
    }
    problem = QStringLiteral("the compiled formula has no main expression");
    return nullptr;
}

QString CompiledFormula::singleItem(ByteView value, LmbcsConverter& lmbcs) {
    std::vector<Record> recs;
    QString e;
    if (!records(value, recs, e)) return QString();
    for (const Record& r : recs) {
        ByteView code;
        if (r.type == kRecordColumn) {
            const uint64_t nameLength = r.payload.u16(0);
            code = r.payload.from(2 + nameLength + (nameLength & 1));
        } else if (r.type == kRecordMain) {
            code = r.payload;
        } else {
            continue;
        }
        std::vector<Token> tokens;
        if (!tokenize(code, lmbcs, tokens, e)) return QString();
        std::vector<const Token*> real;
        for (const Token& t : tokens)
            if (t.opcode != kOpMarker && t.opcode != kOpEnd) real.push_back(&t);
        return real.size() == 1 && real[0]->opcode == kOpItem ? real[0]->text : QString();
    }
    return QString();
}

}  // namespace nsf

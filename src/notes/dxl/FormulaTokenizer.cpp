#include "notes/dxl/FormulaTokenizer.h"

#include <QStringList>

namespace store::dxl {
namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
bool isNamePart(QChar c) {
    return isNameStart(c) || c.isDigit();
}

}  // namespace

bool FormulaTokenizer::tokenize(const QString& text, std::vector<FormulaToken>& tokens, QString& problem) {
    tokens.clear();
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        FormulaToken t;
        t.position = i;
        if (c == QLatin1Char('"')) {
            // "..." with \" and \\ escapes.
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                const QChar d = text.at(j);
                if (d == QLatin1Char('\\') && j + 1 < n) {
                    value += text.at(j + 1);
                    j += 2;
                    continue;
                }
                if (d == QLatin1Char('"')) {
                    closed = true;
                    ++j;
                    break;
                }
                value += d;
                ++j;
            }
            if (!closed) {
                problem = QStringLiteral("unterminated text at position %1").arg(i + 1);
                return false;
            }
            t.kind = FormulaToken::Kind::Text;
            t.text = value;
            i = j;
        } else if (c == QLatin1Char('{')) {
            // {...}: a text literal without escapes.
            const int close = int(text.indexOf(QLatin1Char('}'), i + 1));
            if (close < 0) {
                problem = QStringLiteral("unterminated text at position %1").arg(i + 1);
                return false;
            }
            t.kind = FormulaToken::Kind::Text;
            t.text = text.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && text.at(i + 1).isDigit())) {
            int j = i;
            while (j < n && (text.at(j).isDigit() || text.at(j) == QLatin1Char('.'))) ++j;
            if (j < n && (text.at(j) == QLatin1Char('e') || text.at(j) == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (text.at(k) == QLatin1Char('+') || text.at(k) == QLatin1Char('-'))) ++k;
                if (k < n && text.at(k).isDigit()) {
                    j = k;
                    while (j < n && text.at(j).isDigit()) ++j;
                }
            }
            bool ok = false;
            t.number = text.mid(i, j - i).toDouble(&ok);
            t.kind = ok ? FormulaToken::Kind::Number : FormulaToken::Kind::Other;
            t.text = text.mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('@')) {
            int j = i + 1;
            while (j < n && isNamePart(text.at(j))) ++j;
            t.kind = FormulaToken::Kind::Function;
            t.text = text.mid(i, j - i);
            i = j;
        } else if (isNameStart(c)) {
            int j = i + 1;
            while (j < n && isNamePart(text.at(j))) ++j;
            t.kind = FormulaToken::Kind::Name;
            t.text = text.mid(i, j - i);
            i = j;
        } else {
            // Two-character operators first.
            static const char* const twoChar[] = {"!=", "<=", ">=", "<>", "=!", ":=", "*=", "+=", "-=", "/="};
            const QString two = text.mid(i, 2);
            bool matched = false;
            for (const char* op : twoChar) {
                if (two == QLatin1String(op)) {
                    matched = true;
                    break;
                }
            }
            if (matched) {
                t.text = two;
                i += 2;
            } else {
                t.text = QString(c);
                ++i;
            }
            static const QStringList known = {QStringLiteral("="), QStringLiteral("!="), QStringLiteral("<"),
                                              QStringLiteral(">"), QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("&"), QStringLiteral("|"),  QStringLiteral("!"),
                                              QStringLiteral("("), QStringLiteral(")"),  QStringLiteral(";")};
            t.kind = known.contains(t.text) ? FormulaToken::Kind::Operator : FormulaToken::Kind::Other;
        }
        tokens.push_back(std::move(t));
    }
    FormulaToken end;
    end.position = n;
    tokens.push_back(end);
    return true;
}

}  // namespace store::dxl

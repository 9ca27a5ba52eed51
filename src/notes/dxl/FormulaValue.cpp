#include "notes/dxl/FormulaValue.h"

namespace store::dxl {

const QStringList& FormulaValue::textList() const {
    static const QStringList none;
    const auto* v = std::get_if<QStringList>(&m_value);
    return v ? *v : none;
}

const std::vector<double>& FormulaValue::numberList() const {
    static const std::vector<double> none;
    const auto* v = std::get_if<std::vector<double>>(&m_value);
    return v ? *v : none;
}

const std::vector<NotesTime>& FormulaValue::timeList() const {
    static const std::vector<NotesTime> none;
    const auto* v = std::get_if<std::vector<NotesTime>>(&m_value);
    return v ? *v : none;
}

int FormulaValue::size() const {
    switch (kind()) {
        case Kind::Text:
            return int(textList().size());
        case Kind::Number:
            return int(numberList().size());
        case Kind::Time:
            return int(timeList().size());
    }
    return 0;
}

bool FormulaValue::isTrue() const {
    const auto& n = numberList();
    return kind() == Kind::Number && !n.empty() && n.front() != 0.0;
}

QStringList FormulaValue::asTexts() const {
    QStringList out;
    switch (kind()) {
        case Kind::Text:
            return textList();
        case Kind::Number:
            for (double n : numberList()) out << QString::number(n, 'g', 15);
            break;
        case Kind::Time:
            for (const NotesTime& t : timeList()) out << t.text();
            break;
    }
    return out;
}

}  // namespace store::dxl

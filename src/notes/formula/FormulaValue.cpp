#include "notes/formula/FormulaValue.h"

#include "notes/store/StoreItem.h"

namespace store::formula {

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

FormulaValue FormulaValue::fromItem(const StoreItem& item) {
    if (item.unreadable) return text(QString());
    switch (item.type) {
        case TypeText:
        case TypeTextList:
        case TypeFormula:
            return texts(item.texts);
        case TypeNumber:
        case TypeNumberRange:
            return numbers(item.numbers);
        case TypeTime:
        case TypeTimeRange: {
            std::vector<NotesTime> list = item.times;
            for (const NotesTimePair& p : item.timeRanges) {
                list.push_back(p.lower);
                list.push_back(p.upper);
            }
            list.shrink_to_fit();
            return times(std::move(list));
        }
        case TypeComposite:
            return text(item.richText ? item.richText->plainText() : QString());
        default:
            return text(QString());
    }
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

}  // namespace store::formula

#include "notes/dxl/FormulaValue.h"

namespace store::dxl {

QStringList FormulaValue::asTexts() const {
    switch (kind) {
        case Kind::Text: return texts;
        case Kind::Number: {
            QStringList out;
            for (double n : numbers) out << QString::number(n, 'g', 15);
            return out;
        }
        case Kind::Time: {
            QStringList out;
            for (const NotesTime& t : times) out << t.text();
            return out;
        }
    }
    return {};
}

}  // namespace store::dxl

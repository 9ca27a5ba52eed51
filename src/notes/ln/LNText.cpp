#include "notes/ln/LNText.h"

#include "notes/ln/LNErrors.h"

namespace {
LNString toLN(const QString& s) {
    const QByteArray b = s.toUtf8();
    return LNString(std::string(b.constData(), size_t(b.size())));
}
}  // namespace

LNText::LNText(const LNItem& item) {
    const store::StoreItem* it = item.data();
    if (!it || (it->type != store::TypeText && it->type != store::TypeTextList) || it->unreadable) {
        lnimpl::fail({store::StatusWrongItemType, it ? it->name : QString()});
        return;
    }
    m_values = it->texts;
    m_valid = true;
}

LNSTATUS LNText::GetText(LNString* text, const char* separator) const {
    if (!text) return lnimpl::fail(store::StatusInternal);
    if (!m_valid) return lnimpl::fail(store::StatusWrongItemType);
    *text = toLN(m_values.join(QString::fromUtf8(separator ? separator : "")));
    return LNNOERROR;
}

LNString LNText::operator[](LNINT index) const {
    if (index < 0 || index >= m_values.size()) {
        lnimpl::fail(store::StatusIndexOutOfRange);
        return LNString();
    }
    return toLN(m_values.at(index));
}

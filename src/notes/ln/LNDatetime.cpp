#include "notes/ln/LNDatetime.h"

#include "notes/ln/LNErrors.h"

namespace {
LNString toLN(const QString& s) {
    const QByteArray b = s.toUtf8();
    return LNString(std::string(b.constData(), size_t(b.size())));
}
}  // namespace

LNSTATUS LNDatetime::GetText(LNString* text) const {
    if (!text) return lnimpl::fail(store::StatusInternal);
    *text = toLN(m_value.text());
    return LNNOERROR;
}

LNDatetimes::LNDatetimes(const LNItem& item) {
    const store::StoreItem* it = item.data();
    if (!it || (it->type != store::TypeTime && it->type != store::TypeTimeRange) || it->unreadable) {
        lnimpl::fail({store::StatusWrongItemType, it ? it->name : QString()});
        return;
    }
    for (const auto& t : it->times) m_texts << t.text();
    for (const auto& r : it->timeRanges) m_texts << r.lower.text() + QStringLiteral(" - ") + r.upper.text();
    m_valid = true;
}

LNSTATUS LNDatetimes::GetText(LNString* text, const char* separator) const {
    if (!text) return lnimpl::fail(store::StatusInternal);
    if (!m_valid) return lnimpl::fail(store::StatusWrongItemType);
    *text = toLN(m_texts.join(QString::fromUtf8(separator ? separator : "")));
    return LNNOERROR;
}

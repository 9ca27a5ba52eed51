#include "notes/ln/LNRichText.h"

#include "notes/ln/LNErrors.h"

namespace {
LNString toLN(const QString& s) {
    const QByteArray b = s.toUtf8();
    return LNString(std::string(b.constData(), size_t(b.size())));
}
}  // namespace

LNRichText::LNRichText(const LNItem& item) {
    const store::StoreItem* it = item.data();
    if (!it || it->type != store::TypeComposite || !it->richText) {
        lnimpl::fail({store::StatusWrongItemType, it ? it->name : QString()});
        return;
    }
    m_doc = it->richText;
    m_plain = m_doc->plainText();
    m_valueSize = it->raw.isEmpty() ? LNINT(m_plain.toUtf8().size()) : LNINT(it->raw.size());
    m_valid = true;
}

LNRichText::LNRichText(std::shared_ptr<const store::RichTextDoc> document) {
    if (!document) {
        lnimpl::fail({store::StatusWrongItemType, QString()});
        return;
    }
    m_doc = std::move(document);
    m_plain = m_doc->plainText();
    m_valueSize = m_doc->rawRecords.isEmpty() ? LNINT(m_plain.toUtf8().size()) : LNINT(m_doc->rawRecords.size());
    m_valid = true;
}

LNSTATUS LNRichText::GetText(LNString* text) const {
    LNRTCursor start;
    LNRTCursor end(LNINT(m_plain.size()));
    return GetText(&start, end, text);
}

LNSTATUS LNRichText::GetText(LNRTCursor* start, const LNRTCursor& end, LNString* text) const {
    if (!text || !start) return lnimpl::fail(store::StatusInternal);
    if (!m_valid) return lnimpl::fail(store::StatusWrongItemType);
    const LNINT from = std::clamp<LNINT>(start->position(), 0, LNINT(m_plain.size()));
    const LNINT to = std::clamp<LNINT>(end.position(), from, LNINT(m_plain.size()));
    LNINT n = std::min<LNINT>(to - from, ChunkCharacters);
    // Never split a surrogate pair between two reads.
    if (n > 0 && from + n < to && m_plain.at(from + n - 1).isHighSurrogate()) --n;
    *text = toLN(m_plain.mid(from, n));
    start->setPosition(from + n);
    return from + n < to ? LNWARN_PARTIAL_TEXT : LNNOERROR;
}

LNSTATUS LNRichText::GetCursor(LNRTCursor* cursor) const {
    if (!cursor) return lnimpl::fail(store::StatusInternal);
    if (!m_valid) return lnimpl::fail(store::StatusWrongItemType);
    *cursor = LNRTCursor(0);
    return LNNOERROR;
}

LNSTATUS LNRichText::GetEndCursor(LNRTCursor* cursor) const {
    if (!cursor) return lnimpl::fail(store::StatusInternal);
    if (!m_valid) return lnimpl::fail(store::StatusWrongItemType);
    *cursor = LNRTCursor(LNINT(m_plain.size()));
    return LNNOERROR;
}

LNINT LNRichText::GetValueSize() const { return m_valueSize; }

// Export (the RTF filters) is defined with the RTF writer, in rtf/LNRichTextExport.cpp.

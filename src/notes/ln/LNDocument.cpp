#include "notes/ln/LNDocument.h"

#include "notes/ln/LNAttachment.h"
#include "notes/ln/LNDatetime.h"
#include "notes/ln/LNDatabaseImpl.h"
#include "notes/ln/LNErrors.h"
#include "notes/ln/LNItem.h"

LNNote::LNNote(std::shared_ptr<LNDatabaseImpl> db, NOTEID noteId) : m_db(std::move(db)), m_noteId(noteId) {}

LNSTATUS LNNote::Open(LNINT) {
    if (!m_db) return lnimpl::fail(store::StatusNotOpen);
    auto note = std::make_shared<store::StoreNote>();
    store::StoreError error;
    {
        QMutexLocker lock(&m_db->mutex);
        if (!m_db->store) return lnimpl::fail(store::StatusNotOpen);
        error = m_db->store->loadNote(m_noteId, *note);
    }
    if (!error.ok()) return lnimpl::fail(error);
    if (note->encrypted)
        return lnimpl::fail({store::StatusEncrypted, QStringLiteral("note ID %1").arg(m_noteId, 0, 16)});
    m_note = std::move(note);
    return LNNOERROR;
}

std::shared_ptr<const store::StoreForm> LNNote::GetForm() const {
    if (!m_note || !m_db) return nullptr;
    const store::StoreItem* form = m_note->item(QStringLiteral("Form"));
    // The document's own items (not Notes' `$` ones) tell a form apart when none is named.
    QStringList names;
    for (const store::StoreItem& item : m_note->items)
        if (!item.name.startsWith(QLatin1Char('$')) && item.name.compare(QLatin1String("Form"), Qt::CaseInsensitive) &&
            !names.contains(item.name, Qt::CaseInsensitive))
            names << item.name;
    return m_db->formNamed(form && !form->texts.isEmpty() ? form->texts.first() : QString(), names);
}

LNSTATUS LNNote::Close() {
    m_note.reset();
    return LNNOERROR;
}

LNSTATUS LNNote::RefreshObjectFromNoteHandle() {
    if (!m_note) return lnimpl::fail(store::StatusNoteNotOpen);
    return Open(0);
}

LNBOOL LNNote::HasItem(const LNString& name) const {
    if (!m_note) {
        lnimpl::fail(store::StatusNoteNotOpen);
        return FALSE;
    }
    return m_note->item(QString::fromUtf8(name.GetBuf())) ? TRUE : FALSE;
}

LNSTATUS LNNote::GetItem(const LNString& name, LNItem* item) const {
    if (!item) return lnimpl::fail(store::StatusInternal);
    if (!m_note) return lnimpl::fail(store::StatusNoteNotOpen);
    const QString wanted = QString::fromUtf8(name.GetBuf());
    const store::StoreItem* it = m_note->item(wanted);
    if (!it) return lnimpl::fail({store::StatusNoSuchItem, wanted});
    *item = LNItem(m_note, it, *this);
    return LNNOERROR;
}

LNITEMTYPE LNNote::GetItemType(const LNString& name) const {
    LNItem item;
    if (GetItem(name, &item) != LNNOERROR) return LNITEMTYPE_UNSUPPORTED;
    return item.GetType();
}

LNINT LNNote::GetSize() const {
    if (!m_note) {
        lnimpl::fail(store::StatusNoteNotOpen);
        return 0;
    }
    return LNINT(std::min<qint64>(m_note->size, INT32_MAX));
}

LNSTATUS LNNote::GetAttachments(LNAttachmentArray* attachments) const {
    if (!attachments) return lnimpl::fail(store::StatusInternal);
    if (!m_note) return lnimpl::fail(store::StatusNoteNotOpen);
    *attachments = LNAttachmentArray(m_db, m_note);
    return LNNOERROR;
}

LNSTATUS LNMailMessage::GetDateSent(LNDatetime* date) const {
    if (!date) return lnimpl::fail(store::StatusInternal);
    LNItem item;
    LNSTATUS st = GetItem("PostedDate", &item);
    if (st != LNNOERROR) return st;
    const store::StoreItem* it = item.data();
    if (!it || it->type != store::TypeTime || it->times.empty())
        return lnimpl::fail({store::StatusWrongItemType, QStringLiteral("PostedDate")});
    *date = LNDatetime(it->times.front());
    return LNNOERROR;
}

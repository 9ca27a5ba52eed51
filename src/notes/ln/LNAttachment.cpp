#include "notes/ln/LNAttachment.h"

#include "notes/ln/LNDatabaseImpl.h"
#include "notes/ln/LNDocument.h"
#include "notes/ln/LNErrors.h"
#include "notes/ln/LNItem.h"

LNAttachment::LNAttachment(std::shared_ptr<LNDatabaseImpl> db, NOTEID noteId, store::StoreAttachment attachment)
    : m_db(std::move(db)), m_noteId(noteId), m_attachment(std::move(attachment)) {}

LNAttachment::LNAttachment(const LNItem& item) {
    const store::StoreItem* it = item.data();
    const auto& note = item.note();
    if (!it || !note || it->type != store::TypeObject) {
        lnimpl::fail({store::StatusWrongItemType, it ? it->name : QString()});
        return;
    }
    // A $FILE item names its attachment by its first text value, or the store
    // lists attachments in item order: match by name.
    const QString wanted = it->texts.isEmpty() ? QString() : it->texts.front();
    for (const auto& a : note->attachments) {
        if (wanted.isEmpty() || a.name == wanted) {
            m_db = item.database();
            m_noteId = note->noteId;
            m_attachment = a;
            return;
        }
    }
    lnimpl::fail({store::StatusAttachmentUnreadable, wanted});
}

LNString LNAttachment::GetAttachmentName() const {
    const QByteArray b = m_attachment.name.toUtf8();
    return LNString(std::string(b.constData(), size_t(b.size())));
}

LNINT LNAttachment::GetFileSize() const { return LNINT(std::min<qint64>(m_attachment.size, INT32_MAX)); }

LNSTATUS LNAttachment::Detach(const LNString& path) const {
    if (!m_db) return lnimpl::fail(store::StatusAttachmentUnreadable);
    if (!m_attachment.decodable)
        return lnimpl::fail({store::StatusAttachmentUnreadable, m_attachment.name + QStringLiteral(": ") +
                                                                    m_attachment.problem});
    store::StoreError error;
    {
        QMutexLocker lock(&m_db->mutex);
        if (!m_db->store) return lnimpl::fail(store::StatusNotOpen);
        error = m_db->store->detachAttachment(m_noteId, m_attachment, QString::fromUtf8(path.GetBuf()));
    }
    return lnimpl::check(error);
}

LNAttachmentArray::LNAttachmentArray(std::shared_ptr<LNDatabaseImpl> db, std::shared_ptr<const store::StoreNote> note)
    : m_db(std::move(db)), m_note(std::move(note)) {}

LNINT LNAttachmentArray::GetCount() const { return m_note ? LNINT(m_note->attachments.size()) : 0; }

LNAttachment LNAttachmentArray::operator[](LNINT index) const {
    if (!m_note || index < 0 || size_t(index) >= m_note->attachments.size()) {
        lnimpl::fail(store::StatusIndexOutOfRange);
        return LNAttachment();
    }
    return LNAttachment(m_db, m_note->noteId, m_note->attachments[size_t(index)]);
}

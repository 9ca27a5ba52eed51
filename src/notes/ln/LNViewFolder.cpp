#include "notes/ln/LNViewFolder.h"

#include "notes/ln/LNDatabaseImpl.h"
#include "notes/ln/LNDocument.h"
#include "notes/ln/LNErrors.h"

LNSTATUS LNVFEntry::GetDocument(LNDocument* document) const {
    if (!document) return lnimpl::fail(store::StatusInternal);
    if (!m_db || !m_db->isOpen()) return lnimpl::fail(store::StatusNotOpen);
    *document = LNDocument(m_db, m_noteId);
    return LNNOERROR;
}

LNViewFolder::LNViewFolder(std::shared_ptr<LNDatabaseImpl> db, size_t index) : m_db(std::move(db)), m_index(index) {}

LNSTATUS LNViewFolder::Open(LNINT) {
    if (!m_db || !m_db->isOpen()) return lnimpl::fail(store::StatusNotOpen);
    std::vector<uint32_t> ids;
    store::StoreError error;
    {
        QMutexLocker lock(&m_db->mutex);
        if (!m_db->store) return lnimpl::fail(store::StatusNotOpen);
        if (m_index >= m_db->folders.size()) return lnimpl::fail(store::StatusIndexOutOfRange);
        if (m_db->folders[m_index].everyDocument)
            ids = m_db->store->allDocumentIds();
        else
            error = m_db->store->folderEntries(m_index, ids);
    }
    if (!error.ok()) {
        // A view the store cannot evaluate still opens; it has no entries.
        if (error.status != store::StatusUnsupportedFormula) return lnimpl::fail(error);
        ids.clear();
    }
    m_entries = std::move(ids);
    m_open = true;
    return LNNOERROR;
}

LNSTATUS LNViewFolder::Close() {
    m_open = false;
    m_entries.clear();
    m_entries.shrink_to_fit();
    return LNNOERROR;
}

LNBOOL LNViewFolder::IsFolder() const {
    if (!m_db) return FALSE;
    QMutexLocker lock(&m_db->mutex);
    return m_index < m_db->folders.size() && m_db->folders[m_index].isFolder ? TRUE : FALSE;
}

LNBOOL LNViewFolder::IsEveryDocument() const {
    if (!m_db) return FALSE;
    QMutexLocker lock(&m_db->mutex);
    return m_index < m_db->folders.size() && m_db->folders[m_index].everyDocument ? TRUE : FALSE;
}

LNString LNViewFolder::GetName() const {
    if (!m_db) return LNString();
    QMutexLocker lock(&m_db->mutex);
    if (m_index >= m_db->folders.size()) return LNString();
    const QByteArray b = m_db->folders[m_index].name.toUtf8();
    return LNString(std::string(b.constData(), size_t(b.size())));
}

QString LNViewFolder::GetProblem() const {
    if (!m_db) return QString();
    QMutexLocker lock(&m_db->mutex);
    return m_index < m_db->folders.size() ? m_db->folders[m_index].problem : QString();
}

QString LNViewFolder::GetTitleItem() const {
    if (!m_db) return QString();
    QMutexLocker lock(&m_db->mutex);
    return m_index < m_db->folders.size() ? m_db->folders[m_index].titleItem : QString();
}

LNINT LNViewFolder::GetEntryCount() const {
    if (!m_open) {
        lnimpl::fail(store::StatusNotOpen);
        return 0;
    }
    return LNINT(m_entries.size());
}

LNVFEntry LNViewFolder::operator[](LNINT index) const {
    LNVFEntry e;
    if (!m_open || index < 0 || size_t(index) >= m_entries.size()) {
        lnimpl::fail(store::StatusIndexOutOfRange);
        return e;
    }
    e.m_db = m_db;
    e.m_noteId = m_entries[size_t(index)];
    return e;
}

LNViewFolder LNViewFolderArray::operator[](LNINT index) const {
    if (index < 0 || size_t(index) >= m_count) {
        lnimpl::fail(store::StatusIndexOutOfRange);
        return LNViewFolder();
    }
    return LNViewFolder(m_db, size_t(index));
}

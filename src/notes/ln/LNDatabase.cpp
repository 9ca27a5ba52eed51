#include "notes/ln/LNDatabase.h"

#include "notes/ln/LNDatabaseImpl.h"
#include "notes/ln/LNDocument.h"
#include "notes/ln/LNErrors.h"
#include "notes/ln/LNViewFolder.h"

#include <QFileInfo>

namespace {

std::string utf8(const QString& s) {
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

}  // namespace

namespace lnimpl {

QString everyDocumentName(const std::vector<store::StoreFolderInfo>& folders) {
    const QString base = QStringLiteral("All Documents (every document)");
    auto taken = [&](const QString& name) {
        for (const store::StoreFolderInfo& f : folders) {
            // A nested view's last level is a folder name of its own on disk.
            const QString last = f.name.section(QLatin1Char('\\'), -1).trimmed();
            if (f.name.compare(name, Qt::CaseInsensitive) == 0 || last.compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    QString name = base;
    for (int n = 2; taken(name); ++n) name = base + QLatin1Char(' ') + QString::number(n);
    return name;
}

}  // namespace lnimpl

void LNDatabaseImpl::readFolders() {
    if (foldersRead || !store) return;
    folders = store->folders();
    store::StoreFolderInfo every;
    every.name = lnimpl::everyDocumentName(folders);
    every.everyDocument = true;
    folders.push_back(every);
    foldersRead = true;
}

std::shared_ptr<const store::StoreForm> LNDatabaseImpl::formNamed(const QString& formItem,
                                                                  const QStringList& itemNames) {
    QMutexLocker lock(&mutex);
    if (!store) return nullptr;
    if (!formsRead) {
        forms = store->forms();
        formsRead = true;
    }
    return store::FindForm(forms, formItem, itemNames);
}

LNSTATUS LNDatabase::Open(LNINT) {
    if (!m_impl) return lnimpl::fail(store::StatusNotOpen);
    QMutexLocker lock(&m_impl->mutex);
    if (m_impl->store) return LNNOERROR;
    store::StoreError error;
    auto s = store::openStore(m_impl->path, m_impl->server, error);
    if (!s) {
        if (error.ok()) error = {store::StatusUnsupportedFormat, m_impl->path};
        lock.unlock();
        return lnimpl::fail(error);
    }
    m_impl->store = std::move(s);
    m_impl->foldersRead = false;
    m_impl->formsRead = false;
    return LNNOERROR;
}

LNSTATUS LNDatabase::Close() {
    if (!m_impl) return lnimpl::fail(store::StatusNotOpen);
    QMutexLocker lock(&m_impl->mutex);
    m_impl->store.reset();
    m_impl->folders.clear();
    m_impl->foldersRead = false;
    m_impl->forms.clear();
    m_impl->formsRead = false;
    return LNNOERROR;
}

bool LNDatabase::IsOpen() const { return m_impl && m_impl->isOpen(); }

LNSTATUS LNDatabase::GetViewFolders(LNViewFolderArray* array, LNBOOL) {
    if (!array) return lnimpl::fail(store::StatusInternal);
    if (!IsOpen()) return lnimpl::fail(store::StatusNotOpen);
    QMutexLocker lock(&m_impl->mutex);
    m_impl->readFolders();
    array->m_db = m_impl;
    array->m_count = m_impl->folders.size();
    return LNNOERROR;
}

LNBOOL LNDatabase::ViewFolderExists(const LNString& name) {
    if (!IsOpen()) {
        lnimpl::fail(store::StatusNotOpen);
        return FALSE;
    }
    QMutexLocker lock(&m_impl->mutex);
    m_impl->readFolders();
    const QString wanted = QString::fromUtf8(name.GetBuf());
    for (const auto& info : m_impl->folders)
        if (info.name == wanted) return TRUE;
    return FALSE;
}

LNSTATUS LNDatabase::GetViewFolder(const LNString& name, LNViewFolder* folder) {
    if (!folder) return lnimpl::fail(store::StatusInternal);
    if (!IsOpen()) return lnimpl::fail(store::StatusNotOpen);
    const QString wanted = QString::fromUtf8(name.GetBuf());
    size_t index = 0;
    bool found = false;
    {
        QMutexLocker lock(&m_impl->mutex);
        m_impl->readFolders();
        for (size_t i = 0; i < m_impl->folders.size(); ++i) {
            if (m_impl->folders[i].name == wanted) {
                index = i;
                found = true;
                break;
            }
        }
    }
    if (!found) return lnimpl::fail({store::StatusNoSuchFolder, wanted});
    *folder = LNViewFolder(m_impl, index);
    return LNNOERROR;
}

LNSTATUS LNDatabase::GetDocument(NOTEID noteId, LNDocument* document) {
    if (!document) return lnimpl::fail(store::StatusInternal);
    if (!IsOpen()) return lnimpl::fail(store::StatusNotOpen);
    *document = LNDocument(m_impl, noteId);
    return LNNOERROR;
}

QStringList LNDatabase::GetProblems() {
    if (!IsOpen()) return {};
    QMutexLocker lock(&m_impl->mutex);
    return m_impl->store ? m_impl->store->problems() : QStringList();
}

LNString LNDatabase::GetFilename() const {
    if (!m_impl) return LNString();
    return LNString(utf8(QFileInfo(m_impl->path).fileName()));
}

LNString LNDatabase::GetFilepath() const { return m_impl ? LNString(utf8(m_impl->path)) : LNString(); }

LNString LNDatabase::GetServer() const { return m_impl ? LNString(utf8(m_impl->server)) : LNString(); }

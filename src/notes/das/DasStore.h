#pragma once

#include "notes/das/DasDocumentMapper.h"
#include "notes/das/DasSession.h"
#include "notes/store/NoteStore.h"

#include <QHash>

#include <map>
#include <memory>

namespace das {

// A database on a Domino server, read through the server's data service.
// Views and folders come from /collections, their entries page by page, and
// documents by UNID; the note IDs the entries carry are mapped to UNIDs as
// the entries are listed (the service cannot fetch by note ID).
class DasStore : public store::NoteStore {
public:
    // Opens PATH on the server (lists its views and folders once).
    static std::unique_ptr<DasStore> open(const DominoServer& server, const QString& path, store::StoreError& error);

    QString title() const override { return m_title; }
    std::vector<store::StoreFolderInfo> folders() override { return m_folders; }
    store::StoreError folderEntries(size_t index, std::vector<uint32_t>& noteIds) override;
    store::StoreError loadNote(uint32_t noteId, store::StoreNote& note) override;
    store::StoreError detachAttachment(uint32_t noteId, const store::StoreAttachment& attachment,
                                       const QString& targetPath) override;
    std::vector<uint32_t> allDocumentIds() override;
    QStringList problems() override { return m_listingProblems; }

    // Reads a document by UNID and returns its note ID (recorded for loadNote).
    store::StoreError noteIdForUnid(const QString& unid, uint32_t& noteId);

    // Entries asked for per page (lowered when the server's limit is smaller).
    void setPageSize(int entries) { m_pageSize = entries; }
    // A view listing more entries than this is stopped with an error.
    void setMaxEntries(qint64 entries) { m_maxEntries = entries; }

    QString dbPath() const { return m_path; }

private:
    DasStore(std::shared_ptr<DasSession> session, QString path);
    QString dbUrlPath() const;
    QString what(const QString& detail) const;
    store::StoreError fetchDocument(const QString& unid, store::StoreNote& note, std::vector<AttachmentSource>& files);
    void recordNoteId(uint32_t noteId, const QString& unid);
    QString unidOf(uint32_t noteId);

    std::shared_ptr<DasSession> m_session;
    QString m_path;
    QString m_title;
    std::vector<store::StoreFolderInfo> m_folders;
    bool m_allListed = false;
    // Views whose entries could not be listed for the list of every document.
    QStringList m_listingProblems;
    int m_pageSize = 100;
    qint64 m_maxEntries = 1000000;
    // The files of the last document read, by note ID.
    uint32_t m_filesNote = 0;
    std::vector<AttachmentSource> m_files;
};

// Registers the "domino" store driver ("SERVER!!PATH" from openStore).
void registerDominoDriver();

}  // namespace das

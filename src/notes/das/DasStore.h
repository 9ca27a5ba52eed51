#pragma once

#include "notes/das/DasDocumentMapper.h"
#include "notes/das/DasReadAhead.h"
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
    // Documents read ahead of the one loaded, in the order of the view or
    // folder listed last (0: none, each document is read when loaded).
    void setReadAhead(int documents) { m_readAheadCount = documents; }
    // What stores opened from now on read ahead (8 documents unless set).
    static void setDefaultReadAhead(int documents);
    // Documents so far that had been read ahead when they were loaded.
    int readAheadHits() const { return m_readAhead ? m_readAhead->handedOver() : 0; }

    QString dbPath() const { return m_path; }

private:
    DasStore(std::shared_ptr<DasSession> session, QString path);
    QString dbUrlPath() const;
    QString what(const QString& detail) const;
    store::StoreError fetchDocument(const QString& unid, store::StoreNote& note, std::vector<AttachmentSource>& files,
                                    const CancelCheck& cancel) const;
    // A linked file's bytes to `write`, checked against the sizes announced.
    store::StoreError download(const AttachmentSource& source, const QString& name,
                               const std::function<store::StoreError(const char*, qint64)>& write,
                               const CancelCheck& cancel) const;
    // Asks for the documents after `noteId` in the order being worked through.
    void readAheadAfter(uint32_t noteId);
    void setOrder(const std::vector<uint32_t>& noteIds);
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
    // The last document read, given again when it is asked for next (the
    // converter opens an item more than once while it writes it).
    store::StoreNote m_lastNote;
    // The files of the last document read, by note ID.
    uint32_t m_filesNote = 0;
    QString m_filesUnid;
    std::vector<AttachmentSource> m_files;
    // The order documents are loaded in (the last listing) for reading ahead.
    std::vector<uint32_t> m_order;
    QHash<uint32_t, size_t> m_orderIndex;
    int m_readAheadCount;
    std::unique_ptr<DasReadAhead> m_readAhead;  // last: stopped before the rest goes
};

// Registers the "domino" store driver ("SERVER!!PATH" from openStore).
void registerDominoDriver();

}  // namespace das

#pragma once

#include "notes/mime/NotesMimeBody.h"

#include "notes/nsf/BucketCache.h"
#include "notes/nsf/BucketDescriptorBlock.h"
#include "notes/nsf/HuffmanDecoder.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/NoteReader.h"
#include "notes/nsf/NsfFile.h"
#include "notes/nsf/NsfHeader.h"
#include "notes/nsf/RawNote.h"
#include "notes/nsf/RrvMap.h"
#include "notes/nsf/Superblock.h"
#include "notes/nsf/ViewDesign.h"
#include "notes/store/StoreForm.h"
#include "notes/store/StoreItem.h"
#include "notes/store/StoreStatus.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace nsf {

// One open NSF database: the header, the newest superblock and BDB, the note
// ID map; reads notes on demand and turns them into the store's model.
class NsfDatabase {
public:
    // A view or folder design note.
    struct DesignEntry {
        uint32_t noteId = 0;
        QString unid;
        QString storedTitle;  // $TITLE as stored; a text list as "[a,b]"
        QString name;         // the name without aliases
        bool isFolder = false;
        std::shared_ptr<const ViewDesign> view;  // selection, stored index, sort column
    };

    static std::unique_ptr<NsfDatabase> open(std::unique_ptr<NsfFile> file, store::StoreError& error);

    const NsfHeader& header() const { return m_header; }
    const Superblock& superblock() const { return m_sb; }
    const BucketDescriptorBlock& bdb() const { return m_bdb; }
    const RrvMap& rrv() const { return m_rrv; }
    uint64_t fileSize() const { return m_file->size(); }
    LmbcsConverter& lmbcs() { return m_lmbcs; }
    QString title();

    // Reads the record of one ID (a note, a deletion stub or an object).
    NoteReader::Result readRaw(uint32_t id, RawNote& note, QString& error);
    NoteReader::Result peekClass(uint32_t id, uint16_t& noteClass, QString& error);

    // Loads a note into the store's model.
    store::StoreError loadNote(uint32_t noteId, store::StoreNote& note);
    void convert(const RawNote& raw, store::StoreNote& note);

    // Writes attachment `key` (the index of its $FILE item) of a note into `sink`.
    store::StoreError extractAttachment(uint32_t noteId, qint64 key, const HuffmanDecoder::Sink& sink);

    // Views and folders, in note ID order.
    const std::vector<DesignEntry>& designEntries();
    // Forms and subforms, in note ID order (pages, framesets and resources left out).
    const std::vector<std::shared_ptr<const store::StoreForm>>& forms();
    // Member note IDs of a folder from its $FolderIDTable object.
    store::StoreError folderMembers(uint32_t folderNoteId, std::vector<uint32_t>& ids);

    // Class-1 notes (documents), in note ID order.
    const std::vector<uint32_t>& documentIds();

    // What could not be read, one line each: RRV buckets, note records whose
    // class cannot be told, view and folder notes. Empty for a sound file.
    QStringList problems();

private:
    NsfDatabase() = default;
    void addAttachment(const RawItem& raw, size_t itemIndex, store::StoreNote& note);
    // Peeks at every record once: documents, view/folder notes, unreadable records.
    void classifyRecords();
    NoteReader::Result peek(const RrvMap::Entry& entry, uint16_t& noteClass, QString& error);
    void releaseAround(uint64_t offset);
    // The note's MIME body fields, parsed (one entry per field name, in item order).
    std::vector<mime::NotesMimeBody::Result> mimeBodies(const RawNote& raw);
    // The bytes of the note's $FILE object of that name (for MIME parts stored apart).
    bool loadFileObject(const RawNote& raw, const QString& name, QByteArray& bytes, QString& problem);

    std::unique_ptr<NsfFile> m_file;
    NsfHeader m_header;
    Superblock m_sb;
    BucketDescriptorBlock m_bdb;
    RrvMap m_rrv;
    LmbcsConverter m_lmbcs;
    BucketCache m_cache;
    std::unique_ptr<NoteReader> m_reader;
    std::optional<std::vector<DesignEntry>> m_design;
    bool m_classified = false;
    std::vector<uint32_t> m_documents;
    std::vector<uint32_t> m_designIds;
    std::vector<uint32_t> m_formIds;
    std::optional<std::vector<std::shared_ptr<const store::StoreForm>>> m_forms;
    QStringList m_recordProblems;
    QStringList m_designProblems;
};

}  // namespace nsf

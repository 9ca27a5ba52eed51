#pragma once

#include <QFile>
#include <memory>

#include "notes/dxl/DxlIndex.h"
#include "notes/store/NoteStore.h"

namespace store::dxl {

// The Notes XML (DXL) store: a whole-database export, or a file holding one
// document (a database of that one document) or one view or folder. Opening
// reads the file once (DxlIndexer); a document's items are read from its
// byte range when it is loaded; attachment data is decoded only when it is
// detached, straight from the file into the target.
class DxlStore : public NoteStore {
  public:
    static std::unique_ptr<DxlStore> open(const QString& path, StoreError& error);

    QString title() const override { return m_index.title; }
    std::vector<StoreFolderInfo> folders() override;
    StoreError folderEntries(size_t index, std::vector<uint32_t>& noteIds) override;
    StoreError loadNote(uint32_t noteId, StoreNote& note) override;
    StoreError detachAttachment(uint32_t noteId, const StoreAttachment& attachment,
                                const QString& targetPath) override;
    std::vector<uint32_t> allDocumentIds() override;
    std::vector<std::shared_ptr<const StoreForm>> forms() override { return m_index.forms; }
    QStringList problems() override { return m_index.damagedDocuments; }

    const DxlIndex& index() const { return m_index; }

  private:
    DxlStore() = default;
    void computeEntries(DxlDesignEntry& design);
    // Puts document indexes in the order of item `nameId`'s first value.
    void sortEntries(std::vector<int>& docs, int nameId, bool descending) const;
    StoreError readRange(const DxlDocEntry& doc, QByteArray& bytes);
    StoreError detachThroughXml(const DxlDocEntry& doc, qint64 ordinal, const DxlAttachmentSpan& span,
                                const QString& targetPath);

    QString m_path;
    QFile m_file;
    DxlIndex m_index;
};

}  // namespace store::dxl

#pragma once

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/ViewEntries.h"
#include "notes/store/NoteStore.h"

#include <memory>
#include <optional>

namespace nsf {

// The store driver's database: serves the Notes access layer from an NSF file.
class NsfStore : public store::NoteStore {
public:
    static std::unique_ptr<store::NoteStore> open(const QString& path, store::StoreError& error);
    explicit NsfStore(std::unique_ptr<NsfDatabase> db) : m_db(std::move(db)), m_views(*m_db) {}

    QString title() const override;
    std::vector<store::StoreFolderInfo> folders() override;
    store::StoreError folderEntries(size_t index, std::vector<uint32_t>& noteIds) override;
    store::StoreError loadNote(uint32_t noteId, store::StoreNote& note) override;
    store::StoreError detachAttachment(uint32_t noteId, const store::StoreAttachment& attachment,
                                       const QString& targetPath) override;
    std::vector<uint32_t> allDocumentIds() override;
    QStringList problems() override { return m_db->problems(); }
    std::vector<std::shared_ptr<const store::StoreForm>> forms() override { return m_db->forms(); }

    NsfDatabase& database() { return *m_db; }

private:
    std::unique_ptr<NsfDatabase> m_db;
    ViewEntries m_views;
    // The documents without the profile documents, once read.
    std::optional<std::vector<uint32_t>> m_dataDocuments;
};

// Whether a note is a profile document: a document named "$profile..." by its
// $Name item, which views never list.
bool isProfileDocument(const RawNote& note);

}  // namespace nsf

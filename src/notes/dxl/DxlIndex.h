#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "notes/formula/FormulaValue.h"
#include "notes/dxl/SelectionFormula.h"
#include "notes/store/NoteStore.h"

namespace store::dxl {

// Where an attachment's base64 data lies in the file, and what it decodes to.
struct DxlAttachmentSpan {
    QString name;
    qint64 size = 0;       // decoded length
    qint64 dataStart = 0;  // first byte of the <filedata> content
    qint64 dataEnd = 0;    // one past its last byte
    bool readable = true;
    QString problem;
};

// What the index keeps of one document: its place in the file and the few
// values that folder membership, selection formulas and sorting need.
struct DxlDocEntry {
    qint64 start = 0;  // offset of "<document" / "<note"
    qint64 end = 0;    // one past the closing ">"
    uint32_t noteId = 0;
    int attachments = -1;                              // index into DxlIndex::attachments, -1: none
    bool profile = false;                              // a profile document ($Name "$profile...")
    std::vector<std::pair<int, FormulaValue>> values;  // by item name id

    const FormulaValue* value(int nameId) const {
        for (const auto& v : values)
            if (v.first == nameId) return &v.second;
        return nullptr;
    }
};

// A view or folder of the file.
struct DxlDesignEntry {
    StoreFolderInfo info;
    std::shared_ptr<SelectionFormula> formula;  // views; null: all documents or a problem
    int sortNameId = -1;                        // first sorted item column, -1: none
    bool descending = false;
    bool entriesReady = false;
    std::vector<uint32_t> entries;
};

// Everything the DXL driver learns from one pass over the file.
struct DxlIndex {
    QString title;
    QByteArray encoding;  // empty for UTF-8, else the declared single-byte encoding
    std::vector<DxlDocEntry> docs;
    std::vector<DxlDesignEntry> designs;
    std::vector<std::shared_ptr<const StoreForm>> forms;
    std::vector<std::vector<DxlAttachmentSpan>> attachments;
    QHash<QString, int> nameIds;                     // lower-cased item name -> id
    QHash<QString, std::vector<int>> folderMembers;  // folder UNID (upper case) -> document indexes
    QHash<uint32_t, int> byNoteId;
    // Documents left out because their XML is damaged, one line each.
    QStringList damagedDocuments;

    int nameId(const QString& lowerName) const { return nameIds.value(lowerName, -1); }
    int addName(const QString& lowerName) {
        auto it = nameIds.constFind(lowerName);
        if (it != nameIds.constEnd()) return *it;
        const int id = int(nameIds.size());
        nameIds.insert(lowerName, id);
        return id;
    }
};

}  // namespace store::dxl

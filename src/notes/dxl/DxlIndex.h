#pragma once

#include <QHash>
#include <QString>
#include <algorithm>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

#include "notes/dxl/DxlPackedValues.h"
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
// values that folder membership, selection formulas and sorting need (packed,
// in DxlIndex::values). Kept small: a large file has hundreds of thousands.
#pragma pack(push, 4)  // 28 bytes, not 32
struct DxlDocEntry {
    qint64 start = 0;    // offset of "<document" / "<note"
    quint32 length = 0;  // to one past the closing ">" (a larger document is not read)
    uint32_t noteId = 0;
    int attachments = -1;        // index into DxlIndex::attachments, -1: none
    quint32 valuesAt = 0;        // handle in DxlIndex::values
    quint32 valuesSize : 31 = 0; // bytes of the packed values
    quint32 profile : 1 = 0;     // a profile document ($Name "$profile...")

    qint64 end() const { return start + qint64(length); }
};
#pragma pack(pop)

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
    std::deque<DxlDocEntry> docs;  // a deque: no copy of them all as it grows
    DxlValueArena values;
    std::vector<DxlDesignEntry> designs;
    std::vector<std::shared_ptr<const StoreForm>> forms;
    std::vector<std::vector<DxlAttachmentSpan>> attachments;
    QHash<QString, int> nameIds;                     // lower-cased item name -> id
    QHash<QString, std::vector<int>> folderMembers;  // folder UNID (upper case) -> document indexes
    // Documents by note ID: while the IDs increase in file order (a database
    // export's do) a binary search over `docs` finds them and nothing more is
    // kept; otherwise every document is in this hash.
    bool idsIncreasing = true;
    QHash<uint32_t, int> byNoteId;
    // Documents left out because their XML is damaged, one line each.
    QStringList damagedDocuments;

    // The document with this note ID; -1 when there is none.
    int docIndexOf(uint32_t noteId) const {
        if (!idsIncreasing) return byNoteId.value(noteId, -1);
        const auto it = std::lower_bound(docs.begin(), docs.end(), noteId,
                                         [](const DxlDocEntry& d, uint32_t id) { return d.noteId < id; });
        return it != docs.end() && it->noteId == noteId ? int(it - docs.begin()) : -1;
    }
    // Records document `index` under its note ID (0: none yet, one is
    // assigned later and recorded again).
    void noteIdAdded(size_t index) {
        const uint32_t id = docs[index].noteId;
        if (idsIncreasing && id != 0 && (index == 0 || docs[index - 1].noteId < id)) return;
        if (idsIncreasing) {
            idsIncreasing = false;
            byNoteId.reserve(qsizetype(docs.size()));
            for (size_t i = 0; i < index; ++i)
                if (docs[i].noteId != 0) byNoteId.insert(docs[i].noteId, int(i));
        }
        if (id != 0) byNoteId.insert(id, int(index));
    }

    int nameId(const QString& lowerName) const { return nameIds.value(lowerName, -1); }
    QByteArrayView packedValues(const DxlDocEntry& doc) const { return values.bytes(doc.valuesAt, doc.valuesSize); }
    void setValues(DxlDocEntry& doc, const DxlPackedValues::Values& list) {
        const QByteArray packed = DxlPackedValues::pack(list);
        doc.valuesAt = packed.isEmpty() ? 0 : values.add(packed);
        doc.valuesSize = quint32(packed.size()) & 0x7FFFFFFFu;
    }
    int addName(const QString& lowerName) {
        auto it = nameIds.constFind(lowerName);
        if (it != nameIds.constEnd()) return *it;
        const int id = int(nameIds.size());
        nameIds.insert(lowerName, id);
        return id;
    }
};

}  // namespace store::dxl

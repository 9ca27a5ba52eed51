#pragma once

#include "notes/store/NotesTime.h"
#include "richtext/RichTextModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace store {

// Item data types, with the Notes C API's numbers (TYPE_TEXT, ...).
enum ItemDataType : uint16_t {
    TypeError = 0x0000,
    TypeUnavailable = 0x0200,
    TypeText = 0x0500,
    TypeTextList = 0x0501,
    TypeNumber = 0x0300,
    TypeNumberRange = 0x0301,
    TypeTime = 0x0400,
    TypeTimeRange = 0x0401,
    TypeComposite = 0x0001,  // rich text
    TypeObject = 0x0003,     // $FILE and other objects
    TypeNoteRefList = 0x0004,
    TypeUserData = 0x0E00,
    TypeFormula = 0x0600,
    TypeUserId = 0x0700,
    TypeInvalidOrUnknown = 0xFFFF,
};

// One item of a note. Values live in the member matching `type`:
// texts for text and text lists, numbers, times (+ timeRanges for pairs),
// richText for rich text; raw keeps the stored bytes of types not decoded.
struct StoreItem {
    QString name;
    uint16_t type = TypeText;
    uint16_t flags = 0;          // Notes item flags when known (summary, ...)
    QStringList texts;
    std::vector<double> numbers;
    std::vector<NotesTime> times;
    std::vector<NotesTimePair> timeRanges;
    std::shared_ptr<const RichTextDoc> richText;
    QByteArray raw;
    bool unreadable = false;     // set when the driver could not decode the value
    QString problem;             // why, when unreadable
};

// A file attachment of a note ($FILE). `key` is the driver's own handle that
// detachAttachment() takes back.
struct StoreAttachment {
    QString name;
    qint64 size = 0;
    qint64 key = 0;
    bool decodable = true;       // false: detaching will fail with `problem`
    QString problem;
};

// One note as the driver serves it.
struct StoreNote {
    uint32_t noteId = 0;
    QString unid;
    // A mark of the note's last change, as the driver can tell it (empty:
    // unknown); compared only for equality, to notice a changed document.
    QString changeMark;
    uint16_t noteClass = 0x0001; // NOTE_CLASS_DOCUMENT
    qint64 size = 0;             // LNNote::GetSize
    bool encrypted = false;
    NotesTime created;           // when the note was made (null when the store does not say)
    NotesTime modified;          // when it was last changed (null when the store does not say)
    std::vector<StoreItem> items;
    std::vector<StoreAttachment> attachments;

    // First item of that name (case-insensitive, as Notes names are). Null if none.
    const StoreItem* item(const QString& name) const;
};

}  // namespace store

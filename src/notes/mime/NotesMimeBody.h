#pragma once

#include "notes/mime/MimeEntity.h"
#include "richtext/RichTextModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace mime {

// A MIME body as Notes stores it: one item per MIME part (item type 0x19),
// in item order, each value a 20-byte part header followed by the part's
// boundary line, its header block and its content:
//   +0 u16 version, +2 u32 flags, +6 u8 part type (1 prolog, 2 body,
//   3 epilog), +8 u16 bytes of part data, +10 u16 boundary length,
//   +12 u16 headers length, +14 six spare bytes; the part data at +20.
// Joined in order the parts give the message text, which MimeParser reads.
// A part whose content lives in a $FILE object (flag 4) holds the object's
// name instead; with flag 8 the object is also one of the note's file
// attachments, exported as such.
class NotesMimeBody {
public:
    enum PartFlag : uint32_t {
        PartHasBoundary = 0x1,
        PartHasHeaders = 0x2,
        PartBodyInObject = 0x4,
        PartSharedWithFile = 0x8,
    };
    static constexpr int HeaderSize = 20;

    // Gives the bytes of the $FILE object of that name (false, with a reason, when it cannot).
    using ObjectLoader = std::function<bool(const QString& name, QByteArray& bytes, QString& problem)>;

    explicit NotesMimeBody(ObjectLoader loader = {}) : m_loader(std::move(loader)) {}

    // One item's value (without its type word), in item order.
    void addPart(const QByteArray& value);
    bool isEmpty() const { return m_parts == 0; }

    struct Result {
        MimeEntity message;
        std::shared_ptr<store::RichTextDoc> body;  // the body for export; a closing note lists problems
        QStringList problems;
        // $FILE objects that hold body content rather than attachments.
        QStringList bodyObjects;
        // Attachment parts whose bytes are in the MIME data itself (no $FILE
        // shares them): the driver offers these as the note's attachments.
        std::vector<const MimeEntity*> ownAttachments() const;
        QStringList sharedFileNames;  // attachment parts that name a $FILE instead
    };
    Result finish() const;

    // The joined message text (for tests and diagnostics).
    const QByteArray& text() const { return m_text; }

private:
    ObjectLoader m_loader;
    QByteArray m_text;
    QStringList m_problems;
    QStringList m_bodyObjects;
    QStringList m_sharedFileNames;
    int m_parts = 0;
};

}  // namespace mime

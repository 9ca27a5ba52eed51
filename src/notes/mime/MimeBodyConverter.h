#pragma once

#include "notes/mime/MimeEntity.h"
#include "richtext/RichTextModel.h"

#include <QStringList>

namespace mime {

// The body a reader sees in a parsed message: the HTML alternative as rich
// text (with its cid: pictures), else the plain text as paragraphs; plain-text
// reads of the result give the text/plain alternative when there is one,
// else the HTML's text. Attachments are not part of the body.
class MimeBodyConverter {
public:
    // `problems` receives what could not be read (of the message and its HTML).
    static store::RichTextDoc convert(const MimeEntity& message, QStringList& problems);
    // Plain text as paragraphs, one per line.
    static std::vector<store::RtBlock> textBlocks(const QString& text);
    // A closing paragraph telling the reader what of the body could not be read.
    static store::RtBlock problemBlock(const QStringList& problems);
};

}  // namespace mime

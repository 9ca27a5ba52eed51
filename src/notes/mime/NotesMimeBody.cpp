#include "notes/mime/NotesMimeBody.h"

#include "notes/mime/MimeBodyConverter.h"
#include "notes/mime/MimeParser.h"

namespace mime {

namespace {

uint16_t u16(const QByteArray& b, int at) {
    return uint16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8));
}
uint32_t u32(const QByteArray& b, int at) { return uint32_t(u16(b, at)) | (uint32_t(u16(b, at + 2)) << 16); }

// Does the header block give the part a Content-ID or make it text (content
// the body needs, as opposed to a file attachment)?
bool bodyNeedsContent(const QByteArray& headers) {
    const QByteArray h = headers.toLower();
    if (h.contains("content-disposition: attachment")) return h.contains("content-id:");
    return h.contains("content-id:") || h.contains("content-type: text/") || !h.contains("content-type:");
}

}  // namespace

void NotesMimeBody::addPart(const QByteArray& value) {
    ++m_parts;
    if (value.size() < HeaderSize) {
        m_problems << QStringLiteral("A MIME part is too short to hold its header.");
        return;
    }
    const uint32_t flags = u32(value, 2);
    const int dataLength = u16(value, 8);
    const int boundaryLength = u16(value, 10);
    const int headersLength = u16(value, 12);
    const QByteArray data = value.mid(HeaderSize);
    if (data.size() < dataLength)
        m_problems << QStringLiteral("A MIME part holds %1 bytes where its header says %2.")
                          .arg(data.size())
                          .arg(dataLength);
    const QByteArray part = data.left(dataLength);
    if (boundaryLength + headersLength > part.size()) {
        m_problems << QStringLiteral("A MIME part's boundary and headers do not fit in it.");
        m_text += part;
        return;
    }
    const QByteArray boundary = part.left(boundaryLength);
    const QByteArray headers = part.mid(boundaryLength, headersLength);
    QByteArray content = part.mid(boundaryLength + headersLength);
    if (m_parts == 1 && headers.isEmpty() && boundary.isEmpty()) m_text += "\r\n";  // no header block: all content
    // The line break before a boundary belongs to the boundary; content kept
    // apart or a file name in place of the content does not end in one.
    if (!boundary.isEmpty() && !m_text.isEmpty() && !m_text.endsWith('\n')) m_text += "\r\n";
    m_text += boundary;
    m_text += headers;
    if (flags & PartSharedWithFile) m_sharedFileNames << QString::fromUtf8(content.trimmed());
    if ((flags & PartBodyInObject) && bodyNeedsContent(headers)) {
        const QString name = QString::fromUtf8(content.trimmed());
        QByteArray bytes;
        QString problem;
        if (!m_loader) {
            m_problems << QStringLiteral("The content of the MIME part \"%1\" is stored apart and cannot be read here.")
                              .arg(name);
        } else if (m_loader(name, bytes, problem)) {
            content = bytes;
            if (!(flags & PartSharedWithFile)) m_bodyObjects << name;
        } else {
            m_problems << QStringLiteral("The content of the MIME part \"%1\" could not be read: %2").arg(name, problem);
        }
    }
    m_text += content;
}

NotesMimeBody::Result NotesMimeBody::finish() const {
    Result r;
    r.problems = m_problems;
    r.bodyObjects = m_bodyObjects;
    r.sharedFileNames = m_sharedFileNames;
    r.message = MimeParser::parse(m_text);
    auto doc = std::make_shared<store::RichTextDoc>(MimeBodyConverter::convert(r.message, r.problems));
    r.problems.removeDuplicates();
    if (!r.problems.isEmpty()) {
        store::RtBlock note = MimeBodyConverter::problemBlock(r.problems);
        if (!doc->plainAlternative.isEmpty()) doc->plainAlternative += QStringLiteral("\r\n") + note.runs[0].text;
        doc->blocks.push_back(std::move(note));
    }
    r.body = std::move(doc);
    return r;
}

std::vector<const MimeEntity*> NotesMimeBody::Result::ownAttachments() const {
    std::vector<const MimeEntity*> out;
    for (const MimeEntity* a : message.attachments()) {
        // A part shared with a $FILE holds only the file's name: the $FILE is the attachment.
        const QString stored = QString::fromUtf8(a->body.trimmed());
        if (sharedFileNames.contains(stored) || sharedFileNames.contains(a->fileName)) continue;
        out.push_back(a);
    }
    return out;
}

}  // namespace mime

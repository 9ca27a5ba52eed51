#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace mime {

// One MIME entity of a parsed message: a leaf part with its decoded content,
// or a multipart with its children. Plain values only: no parser library
// types leak out of MimeParser, and an entity can be copied and kept.
//
// Walking a body:
//   const MimeEntity* plain = root.findText("plain");   // first text/plain not an attachment
//   const MimeEntity* html  = root.findText("html");
//   for (const MimeEntity* a : root.attachments()) ...  // file parts, each once
//   const MimeEntity* pic = root.findContentId("part1.123@example.com");
struct MimeEntity {
    QString mediaType;          // lower case: "text", "multipart", "image", ...
    QString subType;            // lower case: "plain", "html", "alternative", ...
    QString charset;            // the charset parameter, as given ("" when absent)
    QString boundary;           // multipart only
    QString transferEncoding;   // lower case, "" when absent (7bit)
    QString disposition;        // lower case: "inline", "attachment" or ""
    QString fileName;           // decoded (RFC 2047/2231): disposition filename, else type name
    QString contentId;          // without the angle brackets
    QString contentLocation;
    // Headers as stored, in order (names as written, values unfolded and raw).
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    // Leaf parts: the content with its transfer encoding undone (still in
    // `charset` for text). Empty for multiparts.
    QByteArray body;
    // Multiparts (and message/rfc822 parts: one child, the message's body).
    std::vector<MimeEntity> children;
    // What went wrong reading this entity (a boundary that never closes,
    // base64 cut short, an unknown charset...). The content is what could
    // be read; problems of children stay with the children.
    QStringList problems;

    bool isMultipart() const { return mediaType == QLatin1String("multipart"); }
    bool isText() const { return mediaType == QLatin1String("text"); }
    // "text/html", ...
    QString mimeType() const { return mediaType + QLatin1Char('/') + subType; }

    // The first header of that name (case-insensitive), RFC 2047 decoded.
    QString header(const QByteArray& name) const;
    QByteArray rawHeader(const QByteArray& name) const;

    // The text of a text part in its charset (ICU); unknown charsets and bad
    // UTF-8 read as Windows-1252 and add to `problem`.
    QString text(QString* problem = nullptr) const;

    // A part the reader would save as a file: disposition "attachment", or a
    // non-text leaf with a file name and no Content-ID (a part with a
    // Content-ID and no "attachment" disposition is an inline picture).
    bool isAttachment() const;

    // First text/<subType> leaf that is not an attachment, depth first. In a
    // multipart/alternative the last matching alternative wins (the richest,
    // as RFC 2046 orders them).
    const MimeEntity* findText(const QString& subType) const;
    // The leaf whose Content-ID matches (angle brackets and case ignored).
    const MimeEntity* findContentId(const QString& cid) const;
    // The leaf whose Content-Location matches exactly.
    const MimeEntity* findContentLocation(const QString& location) const;
    // Every attachment leaf, depth first, each once.
    std::vector<const MimeEntity*> attachments() const;
    // Every leaf with a Content-ID (pictures an HTML part may show inline).
    std::vector<const MimeEntity*> inlineParts() const;
    // The problems of this entity and all below it, in order.
    QStringList allProblems() const;
};

}  // namespace mime

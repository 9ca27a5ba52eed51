#pragma once

#include "notes/mime/MimeEntity.h"

#include <QByteArray>
#include <QString>

namespace mime {

// Reads MIME (RFC 2045-2049) into a tree of MimeEntity values: nested
// multiparts, message/rfc822 parts, quoted-printable / base64 / uuencode
// transfer encodings undone, RFC 2047 encoded words and RFC 2231 parameters
// decoded. GMime 3 does the parsing; nothing of it shows in this interface.
//
// Bad input never throws, hangs or allocates beyond a small multiple of the
// input: what can be read is returned, and the entity's `problems` say what
// could not (a boundary that never occurs, base64 cut short, nesting deeper
// than MaxDepth, ...). Safe to call from several threads at once.
//
//   MimeEntity msg = MimeParser::parse(rawMessage);               // headers + body
//   MimeEntity body = MimeParser::parseBody("multipart/alternative; boundary=\"b1\"", bytes);
//   MimeEntity parts = MimeParser::parseMultipart(bytes, "b1");   // multipart/mixed
//   QString subject = MimeParser::decodeHeaderText("=?utf-8?q?Gr=C3=BC=C3=9Fe?=");
class MimeParser {
public:
    // Entities nested deeper than this are not read (their parent says so).
    static constexpr int MaxDepth = 40;

    // A whole message or entity: header lines, an empty line, the content.
    // The root entity keeps every header of the message (Subject, From, ...).
    static MimeEntity parse(const QByteArray& raw);

    // A content without its header block, given the value of its
    // Content-Type (and Content-Transfer-Encoding when it has one).
    static MimeEntity parseBody(const QByteArray& contentType, const QByteArray& content,
                                const QByteArray& transferEncoding = {});

    // A multipart content given only its boundary (without the leading "--").
    static MimeEntity parseMultipart(const QByteArray& content, const QByteArray& boundary,
                                     const QByteArray& subType = "mixed");

    // A header value with RFC 2047 encoded words decoded and folding undone
    // (Subject, From, file names...). Bytes outside encoded words are read as
    // UTF-8 when valid, else as Windows-1252.
    static QString decodeHeaderText(const QByteArray& raw);

    // One parameter of a structured header value such as Content-Type or
    // Content-Disposition (RFC 2231 continuations and charsets, RFC 2047
    // words, quoting); empty when absent.
    static QString headerParameter(const QByteArray& headerValue, const QByteArray& name);
};

}  // namespace mime

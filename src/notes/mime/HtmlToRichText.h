#pragma once

#include "richtext/RichTextModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

namespace mime {

struct MimeEntity;

// Turns an HTML body (mail, or a server's HTML rendering of rich text) into
// the store's rich-text model, so the RTF writer gives it its formatting:
// paragraphs and line breaks, bold / italic / underline / strike, super- and
// subscript, colours, faces and sizes (<font> and inline CSS), links, bullet
// and numbered lists, tables (cell widths and backgrounds), headings,
// block quotes, preformatted text, and pictures. The HTML is parsed by gumbo
// (an HTML5 parser), so any tag soup gives a tree.
//
// Pictures: `src` values are handed to the resolver ("cid:part1@x" for a
// part of the same message, or any other address); data: URLs are decoded
// here. A picture the resolver cannot give leaves its alt text and a line in
// `problems`. Nothing is ever fetched from the network.
//
//   mime::MimeEntity msg = mime::MimeParser::parse(raw);
//   const mime::MimeEntity* html = msg.findText("html");
//   QStringList problems;
//   store::RichTextDoc doc = mime::HtmlToRichText::convert(
//       html->body, html->charset, mime::HtmlToRichText::resolverFor(msg), &problems);
//   QString plain = doc.plainText();
class HtmlToRichText {
public:
    struct Picture {
        QByteArray data;
        QString format;  // "gif", "jpeg", "png", "bmp"; probed from the bytes when left empty
    };
    // Gives the picture behind a `src` address; false when it has none.
    using PictureResolver = std::function<bool(const QString& src, Picture& picture)>;

    // Deeper element nesting than this is read as text without its markup.
    static constexpr int MaxNesting = 2000;

    // `charset` as the MIME part names it; empty: the page's <meta> charset,
    // else UTF-8 when valid, else Windows-1252.
    static store::RichTextDoc convert(const QByteArray& html, const QString& charset,
                                      const PictureResolver& resolver = {}, QStringList* problems = nullptr);
    static store::RichTextDoc convert(const QString& html, const PictureResolver& resolver = {},
                                      QStringList* problems = nullptr);

    // Resolves "cid:" addresses (and Content-Location ones) to the parts of
    // `message`. The resolver refers to `message`, which must outlive it.
    static PictureResolver resolverFor(const MimeEntity& message);

    // The charset a page declares in <meta charset> or <meta http-equiv>, or "".
    static QString declaredCharset(const QByteArray& html);
};

}  // namespace mime

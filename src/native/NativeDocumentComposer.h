#pragma once

#include "worddoc/WordDocument.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Puts one item's document together in memory, the way the office engine does
// it in the word processor: the header table from its RTF template filled
// with the item's header text and put before the body (items), or the header
// text as bold lines before the body with the contact's photo on a line of its
// own at the top (contacts). The body is the body file the converter wrote:
// RTF, or UTF-16 text with a byte order mark.
class NativeDocumentComposer {
public:
    struct Inputs {
        bool contact = false;
        QString subject, from, sendTo, mailDate, block;  // as IDocumentExporter::SetHeaderInputs
        QString templ;      // RTF template as 8-bit text (one character per byte); empty: no table
        QByteArray photo;   // contacts: the photo's bytes; empty: none
        QString title;      // the document's title property
    };

    // The document, or false with `error` when the body cannot be represented
    // without losing part of it (RTF beyond the reader's limits).
    static bool compose(const Inputs& in, const QByteArray& body, worddoc::WordDocument* out, QString* error);

    // The text the header table is filled from: "Label:value" lines.
    static QString headerTableText(const Inputs& in);
    // The labels the header table is filled with, in fill order.
    static const QStringList& tableLabels();
    // The value of `label` in `text`: the rest of the label's line, without its line break.
    static QString labelValue(const QString& text, const QString& label);
    // The body file's rich text.
    static store::RichTextDoc readBody(const QByteArray& body, bool* truncated);
    // The page of every document: the locale's paper (A4 or Letter).
    static worddoc::PageSetup localePage();

    // Largest photo, in pixels at 96 per inch (16 x 20 cm, as the office has it).
    static constexpr int MaxPhotoWidthPx = 605;
    static constexpr int MaxPhotoHeightPx = 756;
};

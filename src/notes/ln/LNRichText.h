#pragma once

#include "notes/ln/LNItem.h"
#include "richtext/RichTextModel.h"

#include <memory>

// A position in a rich-text item: a character offset into its plain text.
class LNRTCursor {
public:
    LNRTCursor() = default;
    explicit LNRTCursor(LNINT position) : m_position(position) {}
    LNINT position() const { return m_position; }
    void setPosition(LNINT position) { m_position = position; }

private:
    LNINT m_position = 0;
};

// A rich-text item.
class LNRichText {
public:
    LNRichText() = default;
    // Fails (throws in throw-all mode) when the item is not rich text.
    LNRichText(const LNItem& item);
    // Rich text that is no single item's (a body made of several items).
    explicit LNRichText(std::shared_ptr<const store::RichTextDoc> document);

    // The plain text from the start; LNWARN_PARTIAL_TEXT when more remains.
    LNSTATUS GetText(LNString* text) const;
    // The text from `start` towards `end`, one read's worth at a time: advances
    // `start`; returns LNWARN_PARTIAL_TEXT while text remains before `end`.
    LNSTATUS GetText(LNRTCursor* start, const LNRTCursor& end, LNString* text) const;
    LNSTATUS GetCursor(LNRTCursor* cursor) const;
    LNSTATUS GetEndCursor(LNRTCursor* cursor) const;
    // Size of the stored value in bytes.
    LNINT GetValueSize() const;

    // RTF export of start..end into a file: without a filter name (paragraphs
    // and character formatting), or through the filter "nxrtf2.dll" (also
    // tables, pictures, tabs, indents, bullets, attachment and link references).
    // The file is replaced. Any range exports the whole item. Format must be
    // "RTF"; another filter name fails with StatusExportFailed. Defined with
    // the RTF writer (rtf/LNRichTextExport.cpp): link tesseldoc_core to use it.
    LNSTATUS Export(const LNString& filename, const LNRTCursor& start, const LNRTCursor& end,
                    const LNString& format = "RTF") const;
    LNSTATUS Export(const LNString& filename, const LNRTCursor& start, const LNRTCursor& end,
                    const LNString& format, const LNString& filterName) const;
    // The same export into memory: `rtf` gets the bytes the file would hold.
    // An empty filter name exports without the filter.
    LNSTATUS ExportToBytes(QByteArray* rtf, const LNString& format = "RTF",
                           const LNString& filterName = LNString()) const;

    // Characters returned by one text read.
    static constexpr LNINT ChunkCharacters = 32000;

    const std::shared_ptr<const store::RichTextDoc>& document() const { return m_doc; }

private:
    std::shared_ptr<const store::RichTextDoc> m_doc;
    QString m_plain;
    LNINT m_valueSize = 0;
    bool m_valid = false;
};

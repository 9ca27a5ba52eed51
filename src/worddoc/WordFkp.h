#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace worddoc {

// Formatted disk pages (FKPs) of the Word binary format: 512-byte pages that
// map ranges of the text's bytes to character (CHPX) or paragraph (PAPX)
// properties, and the bin table (PlcBte) that finds them.
class WordFkp {
public:
    struct Entry {
        uint32_t fcEnd = 0;  // the range runs from the previous entry's end (or fcFirst)
        QByteArray grpprl;   // CHPX: sprms; PAPX: style index and sprms
    };
    struct Pages {
        QByteArray pages;    // whole 512-byte pages
        QByteArray plcBte;   // the bin table, with page numbers from firstPage
        bool complete = true;  // false: an entry did not fit in a page
    };
    // `entries` cover the text from `fcFirst` on, in order; `firstPage` is the
    // page number (offset / 512 in the WordDocument stream) of the first page.
    static Pages chpx(uint32_t fcFirst, const std::vector<Entry>& entries, uint32_t firstPage);
    static Pages papx(uint32_t fcFirst, const std::vector<Entry>& entries, uint32_t firstPage);

private:
    static Pages build(uint32_t fcFirst, const std::vector<Entry>& entries, uint32_t firstPage, bool paragraphs);
};

}  // namespace worddoc

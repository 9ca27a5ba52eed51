#include "worddoc/WordFkp.h"

#include "worddoc/LeBytes.h"

#include <QHash>

namespace worddoc {
namespace {

constexpr int kPage = 512;

// A property entry as stored in the page: CHPX is a count byte and the sprms;
// PAPX is a count of words (odd lengths) or a zero and a count of words.
QByteArray stored(const QByteArray& grpprl, bool paragraphs) {
    QByteArray b;
    if (!paragraphs) {
        le::u8(b, unsigned(grpprl.size()));
    } else if (grpprl.size() % 2) {
        le::u8(b, unsigned((grpprl.size() + 1) / 2));
    } else {
        le::u8(b, 0);
        le::u8(b, unsigned(grpprl.size() / 2));
    }
    b += grpprl;
    return b;
}

}  // namespace

WordFkp::Pages WordFkp::chpx(uint32_t fcFirst, const std::vector<Entry>& entries, uint32_t firstPage) {
    return build(fcFirst, entries, firstPage, false);
}

WordFkp::Pages WordFkp::papx(uint32_t fcFirst, const std::vector<Entry>& entries, uint32_t firstPage) {
    return build(fcFirst, entries, firstPage, true);
}

WordFkp::Pages WordFkp::build(uint32_t fcFirst, const std::vector<Entry>& entries, uint32_t firstPage,
                              bool paragraphs) {
    Pages out;
    const int slot = paragraphs ? 13 : 1;  // BX (offset and paragraph height) or offset byte
    std::vector<uint32_t> pageFirstFc;
    size_t i = 0;
    uint32_t fc = fcFirst;
    while (i < entries.size()) {
        QByteArray page(kPage, '\0');
        QHash<QByteArray, int> placed;  // grpprl -> word offset in this page
        int low = kPage - 1;            // the properties grow down from the count byte
        std::vector<uint32_t> fcs{fc};
        std::vector<int> offsets;
        while (i < entries.size()) {
            const Entry& e = entries[i];
            int offset = 0;
            int newLow = low;
            if (!e.grpprl.isEmpty() || paragraphs) {
                const auto it = placed.constFind(e.grpprl);
                if (it != placed.constEnd()) {
                    offset = it.value();
                } else {
                    const QByteArray s = stored(e.grpprl, paragraphs);
                    newLow = (low - int(s.size())) & ~1;
                    offset = newLow / 2;
                }
            }
            const int n = int(offsets.size()) + 1;
            if (4 * (n + 1) + slot * n > newLow) break;
            if (newLow != low) {
                const QByteArray s = stored(e.grpprl, paragraphs);
                page.replace(newLow, s.size(), s);
                placed.insert(e.grpprl, offset);
                low = newLow;
            }
            offsets.push_back(offset);
            fcs.push_back(e.fcEnd);
            fc = e.fcEnd;
            ++i;
        }
        if (offsets.empty()) {  // an entry too long for a page: the caller keeps them short
            out.complete = false;
            break;
        }
        const int n = int(offsets.size());
        for (int k = 0; k <= n; ++k) le::put32(page, 4 * k, fcs[size_t(k)]);
        for (int k = 0; k < n; ++k) page[4 * (n + 1) + slot * k] = char(offsets[size_t(k)]);
        page[kPage - 1] = char(n);
        pageFirstFc.push_back(fcs.front());
        out.pages += page;
    }
    for (uint32_t f : pageFirstFc) le::u32(out.plcBte, f);
    le::u32(out.plcBte, fc);
    for (size_t p = 0; p < pageFirstFc.size(); ++p) le::u32(out.plcBte, firstPage + uint32_t(p));
    return out;
}

}  // namespace worddoc

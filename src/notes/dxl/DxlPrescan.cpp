#include "notes/dxl/DxlPrescan.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <tuple>

#include "notes/dxl/Base64Decoder.h"

namespace store::dxl {
namespace {

// Where the markup scanner stands.
enum class Lex {
    Text,
    Lt,       // after "<"
    Bang,     // after "<!": comment, CDATA or a declaration
    Comment,  // up to "-->"
    CData,    // up to "]]>"
    Pi,       // up to "?>"
    Decl,     // <!DOCTYPE ...>, with an internal subset in brackets
    Name,     // the name of a tag
    Tag,      // the rest of a tag, attribute values in quotes
    Data,     // content of <filedata>
};

}  // namespace

const DxlPrescan::DataSpan* DxlPrescan::spanAt(qint64 start) const {
    const auto it = std::lower_bound(spans.begin(), spans.end(), start,
                                     [](const DataSpan& s, qint64 v) { return s.start < v; });
    return it != spans.end() && it->start == start ? &*it : nullptr;
}

QString DxlPrescan::Damage::what() const {
    switch (kind) {
        case Nul:
            return QStringLiteral("a NUL character, which XML does not allow");
        case NotUtf8:
            return QStringLiteral("the text is not valid UTF-8");
        case ControlInName:
            break;
    }
    return QStringLiteral("a control character in a name");
}

bool DxlPrescan::placeDamage(QFile& file, qint64 firstByte) {
    // Every offset asked about, in order; lines and columns counted up to the last.
    std::vector<qint64> offsets;
    offsets.reserve(damage.size() * 2);
    for (const Damage& d : damage) {
        offsets.push_back(d.at);
        if (d.unitStart >= 0) offsets.push_back(d.unitStart);
    }
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    std::vector<std::pair<qint64, qint64>> places(offsets.size());
    if (!file.seek(firstByte)) return false;
    qint64 line = 1, column = 1, pos = firstByte;
    size_t next = 0;
    while (next < offsets.size()) {
        const QByteArray chunk = file.read(std::min<qint64>(offsets.back() + 1 - pos, 1 << 20));
        if (chunk.isEmpty()) return false;
        for (const char ch : chunk) {
            while (next < offsets.size() && offsets[next] == pos) places[next++] = {line, column};
            if (ch == '\n') {
                ++line;
                column = 1;
            } else if ((uchar(ch) & 0xC0) != 0x80) {
                ++column;
            }
            ++pos;
        }
    }
    auto placeOf = [&](qint64 at) {
        return places[size_t(std::lower_bound(offsets.begin(), offsets.end(), at) - offsets.begin())];
    };
    for (Damage& d : damage) {
        std::tie(d.line, d.column) = placeOf(d.at);
        if (d.unitStart >= 0) d.unitLine = placeOf(d.unitStart).first;
    }
    return true;
}

bool DxlPrescan::placeFindings(QFile& file, qint64 firstByte, qint64 lastAt) {
    // The bytes up to the last finding (and the character it starts) again,
    // counting lines and columns (in characters) the way the parser does.
    if (!file.seek(firstByte)) return false;
    qint64 line = 1, column = 0;
    int need = 0;
    uint32_t cp = 0, minimum = 0;
    qint64 leadLine = 0, leadColumn = 0;
    auto nonUtf8 = [&](qint64 l, qint64 c) {
        if (firstNonUtf8.found) return;
        firstNonUtf8 = {true, l, c, QStringLiteral("the text is not valid UTF-8")};
    };
    qint64 offset = firstByte;
    const qint64 until = lastAt + 8;
    while (offset < until) {
        const QByteArray chunk = file.read(std::min<qint64>(until - offset, 1 << 20));
        if (chunk.isEmpty()) break;
        for (const char ch : chunk) {
            const uchar b = uchar(ch);
            if (need > 0) {
                if ((b & 0xC0) != 0x80) {
                    nonUtf8(leadLine, leadColumn);
                    need = 0;
                } else {
                    cp = (cp << 6) | (b & 0x3F);
                    if (--need == 0 && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
                        nonUtf8(leadLine, leadColumn);
                    continue;
                }
            }
            if (b == 0 && !firstNul.found)
                firstNul = {true, line, column + 1, QStringLiteral("a NUL character, which XML does not allow")};
            if (b == '\n') {
                ++line;
                column = 0;
                continue;
            }
            ++column;
            if (b < 0x80) continue;
            leadLine = line;
            leadColumn = column;
            if (b >= 0xC2 && b <= 0xDF) {
                need = 1, cp = b & 0x1F, minimum = 0x80;
            } else if (b >= 0xE0 && b <= 0xEF) {
                need = 2, cp = b & 0x0F, minimum = 0x800;
            } else if (b >= 0xF0 && b <= 0xF4) {
                need = 3, cp = b & 0x07, minimum = 0x10000;
            } else {
                nonUtf8(line, column);
            }
        }
        offset += chunk.size();
    }
    if (need > 0 && file.atEnd()) nonUtf8(leadLine, leadColumn);
    return file.error() == QFile::NoError;
}

bool DxlPrescan::run(const QString& path, qint64 firstByte) {
    firstNul = Finding();
    firstNonUtf8 = Finding();
    firstControlInName = Finding();
    spans.clear();
    damage.clear();
    damageOverflow = false;
    rootIsDatabase = false;
    qint64 controlAt = -1;  // byte offset of that control character, placed below
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(firstByte)) return false;

    // Text checks: the UTF-8 character being decoded; where the first NUL and
    // the first bytes that are not UTF-8 are (their line and column are
    // counted afterwards, only when there are any).
    int need = 0;
    uint32_t cp = 0, minimum = 0;
    qint64 leadAt = 0;
    qint64 nulAt = -1, badAt = -1;
    // Damage in order; adjoining bytes of one kind make one entry.
    std::vector<Damage> controls;  // found by the markup scanner, merged at the end
    auto addDamage = [&](std::vector<Damage>& list, Damage::Kind kind, qint64 at, qint64 length) {
        if (!list.empty() && list.back().kind == kind && list.back().at + list.back().length == at) {
            list.back().length += length;
            return;
        }
        if (damage.size() + controls.size() >= kMaxDamage) {
            damageOverflow = true;
            return;
        }
        Damage d;
        d.kind = kind;
        d.at = at;
        d.length = length;
        list.push_back(d);
    };
    auto nonUtf8 = [&](qint64 at, qint64 length) {
        if (badAt < 0) badAt = at;
        addDamage(damage, Damage::NotUtf8, at, length);
    };
    // The children of the root element: where the open one starts, and the
    // first damage not yet given to one.
    int depth = 0;
    qint64 tagAt = 0;  // the "<" of the tag being read
    qint64 unitStart = -1;
    size_t unassigned = 0, controlsUnassigned = 0;
    auto assign = [&](qint64 before, qint64 start, qint64 end) {
        for (auto* list : {&damage, &controls}) {
            size_t& next = list == &damage ? unassigned : controlsUnassigned;
            for (; next < list->size() && (*list)[next].at < before; ++next) {
                (*list)[next].unitStart = start;
                (*list)[next].unitEnd = end;
            }
        }
    };

    // Markup.
    Lex lex = Lex::Text;
    char word[17];    // the "<!" prefix or the tag name so far (a longer one is none that matters)
    int wordSize = 0;
    auto wordIs = [&](const char* w) { return qstrlen(w) == uint(wordSize) && std::memcmp(word, w, size_t(wordSize)) == 0; };
    char quote = 0;
    char last = 0, beforeLast = 0;
    int brackets = 0;
    bool closing = false, selfClosing = false;
    qint64 dataStart = 0;
    bool dataHasReference = false;
    Base64Decoder counter(true);

    qint64 offset = firstByte;
    QByteArray chunk;
    while (true) {
        chunk = file.read(1 << 20);
        if (chunk.isEmpty()) {
            if (file.error() != QFile::NoError) return false;
            break;
        }
        const char* p = chunk.constData();
        const qsizetype n = chunk.size();

        if (!damageOverflow) {
            for (qsizetype i = 0; i < n; ++i) {
                if (need == 0) {
                    // Eight bytes of ASCII without a NUL at a time.
                    while (i + 8 <= n) {
                        uint64_t w;
                        std::memcpy(&w, p + i, 8);
                        const uint64_t zero = ~(((w & 0x7F7F7F7F7F7F7F7FULL) + 0x7F7F7F7F7F7F7F7FULL) | w |
                                                0x7F7F7F7F7F7F7F7FULL);
                        if ((w & 0x8080808080808080ULL) != 0 || zero != 0) break;
                        i += 8;
                    }
                    if (i >= n) break;
                }
                const uchar b = uchar(p[i]);
                const qint64 at = offset + i;
                if (need > 0) {
                    if ((b & 0xC0) != 0x80) {
                        nonUtf8(leadAt, at - leadAt);
                        need = 0;
                    } else {
                        cp = (cp << 6) | (b & 0x3F);
                        if (--need == 0 && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
                            nonUtf8(leadAt, at + 1 - leadAt);
                        continue;
                    }
                }
                if (b == 0) {
                    if (nulAt < 0) nulAt = at;
                    addDamage(damage, Damage::Nul, at, 1);
                }
                if (b < 0x80) continue;
                leadAt = at;
                if (b >= 0xC2 && b <= 0xDF) {
                    need = 1, cp = b & 0x1F, minimum = 0x80;
                } else if (b >= 0xE0 && b <= 0xEF) {
                    need = 2, cp = b & 0x0F, minimum = 0x800;
                } else if (b >= 0xF0 && b <= 0xF4) {
                    need = 3, cp = b & 0x07, minimum = 0x10000;
                } else {
                    nonUtf8(at, 1);
                }
            }
        }

        for (qsizetype i = 0; i < n; ++i) {
            const char c = p[i];
            switch (lex) {
                case Lex::Text: {
                    const void* lt = std::memchr(p + i, '<', size_t(n - i));
                    if (!lt) {
                        i = n;
                        break;
                    }
                    i = static_cast<const char*>(lt) - p;
                    tagAt = offset + i;
                    lex = Lex::Lt;
                    break;
                }
                case Lex::Lt:
                    wordSize = 0;
                    if (c == '!') {
                        lex = Lex::Bang;
                    } else if (c == '?') {
                        lex = Lex::Pi;
                    } else {
                        closing = c == '/';
                        if (!closing) word[wordSize++] = c;
                        lex = Lex::Name;
                    }
                    break;
                case Lex::Bang:
                    word[wordSize++] = c;
                    if (wordIs("--")) {
                        lex = Lex::Comment;
                    } else if (wordIs("[CDATA[")) {
                        lex = Lex::CData;
                    } else if (!(wordSize <= 2 && std::memcmp("--", word, size_t(wordSize)) == 0) &&
                               !(wordSize <= 7 && std::memcmp("[CDATA[", word, size_t(wordSize)) == 0)) {
                        lex = Lex::Decl;
                        brackets = c == '[' ? 1 : 0;
                        quote = 0;
                        if (c == '>') lex = Lex::Text;
                    }
                    break;
                case Lex::Comment:
                    if (c == '>' && last == '-' && beforeLast == '-') lex = Lex::Text;
                    break;
                case Lex::CData:
                    if (c == '>' && last == ']' && beforeLast == ']') lex = Lex::Text;
                    break;
                case Lex::Pi:
                    if (c == '>' && last == '?') lex = Lex::Text;
                    break;
                case Lex::Decl:
                    if (quote) {
                        if (c == quote) quote = 0;
                    } else if (c == '"' || c == '\'') {
                        quote = c;
                    } else if (c == '[') {
                        ++brackets;
                    } else if (c == ']') {
                        if (brackets > 0) --brackets;
                    } else if (c == '>' && brackets == 0) {
                        lex = Lex::Text;
                    }
                    break;
                case Lex::Name:
                    if (c != '>' && c != '/' && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
                        if (wordSize < 16) word[wordSize++] = c;
                        else word[15] = '?';  // a longer name is none that matters
                        break;
                    }
                    lex = Lex::Tag;
                    quote = 0;
                    selfClosing = false;
                    [[fallthrough]];
                case Lex::Tag:
                    if (quote) {
                        if (c == quote) quote = 0;
                    } else if (c == '"' || c == '\'') {
                        quote = c;
                    } else if (c == '>') {
                        const qint64 tagEnd = offset + i + 1;
                        if (closing) {
                            if (depth > 0) --depth;
                            if (depth == 1 && unitStart >= 0) {
                                assign(tagEnd, unitStart, tagEnd);
                                unitStart = -1;
                            }
                        } else {
                            if (depth == 0) rootIsDatabase = wordIs("database");
                            if (depth == 1) {
                                assign(tagAt, -1, -1);
                                if (selfClosing)
                                    assign(tagEnd, tagAt, tagEnd);
                                else
                                    unitStart = tagAt;
                            }
                            if (!selfClosing) ++depth;
                        }
                        const bool isData = !closing && !selfClosing && (wordIs("filedata") || (wordSize > 9 && std::memcmp(word + wordSize - 9, ":filedata", 9) == 0));
                        lex = isData ? Lex::Data : Lex::Text;
                        if (isData) {
                            dataStart = offset + i + 1;
                            dataHasReference = false;
                            counter = Base64Decoder(true);
                        }
                    } else {
                        selfClosing = c == '/';
                        // The parser takes control characters into attribute names.
                        if (uchar(c) < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != 0) {
                            if (controlAt < 0) controlAt = offset + i;
                            addDamage(controls, Damage::ControlInName, offset + i, 1);
                        }
                    }
                    break;
                case Lex::Data: {
                    const void* lt = std::memchr(p + i, '<', size_t(n - i));
                    const qsizetype stop = lt ? static_cast<const char*>(lt) - p : n;
                    if (!dataHasReference && std::memchr(p + i, '&', size_t(stop - i))) dataHasReference = true;
                    if (!dataHasReference) counter.feed(p + i, stop - i);
                    if (!lt) {
                        i = n;
                        break;
                    }
                    const qint64 end = offset + stop;
                    if (!dataHasReference && end - dataStart >= kMinSpan) {
                        const bool valid = counter.finish();
                        spans.push_back({dataStart, end, counter.decodedSize(), valid});
                    }
                    i = stop;
                    tagAt = end;
                    lex = Lex::Lt;
                    break;
                }
            }
            if (i < n) {
                beforeLast = last;
                last = p[i];
            }
        }
        offset += n;
    }
    if (need > 0) nonUtf8(leadAt, offset - leadAt);
    // Damage in an element the file ends in lies in that element.
    assign(offset + 1, unitStart, unitStart >= 0 ? offset : -1);
    if (!controls.empty()) {
        damage.insert(damage.end(), controls.begin(), controls.end());
        std::stable_sort(damage.begin(), damage.end(),
                         [](const Damage& a, const Damage& b) { return a.at < b.at; });
    }
    if (!damage.empty() && !placeDamage(file, firstByte)) return false;
    if ((nulAt >= 0 || badAt >= 0) && !placeFindings(file, firstByte, std::max(nulAt, badAt))) return false;
    if (controlAt >= 0) {
        // Its line and column, counted again up to it.
        firstControlInName = {true, 1, 1, QStringLiteral("a control character in a name")};
        if (!file.seek(firstByte)) return false;
        qint64 at = firstByte;
        while (at < controlAt) {
            const QByteArray part = file.read(std::min<qint64>(controlAt - at, 1 << 20));
            if (part.isEmpty()) return false;
            for (const char ch : part) {
                if (ch == '\n') {
                    ++firstControlInName.line;
                    firstControlInName.column = 1;
                } else if ((uchar(ch) & 0xC0) != 0x80) {
                    ++firstControlInName.column;
                }
            }
            at += part.size();
        }
    }
    return true;
}

}  // namespace store::dxl

#include "notes/dxl/DxlStore.h"

#include <QXmlStreamReader>
#include <algorithm>
#include <cstring>
#include <deque>
#include <limits>

#include "notes/dxl/Base64Decoder.h"
#include "notes/dxl/DxlIndexer.h"
#include "notes/dxl/DxlNoteReader.h"
#include "notes/store/SafeFileWriter.h"

namespace store::dxl {
std::unique_ptr<DxlStore> DxlStore::open(const QString& path, StoreError& error) {
    std::unique_ptr<DxlStore> s(new DxlStore);
    s->m_path = path;
    error = DxlIndexer::build(path, s->m_index);
    if (!error.ok()) return nullptr;
    s->m_file.setFileName(path);
    if (!s->m_file.open(QIODevice::ReadOnly)) {
        error = {StatusAccessDenied, path};
        return nullptr;
    }
    return s;
}

std::vector<StoreFolderInfo> DxlStore::folders() {
    std::vector<StoreFolderInfo> out;
    out.reserve(m_index.designs.size());
    for (const DxlDesignEntry& d : m_index.designs) out.push_back(d.info);
    return out;
}

void DxlStore::computeEntries(DxlDesignEntry& design) {
    std::vector<int> docs;
    if (design.info.isFolder) {
        auto it = m_index.folderMembers.constFind(design.info.unid.trimmed().toUpper());
        if (!design.info.unid.isEmpty() && it != m_index.folderMembers.constEnd()) docs = *it;
    } else if (design.formula) {
        const DxlIndex& index = m_index;
        // The values a formula looks at, unpacked for the document at hand
        // (a deque: what was handed out stays where it is).
        std::deque<std::pair<int, FormulaValue>> unpacked;
        for (size_t i = 0; i < index.docs.size(); ++i) {
            const DxlDocEntry& doc = index.docs[i];
            const QByteArrayView packed = index.packedValues(doc);
            unpacked.clear();
            const size_t files = doc.attachments >= 0 && size_t(doc.attachments) < index.attachments.size()
                                     ? index.attachments[size_t(doc.attachments)].size()
                                     : 0;
            const FormulaValue attachmentCount = FormulaValue::number(double(files));
            const bool selected = design.formula->selects([&](const QString& name) -> const FormulaValue* {
                if (name == formula::FormulaExpression::kAttachmentCount) return &attachmentCount;
                const int id = index.nameId(name);
                if (id < 0) return nullptr;
                for (const auto& v : unpacked)
                    if (v.first == id) return &v.second;
                FormulaValue value;
                if (!DxlPackedValues::find(packed, id, value)) return nullptr;
                unpacked.emplace_back(id, std::move(value));
                return &unpacked.back().second;
            });
            if (selected) docs.push_back(int(i));
        }
    }
    if (design.sortNameId >= 0 && docs.size() > 1) sortEntries(docs, design.sortNameId, design.descending);
    // The entries: the documents by note ID.
    std::vector<uint32_t> entries(docs.begin(), docs.end());
    std::vector<int>().swap(docs);
    for (uint32_t& e : entries) e = m_index.docs[e].noteId;
    design.entries = std::move(entries);
    design.entriesReady = true;
}

namespace {

// What a view sorts by, in eight bytes: the document and a 32-bit prefix of
// its key that orders as the key does (a smaller prefix: an earlier key) -
// two bits of rank, one saying the prefix is exact for a text, 29 of value.
// Equal prefixes, and texts that begin with what is not ASCII, are decided by
// the whole key.
struct KeyPrefix {
    quint32 prefix = 0;
    int doc = 0;
};

constexpr quint32 kInexactText = 1u << 29;

uchar foldAscii(uchar c) { return c >= 'A' && c <= 'Z' ? uchar(c + ('a' - 'A')) : c; }

// `first`, `step`: date/times count in steps from the first of them;
// `shared`: characters every text of the view begins with, in ASCII.
quint32 prefixOf(const DxlPackedValues::SortKey& k, qint64 first, qint64 step, qsizetype shared) {
    const quint32 rank = quint32(k.rank) << 30;
    constexpr quint32 kBits = (1u << 29) - 1;
    switch (k.rank) {
        case 1: {
            // The double's bits, turned so that they order as the numbers do.
            quint64 bits = 0;
            std::memcpy(&bits, &k.number, 8);
            bits = (bits & 0x8000000000000000ULL) ? ~bits : bits | 0x8000000000000000ULL;
            return rank | quint32(bits >> 35);
        }
        case 2:
            return rank | quint32(std::clamp<qint64>((k.instant - first) / step, 0, kBits));
        case 3: {
            // Four characters after the shared ones, lower case, while they are ASCII.
            quint32 v = 0;
            for (qsizetype i = shared; i < shared + 4; ++i) {
                const uchar c = i < k.textSize ? uchar(k.text[i]) : 0;
                if (c & 0x80) return rank | kInexactText;
                v = (v << 7) | foldAscii(c);
            }
            return rank | (v & kBits);
        }
        default:
            return rank;
    }
}

}  // namespace

void DxlStore::sortEntries(std::vector<int>& docs, int nameId, bool descending) const {
    // Ties keep the file's order: `docs` holds document indexes in increasing order.
    // Where each key lies in its packed run, for comparing whole keys (a
    // byte a document; 255: look it up).
    std::vector<quint8> keyAt(m_index.docs.size(), 255);
    std::vector<KeyPrefix> keyed;
    keyed.reserve(docs.size());
    qint64 first = std::numeric_limits<qint64>::max(), last = std::numeric_limits<qint64>::min();
    const char* sharedText = nullptr;
    qsizetype shared = 0;
    for (int doc : docs) {
        const QByteArrayView packed = m_index.packedValues(m_index.docs[size_t(doc)]);
        const qsizetype at = DxlPackedValues::valueOffset(packed, nameId);
        if (at >= 0 && at < 255) keyAt[size_t(doc)] = quint8(at);
        const DxlPackedValues::SortKey k =
            DxlPackedValues::sortKey(packed, nameId, std::max<qsizetype>(at, 0));
        if (k.rank == 2) {
            first = std::min(first, k.instant);
            last = std::max(last, k.instant);
        } else if (k.rank == 3) {
            // What all texts begin with, as far as it is ASCII.
            if (!sharedText) {
                sharedText = k.text;
                shared = 0;
                while (shared < k.textSize && !(uchar(k.text[shared]) & 0x80)) ++shared;
            } else {
                qsizetype i = 0;
                const qsizetype n = std::min<qsizetype>(shared, k.textSize);
                while (i < n && !(uchar(k.text[i]) & 0x80) &&
                       foldAscii(uchar(k.text[i])) == foldAscii(uchar(sharedText[i])))
                    ++i;
                shared = i;
            }
        }
        keyed.push_back({0, doc});
    }
    // Date/times: the finest step that spans them in the prefix's 29 bits.
    const qint64 step = last < first ? 1 : std::max<qint64>(1, (last / 2 - first / 2) / (1 << 28) + 1);
    const auto key = [&](int doc) {
        const quint8 at = keyAt[size_t(doc)];
        return DxlPackedValues::sortKey(m_index.packedValues(m_index.docs[size_t(doc)]), nameId,
                                        at == 255 ? 0 : at);
    };
    for (KeyPrefix& k : keyed) k.prefix = prefixOf(key(k.doc), first, step, shared);
    std::sort(keyed.begin(), keyed.end(), [&](const KeyPrefix& a, const KeyPrefix& b) {
        const quint32 ra = a.prefix >> 30, rb = b.prefix >> 30;
        const bool exact = ra != 0 && !(ra == 3 && ((a.prefix | b.prefix) & kInexactText));
        int c = 0;
        if (ra != rb || (exact && a.prefix != b.prefix)) {
            // Missing values first in both directions.
            if (ra == 0 || rb == 0) return ra < rb;
            c = a.prefix < b.prefix ? -1 : 1;
            if (descending) c = -c;
        } else if (ra != 0) {
            c = DxlPackedValues::order(key(a.doc), key(b.doc), descending);
        }
        return c != 0 ? c < 0 : a.doc < b.doc;
    });
    for (size_t i = 0; i < keyed.size(); ++i) docs[i] = keyed[i].doc;
}

StoreError DxlStore::folderEntries(size_t index, std::vector<uint32_t>& noteIds) {
    if (index >= m_index.designs.size()) return {StatusIndexOutOfRange, {}};
    DxlDesignEntry& d = m_index.designs[index];
    if (!d.info.isFolder && !d.formula) {
        noteIds.clear();
        QString detail = d.info.problem;
        const QString prefix = QStringLiteral("selection formula not supported: ");
        if (detail.startsWith(prefix)) detail = detail.mid(prefix.size());
        return {StatusUnsupportedFormula, d.info.name + QStringLiteral(": ") + detail};
    }
    if (!d.entriesReady) computeEntries(d);
    noteIds = d.entries;
    return {};
}

StoreError DxlStore::readRange(const DxlDocEntry& doc, QByteArray& bytes) {
    // Attachment data stays in the file: the reader sees empty <filedata>.
    if (!DxlIndexer::documentBytes(m_file, m_index, doc, bytes)) return {StatusReadError, m_path};
    return {};
}

StoreError DxlStore::loadNote(uint32_t noteId, StoreNote& note) {
    const int i = m_index.docIndexOf(noteId);
    if (i < 0) return {StatusNoSuchNote, QStringLiteral("note ID %1").arg(noteId, 0, 16)};
    const DxlDocEntry& doc = m_index.docs[size_t(i)];
    QByteArray bytes;
    StoreError e = readRange(doc, bytes);
    if (!e.ok()) return e;
    StoreNote n;
    QXmlStreamReader xml(bytes);
    QString error;
    if (!DxlNoteReader::read(xml, n, error))
        return {StatusDamaged, QStringLiteral("note ID %1: %2").arg(noteId, 0, 16).arg(error)};
    n.noteId = doc.noteId;
    n.noteClass = 0x0001;
    n.size = doc.length;
    const std::vector<DxlAttachmentSpan>* spans =
        doc.attachments >= 0 ? &m_index.attachments[size_t(doc.attachments)] : nullptr;
    for (StoreAttachment& a : n.attachments) {
        if (!spans || a.key >= qint64(spans->size())) {
            a.decodable = false;
            a.problem = QStringLiteral("the attachment has no data");
            continue;
        }
        const DxlAttachmentSpan& span = (*spans)[size_t(a.key)];
        a.size = span.size;
        if (!span.readable) {
            a.decodable = false;
            a.problem = span.problem;
        }
    }
    note = std::move(n);
    return {};
}

StoreError DxlStore::detachAttachment(uint32_t noteId, const StoreAttachment& attachment,
                                      const QString& targetPath) {
    const int i = m_index.docIndexOf(noteId);
    if (i < 0) return {StatusNoSuchNote, QStringLiteral("note ID %1").arg(noteId, 0, 16)};
    const DxlDocEntry& doc = m_index.docs[size_t(i)];
    if (doc.attachments < 0 || attachment.key < 0 ||
        attachment.key >= qint64(m_index.attachments[size_t(doc.attachments)].size()))
        return {StatusAttachmentUnreadable, attachment.name};
    const DxlAttachmentSpan& span = m_index.attachments[size_t(doc.attachments)][size_t(attachment.key)];
    if (!span.readable) return {StatusAttachmentUnreadable, span.name + QStringLiteral(": ") + span.problem};

    // Straight from the file's bytes, a megabyte at a time.
    {
        SafeFileWriter writer(targetPath);
        StoreError e = writer.open();
        if (!e.ok()) return e;
        Base64Decoder decoder;
        qint64 pos = span.dataStart;
        if (!m_file.seek(pos)) return {StatusReadError, m_path};
        while (pos < span.dataEnd && !decoder.failed()) {
            const QByteArray chunk = m_file.read(std::min<qint64>(span.dataEnd - pos, 1 << 20));
            if (chunk.isEmpty()) return {StatusReadError, m_path};
            pos += chunk.size();
            decoder.feed(chunk.constData(), chunk.size());
            const QByteArray out = decoder.takeOutput();
            e = writer.append(out.constData(), out.size());
            if (!e.ok()) return e;
        }
        if (decoder.finish() && decoder.decodedSize() == span.size) {
            const QByteArray rest = decoder.takeOutput();
            e = writer.append(rest.constData(), rest.size());
            if (!e.ok()) return e;
            return writer.commit();
        }
    }  // the writer removes what it wrote
    // The data holds XML markup (character references, CDATA): decode it as XML.
    return detachThroughXml(doc, attachment.key, span, targetPath);
}

StoreError DxlStore::detachThroughXml(const DxlDocEntry& doc, qint64 ordinal, const DxlAttachmentSpan& span,
                                      const QString& targetPath) {
    QByteArray bytes;
    if (!m_index.encoding.isEmpty()) bytes = "<?xml version='1.0' encoding='" + m_index.encoding + "'?>";
    if (!m_file.seek(doc.start)) return {StatusReadError, m_path};
    bytes += m_file.read(doc.length);
    QXmlStreamReader xml(bytes);
    qint64 seen = -1;
    int depth = 0;
    bool inFileItem = false, fileInItem = false;
    while (!xml.atEnd()) {
        const auto t = xml.readNext();
        if (t == QXmlStreamReader::EndElement) {
            if (depth == 2) inFileItem = false;
            --depth;
            continue;
        }
        if (t != QXmlStreamReader::StartElement) continue;
        ++depth;
        const QStringView name = xml.name();
        if (depth == 2) {
            inFileItem = name == QLatin1String("item") &&
                         xml.attributes()
                                 .value(QLatin1String("name"))
                                 .compare(QLatin1String("$FILE"), Qt::CaseInsensitive) == 0;
            fileInItem = false;
        } else if (inFileItem && name == QLatin1String("file") && !fileInItem) {
            fileInItem = true;
            ++seen;
        } else if (inFileItem && name == QLatin1String("filedata") && seen == ordinal) {
            SafeFileWriter writer(targetPath);
            StoreError e = writer.open();
            if (!e.ok()) return e;
            Base64Decoder decoder;
            while (!xml.atEnd()) {
                const auto c = xml.readNext();
                if (c == QXmlStreamReader::EndElement) break;
                if (c != QXmlStreamReader::Characters) continue;
                decoder.feed(xml.text());
                const QByteArray out = decoder.takeOutput();
                e = writer.append(out.constData(), out.size());
                if (!e.ok()) return e;
            }
            if (!decoder.finish() || decoder.decodedSize() != span.size)
                return {StatusAttachmentUnreadable,
                        span.name + QStringLiteral(": the data in the file cannot be decoded")};
            const QByteArray rest = decoder.takeOutput();
            e = writer.append(rest.constData(), rest.size());
            if (!e.ok()) return e;
            return writer.commit();
        }
    }
    return {StatusAttachmentUnreadable, span.name + QStringLiteral(": the data in the file cannot be found")};
}

std::vector<uint32_t> DxlStore::allDocumentIds() {
    std::vector<uint32_t> ids;
    ids.reserve(m_index.docs.size());
    for (const DxlDocEntry& d : m_index.docs)
        if (!d.profile) ids.push_back(d.noteId);
    return ids;
}

}  // namespace store::dxl

#include "NsfWalk.h"

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/ViewEntries.h"

using namespace nsf;

using nsf::ByteView;

int walkAllBytes(const QByteArray& bytes) {
    store::StoreError e;
    auto db = NsfDatabase::open(NsfFile::fromBytes(bytes), e);
    if (!db) return 0;
    int notes = 0;
    db->title();
    for (const RrvMap::Entry& entry : db->rrv().entries()) {
        store::StoreNote note;
        if (!db->loadNote(entry.id, note).ok()) continue;
        ++notes;
        for (const store::StoreAttachment& a : note.attachments) {
            if (!a.decodable) continue;
            qint64 total = 0;
            db->extractAttachment(note.noteId, a.key, [&](const char*, size_t n) {
                total += qint64(n);
                return true;
            });
        }
        for (const store::StoreItem& item : note.items)
            if (item.richText) item.richText->plainText();
    }
    for (const auto& d : db->designEntries()) {
        std::vector<uint32_t> ids;
        db->folderMembers(d.noteId, ids);
    }
    ViewEntries views(*db);
    for (size_t i = 0; i < db->designEntries().size(); ++i) {
        std::vector<uint32_t> ids;
        views.entries(i, ids);
    }
    db->documentIds();
    return notes;
}

#include "notes/nsf/CdTextExtractor.h"
#include "notes/nsf/CompiledFormula.h"
#include "notes/nsf/Rfc822Text.h"
#include "notes/nsf/ViewCollection.h"
#include "notes/nsf/ViewFormat.h"
#include "notes/nsf/CxDecompressor.h"
#include "notes/nsf/HuffmanDecoder.h"
#include "notes/nsf/IdTable.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/SlotBucket.h"

#include "MiniNsf.h"

// Three documents (inline and separate non-summary values, rich text, a text
// list) and three attachments (stored, Huffman, LZ1).
QByteArray fuzzBaseDatabase() {
    MiniNsf mini;
    for (uint32_t k = 0; k < 3; ++k) {
        MiniNsf::Note n;
        n.id = MiniNsf::kFirstId + 4 * k;
        n.placement = k == 1 ? MiniNsf::NonSummary::Inline : MiniNsf::NonSummary::Separate;
        MiniNsf::Item form;
        form.name = "Form";
        form.value = "Memo";
        n.items.push_back(form);
        MiniNsf::Item body;
        body.name = "Body";
        body.type = body.nameType = 0x0001;
        body.flags = 0;
        body.value = QByteArray("\x81\x02\x85\xFF\x0D\x00\x00\x00\x00\x0A" "Hello\x00", 14);
        n.items.push_back(body);
        MiniNsf::Item list;
        list.name = "List";
        list.type = list.nameType = 0x0501;
        list.value = MiniNsf::textList({"a", "bc"});
        n.items.push_back(list);
        if (k == 0) {
            MiniNsf::Item file;
            file.name = "$FILE";
            file.type = file.nameType = 0x0003;
            file.typeWord = true;
            file.value = MiniNsf::fileObject(0x902, "a.txt", 0, 5);
            n.items.push_back(file);
            file.value = MiniNsf::fileObject(0x906, "b.txt", 1, 4);
            n.items.push_back(file);
            file.value = MiniNsf::fileObject(0x90A, "c.txt", 2, 4);
            n.items.push_back(file);
        }
        mini.notes.push_back(n);
    }
    mini.objects.push_back({0x902, "hello"});
    // "ABBA" coded with A = 1, B = 01, end = 00.
    mini.objects.push_back({0x906, QByteArray("\x06\x01\x00\x00\x08\x00\x41\x00\xFF\xFF\x42\x00\x00\x01\xAC", 15)});
    mini.objects.push_back({0x90A, "zzzz"});
    return mini.build();
}

void decodeFuzzInput(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 0x1A && data[1] == 0x00) {
        walkAllBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        return;
    }
    if (size < 3) return;
    const ByteView rest(data + 3, size - 3);
    const uint16_t param = uint16_t(data[1] | (data[2] << 8));
    static LmbcsConverter lmbcs;
    QString e;
    switch (data[0] % 12) {
        case 0: {
            QByteArray out;
            CxDecompressor::decompress(rest, size_t(param) * 16, out, e);
            break;
        }
        case 1: {
            size_t total = 0;
            HuffmanDecoder::decode(rest, uint64_t(param) * 8, [&](const char*, size_t n) {
                total += n;
                return true;
            }, e);
            break;
        }
        case 2: {
            std::vector<uint32_t> ids;
            IdTable::decode(rest, ids, e);
            break;
        }
        case 3: {
            CdTextExtractor text(lmbcs, CdTextExtractor::readFontTable(rest, lmbcs));
            text.addPart(rest.sub(0, param % (rest.size() + 1)));
            text.addPart(rest.from(param % (rest.size() + 1)));
            store::RichTextDoc doc;
            doc.blocks = text.finish();
            doc.plainText();
            break;
        }
        case 4: {
            static const uint16_t types[] = {0x0500, 0x0501, 0x0300, 0x0301, 0x0400, 0x0401, 0x0004, 0x0700, 0x0003};
            RawItem raw;
            raw.name = QStringLiteral("Fuzz");
            raw.type = types[param % 9];
            raw.value = rest;
            store::StoreItem item;
            ItemValueDecoder(lmbcs).decode(raw, item);
            break;
        }
        case 5: {
            // A file holding one bucket at offset 0.
            auto bucket = SlotBucket::load(rest, 0, e);
            if (bucket)
                for (uint32_t s = 0; s <= std::min<uint32_t>(bucket->slotCount() + 1, 64); ++s) bucket->slotRecord(s, e);
            break;
        }
        case 7: {
            // Byte patches on a small valid database: (u32 offset, u8 value)...
            static const QByteArray base = fuzzBaseDatabase();
            QByteArray b = base;
            for (size_t at = 0; at + 5 <= rest.size(); at += 5)
                b[qsizetype(rest.u32(at) % uint32_t(b.size()))] = char(rest.u8(at + 4));
            walkAllBytes(b);
            break;
        }
        case 8: {
            // A compiled formula: the whole value, or code alone; evaluated
            // against a document with one item.
            std::unique_ptr<store::formula::FormulaExpression> f;
            if (param & 1) {
                f = CompiledFormula::selection(rest, lmbcs, e);
            } else {
                std::vector<CompiledFormula::Token> tokens;
                if (CompiledFormula::tokenize(rest, lmbcs, tokens, e)) f = CompiledFormula::build(tokens, e);
            }
            if (f) {
                const auto value = store::formula::FormulaValue::texts({QStringLiteral("Memo"), QString()});
                f->selects([&](const QString& name) { return name == QLatin1String("form") ? &value : nullptr; });
            }
            break;
        }
        case 9: {
            std::vector<uint32_t> ids;
            ViewCollection::readIds(rest, ids, e);
            break;
        }
        case 10: {
            ViewFormat format;
            if (format.parse(rest, lmbcs, e)) format.sortColumn();
            break;
        }
        case 11: {
            store::StoreItem item;
            Rfc822Text::decode(rest, lmbcs, item);
            break;
        }
        default:
            lmbcs.text(rest);
            break;
    }
}

#include "NsfWalk.h"

#include "notes/nsf/NsfDatabase.h"

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
    db->documentIds();
    return notes;
}

#include "notes/nsf/CdTextExtractor.h"
#include "notes/nsf/CxDecompressor.h"
#include "notes/nsf/HuffmanDecoder.h"
#include "notes/nsf/IdTable.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/SlotBucket.h"

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
    switch (data[0] % 7) {
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
        default:
            lmbcs.text(rest);
            break;
    }
}

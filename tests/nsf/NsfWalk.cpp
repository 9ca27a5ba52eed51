#include "NsfWalk.h"

#include "notes/nsf/NsfDatabase.h"

using namespace nsf;

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

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/TimeDateDecoder.h"
#include "notes/nsf/ByteView.h"

#include "notes/mime/NotesMimeBody.h"
#include "notes/nsf/CdTextExtractor.h"
#include "notes/nsf/FileObject.h"
#include "notes/nsf/FormDesign.h"
#include "notes/nsf/IdTable.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/ObjectReader.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace nsf {
namespace {

constexpr uint16_t kClassDocument = 0x0001;
constexpr uint16_t kClassForm = 0x0004;
constexpr uint16_t kClassView = 0x0008;
constexpr uint16_t kObjectFile = 0;
constexpr uint16_t kObjectFolderIdTable = 10;
constexpr uint16_t kTypeMimePart = 0x0019;
// Attachment keys at and above this name the MIME body's own attachment parts (by order).
constexpr qint64 kMimeAttachmentKey = qint64(1) << 40;
// A MIME part's content kept in a $FILE object is read into memory whole; past this it is not.
constexpr uint64_t kMaxMimeObjectBytes = 64ull * 1024 * 1024;

QString hex(uint32_t v) { return QStringLiteral("0x") + QString::number(v, 16).toUpper(); }

bool isSealName(const QString& name) {
    return name.compare(QLatin1String("$Seal"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("$SealData"), Qt::CaseInsensitive) == 0;
}

}  // namespace

std::unique_ptr<NsfDatabase> NsfDatabase::open(std::unique_ptr<NsfFile> file, store::StoreError& error) {
    std::unique_ptr<NsfDatabase> db(new NsfDatabase);
    db->m_file = std::move(file);
    const ByteView bytes = db->m_file->bytes();
    QString e;
    bool unsupported = false;
    if (!NsfHeader::parse(bytes, db->m_header, e, unsupported)) {
        error = {unsupported ? store::StatusUnsupportedFormat : store::StatusDamaged, e};
        return nullptr;
    }
    if (!db->m_lmbcs.isValid()) {
        error = {store::StatusInternal, QStringLiteral("the LMBCS converter of ICU is not available")};
        return nullptr;
    }
    // Release 4 files have no superblock: their BDB and RRV buckets on disk are current.
    if (!db->m_header.release4 && !db->m_sb.load(bytes, db->m_header, e)) {
        error = {store::StatusDamaged, e};
        return nullptr;
    }
    if (!db->m_bdb.load(bytes, db->m_header, db->m_lmbcs, e)) {
        error = {store::StatusDamaged, e};
        return nullptr;
    }
    db->m_rrv.build(bytes, db->m_header.rrvBucketSize, db->m_bdb, db->m_sb, db->m_header.release4);
    db->m_reader = std::make_unique<NoteReader>(bytes, db->m_sb, db->m_bdb, db->m_cache, db->m_header.release4);
    // Buckets are copied when loaded: their pages in the mapping can go.
    const NsfFile* mapped = db->m_file.get();
    db->m_cache.setLoaded([mapped](ByteView bucket) { mapped->releasePages(bucket); });
    return db;
}

QString NsfDatabase::title() {
    return m_lmbcs.toUnicode(ByteView(m_header.titleBytes.constData(), size_t(m_header.titleBytes.size())));
}

NoteReader::Result NsfDatabase::readRaw(uint32_t id, RawNote& note, QString& error) {
    const RrvMap::Entry* entry = m_rrv.find(id);
    if (!entry) {
        error = QStringLiteral("no note has the ID %1").arg(hex(id));
        return NoteReader::Result::Error;
    }
    const NoteReader::Result r = m_reader->read(*entry, note, error);
    // An object record is not kept: its pages can go.
    if (r != NoteReader::Result::Note && !entry->isBucketSlot()) releaseAround(entry->fileOffset());
    return r;
}

NoteReader::Result NsfDatabase::peekClass(uint32_t id, uint16_t& noteClass, QString& error) {
    const RrvMap::Entry* entry = m_rrv.find(id);
    if (!entry) {
        error = QStringLiteral("no note has the ID %1").arg(hex(id));
        return NoteReader::Result::Error;
    }
    return peek(*entry, noteClass, error);
}

NoteReader::Result NsfDatabase::peek(const RrvMap::Entry& entry, uint16_t& noteClass, QString& error) {
    const NoteReader::Result r = m_reader->peek(entry, noteClass, error);
    if (!entry.isBucketSlot()) releaseAround(entry.fileOffset());
    return r;
}

void NsfDatabase::releaseAround(uint64_t offset) {
    // A scan over thousands of object records would otherwise keep the
    // pages around each of them in memory.
    m_file->releasePages(m_file->bytes().sub(offset, 1));
}

store::StoreError NsfDatabase::loadNote(uint32_t noteId, store::StoreNote& note) {
    note = store::StoreNote();
    if (!m_rrv.find(noteId)) return {store::StatusNoSuchNote, QStringLiteral("no note has the ID %1").arg(hex(noteId))};
    RawNote raw;
    QString e;
    switch (readRaw(noteId, raw, e)) {
        case NoteReader::Result::Note: break;
        case NoteReader::Result::DeletionStub:
            return {store::StatusNoSuchNote, QStringLiteral("note %1 has been deleted").arg(hex(noteId))};
        case NoteReader::Result::NotANote:
            return {store::StatusNoSuchNote, QStringLiteral("ID %1 is not a note").arg(hex(noteId))};
        case NoteReader::Result::Error: return {store::StatusDamaged, e};
    }
    convert(raw, note);
    // Values read from the file (non-summary records at file positions) are
    // in the note now; their pages can go.
    for (const RawItem& i : raw.items) m_file->releasePages(i.value);
    return {};
}

void NsfDatabase::convert(const RawNote& raw, store::StoreNote& note) {
    note = store::StoreNote();
    note.noteId = raw.noteId;
    note.unid = raw.unid();
    {
        // The originator's sequence number and sequence time change with every edit.
        const ByteView oid(raw.oid, 28);
        note.changeMark = QStringLiteral("%1:%2%3")
                            .arg(oid.u32(16))
                            .arg(oid.u32(24), 8, 16, QLatin1Char('0'))
                            .arg(oid.u32(20), 8, 16, QLatin1Char('0'));
    }
    note.noteClass = raw.classMasked();
    note.size = qint64(raw.summaryLength) + raw.nonSummaryLength;
    {
        // The originator ID: the note part of the UNID is the creation time,
        // the sequence time the last change.
        const ByteView oid(raw.oid, sizeof raw.oid);
        store::NotesTime t;
        if (TimeDateDecoder::decode(oid.u32(8), oid.u32(12), t) == TimeDateDecoder::Kind::Valid) note.created = t;
        t = store::NotesTime();
        if (TimeDateDecoder::decode(oid.u32(20), oid.u32(24), t) == TimeDateDecoder::Kind::Valid) note.modified = t;
    }
    for (const RawItem& i : raw.items)
        if (ItemValueDecoder::isSealType(i.type) || isSealName(i.name)) note.encrypted = true;

    QMap<int, QString> faces;
    for (const RawItem& i : raw.items)
        if (i.type == NsfComposite && i.name.compare(QLatin1String("$Fonts"), Qt::CaseInsensitive) == 0 &&
            i.problem.isEmpty())
            faces.insert(CdTextExtractor::readFontTable(i.value, m_lmbcs));

    // The doclinks that rich text names by index.
    const RawItem* links = raw.item(QStringLiteral("$Links"));
    if (links && (links->type != NsfNoteLinkList || !links->problem.isEmpty())) links = nullptr;
    struct Field {
        size_t index;
        std::unique_ptr<CdTextExtractor> text;
        QByteArray raw;
    };
    QHash<QString, size_t> fieldByName;
    std::vector<Field> fields;
    struct MimeField {
        size_t index;
        std::unique_ptr<mime::NotesMimeBody> body;
    };
    QHash<QString, size_t> mimeByName;
    std::vector<MimeField> mimeFields;
    ItemValueDecoder decoder(m_lmbcs);
    note.items.reserve(raw.items.size());
    for (size_t k = 0; k < raw.items.size(); ++k) {
        const RawItem& i = raw.items[k];
        if (note.encrypted && (i.flags & ItemSeal) && i.problem.isEmpty()) {
            store::StoreItem item;
            item.name = i.name;
            item.flags = i.flags;
            item.type = ItemValueDecoder::storeType(i.type);
            item.unreadable = true;
            item.problem = QStringLiteral("the item is encrypted");
            note.items.push_back(std::move(item));
            continue;
        }
        if (i.type == NsfComposite && i.problem.isEmpty()) {
            const QString key = i.name.toLower();
            auto it = fieldByName.find(key);
            if (it == fieldByName.end()) {
                store::StoreItem item;
                item.name = i.name;
                item.flags = i.flags;
                item.type = store::TypeComposite;
                note.items.push_back(std::move(item));
                it = fieldByName.insert(key, fields.size());
                fields.push_back({note.items.size() - 1, std::make_unique<CdTextExtractor>(m_lmbcs, faces), {}});
                if (links) fields.back().text->setLinks(links->value);
            }
            Field& f = fields[*it];
            f.text->addPart(i.value);
            f.raw.append(reinterpret_cast<const char*>(i.value.data()), qsizetype(i.value.size()));
            continue;
        }
        if (i.type == kTypeMimePart && i.problem.isEmpty()) {
            // One item per MIME part: the parts of a field become one rich-text body.
            const QString key = i.name.toLower();
            auto it = mimeByName.find(key);
            if (it == mimeByName.end()) {
                store::StoreItem item;
                item.name = i.name;
                item.flags = i.flags;
                item.type = store::TypeComposite;
                note.items.push_back(std::move(item));
                it = mimeByName.insert(key, mimeFields.size());
                auto loader = [this, &raw](const QString& name, QByteArray& bytes, QString& problem) {
                    return loadFileObject(raw, name, bytes, problem);
                };
                mimeFields.push_back({note.items.size() - 1, std::make_unique<mime::NotesMimeBody>(loader)});
            }
            mimeFields[*it].body->addPart(
                QByteArray(reinterpret_cast<const char*>(i.value.data()), qsizetype(i.value.size())));
            continue;
        }
        store::StoreItem item;
        decoder.decode(i, item);
        note.items.push_back(std::move(item));
        if (i.type == NsfObject && i.problem.isEmpty() &&
            i.name.compare(QLatin1String("$FILE"), Qt::CaseInsensitive) == 0)
            addAttachment(i, k, note);
    }
    for (Field& f : fields) {
        auto doc = std::make_shared<store::RichTextDoc>();
        doc->blocks = f.text->finish();
        doc->rawRecords = f.raw;
        store::StoreItem& item = note.items[f.index];
        if (f.text->damaged()) item.problem = QStringLiteral("the rich text ends in a damaged record");
        item.raw = std::move(f.raw);
        item.richText = std::move(doc);
    }
    QStringList bodyObjects;
    qint64 mimeAttachment = 0;
    for (MimeField& f : mimeFields) {
        mime::NotesMimeBody::Result r = f.body->finish();
        store::StoreItem& item = note.items[f.index];
        item.raw = f.body->text();
        if (!r.problems.isEmpty()) item.problem = r.problems.join(QLatin1Char(' '));
        bodyObjects += r.bodyObjects;
        // Files carried inside the MIME data (not in a $FILE) are attachments too, each once.
        for (const mime::MimeEntity* a : r.ownAttachments()) {
            store::StoreAttachment att;
            att.name = a->fileName.isEmpty() ? QStringLiteral("attachment") : a->fileName;
            att.size = a->body.size();
            att.key = kMimeAttachmentKey + mimeAttachment++;
            note.attachments.push_back(att);
        }
        item.richText = std::move(r.body);
    }
    // $FILE objects that held MIME content are part of the body, not attachments.
    if (!bodyObjects.isEmpty())
        std::erase_if(note.attachments, [&](const store::StoreAttachment& a) {
            return a.key < kMimeAttachmentKey && bodyObjects.contains(a.name);
        });
}

std::vector<mime::NotesMimeBody::Result> NsfDatabase::mimeBodies(const RawNote& raw) {
    QHash<QString, size_t> byName;
    std::vector<std::unique_ptr<mime::NotesMimeBody>> bodies;
    for (const RawItem& i : raw.items) {
        if (i.type != kTypeMimePart || !i.problem.isEmpty()) continue;
        const QString key = i.name.toLower();
        auto it = byName.find(key);
        if (it == byName.end()) {
            it = byName.insert(key, bodies.size());
            bodies.push_back(std::make_unique<mime::NotesMimeBody>(
                [this, &raw](const QString& name, QByteArray& bytes, QString& problem) {
                    return loadFileObject(raw, name, bytes, problem);
                }));
        }
        bodies[*it]->addPart(QByteArray(reinterpret_cast<const char*>(i.value.data()), qsizetype(i.value.size())));
    }
    std::vector<mime::NotesMimeBody::Result> out;
    for (const auto& b : bodies) out.push_back(b->finish());
    return out;
}

bool NsfDatabase::loadFileObject(const RawNote& raw, const QString& name, QByteArray& bytes, QString& problem) {
    for (const RawItem& i : raw.items) {
        if (i.type != NsfObject || !i.problem.isEmpty() || i.name.compare(QLatin1String("$FILE"), Qt::CaseInsensitive))
            continue;
        FileObject file;
        QString e;
        if (!FileObject::parse(i.value, m_lmbcs, file, e) || file.objectType != kObjectFile || file.name != name)
            continue;
        if (file.fileSize > kMaxMimeObjectBytes) {
            problem = QStringLiteral("it is larger than %1 MB").arg(kMaxMimeObjectBytes / (1024 * 1024));
            return false;
        }
        bytes.clear();
        bytes.reserve(qsizetype(file.fileSize));
        const ObjectReader objects(m_file->bytes(), m_rrv);
        const bool ok = objects.extractFile(file, [&](const char* data, size_t size) {
            if (uint64_t(bytes.size()) + size > kMaxMimeObjectBytes) return false;
            bytes.append(data, qsizetype(size));
            return true;
        }, e);
        if (!ok) problem = e.isEmpty() ? QStringLiteral("its object is damaged") : e;
        return ok;
    }
    problem = QStringLiteral("the note has no file object of that name");
    return false;
}

void NsfDatabase::addAttachment(const RawItem& raw, size_t itemIndex, store::StoreNote& note) {
    FileObject file;
    QString e;
    store::StoreAttachment a;
    a.key = qint64(itemIndex);
    if (!FileObject::parse(raw.value, m_lmbcs, file, e)) {
        a.decodable = false;
        a.problem = e;
    } else if (file.objectType != kObjectFile) {
        return;
    } else {
        a.name = file.name;
        a.size = file.fileSize;
        const ObjectReader objects(m_file->bytes(), m_rrv);
        const bool readable = objects.checkFile(file, e);
        if (const RrvMap::Entry* object = m_rrv.find(file.objectId); object && !object->isBucketSlot())
            releaseAround(object->fileOffset());
        if (!readable) {
            a.decodable = false;
            a.problem = e;
        }
    }
    note.attachments.push_back(a);
}

store::StoreError NsfDatabase::extractAttachment(uint32_t noteId, qint64 key, const HuffmanDecoder::Sink& sink) {
    RawNote raw;
    QString e;
    const auto result = readRaw(noteId, raw, e);
    if (result != NoteReader::Result::Note)
        return {result == NoteReader::Result::Error ? store::StatusDamaged : store::StatusNoSuchNote, e};
    if (key >= kMimeAttachmentKey) {
        qint64 ordinal = key - kMimeAttachmentKey;
        const std::vector<mime::NotesMimeBody::Result> bodies = mimeBodies(raw);
        for (const mime::NotesMimeBody::Result& r : bodies)
            for (const mime::MimeEntity* a : r.ownAttachments())
                if (ordinal-- == 0) {
                    if (!a->body.isEmpty() && !sink(a->body.constData(), size_t(a->body.size())))
                        return {store::StatusAttachmentUnreadable, a->fileName + QStringLiteral(": not written")};
                    return {};
                }
        return {store::StatusAttachmentUnreadable, QStringLiteral("note %1 has no attachment %2").arg(hex(noteId)).arg(key)};
    }
    if (key < 0 || size_t(key) >= raw.items.size())
        return {store::StatusAttachmentUnreadable, QStringLiteral("note %1 has no attachment %2").arg(hex(noteId)).arg(key)};
    const RawItem& item = raw.items[size_t(key)];
    if (item.type != NsfObject || !item.problem.isEmpty() ||
        item.name.compare(QLatin1String("$FILE"), Qt::CaseInsensitive) != 0)
        return {store::StatusAttachmentUnreadable, QStringLiteral("note %1 has no attachment %2").arg(hex(noteId)).arg(key)};
    FileObject file;
    if (!FileObject::parse(item.value, m_lmbcs, file, e))
        return {store::StatusAttachmentUnreadable, e};
    const ObjectReader objects(m_file->bytes(), m_rrv, m_file.get());
    if (!objects.extractFile(file, sink, e))
        return {store::StatusAttachmentUnreadable, file.name + QStringLiteral(": ") + e};
    return {};
}

void NsfDatabase::classifyRecords() {
    if (m_classified) return;
    m_classified = true;
    for (const RrvMap::Entry& entry : m_rrv.entries()) {
        uint16_t cls = 0;
        QString e;
        switch (peek(entry, cls, e)) {
            case NoteReader::Result::Note:
                // Classified by the class word alone (design notes have non-data IDs in
                // every database seen, but the class is what makes a view).
                if ((cls & 0x7FFF) == kClassDocument) m_documents.push_back(entry.id);
                if ((cls & 0x7FFF) == kClassView) m_designIds.push_back(entry.id);
                if ((cls & 0x7FFF) == kClassForm) m_formIds.push_back(entry.id);
                break;
            case NoteReader::Result::Error:
                m_recordProblems << QStringLiteral("note %1 cannot be read: %2").arg(hex(entry.id), e);
                break;
            case NoteReader::Result::DeletionStub:
            case NoteReader::Result::NotANote:
                break;
        }
    }
}

QStringList NsfDatabase::problems() {
    designEntries();
    return m_rrv.problems() + m_recordProblems + m_designProblems;
}

const std::vector<NsfDatabase::DesignEntry>& NsfDatabase::designEntries() {
    if (m_design) return *m_design;
    m_design.emplace();
    classifyRecords();
    ItemValueDecoder decoder(m_lmbcs);
    for (uint32_t id : m_designIds) {
        RawNote raw;
        QString e;
        if (readRaw(id, raw, e) != NoteReader::Result::Note) {
            m_designProblems << QStringLiteral("view or folder note %1 cannot be read: %2").arg(hex(id), e);
            continue;
        }
        DesignEntry d;
        d.noteId = raw.noteId;
        d.unid = raw.unid();
        const RawItem* t = raw.item(QStringLiteral("$TITLE"));
        if (t && !t->problem.isEmpty()) {
            m_designProblems << QStringLiteral("view or folder note %1: its name cannot be read: %2")
                                    .arg(hex(id), t->problem);
            continue;
        }
        if (t) {
            store::StoreItem item;
            decoder.decode(*t, item);
            if (t->type == NsfTextList) {
                d.storedTitle = QLatin1Char('[') + item.texts.join(QLatin1Char(',')) + QLatin1Char(']');
                d.name = item.texts.value(0).trimmed();
            } else {
                d.storedTitle = item.texts.value(0);
                d.name = d.storedTitle.section(QLatin1Char('|'), 0, 0).trimmed();
            }
        }
        if (const RawItem* f = raw.item(QStringLiteral("$Flags"))) {
            store::StoreItem item;
            decoder.decode(*f, item);
            if (item.unreadable)
                m_designProblems << QStringLiteral("view or folder note %1 (%2): its flags cannot be read: %3")
                                        .arg(hex(id), d.name, item.problem);
            d.isFolder = item.texts.value(0).contains(QLatin1Char('F'));
        }
        d.view = std::make_shared<const ViewDesign>(ViewDesign::read(raw, m_file->bytes(), m_rrv, m_lmbcs));
        if (!d.view->formatProblem.isEmpty())
            m_designProblems << QStringLiteral("view or folder note %1 (%2): its columns cannot be read: %3")
                                    .arg(hex(id), d.name, d.view->formatProblem);
        m_design->push_back(std::move(d));
    }
    return *m_design;
}

const std::vector<std::shared_ptr<const store::StoreForm>>& NsfDatabase::forms() {
    if (m_forms) return *m_forms;
    classifyRecords();
    std::vector<std::shared_ptr<store::StoreForm>> forms;
    for (uint32_t id : m_formIds) {
        RawNote raw;
        QString e;
        // A form that cannot be read leaves its documents in stored order.
        if (readRaw(id, raw, e) != NoteReader::Result::Note) continue;
        if (auto form = FormDesign::read(raw, m_lmbcs)) forms.push_back(std::move(form));
        for (const RawItem& i : raw.items) m_file->releasePages(i.value);
    }
    store::ExpandSubforms(forms);
    m_forms.emplace(forms.begin(), forms.end());
    return *m_forms;
}

store::StoreError NsfDatabase::folderMembers(uint32_t folderNoteId, std::vector<uint32_t>& ids) {
    ids.clear();
    RawNote raw;
    QString e;
    if (readRaw(folderNoteId, raw, e) != NoteReader::Result::Note) return {store::StatusDamaged, e};
    const RawItem* table = nullptr;
    for (const RawItem& i : raw.items)
        if (i.type == NsfObject && i.problem.isEmpty() && i.value.u16(0) == kObjectFolderIdTable &&
            i.name.compare(QLatin1String("$FolderIDTable"), Qt::CaseInsensitive) == 0)
            table = &i;
    if (!table) return {store::StatusNoSuchFolder, QStringLiteral("the folder has no member table")};
    const ObjectReader objects(m_file->bytes(), m_rrv);
    const ByteView data = objects.storedData(table->value.u32(2), e);
    if (!data.data()) return {store::StatusDamaged, QStringLiteral("folder member table: %1").arg(e)};
    std::vector<uint32_t> all;
    if (!IdTable::decode(data, all, e)) return {store::StatusDamaged, QStringLiteral("folder member table: %1").arg(e)};
    // Members deleted since (stubs, purged IDs) are no longer entries. A
    // member whose record cannot be read stays: loading it names the damage.
    // So does one missing from an incomplete RRV map (it may be in a lost bucket).
    const bool mapComplete = m_rrv.problems().isEmpty();
    for (uint32_t id : all) {
        uint16_t cls = 0;
        if (!m_rrv.find(id)) {
            if (!mapComplete) ids.push_back(id);
            continue;
        }
        const NoteReader::Result r = peekClass(id, cls, e);
        if (r != NoteReader::Result::DeletionStub && r != NoteReader::Result::NotANote) ids.push_back(id);
    }
    return {};
}

const std::vector<uint32_t>& NsfDatabase::documentIds() {
    classifyRecords();
    return m_documents;
}

}  // namespace nsf

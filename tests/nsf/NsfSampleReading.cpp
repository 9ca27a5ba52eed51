#include "NsfSampleReading.h"

#include "notes/nsf/FileObject.h"
#include "notes/nsf/IdTable.h"
#include "notes/nsf/ItemValueDecoder.h"
#include "notes/nsf/LmbcsConverter.h"
#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/ObjectReader.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <set>

using namespace nsf;

QString NsfSamples::dir() { return QStringLiteral(TESSELDOC_SHARED_DIR "/nsf-samples"); }

std::vector<GroundTruthRow> NsfSamples::groundTruth() {
    std::vector<GroundTruthRow> rows;
    QFile f(dir() + QStringLiteral("/ground-truth.tsv"));
    if (!f.open(QIODevice::ReadOnly)) return rows;
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.isEmpty()) return rows;
    const QStringList header = QString::fromUtf8(lines[0]).split(QLatin1Char('\t'));
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty()) continue;
        const QStringList cells = QString::fromUtf8(lines[i]).split(QLatin1Char('\t'));
        GroundTruthRow row;
        for (int c = 0; c < header.size(); ++c) row.cells[header[c]] = cells.value(c);
        rows.push_back(row);
    }
    return rows;
}

QStringList NsfSamples::splitCell(const QString& cell) {
    QStringList out;
    if (cell.isEmpty()) return out;
    QString cur;
    for (int i = 0; i < cell.size(); ++i) {
        const QChar c = cell[i];
        if (c == QLatin1Char('\\') && i + 1 < cell.size()) {
            const QChar n = cell[++i];
            if (n == QLatin1Char('t')) cur += QLatin1Char('\t');
            else if (n == QLatin1Char('x') && i + 2 < cell.size()) {
                cur += QChar(cell.mid(i + 1, 2).toInt(nullptr, 16));
                i += 2;
            } else cur += n;
        } else if (c == QLatin1Char(';')) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

const NsfSampleReading& NsfSamples::reading(const QString& rel) {
    static std::map<QString, std::unique_ptr<NsfSampleReading>> cache;
    auto& slot = cache[rel];
    if (!slot) slot = std::make_unique<NsfSampleReading>(NsfSampleReading::read(dir() + QLatin1Char('/') + rel));
    return *slot;
}

NsfSampleReading NsfSampleReading::read(const QString& path) {
    NsfSampleReading r;
    QString e;
    auto file = NsfFile::open(path, e);
    if (!file) {
        r.openError = e;
        return r;
    }
    store::StoreError se;
    auto db = NsfDatabase::open(std::move(file), se);
    if (!db) {
        r.openError = se.message();
        return r;
    }
    r.ods = int(db->header().ods);
    r.headerSize = int(db->header().headerSize);
    r.reserved = int(db->rrv().reservedCount());
    LmbcsConverter lmbcs;
    ItemValueDecoder decoder(lmbcs);
    std::set<uint32_t> nonProfileDocs;
    for (const RrvMap::Entry& entry : db->rrv().entries()) {
        RawNote raw;
        const auto result = db->readRaw(entry.id, raw, e);
        if (result == NoteReader::Result::DeletionStub) ++r.deletionStubs;
        if (result == NoteReader::Result::Error) r.noteErrors << e;
        if (result != NoteReader::Result::Note) continue;
        ++r.notesResolved;
        r.classCounts[raw.classMasked()]++;
        if (raw.classMasked() != 1) continue;
        ++r.docsClass1;
        bool profile = false;
        if (const RawItem* name = raw.item(QStringLiteral("$Name"))) {
            store::StoreItem item;
            decoder.decode(*name, item);
            profile = item.texts.value(0).startsWith(QLatin1String("$profile"), Qt::CaseInsensitive);
        }
        if (profile) ++r.profileDocs;
        else nonProfileDocs.insert(raw.noteId);
        QString form = QStringLiteral("<no Form item>");
        if (const RawItem* f = raw.item(QStringLiteral("Form"))) {
            store::StoreItem item;
            decoder.decode(*f, item);
            form = item.texts.value(0);
        }
        r.forms[form]++;
    }
    // Attachments of every note (documents and design), in ID order.
    for (const RrvMap::Entry& entry : db->rrv().entries()) {
        RawNote raw;
        if (db->readRaw(entry.id, raw, e) != NoteReader::Result::Note) continue;
        for (size_t k = 0; k < raw.items.size(); ++k) {
            const RawItem& i = raw.items[k];
            if (i.type != NsfObject || i.name.compare(QLatin1String("$FILE"), Qt::CaseInsensitive) != 0) continue;
            FileObject fo;
            if (!FileObject::parse(i.value, lmbcs, fo, e) || fo.objectType != 0) continue;
            QByteArray data;
            const store::StoreError x = db->extractAttachment(raw.noteId, qint64(k), [&](const char* d, size_t n) {
                data.append(d, qsizetype(n));
                return true;
            });
            const bool ok = x.ok() && data.size() == qint64(fo.fileSize);
            r.attachments << QStringLiteral("%1:%2:comp%3:%4")
                                 .arg(fo.name)
                                 .arg(fo.fileSize)
                                 .arg(fo.compression)
                                 .arg(ok ? QStringLiteral("ok") : x.message());
        }
    }
    std::vector<uint32_t> sbIds;
    if (IdTable::decode(db->superblock().dataNoteIdTable(), sbIds, e)) {
        r.sbIdTableSize = int(sbIds.size());
        r.sbIdTableEqual = std::set<uint32_t>(sbIds.begin(), sbIds.end()) == nonProfileDocs;
    }
    for (const NsfDatabase::DesignEntry& d : db->designEntries()) {
        const QString title = d.storedTitle.isEmpty() ? QStringLiteral("<empty>") : d.storedTitle;
        if (!d.isFolder) {
            r.viewTitles << title;
            continue;
        }
        r.folderTitles << title;
        std::vector<uint32_t> ids;
        db->folderMembers(d.noteId, ids);
        QStringList hexIds;
        for (uint32_t id : ids) hexIds << QStringLiteral("0x") + QString::number(id, 16);
        r.folderMembers << title + QStringLiteral("={") + hexIds.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    return r;
}

// Writes a database of more than 2 GB with the test writer - documents whose
// attachments lie past 2 GB and past 4 GB (after a hole that takes no disk),
// summary buckets over several descriptor pages, several RRV buckets, a view
// and a folder - then opens, lists and walks it, and prints the time of each
// step and the peak memory of the process while reading. The file is deleted
// afterwards unless --keep is given.
//   nsf_large_bench [--dir DIR] [--documents N] [--mb-per-attachment M] [--keep]
#include "MiniNsf.h"

#include "notes/nsf/NsfDatabase.h"
#include "notes/nsf/NsfStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStorageInfo>

#include <cstdio>

using namespace nsf;

namespace {

// Peak and current resident memory of this process (VmHWM, VmRSS) in MB.
double statusMb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024;
    return -1;
}

void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

uint8_t patternByte(uint32_t id, uint64_t offset) { return uint8_t((offset * 31 + id) ^ (offset >> 12)); }

QByteArray le16(uint16_t v) {
    QByteArray b(2, 0);
    MiniNsf::put16(b, 0, v);
    return b;
}

MiniNsf::Item item(const QString& name, uint16_t type, const QByteArray& value, bool typeWord = false) {
    MiniNsf::Item i;
    i.name = name;
    i.type = i.nameType = type;
    i.value = value;
    i.typeWord = typeWord;
    return i;
}

// A view selecting every document, sorted by Subject (descending), and a folder.
std::vector<MiniNsf::Note> design(uint32_t viewId, uint32_t folderId, uint32_t tableId) {
    const QByteArray code = le16(0x0066) + le16(0x0003);
    QByteArray formula = le16(0) + le16(0) + le16(uint16_t(4 + code.size())) + code;
    MiniNsf::put16(formula, 0, uint16_t(formula.size()));
    const QByteArray columnCode = le16(0x0005) + le16(7) + QByteArray("Subject\0", 8) + le16(0x0003);
    const QByteArray columnRecord = le16(2) + le16(uint16_t(4 + 10 + columnCode.size())) + le16(7) +
                                    QByteArray("Subject\0", 8) + columnCode;
    const QByteArray column = le16(uint16_t(2 + columnRecord.size())) + columnRecord;
    QByteArray format(10 + 32, 0);
    MiniNsf::put16(format, 2, 1);
    MiniNsf::put16(format, 10 + 2, 0x0005);  // sorted, descending
    MiniNsf::put16(format, 10 + 4, 7);
    MiniNsf::put16(format, 10 + 8, uint16_t(column.size()));
    format += QByteArray("Subject") + column;
    MiniNsf::Note view;
    view.id = viewId;
    view.noteClass = 0x0008;
    view.items = {item("$TITLE", 0x0500, "All by Subject"), item("$Flags", 0x0500, ""),
                  item("$FORMULA", 0x0600, formula, true), item("$VIEWFORMAT", 0x0605, format, true)};
    MiniNsf::Note folder;
    folder.id = folderId;
    folder.noteClass = 0x0008;
    QByteArray table(6, 0);
    MiniNsf::put16(table, 0, 10);
    MiniNsf::put32(table, 2, tableId);
    folder.items = {item("$TITLE", 0x0500, "Kept"), item("$Flags", 0x0500, "F"),
                    item("$FolderIDTable", 0x0003, table, true)};
    return {view, folder};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString dir = QDir::tempPath();
    int documents = 2100;
    int mbPerAttachment = 1;
    bool keep = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--dir") && i + 1 < args.size()) dir = args[++i];
        else if (args[i] == QLatin1String("--documents") && i + 1 < args.size()) documents = args[++i].toInt();
        else if (args[i] == QLatin1String("--mb-per-attachment") && i + 1 < args.size()) mbPerAttachment = args[++i].toInt();
        else if (args[i] == QLatin1String("--keep")) keep = true;
        else {
            std::fprintf(stderr, "usage: nsf_large_bench [--dir DIR] [--documents N] [--mb-per-attachment M] [--keep]\n");
            return 2;
        }
    }
    const uint64_t attachment = uint64_t(mbPerAttachment) << 20;
    const uint64_t data = attachment * uint64_t(documents);
    const uint64_t gap = uint64_t(2300) << 20;  // the first attachment lies past 2 GB, the last past 4 GB
    const QStorageInfo disk(dir);
    if (uint64_t(disk.bytesAvailable()) < data + (uint64_t(2) << 30)) {
        std::fprintf(stderr, "nsf_large_bench: %s has %.1f GB free; %.1f GB and a reserve of 2 GB are needed\n",
                     qPrintable(dir), disk.bytesAvailable() / 1e9, data / 1e9);
        return 1;
    }
    const QString path = QDir(dir).filePath(QStringLiteral("nsf_large_bench.nsf"));

    // Write.
    MiniNsf mini;
    mini.notesPerBucket = 1;  // one bucket per note: descriptors over two pages
    std::vector<uint32_t> members;
    const uint32_t first = MiniNsf::kFirstId;
    for (int k = 0; k < documents; ++k) {
        MiniNsf::Note n;
        n.id = first + 8 * uint32_t(k);
        n.placement = MiniNsf::NonSummary::Inline;
        n.items = {item("Form", 0x0500, "Memo"),
                   item("Subject", 0x0500, QStringLiteral("Document %1").arg(k, 6, 10, QLatin1Char('0')).toLatin1()),
                   item("$FILE", 0x0003,
                        MiniNsf::fileObject(n.id + 4, QStringLiteral("file-%1.bin").arg(k).toLatin1(), 0,
                                            uint32_t(attachment)),
                        true)};
        mini.notes.push_back(n);
        const uint32_t objectId = n.id + 4;
        mini.streamedObjects.push_back({objectId, attachment, [objectId](uint64_t offset, char* out, size_t count) {
                                            for (size_t i = 0; i < count; ++i)
                                                out[i] = char(patternByte(objectId, offset + i));
                                        }});
        if (k % 10 == 0) members.push_back(n.id);
    }
    const uint32_t next = first + 8 * uint32_t(documents);
    for (MiniNsf::Note& d : design(next, next + 4, next + 8)) mini.notes.push_back(d);
    QByteArray ids(18, 0);
    MiniNsf::put32(ids, 0, 4);
    MiniNsf::put16(ids, 4, uint16_t(members.size()));
    MiniNsf::put16(ids, 6, uint16_t(members.size()));
    for (uint32_t id : members) {
        QByteArray run(5, 0);
        MiniNsf::put32(run, 1, id);
        ids += run;
    }
    mini.objects.push_back({next + 8, ids});
    mini.streamedGap = gap;
    if (mini.notes.size() > 2 * MiniNsf::kDescriptorsPerPage) mini.notesPerBucket = 2;

    QElapsedTimer timer;
    timer.start();
    {
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || !mini.write(out)) {
            std::fprintf(stderr, "nsf_large_bench: cannot write %s\n", qPrintable(path));
            QFile::remove(path);
            return 1;
        }
    }
    const double writeSeconds = timer.nsecsElapsed() / 1e9;
    const uint64_t fileSize = uint64_t(QFileInfo(path).size());
    mini = MiniNsf();
    resetPeak();

    // Open.
    timer.restart();
    store::StoreError se;
    QString e;
    auto file = NsfFile::open(path, e);
    std::unique_ptr<NsfDatabase> db = file ? NsfDatabase::open(std::move(file), se) : nullptr;
    if (!db) {
        std::fprintf(stderr, "nsf_large_bench: cannot open: %s%s\n", qPrintable(e), qPrintable(se.message()));
        if (!keep) QFile::remove(path);
        return 1;
    }
    const double openSeconds = timer.nsecsElapsed() / 1e9;
    const double openPeak = statusMb("VmHWM:");

    // List: the view (evaluated and sorted) and the folder.
    timer.restart();
    NsfStore st(std::move(db));
    const auto folders = st.folders();
    QStringList listing;
    size_t entries = 0;
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<uint32_t> entryIds;
        const store::StoreError le = st.folderEntries(i, entryIds);
        entries += entryIds.size();
        listing << QStringLiteral("%1: %2%3").arg(folders[i].name).arg(entryIds.size()).arg(le.ok() ? QString() : QStringLiteral(" (") + le.message() + QLatin1Char(')'));
    }
    const double listSeconds = timer.nsecsElapsed() / 1e9;
    const double listPeak = statusMb("VmHWM:");

    // Walk: every note, every attachment through a sink that checks its bytes.
    timer.restart();
    NsfDatabase& database = st.database();
    qint64 notes = 0, items = 0, attachments = 0, attachmentBytes = 0, wrongBytes = 0, failures = 0;
    uint64_t highestOffset = 0;
    for (const RrvMap::Entry& entry : database.rrv().entries()) {
        if (!entry.isBucketSlot()) highestOffset = std::max<uint64_t>(highestOffset, entry.fileOffset());
        store::StoreNote note;
        if (!database.loadNote(entry.id, note).ok()) continue;
        ++notes;
        items += qint64(note.items.size());
        for (const store::StoreAttachment& a : note.attachments) {
            ++attachments;
            const uint32_t objectId = note.noteId + 4;
            uint64_t offset = 0;
            const store::StoreError xe = database.extractAttachment(note.noteId, a.key, [&](const char* p, size_t n) {
                // Every 4099th byte is compared, and the last one.
                for (size_t i = 0; i < n; i += 4099)
                    if (uint8_t(p[i]) != patternByte(objectId, offset + i)) ++wrongBytes;
                if (n && uint8_t(p[n - 1]) != patternByte(objectId, offset + n - 1)) ++wrongBytes;
                offset += n;
                return true;
            });
            if (!xe.ok()) ++failures;
            attachmentBytes += qint64(offset);
        }
    }
    const double walkSeconds = timer.nsecsElapsed() / 1e9;
    const double walkPeak = statusMb("VmHWM:");

    std::printf("file: %s, %.2f GB (%.2f GB of data, the rest a hole), written in %.1f s\n", qPrintable(path),
                fileSize / 1e9, (fileSize - gap) / 1e9, writeSeconds);
    std::printf("highest object offset: 0x%llx (%.2f GB)\n", static_cast<unsigned long long>(highestOffset),
                highestOffset / 1e9);
    std::printf("open: %.3f s, peak memory %.1f MB\n", openSeconds, openPeak);
    std::printf("list: %.3f s, peak memory %.1f MB; %s\n", listSeconds, listPeak, qPrintable(listing.join(QStringLiteral("; "))));
    std::printf("walk: %.3f s, peak memory %.1f MB; notes %lld, items %lld, attachments %lld (%.2f GB, %.0f MB/s), "
                "failures %lld, wrong bytes %lld\n",
                walkSeconds, walkPeak, static_cast<long long>(notes), static_cast<long long>(items),
                static_cast<long long>(attachments), attachmentBytes / 1e9, attachmentBytes / 1e6 / walkSeconds,
                static_cast<long long>(failures), static_cast<long long>(wrongBytes));
    std::printf("peak memory while reading: %.1f MB (goal: under 200 MB)\n", walkPeak);
    if (!keep) QFile::remove(path);
    const bool ok = failures == 0 && wrongBytes == 0 && attachments == documents && entries == size_t(documents) + members.size();
    return ok ? 0 : 1;
}

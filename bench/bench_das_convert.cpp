// Converts one generated mail database twice: from its Notes XML file, and
// from the loopback Domino data-service stand-in serving that same file. Both
// run the whole item loop (documents read, bodies and headers made,
// attachments written) with an exporter that copies each body into place
// instead of driving a word processor, so that the figures are the readers'.
// The server run goes once without reading ahead and once with it. The
// stand-in serves a copy of the database held in memory: a real server does
// its work on its own machine, so only the JSON it sends is made here. Goal:
// the server database at most 1.5 times the time of the file.
//
//   bench_das_convert [documents]     (default 164)

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "export/IDocumentExporter.h"
#include "fake/FakeDomino.h"
#include "notes/das/DasStore.h"
#include "notes/store/MemoryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

// Puts each body where the document would go; nothing else.
class CopyingExporter : public IDocumentExporter {
public:
    int written = 0;
    bool StartWord() override { return true; }
    void ShutdownWord() override {}
    void SetRootFolder(const QString& path) override { m_root = path; }
    bool SetOutputFolder(const QString& relative) override {
        m_folder = QDir(m_root).filePath(relative);
        return QDir().mkpath(m_folder);
    }
    QString GetOutputFolder() const override { return m_folder; }
    void SetHeaderInputs(const QString&, const QString&, const QString&, const QString&, const QString&) override {}
    int CountHeaderLabels(const QString&) const override { return 0; }
    void SetTemplate(const QString&) override {}
    void SetPhotoPath(const QString&) override {}
    bool ExportItem(const QString& bodyFile, const QString& name) override { return copy(bodyFile, name); }
    bool ExportContact(const QString& bodyFile, const QString& name) override { return copy(bodyFile, name); }
    QString LastFailure() const override { return m_failure; }
    QString LastWrittenPath() const override { return m_last; }

private:
    bool copy(const QString& bodyFile, const QString& name) {
        m_last = ReserveDocumentPath(name);
        if (!QFile::copy(bodyFile, m_last)) {
            m_failure = QStringLiteral("cannot copy the body");
            return false;
        }
        ++written;
        return true;
    }
    QString m_root, m_folder, m_last, m_failure;
};

bool writeDatabase(const QString& path, int count) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray inbox = "F0000000000000000000000000000001";
    f.write("<?xml version='1.0' encoding='utf-8'?>\n<database xmlns='http://www.lotus.com/dxl' version='9.0' "
            "title='Bench mail'>\n");
    f.write("<folder name='($Inbox)'><noteinfo noteid='10' unid='" + inbox + "'/>"
            "<column itemname='PostedDate' sort='descending'/></folder>\n");
    for (int i = 0; i < count; ++i) {
        const QByteArray id = QByteArray::number(0x100 + i * 4, 16);
        QByteArray doc = "<document form='Memo'><noteinfo noteid='" + id + "' unid='D" +
                         QByteArray::number(i).rightJustified(31, '0') + "'/>";
        doc += "<item name='$FolderRefs'><text>" + inbox + "</text></item>";
        doc += "<item name='Subject'><text>Quarterly figures, part " + QByteArray::number(i) + "</text></item>";
        doc += "<item name='From'><text>CN=Ann Lee/O=Acme</text></item>";
        doc += "<item name='SendTo'><textlist><text>CN=Bob Meyer/O=Acme</text><text>carl@example.com</text>"
               "</textlist></item>";
        doc += "<item name='PostedDate'><datetime>201304" + QByteArray::number(10 + i % 18) +
               "T101500,00+02</datetime></item>";
        doc += "<item name='Body'><richtext><pardef id='1'/>";
        for (int p = 0; p < 6 + i % 10; ++p)
            doc += "<par def='1'>Paragraph " + QByteArray::number(p) +
                   ": the figures for <run><font style='bold'/>this week</run> are in the attached sheet, "
                   "with the notes we discussed on Monday and the changes Carl asked for.</par>";
        doc += "</richtext></item>";
        if (i % 3 == 0) {
            QByteArray raw(10000 * (1 + i % 20), '\0');
            for (int k = 0; k < raw.size(); ++k) raw[k] = char((k * 131 + i) & 0xFF);
            doc += "<item name='$FILE'><object><file hosttype='msdos' name='sheet" + QByteArray::number(i) +
                   ".bin' size='" + QByteArray::number(raw.size()) + "'><filedata>" + raw.toBase64() +
                   "</filedata></file></object></item>";
        }
        doc += "</document>\n";
        f.write(doc);
    }
    f.write("</database>\n");
    return f.flush();
}

// The database as the stand-in serves it: every folder, document and file,
// held in memory.
std::shared_ptr<store::MemoryStore> memoryCopy(const QString& path, const QString& scratch) {
    store::StoreError e;
    std::unique_ptr<store::NoteStore> file = store::openStore(path, QString(), e);
    if (!file) return nullptr;
    auto copy = std::make_shared<store::MemoryStore>();
    const std::vector<store::StoreFolderInfo> folders = file->folders();
    std::vector<uint32_t> added;
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<uint32_t> ids;
        if (!file->folderEntries(i, ids).ok()) continue;
        for (uint32_t id : ids) {
            if (std::find(added.begin(), added.end(), id) != added.end()) continue;
            store::StoreNote note;
            if (!file->loadNote(id, note).ok()) continue;
            const std::vector<store::StoreAttachment> attachments = note.attachments;
            note.attachments.clear();
            copy->addNote(note);
            for (const store::StoreAttachment& a : attachments) {
                const QString target = QDir(scratch).filePath(QStringLiteral("%1-%2").arg(id).arg(a.key));
                if (!file->detachAttachment(id, a, target).ok()) continue;
                QFile f(target);
                if (f.open(QIODevice::ReadOnly)) copy->addAttachment(id, a.name, f.readAll());
            }
            added.push_back(id);
        }
        copy->addFolder(folders[i].name, folders[i].isFolder, ids);
    }
    return copy;
}

// Opens the database and converts every folder; returns the seconds taken.
double convert(const QString& path, const QString& server, const QString& out, int& written, int& failed) {
    QElapsedTimer timer;
    timer.start();
    CNotesConverter converter;
    converter.Initialize();
    QStringList folders;
    if (!converter.EnumerateFolders(path, server, folders, 1)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(converter.GetLastErrorText()));
        return -1;
    }
    CopyingExporter exporter;
    exporter.SetRootFolder(out);
    for (const QString& folder : folders) {
        CFolderExportRun run;
        run.converter = &converter;
        run.exporter = &exporter;
        run.SaveFolder(folder);
    }
    written = converter.exportReport.written();
    failed = converter.exportReport.failedCount();
    return timer.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 164;
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("bench-mail.dxl"));
    if (!writeDatabase(db, count)) {
        std::fprintf(stderr, "cannot write the database\n");
        return 1;
    }
    QDir().mkpath(dir.filePath(QStringLiteral("scratch")));
    std::shared_ptr<store::MemoryStore> served = memoryCopy(db, dir.filePath(QStringLiteral("scratch")));
    fakedomino::Server fake;
    if (served) {
        fakedomino::Database database;
        database.path = QStringLiteral("mail/bench.nsf");
        database.title = QStringLiteral("Bench mail");
        database.store = served;
        fake.addDatabase(std::move(database));
    }
    if (!served || fake.start() == 0) {
        std::fprintf(stderr, "the loopback server does not start\n");
        return 1;
    }

    int written = 0, failed = 0;
    // A first run from the file warms the caches both runs share.
    convert(db, QString(), dir.filePath(QStringLiteral("warm")), written, failed);
    const double file = convert(db, QString(), dir.filePath(QStringLiteral("file")), written, failed);
    std::printf("from the file:    %.2f s, %d documents written, %d failed\n", file, written, failed);

    das::DasStore::setDefaultReadAhead(0);
    int requests = fake.requestCount();
    const double one = convert(QStringLiteral("mail/bench.nsf"), fake.baseUrl(), dir.filePath(QStringLiteral("one")),
                               written, failed);
    std::printf("from the server, one request at a time: %.2f s, %d written, %d failed, %d requests (%.2f x the file)\n",
                one, written, failed, fake.requestCount() - requests, one / file);
    requests = fake.requestCount();

    das::DasStore::setDefaultReadAhead(8);
    const double ahead = convert(QStringLiteral("mail/bench.nsf"), fake.baseUrl(),
                                 dir.filePath(QStringLiteral("ahead")), written, failed);
    std::printf("from the server, reading ahead:         %.2f s, %d written, %d failed, %d requests (%.2f x the file)\n",
                ahead, written, failed, fake.requestCount() - requests, ahead / file);
    if (qEnvironmentVariableIsSet("BENCH_DAS_LOG")) {
        QMap<QString, int> kinds;
        for (const auto& r : fake.log()) kinds[r.target.section(QLatin1Char('?'), 0, 0).section(QLatin1Char('/'), 0, 6)]++;
        for (auto it = kinds.begin(); it != kinds.end(); ++it) std::printf("  %5d %s\n", it.value(), qPrintable(it.key()));
    }
    std::printf("goal: the server at most 1.50 x the file -> %s\n", ahead / file <= 1.5 ? "met" : "not met");
    return 0;
}

// Converts generated databases end to end (text mode, one office instance)
// and prints documents per second, the share of time spent in the data layer
// and in the office engine, and the peak memory of both processes.
//
//   bench_run [small-count] [large-count]     (defaults 2000 and 200)

#include "OfficeMemory.h"
#include "convert/CFolderExportRun.h"
#include "export/IDocumentExporter.h"
#include "convert/CNotesConverter.h"

#ifdef TESSELDOC_HAVE_OFFICE
#include "office/CWordExporter.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Times every call into the office side.
class TimingExporter : public IDocumentExporter {
public:
    explicit TimingExporter(IDocumentExporter& inner) : m(inner) {}
    qint64 officeNs = 0;
    bool StartWord() override { return timed([&] { return m.StartWord(); }); }
    void ShutdownWord() override { m.ShutdownWord(); }
    void SetRootFolder(const QString& p) override { m.SetRootFolder(p); }
    bool SetOutputFolder(const QString& r) override { return m.SetOutputFolder(r); }
    QString GetOutputFolder() const override { return m.GetOutputFolder(); }
    void SetHeaderInputs(const QString& a, const QString& b, const QString& c, const QString& d,
                         const QString& e) override {
        m.SetHeaderInputs(a, b, c, d, e);
    }
    int CountHeaderLabels(const QString& b) const override { return m.CountHeaderLabels(b); }
    void SetTemplate(const QString& t) override { m.SetTemplate(t); }
    void SetPhotoPath(const QString& p) override { m.SetPhotoPath(p); }
    bool ExportItem(const QString& f, const QString& n) override { return timed([&] { return m.ExportItem(f, n); }); }
    bool ExportContact(const QString& f, const QString& n) override {
        return timed([&] { return m.ExportContact(f, n); });
    }
    QString LastFailure() const override { return m.LastFailure(); }
    QString LastWrittenPath() const override { return m.LastWrittenPath(); }
    bool GaveUp() const override { return m.GaveUp(); }

private:
    template <typename F>
    bool timed(F f) {
        QElapsedTimer t;
        t.start();
        const bool ok = f();
        officeNs += t.nsecsElapsed();
        return ok;
    }
    IDocumentExporter& m;
};

QByteArray xmlEscape(const QString& s) { return s.toHtmlEscaped().toUtf8(); }

// A DXL database of `count` mails in one folder; each carries `attachmentBytes` of data.
bool writeDatabase(const QString& path, int count, int attachmentBytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QString folderUnid = QStringLiteral("F0000000000000000000000000000001");
    f.write("<?xml version='1.0' encoding='utf-8'?>\n<database xmlns='http://www.lotus.com/dxl' version='9.0'>\n");
    f.write("<folder name='Bench'><noteinfo noteid='10' unid='" + folderUnid.toLatin1() + "'/></folder>\n");
    QByteArray attachment;
    if (attachmentBytes > 0) {
        QByteArray raw(attachmentBytes, '\0');
        for (int i = 0; i < attachmentBytes; ++i) raw[i] = char((i * 131 + 7) & 0xFF);
        attachment = raw.toBase64();
    }
    for (int i = 0; i < count; ++i) {
        const QByteArray id = QByteArray::number(0x100 + i * 4, 16);
        QByteArray doc = "<document form='Memo'><noteinfo noteid='" + id + "' unid='D" +
                         QByteArray::number(i).rightJustified(31, '0') + "'/>";
        doc += "<item name='$FolderRefs'><text>" + folderUnid.toLatin1() + "</text></item>";
        doc += "<item name='Subject'><text>" + xmlEscape(QStringLiteral("Message %1 about the budget").arg(i)) +
               "</text></item>";
        doc += "<item name='From'><text>CN=Ann Lee/O=Acme</text></item>";
        doc += "<item name='SendTo'><textlist><text>CN=Bob Meyer/O=Acme</text><text>carl@example.com</text>"
               "</textlist></item>";
        doc += "<item name='PostedDate'><datetime>20130401T101500,00+02</datetime></item>";
        doc += "<item name='Body'><richtext><pardef id='1'/><par def='1'>Hello Bob,</par><par def='1'>"
               "Here are the figures for <run><font style='bold'/>this week</run>. Regards, Ann</par></richtext>"
               "</item>";
        if (attachmentBytes > 0)
            doc += "<item name='$FILE'><object><file hosttype='msdos' name='data" + QByteArray::number(i) +
                   ".bin' size='" + QByteArray::number(attachmentBytes) + "'><filedata>" + attachment +
                   "</filedata></file></object></item>";
        doc += "</document>\n";
        f.write(doc);
    }
    f.write("</database>\n");
    return f.flush();
}

#ifdef TESSELDOC_HAVE_OFFICE
void runOne(const char* label, int count, int attachmentBytes) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("bench.dxl"));
    QElapsedTimer gen;
    gen.start();
    if (!writeDatabase(db, count, attachmentBytes)) {
        std::printf("%s: cannot write the database\n", label);
        return;
    }
    const double mb = QFileInfo(db).size() / 1e6;
    std::printf("%s: %d mails, database %.1f MB written in %.1f s\n", label, count, mb, gen.elapsed() / 1000.0);

    CNotesConverter converter;
    converter.Initialize();
    QStringList names;
    QElapsedTimer total;
    total.start();
    if (!converter.EnumerateFolders(db, QString(), names, 1)) {
        std::printf("%s: %s\n", label, qPrintable(converter.GetLastErrorText()));
        return;
    }
    const double openSeconds = total.nsecsElapsed() / 1e9;
    CWordExporter word;
    TimingExporter timing(word);
    timing.SetRootFolder(dir.filePath(QStringLiteral("out")));
    QDir().mkpath(dir.filePath(QStringLiteral("out")));
    QElapsedTimer startTimer;
    startTimer.start();
    if (!timing.StartWord()) {
        std::printf("%s: office engine does not start: %s\n", label, qPrintable(word.LastError()));
        return;
    }
    const double startSeconds = startTimer.nsecsElapsed() / 1e9;
    CFolderExportRun run;
    run.converter = &converter;
    run.exporter = &timing;
    QElapsedTimer loop;
    loop.start();
    run.SaveFolder(QStringLiteral("Bench\\"));
    const double loopSeconds = loop.nsecsElapsed() / 1e9;
    const long officeKb = long(OfficeMemory::largest().peak * 1024.0);
    timing.ShutdownWord();
    const double all = total.nsecsElapsed() / 1e9;
    const double office = timing.officeNs / 1e9 - startSeconds;
    const ExportReport& r = converter.exportReport;
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    std::printf("%s: %d written, %d failed\n", label, r.written(), r.failedCount());
    std::printf("%s: open %.2f s, office start %.2f s, item loop %.2f s, total %.2f s\n", label, openSeconds,
                startSeconds, loopSeconds, all);
    std::printf("%s: %.1f documents/s in the item loop, %.1f documents/s end to end\n", label,
                r.written() / loopSeconds, r.written() / all);
    std::printf("%s: item loop time: office engine %.0f%%, data layer and files %.0f%%\n", label,
                100.0 * office / loopSeconds, 100.0 * (loopSeconds - office) / loopSeconds);
    std::printf("%s: peak memory: this process %ld MB, office %ld MB\n", label, ru.ru_maxrss / 1024,
                officeKb / 1024);
}
#endif

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
#ifndef TESSELDOC_HAVE_OFFICE
    std::printf("bench_run needs the office library\n");
    return 1;
#else
    const int small = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int large = argc > 2 ? std::atoi(argv[2]) : 200;
    if (small > 0) runOne("small mails", small, 0);
    if (large > 0) runOne("1 MB attachments", large, 1 << 20);
    return 0;
#endif
}

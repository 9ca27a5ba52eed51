// Several office instances and long runs.
//
//   bench_scale [count]                   documents per second over `count` small mails (default
//                                         2,000) with one office instance and with two, same items
//   bench_scale memory [count] [restart] [text|rtf]
//                                         one instance over `count` items (default 20,000), replaced
//                                         every `restart` documents (default: the exporter's own
//                                         setting; 0: never), in text mode or in the best RTF mode
//                                         with rich-text bodies; prints the office's memory as it goes
//
// The machine's load average is printed with the figures: on a shared machine
// the throughput depends on what else runs.

#include "OfficeMemory.h"
#include "../tests/scale/GeneratedMailDb.h"

#include "convert/CFolderExportRun.h"
#include "export/IDocumentExporter.h"
#include "convert/CNotesConverter.h"
#include "office/CWordExporter.h"
#include "office/LibreOfficeEngine.h"
#include "office/ParallelExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

// Calls `onItem` after every item the run hands to the exporter.
class CountingExporter : public IDocumentExporter {
public:
    CountingExporter(IDocumentExporter& inner, std::function<void(int)> onItem) : m(inner), m_onItem(std::move(onItem)) {}
    bool StartWord() override { return m.StartWord(); }
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
    QString ReserveDocumentPath(const QString& n) override { return m.ReserveDocumentPath(n); }
    bool ExportItem(const QString& f, const QString& n) override { return counted(m.ExportItem(f, n)); }
    bool ExportContact(const QString& f, const QString& n) override { return counted(m.ExportContact(f, n)); }
    QString LastFailure() const override { return m.LastFailure(); }
    QString LastWrittenPath() const override { return m.LastWrittenPath(); }

private:
    bool counted(bool ok) {
        m_onItem(++m_count);
        return ok;
    }
    IDocumentExporter& m;
    std::function<void(int)> m_onItem;
    int m_count = 0;
};

struct Conversion {
    int written = 0, failed = 0;
    double loopSeconds = 0;
};

// Converts both folders of the database through `exporter` (started here).
Conversion convert(const QString& db, const QString& out, IDocumentExporter& exporter, int mode = Text) {
    Conversion c;
    CNotesConverter converter;
    converter.Initialize();
    converter.savingMode = mode;
    QStringList names;
    if (!converter.EnumerateFolders(db, QString(), names, 1)) {
        std::printf("cannot open the database: %s\n", qPrintable(converter.GetLastErrorText()));
        return c;
    }
    QDir().mkpath(out);
    exporter.SetRootFolder(out);
    if (!exporter.StartWord()) {
        std::printf("the office does not start: %s\n", qPrintable(exporter.LastFailure()));
        return c;
    }
    CFolderExportRun run;
    run.converter = &converter;
    run.exporter = &exporter;
    QElapsedTimer loop;
    loop.start();
    for (const QString& n : names) run.SaveFolder(n);
    exporter.WaitForAll();
    c.loopSeconds = loop.nsecsElapsed() / 1e9;
    exporter.ShutdownWord();
    c.written = converter.exportReport.written();
    c.failed = converter.exportReport.failedCount();
    return c;
}

int throughput(int count) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mail.dxl"));
    GeneratedMailDb::write(db, count);
    std::printf("%d small mails; load average before: %s\n", count, qPrintable(loadAverage()));
    double one = 0;
    for (const int jobs : {1, 2}) {
        std::unique_ptr<IDocumentExporter> exporter;
        if (jobs == 1)
            exporter = std::make_unique<CWordExporter>();
        else
            exporter = std::make_unique<ParallelExporter>(jobs);
        const Conversion c = convert(db, dir.filePath(QStringLiteral("out%1").arg(jobs)), *exporter);
        const double rate = c.loopSeconds > 0 ? c.written / c.loopSeconds : 0;
        if (jobs == 1) one = rate;
        std::printf("--jobs %d: %d written, %d failed in %.1f s: %.1f documents/s%s (load average %s)\n", jobs,
                    c.written, c.failed, c.loopSeconds, rate,
                    jobs > 1 && one > 0 ? qPrintable(QStringLiteral(", %1x one instance").arg(rate / one, 0, 'f', 2))
                                        : "",
                    qPrintable(loadAverage()));
        std::fflush(stdout);
    }
    return 0;
}

int memory(int count, int restartEvery, bool rtf) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mail.dxl"));
    GeneratedMailDb::write(db, count, 0, rtf);
    CWordExporter word;
    if (restartEvery >= 0) word.SetRestartEvery(restartEvery);
    std::printf("%d items (%s), one instance, replaced every %s documents; load average %s\n", count,
                rtf ? "rich text, best RTF mode" : "text mode",
                restartEvery == 0 ? "never (0)" : qPrintable(QString::number(restartEvery < 0 ? CWordExporter::kDefaultRestartEvery : restartEvery)),
                qPrintable(loadAverage()));
    double highest = 0;
    QElapsedTimer clock;
    clock.start();
    CountingExporter counting(word, [&](int n) {
        if (n % 250 != 0 && n != count) return;
        const OfficeMemory m = OfficeMemory::largest();
        highest = qMax(highest, m.peak);
        std::printf("after %6d items (%5.0f s): office %6.1f MB resident, %6.1f MB peak of this instance; starts %d\n",
                    n, clock.elapsed() / 1000.0, m.rss, m.peak, word.StartCount());
        std::fflush(stdout);
    });
    const Conversion c = convert(db, dir.filePath(QStringLiteral("out")), counting, rtf ? RtfBestQuality : Text);
    std::printf("%d written, %d failed in %.0f s; highest office memory %.1f MB; instances started %d; load "
                "average %s\n",
                c.written, c.failed, c.loopSeconds, highest, word.StartCount(), qPrintable(loadAverage()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.front() == QLatin1String("memory"))
        return memory(args.value(1, QStringLiteral("20000")).toInt(), args.value(2, QStringLiteral("-1")).toInt(),
                      args.value(3) == QLatin1String("rtf"));
    return throughput(args.value(0, QStringLiteral("2000")).toInt());
}

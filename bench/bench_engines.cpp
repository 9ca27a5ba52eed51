// The native and the office engine side by side, written to disk.
//
//   bench_engines [mails] [format] [demo-rounds] [native|office|both] [output-folder]
//
// Documents per second and CPU per document for each engine with one and two
// writers (native threads, office instances), on `mails` small mails (default
// 1,000, text mode) and on the demo database in best-quality mode (converted
// `demo-rounds` times, default 10, for a figure that does not hang on one
// moment). `format` is doc or docx (default docx). The CPU counts this process
// and, for the office, its soffice processes. The loop time starts with the
// first item: starting an office is left out (it is paid once per run).
//
// The documents go below `output-folder` (default: a temporary folder beside
// the scratch files, in $TMPDIR): with TMPDIR on a RAM disk and the output on
// a disk, the scratch files (body files) cost no disk.
//
// The machine's load average is printed with the figures: on a shared machine
// the throughput depends on what else runs, and on a disk also on the files
// removed lately (see where the documents are kept).

#include "../tests/scale/GeneratedMailDb.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "export/IDocumentExporter.h"
#include "native/NativeExporter.h"
#ifdef TESSELDOC_HAVE_OFFICE
#include "office/CWordExporter.h"
#include "office/ParallelExporter.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

QString loadAverage() {
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(QLatin1Char(' '), 0, 2);
}

double selfCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of the soffice processes below this one (alive now).
double officeCpuSeconds() {
    double total = 0;
    const long ticks = sysconf(_SC_CLK_TCK);
    const pid_t self = getpid();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const int pid = entry.toInt(&ok);
        if (!ok || pid == self) continue;
        QFile st(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!st.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = st.readAll();
        if (!text.contains("(soffice")) continue;
        // Below this process: its parent chain reaches us.
        int ppid = pid;
        bool ours = false;
        for (int depth = 0; depth < 6 && ppid > 1 && !ours; ++depth) {
            QFile s(QStringLiteral("/proc/%1/stat").arg(ppid));
            if (!s.open(QIODevice::ReadOnly)) break;
            ppid = s.readAll().split(')').value(1).trimmed().split(' ').value(1).toInt();
            ours = ppid == self;
        }
        if (!ours) continue;
        const QList<QByteArray> fields = text.split(')').value(1).trimmed().split(' ');
        total += double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) / double(ticks);
    }
    return total;
}

struct Figures {
    int written = 0, failed = 0;
    double seconds = 0, cpu = 0;
    double rate() const { return seconds > 0 ? written / seconds : 0; }
    double cpuMsPerDocument() const { return written > 0 ? cpu * 1000 / written : 0; }
};

// Converts every folder of `db` through `exporter` (started here), `rounds` times.
Figures convert(const QString& db, const QString& out, IDocumentExporter& exporter, int mode, int rounds,
                bool office, OutputFormat format) {
    Figures f;
    exporter.SetRootFolder(out);
    QDir().mkpath(out);
    if (!exporter.StartWord()) {
        std::printf("the engine does not start: %s\n", qPrintable(exporter.LastFailure()));
        return f;
    }
    double cpu0 = 0;
    QElapsedTimer loop;
    for (int round = 0; round < rounds; ++round) {
        CNotesConverter converter;
        converter.Initialize();
        converter.savingMode = mode;
        converter.outputOptions.format = format;
        QStringList names;
        if (!converter.EnumerateFolders(db, QString(), names, 1)) {
            std::printf("cannot open the database: %s\n", qPrintable(converter.GetLastErrorText()));
            return f;
        }
        exporter.SetRootFolder(out + QStringLiteral("/%1").arg(round));
        CFolderExportRun run;
        run.converter = &converter;
        run.exporter = &exporter;
        if (round == 0) {
            cpu0 = selfCpuSeconds() + (office ? officeCpuSeconds() : 0);
            loop.start();
        }
        for (const QString& n : names) run.SaveFolder(n);
        exporter.WaitForAll();
        f.written += converter.exportReport.written();
        f.failed += converter.exportReport.failedCount();
    }
    f.cpu = selfCpuSeconds() + (office ? officeCpuSeconds() : 0) - cpu0;
    exporter.ShutdownWord();  // documents on disk (one sync for the run)
    f.seconds = loop.nsecsElapsed() / 1e9;
    return f;
}

std::unique_ptr<IDocumentExporter> makeExporter(bool native, int jobs) {
    if (native) return std::make_unique<NativeExporter>(jobs);
#ifdef TESSELDOC_HAVE_OFFICE
    if (jobs > 1) return std::make_unique<ParallelExporter>(jobs);
    return std::make_unique<CWordExporter>();
#else
    return nullptr;
#endif
}

void benchmark(const char* title, const QString& db, int mode, int rounds, int officeRounds, OutputFormat format,
               const QString& scratch, const QByteArray& engines) {
    std::printf("\n%s (load average %s)\n", title, qPrintable(loadAverage()));
    std::printf("  %-8s %5s %9s %7s %10s %14s\n", "engine", "jobs", "written", "failed", "docs/s", "CPU ms/doc");
    double officeBest = 0, nativeBest = 0;
    for (const bool native : {true, false}) {
        if (engines != "both" && (engines == "native") != native) continue;
        for (const int jobs : {1, 2}) {
            std::unique_ptr<IDocumentExporter> exporter = makeExporter(native, jobs);
            if (!exporter) {
                std::printf("  %-8s %5d   (not built)\n", "office", jobs);
                continue;
            }
            const QString out = scratch + QStringLiteral("/%1-%2-%3").arg(title).arg(native).arg(jobs);
            const Figures f = convert(db, out, *exporter, mode, native ? rounds : officeRounds, !native, format);
            std::printf("  %-8s %5d %9d %7d %10.1f %14.2f\n", native ? "native" : "office", jobs, f.written, f.failed,
                        f.rate(), f.cpuMsPerDocument());
            std::fflush(stdout);
            (native ? nativeBest : officeBest) = std::max(native ? nativeBest : officeBest, f.rate());
            // The documents stay until the end: thousands of files removed just
            // before a measurement slow the file system's choice of new inodes
            // (ext4 without a journal passes over inodes freed in the last
            // seconds, or minutes while their table is not yet written back),
            // which a run into a new destination does not pay.
        }
    }
    if (officeBest > 0)
        std::printf("  native %.0f documents/s against the office's %.1f: %.1fx\n", nativeBest, officeBest,
                    nativeBest / officeBest);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int mails = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const OutputFormat format =
        argc > 2 && QByteArray(argv[2]) == "doc" ? OutputFormat::Doc : OutputFormat::Docx;
    const int demoRounds = argc > 3 ? std::max(1, atoi(argv[3])) : 10;
    const QByteArray engines = argc > 4 ? QByteArray(argv[4]) : QByteArray("both");
    QTemporaryDir outDir(argc > 5 ? QString::fromLocal8Bit(argv[5]) + QStringLiteral("/bench-engines-XXXXXX")
                                  : QDir::tempPath() + QStringLiteral("/bench-engines-out-XXXXXX"));
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("mail.dxl"));
    GeneratedMailDb::write(db, mails);
    std::printf("engines side by side, %s documents written to %s, scratch files in %s; %d cores\n",
                format == OutputFormat::Doc ? ".doc" : ".docx", qPrintable(outDir.path()), qPrintable(dir.path()),
                int(sysconf(_SC_NPROCESSORS_ONLN)));
    benchmark("small mails, text mode", db, Text, 1, 1, format, outDir.path(), engines);
    benchmark("demo database, best quality", QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl"),
              RtfBestQuality, demoRounds, 1, format, outDir.path(), engines);
    return 0;
}

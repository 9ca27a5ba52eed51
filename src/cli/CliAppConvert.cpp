#include "cli/CliApp.h"

#include "export/CFolderExportRun.h"
#include "export/DestinationLock.h"
#include "export/RunJournal.h"
#include "export/SourceList.h"
#include "notes/CNotesConverter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>

#ifdef TESSELDOC_HAVE_OFFICE
#include "office/CWordExporter.h"
#include "office/ParallelExporter.h"
#endif

namespace {

// What a conversion command was asked to do.
struct ConvertOptions {
    QString dest;
    QStringList databases;     // as given on the command line
    QString manifest;          // convert-many: the manifest file, if any
    QStringList folders;       // convert: --folder names
    int savingMode = Text;
    bool resume = false;
    bool viewFolders = false;  // further views are converted like folders
    int jobs = 0;              // 0: the default
    int shard = 0, shardCount = 0;
};

// The default number of office instances: one per core, at most 4.
int defaultJobs() { return qBound(1, QThread::idealThreadCount(), 4); }

// Reads the options shared by convert and convert-many; false on a usage error
// (the message is in `error`). `positional` receives the other arguments.
bool parseConvertOptions(const QStringList& args, bool many, ConvertOptions& o, QStringList& positional,
                         QString& error) {
    QString mode = QStringLiteral("text");
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (!many && a == QLatin1String("--folder") && hasValue) {
            o.folders << args[++i];
        } else if (a == QLatin1String("--mode") && hasValue) {
            mode = args[++i];
        } else if (a == QLatin1String("--resume")) {
            o.resume = true;
        } else if (a == QLatin1String("--view-folders")) {
            o.viewFolders = true;
        } else if (a == QLatin1String("--jobs") && hasValue) {
            bool ok = false;
            o.jobs = args[++i].toInt(&ok);
            if (!ok || o.jobs < 1 || o.jobs > 64) {
                error = QStringLiteral("--jobs takes a number from 1 to 64");
                return false;
            }
        } else if (many && a == QLatin1String("--manifest") && hasValue) {
            o.manifest = args[++i];
        } else if (many && a == QLatin1String("--shard") && hasValue) {
            if (!SourceList::parseShard(args[++i], &o.shard, &o.shardCount)) {
                error = QStringLiteral("--shard takes K/N with 0 <= K < N");
                return false;
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option ") + a;
            return false;
        } else {
            positional << a;
        }
    }
    if (mode == QLatin1String("text"))
        o.savingMode = Text;
    else if (mode == QLatin1String("rtf-low"))
        o.savingMode = RtfLowQuality;
    else if (mode == QLatin1String("rtf-best"))
        o.savingMode = RtfBestQuality;
    else {
        error = QStringLiteral("unknown mode ") + mode;
        return false;
    }
    if (o.jobs == 0) o.jobs = defaultJobs();
    return true;
}

}  // namespace

#ifdef TESSELDOC_HAVE_OFFICE
namespace {

std::atomic<int> g_interrupted{0};

void onInterrupt(int) { g_interrupted.store(1); }

// The item bar of the command line: one progress line on stderr, rewritten
// in place on a terminal. It also passes Ctrl+C on as a stop request.
class CliProgress : public IProgressBar {
public:
    CliProgress(CNotesConverter& converter, QTextStream& err) : m_converter(converter), m_err(err) {
        m_tty = ::isatty(2);
    }
    void setFolder(const QString& folder) { m_folder = folder; }
    void setPosition(int) override { checkInterrupt(); }
    void setText(const QString& text) override {
        checkInterrupt();
        const QString line = m_folder + QStringLiteral(": ") + text;
        if (m_tty) {
            m_err << '\r' << line << QStringLiteral("\x1b[K");
        } else if (m_timer.isValid() && m_timer.elapsed() < 2000) {
            return;  // in a log, one line every two seconds is enough
        } else {
            m_err << line << '\n';
        }
        m_timer.start();
        m_err.flush();
    }
    void finish() {
        if (m_tty) m_err << '\r' << QStringLiteral("\x1b[K");
        m_err.flush();
    }

private:
    void checkInterrupt() {
        if (g_interrupted.load()) m_converter.cancelRequested = 1;
    }
    CNotesConverter& m_converter;
    QTextStream& m_err;
    QString m_folder;
    QElapsedTimer m_timer;
    bool m_tty = false;
};

// One conversion run: the destination locked, its journal open, the office
// started, then database after database.
class ConversionRun {
public:
    ConversionRun(const ConvertOptions& options, QTextStream& err) : m_o(options), m_err(err) {}

    // False with a message when the run cannot start.
    bool start(QString& error) {
        m_root = QDir::cleanPath(QDir(m_o.dest).absolutePath());
        if (!QDir().mkpath(m_root)) {
            error = QStringLiteral("cannot create the destination ") + m_root;
            return false;
        }
        if (!m_lock.acquire(m_root, m_o.shard, m_o.shardCount, &error)) return false;
        if (!m_journal.open(m_root, RunJournal::fileNameFor(m_o.shard, m_o.shardCount), &error)) return false;
        if (m_journal.damagedLines() > 0)
            m_err << "warning: " << m_journal.damagedLines()
                  << " damaged journal line(s) ignored; their items are converted again\n";
        if (m_o.resume) {
            // Whatever a killed run left half-written goes before anything is named.
            m_journal.undoUnfinished();
            m_journal.removePartialFiles();
        }
        if (m_o.viewFolders) m_converter.showViewFolders = 1;
        if (!m_converter.Initialize()) {
            error = m_converter.GetLastErrorText();
            return false;
        }
        if (m_o.jobs > 1)
            m_exporter = std::make_unique<ParallelExporter>(m_o.jobs);
        else
            m_exporter = std::make_unique<CWordExporter>();
        m_exporter->SetRootFolder(m_root);
        if (!m_exporter->StartWord()) {
            error = QStringLiteral("the office engine cannot be started: ") + m_exporter->LastFailure();
            return false;
        }
        std::signal(SIGINT, onInterrupt);
        std::signal(SIGTERM, onInterrupt);
        m_progress = std::make_unique<CliProgress>(m_converter, m_err);
        m_converter.savingMode = m_o.savingMode;
        m_converter.itemStatusBar = m_progress.get();
        m_converter.exportReport.reset();
        m_converter.journal = &m_journal;
        m_converter.resumeRun = m_o.resume;
        return true;
    }

    struct SourceResult {
        QString status;   // the list export's row status
        QString reason;   // why it failed
        int found = 0, written = 0, alreadyWritten = 0, failed = 0;
    };

    // Converts one database into root/subFolder (empty: the root itself).
    SourceResult convert(const QString& id, const QString& path, const QString& server, const QString& subFolder,
                         const QStringList& wanted) {
        SourceResult r;
        const int found0 = m_converter.exportReport.found();
        const int written0 = m_converter.exportReport.written();
        const int already0 = m_converter.exportReport.alreadyWritten();
        const int failed0 = m_converter.exportReport.failedCount();
        QStringList listed;
        if (!m_converter.EnumerateFolders(path, server, listed, 1)) {
            r.status = QStringLiteral("Fail to save");
            r.reason = m_converter.GetLastErrorText();
            if (r.reason.isEmpty()) r.reason = QStringLiteral("the database could not be opened");
            if (m_converter.cancelRequested) r.status = QStringLiteral("Saving cancelled by user");
            m_journal.recordSource(id, r.status, r.reason);
            return r;
        }
        QStringList folders;
        if (wanted.isEmpty()) {
            for (const QString& f : listed)
                if (!f.contains(QLatin1String("$All"))) folders << f;
        } else {
            for (QString f : wanted) {
                if (!f.endsWith(QLatin1Char('\\'))) f += QLatin1Char('\\');
                folders << f;
            }
        }
        m_exporter->SetRootFolder(subFolder.isEmpty() ? m_root : m_root + QLatin1Char('/') + subFolder);
        m_converter.journalDatabase = id;
        CFolderExportRun run;
        run.converter = &m_converter;
        run.exporter = m_exporter.get();
        for (const QString& folder : folders) {
            if (m_converter.cancelRequested) break;
            m_progress->setFolder(CliApp::escape((subFolder.isEmpty() ? QString() : subFolder + QLatin1Char('/')) +
                                                 folder.left(folder.size() - 1)));
            if (!run.SaveFolder(folder))
                m_converter.exportReport.addFailure(folder.left(folder.size() - 1), 0,
                                                    QStringLiteral("the folder could not be saved"));
        }
        // Items still with the office instances belong to this source.
        m_exporter->WaitForAll();
        r.status = m_converter.cancelRequested ? QStringLiteral("Saving cancelled by user")
                                               : QStringLiteral("Process Completed");
        r.found = m_converter.exportReport.found() - found0;
        r.written = m_converter.exportReport.written() - written0;
        r.alreadyWritten = m_converter.exportReport.alreadyWritten() - already0;
        r.failed = m_converter.exportReport.failedCount() - failed0;
        m_journal.recordSource(id, r.status,
                               QStringLiteral("%1 found, %2 written, %3 already written, %4 failed")
                                   .arg(r.found)
                                   .arg(r.written)
                                   .arg(r.alreadyWritten)
                                   .arg(r.failed));
        return r;
    }

    void finish() {
        if (m_progress) m_progress->finish();
        if (m_exporter) m_exporter->ShutdownWord();
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
    }

    bool cancelled() const { return m_converter.cancelRequested != 0; }
    const ExportReport& report() const { return m_converter.exportReport; }
    QString root() const { return m_root; }

private:
    const ConvertOptions& m_o;
    QTextStream& m_err;
    QString m_root;
    DestinationLock m_lock;
    RunJournal m_journal;
    CNotesConverter m_converter;
    std::unique_ptr<IDocumentExporter> m_exporter;
    std::unique_ptr<CliProgress> m_progress;
};

void printSummary(QTextStream& out, QTextStream& err, const ExportReport& report, bool cancelled, bool resume) {
    if (cancelled) err << "stopped: the run was interrupted; later items were not converted\n";
    out << "items: " << report.found() << " found, " << report.written() << " written, " << report.failedCount()
        << " failed\n";
    if (resume || report.alreadyWritten() > 0) out << "already written: " << report.alreadyWritten() << "\n";
    for (const ExportFailure& f : report.failures())
        out << "failed: " << CliApp::escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t'
            << CliApp::escape(f.reason) << '\n';
}

}  // namespace
#endif

int CliApp::cmdConvert(const QStringList& args) {
    ConvertOptions o;
    QStringList positional;
    QString error;
    if (!parseConvertOptions(args, false, o, positional, error)) {
        m_err << "tesseldoc-cli: " << error << "\n";
        return usage();
    }
    if (positional.size() != 2) return usage();
    o.databases << positional[0];
    o.dest = positional[1];

#ifndef TESSELDOC_HAVE_OFFICE
    m_err << "tesseldoc-cli: this build has no office engine; convert is not available\n";
    return 1;
#else
    ConversionRun run(o, m_err);
    if (!run.start(error)) {
        run.finish();
        m_err << "tesseldoc-cli: " << error << "\n";
        return 1;
    }
    QString path, server;
    splitDatabase(o.databases.front(), path, server);
    const QString id = server.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath())
                                        : server + QStringLiteral("!!") + path;
    const auto result = run.convert(id, path, server, QString(), o.folders);
    run.finish();
    if (result.status == QLatin1String("Fail to save")) {
        m_err << "tesseldoc-cli: " << result.reason << "\n";
        return 1;
    }
    printSummary(m_out, m_err, run.report(), run.cancelled(), o.resume);
    m_out.flush();
    return run.report().failedCount() == 0 && !run.cancelled() ? 0 : 1;
#endif
}

int CliApp::cmdConvertMany(const QStringList& args) {
    ConvertOptions o;
    QStringList positional;
    QString error;
    if (!parseConvertOptions(args, true, o, positional, error)) {
        m_err << "tesseldoc-cli: " << error << "\n";
        return usage();
    }
    if (positional.isEmpty()) return usage();
    o.dest = positional.takeFirst();
    o.databases = positional;
    if (o.databases.isEmpty() && o.manifest.isEmpty()) return usage();

    SourceList sources;
    for (int i = 0; i < o.databases.size(); ++i)
        sources.add(o.databases[i], QStringLiteral("argument %1").arg(i + 2));
    if (!o.manifest.isEmpty() && !sources.addManifest(o.manifest, &error)) {
        m_err << "tesseldoc-cli: " << error << "\n";
        return 1;
    }

#ifndef TESSELDOC_HAVE_OFFICE
    m_err << "tesseldoc-cli: this build has no office engine; convert-many is not available\n";
    return 1;
#else
    const QList<SourceEntry> mine = sources.shard(o.shard, o.shardCount);
    ConversionRun run(o, m_err);
    if (!run.start(error)) {
        run.finish();
        m_err << "tesseldoc-cli: " << error << "\n";
        return 1;
    }
    QStringList lines;
    bool anyFailed = false;
    for (const SourceEntry& e : mine) {
        const QString shown = escape(e.text);
        if (!e.duplicateOf.isEmpty()) {
            lines << QStringLiteral("source: %1\tskipped\tthe same database as %2 (%3)")
                         .arg(shown, e.duplicateOf, e.origin);
            continue;
        }
        if (run.cancelled()) {
            lines << QStringLiteral("source: %1\tPending\tnot reached").arg(shown);
            continue;
        }
        if (e.server.isEmpty() && !QFileInfo(e.path).isFile()) {
            // A missing or unreadable file is named here, the others go on.
            const QString why = QFileInfo::exists(e.path) ? QStringLiteral("not a regular file")
                                                          : QStringLiteral("no such file");
            lines << QStringLiteral("source: %1\tFail to save\t%2 (%3)").arg(shown, why, e.origin);
            anyFailed = true;
            continue;
        }
        const auto r = run.convert(e.id(), e.path, e.server, e.subFolder, QStringList());
        if (r.status == QLatin1String("Process Completed") || r.status == QLatin1String("Saving cancelled by user")) {
            QString counts = QStringLiteral("%1/\t%2 found, %3 written, %4 failed")
                                 .arg(escape(e.subFolder))
                                 .arg(r.found)
                                 .arg(r.written)
                                 .arg(r.failed);
            if (r.alreadyWritten > 0) counts += QStringLiteral(", %1 already written").arg(r.alreadyWritten);
            lines << QStringLiteral("source: %1\t%2\t%3").arg(shown, r.status, counts);
            if (r.failed > 0) anyFailed = true;
        } else {
            lines << QStringLiteral("source: %1\t%2\t%3 (%4)").arg(shown, r.status, escape(r.reason), e.origin);
            anyFailed = true;
        }
    }
    run.finish();
    printSummary(m_out, m_err, run.report(), run.cancelled(), o.resume);
    for (const QString& l : lines) m_out << l << '\n';
    m_out.flush();
    return !anyFailed && run.report().failedCount() == 0 && !run.cancelled() ? 0 : 1;
#endif
}

int CliApp::cmdReport(const QStringList& args) {
    if (args.size() != 1) return usage();
    const QString dest = args.front();
    const QStringList journals = RunJournal::journalsIn(dest);
    if (journals.isEmpty()) {
        m_err << "tesseldoc-cli: no journal in " << dest << " (nothing was converted there)\n";
        return 1;
    }
    RunJournal::Summary s;
    int damaged = 0;
    for (const QString& file : journals) {
        RunJournal journal;
        QString error;
        if (!journal.load(file, &error)) {
            m_err << "tesseldoc-cli: " << error << "\n";
            return 1;
        }
        damaged += journal.damagedLines();
        journal.summarize(s);
    }
    m_out << "journals: " << journals.size() << "\n";
    m_out << "items: " << s.found << " found, " << s.written << " written, " << s.failures.size() << " failed\n";
    m_out << "already written: " << s.alreadyWritten << "\n";
    if (s.rewritten > 0) m_out << "written again (changed): " << s.rewritten << "\n";
    for (const auto& f : s.failures)
        m_out << "failed: " << escape(f.key.database) << '\t' << escape(f.key.folder) << '\t'
              << QString::number(f.key.noteId, 16) << '\t' << escape(f.reason) << '\n';
    for (const auto& src : s.sources)
        m_out << "source: " << escape(src.database) << '\t' << src.outcome << '\t' << escape(src.reason) << '\n';
    if (damaged > 0) m_err << "warning: " << damaged << " damaged journal line(s) ignored\n";
    m_out.flush();
    return s.failures.isEmpty() ? 0 : 1;
}

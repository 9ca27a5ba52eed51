#include "cli/CliApp.h"
#include "cli/OutputChoiceOptions.h"

#include "export/CFolderExportRun.h"
#include "export/DestinationChecks.h"
#include "export/PrivateTempDir.h"
#include "export/StaleFileCleaner.h"
#include "notes/CNotesConverter.h"

#include <QDir>
#include <QElapsedTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#ifdef TESSELDOC_HAVE_OFFICE
#include "office/CWordExporter.h"
#endif

#ifdef TESSELDOC_HAVE_OFFICE
namespace {

// Set by SIGINT, SIGTERM and SIGHUP: the run stops after the item in progress.
std::atomic<int> g_stopSignal{0};
std::atomic<int>* g_stopFlag = nullptr;

void onStopSignal(int sig) {
    g_stopSignal.store(sig);
    if (std::atomic<int>* flag = g_stopFlag) flag->store(1);
}

// Catches the stop signals for its lifetime and points them at `flag`.
class StopSignals {
public:
    explicit StopSignals(std::atomic<int>& flag) {
        g_stopSignal.store(0);
        g_stopFlag = &flag;
        struct sigaction action;
        std::memset(&action, 0, sizeof action);
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &action, &m_previous[i]);
    }
    ~StopSignals() {
        for (int i = 0; i < 3; ++i) ::sigaction(kSignals[i], &m_previous[i], nullptr);
        g_stopFlag = nullptr;
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool stopped() { return g_stopSignal.load() != 0; }

private:
    static constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_previous[3];
};

// The item bar of the command line: one progress line on stderr, rewritten
// in place on a terminal.
class CliProgress : public IProgressBar {
public:
    explicit CliProgress(QTextStream& err) : m_err(err) { m_tty = ::isatty(2); }
    void setFolder(const QString& folder) { m_folder = folder; }
    void setPosition(int) override {}
    void setText(const QString& text) override {
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
    QTextStream& m_err;
    QString m_folder;
    QElapsedTimer m_timer;
    bool m_tty = false;
};

}  // namespace
#endif

int CliApp::cmdConvert(const QStringList& args) {
    QString db, dest, mode = QStringLiteral("text");
    QStringList wanted;
    OutputChoiceOptions choices;
    bool viewFolders = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString optionError;
        if (choices.take(args, i, optionError)) {
            if (!optionError.isEmpty()) return usageError(optionError);
        } else if (a == QLatin1String("--view-folders")) {
            viewFolders = true;
        } else if (a == QLatin1String("--folder") && i + 1 < args.size()) {
            wanted << args[++i];
        } else if (a == QLatin1String("--mode") && i + 1 < args.size()) {
            mode = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return usageError(QStringLiteral("unknown option %1").arg(a));
        } else if (db.isEmpty()) {
            db = a;
        } else if (dest.isEmpty()) {
            dest = a;
        } else {
            return usage();
        }
    }
    if (db.isEmpty() || dest.isEmpty()) return usage();
    if (const QString wrong = choices.validate(); !wrong.isEmpty()) return usageError(wrong);
    int savingMode;
    if (mode == QLatin1String("text"))
        savingMode = Text;
    else if (mode == QLatin1String("rtf-low"))
        savingMode = RtfLowQuality;
    else if (mode == QLatin1String("rtf-best"))
        savingMode = RtfBestQuality;
    else
        return usageError(QStringLiteral("unknown mode \"%1\" (text, rtf-low or rtf-best)").arg(mode));

#ifndef TESSELDOC_HAVE_OFFICE
    (void)savingMode;
    m_err << "tesseldoc-cli: this build has no office engine; convert is not available\n";
    return 1;
#else
    CNotesConverter converter;
    // From here on a stop signal ends the run in order, start-up included.
    StopSignals stopSignals(converter.stopRequested);
    if (viewFolders) converter.showViewFolders = 1;
    if (!converter.Initialize()) {
        m_err << "tesseldoc-cli: " << converter.GetLastErrorText() << "\n";
        return 1;
    }
    QString path, server;
    CliApp::splitDatabase(db, path, server);
    QStringList listed;
    if (!converter.EnumerateFolders(path, server, listed, 1)) {
        m_err << "tesseldoc-cli: " << converter.GetLastErrorText() << "\n";
        return 1;
    }
    // Damage found while listing: what it loses is named here, and the run
    // does not end with success.
    for (const QString& problem : converter.databaseProblems()) m_err << "warning: " << escape(problem) << "\n";
    m_err.flush();
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

    const QString root = QDir(dest).absolutePath();
    QString problem;
    if (!MakeDestination(root, &problem)) {
        m_err << "tesseldoc-cli: cannot create the destination " << root << ": " << problem << "\n";
        return 1;
    }
    StaleFileCleaner::cleanTemporaryDirectory();
    StaleFileCleaner::cleanDestination(root);
    if (!PrivateTempDir::usable()) {
        m_err << "tesseldoc-cli: " << PrivateTempDir::problem() << "\n";
        return 1;
    }

    CWordExporter exporter;
    exporter.SetRootFolder(root);
    if (!converter.stopRequested && !exporter.StartWord()) {
        if (converter.stopRequested) {
            // Stopped while the office started: reported with the run below.
        } else {
            m_err << "tesseldoc-cli: the office engine cannot be started: " << exporter.LastError();
            if (!exporter.LastFailure().isEmpty() && exporter.LastFailure() != exporter.LastError())
                m_err << " (" << exporter.LastFailure() << ")";
            m_err << "\n";
            return 1;
        }
    }

    CliProgress progress(m_err);
    converter.savingMode = savingMode;
    converter.outputOptions = choices.output;
    converter.dateRange = choices.range;
    converter.itemStatusBar = &progress;
    converter.exportReport.reset();
    CFolderExportRun run;
    run.converter = &converter;
    run.exporter = &exporter;
    for (const QString& folder : folders) {
        if (converter.stopRequested) {
            converter.ListFolderNotConverted(folder);
            continue;
        }
        progress.setFolder(escape(folder.left(folder.size() - 1)));
        if (!run.SaveFolder(folder))
            converter.exportReport.addFolderFailure(folder.left(folder.size() - 1),
                                                    QStringLiteral("the folder could not be saved"));
    }
    progress.finish();
    exporter.ShutdownWord();

    const ExportReport& report = converter.exportReport;
    const bool stopped = converter.stopRequested || StopSignals::stopped();
    if (stopped) m_err << "stopped: the run was interrupted; later items were not converted\n";
    m_out << "items: " << report.found() << " found, " << report.written() << " written, " << report.failedCount()
          << " failed";
    if (report.notConvertedCount() > 0) m_out << ", " << report.notConvertedCount() << " not converted";
    m_out << '\n';
    if (choices.range.isActive())
        m_out << "outside the date range: " << report.outsideDateRange() << "\ndate unknown: " << report.dateUnknown()
              << '\n';
    if (report.attachmentFailureCount() > 0)
        m_out << "attachments: " << report.attachmentFailureCount() << " failed\n";
    for (const ExportFailure& f : report.itemFailures())
        m_out << "failed: " << escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t' << escape(f.reason)
              << '\n';
    for (const ExportFailure& f : report.attachmentFailures())
        m_out << "attachment failed: " << escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t'
              << escape(f.attachment) << '\t' << escape(f.reason) << '\n';
    for (const NotConverted& n : report.notConverted())
        m_out << "not converted: " << escape(n.folder) << '\t' << QString::number(n.noteId, 16) << "\tstopped\n";
    m_out.flush();
    const bool complete = report.failures().isEmpty() && report.notConvertedCount() == 0 && !stopped &&
                          converter.databaseProblems().isEmpty();
    return complete ? 0 : 1;
#endif
}

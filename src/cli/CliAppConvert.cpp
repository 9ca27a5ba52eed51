#include "cli/CliApp.h"

#include "export/CFolderExportRun.h"
#include "notes/CNotesConverter.h"

#include <QDir>
#include <QElapsedTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#ifdef TESSELDOC_HAVE_OFFICE
#include "office/CWordExporter.h"
#endif

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

}  // namespace
#endif

int CliApp::cmdConvert(const QStringList& args) {
    QString db, dest, mode = QStringLiteral("text");
    QStringList wanted;
    bool viewFolders = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--view-folders")) {
            viewFolders = true;
        } else if (a == QLatin1String("--folder") && i + 1 < args.size()) {
            wanted << args[++i];
        } else if (a == QLatin1String("--mode") && i + 1 < args.size()) {
            mode = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else if (db.isEmpty()) {
            db = a;
        } else if (dest.isEmpty()) {
            dest = a;
        } else {
            return usage();
        }
    }
    if (db.isEmpty() || dest.isEmpty()) return usage();
    int savingMode;
    if (mode == QLatin1String("text"))
        savingMode = Text;
    else if (mode == QLatin1String("rtf-low"))
        savingMode = RtfLowQuality;
    else if (mode == QLatin1String("rtf-best"))
        savingMode = RtfBestQuality;
    else
        return usage();

#ifndef TESSELDOC_HAVE_OFFICE
    (void)savingMode;
    m_err << "tesseldoc-cli: this build has no office engine; convert is not available\n";
    return 1;
#else
    CNotesConverter converter;
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
    if (!QDir().mkpath(root)) {
        m_err << "tesseldoc-cli: cannot create the destination " << root << "\n";
        return 1;
    }
    CWordExporter exporter;
    exporter.SetRootFolder(root);
    if (!exporter.StartWord()) {
        m_err << "tesseldoc-cli: the office engine cannot be started: " << exporter.LastError() << "\n";
        return 1;
    }

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    CliProgress progress(converter, m_err);
    converter.savingMode = savingMode;
    converter.itemStatusBar = &progress;
    converter.exportReport.reset();
    CFolderExportRun run;
    run.converter = &converter;
    run.exporter = &exporter;
    for (const QString& folder : folders) {
        if (converter.cancelRequested) break;
        progress.setFolder(escape(folder.left(folder.size() - 1)));
        if (!run.SaveFolder(folder))
            converter.exportReport.addFailure(folder.left(folder.size() - 1), 0,
                                              QStringLiteral("the folder could not be saved"));
    }
    progress.finish();
    exporter.ShutdownWord();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);

    const ExportReport& report = converter.exportReport;
    if (converter.cancelRequested) m_err << "stopped: the run was interrupted; later items were not converted\n";
    m_out << "items: " << report.found() << " found, " << report.written() << " written, " << report.failedCount()
          << " failed\n";
    for (const ExportFailure& f : report.failures())
        m_out << "failed: " << escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t' << escape(f.reason)
              << '\n';
    m_out.flush();
    return report.failedCount() == 0 && !converter.cancelRequested ? 0 : 1;
#endif
}

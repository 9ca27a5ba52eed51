#include "cli/CliApp.h"
#include "cli/FolderArgument.h"
#include "cli/OutputChoiceOptions.h"

#include "convert/CFolderExportRun.h"
#include "export/DestinationChecks.h"
#include "export/DestinationLock.h"
#include "export/DocumentsOnDisk.h"
#include "files/PrivateTempDir.h"
#include "export/RunJournal.h"
#include "export/SourceList.h"
#include "files/StaleFileCleaner.h"
#include "convert/CNotesConverter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

#include "native/NativeExporter.h"
#ifdef TESSELDOC_HAVE_OFFICE
#include "office/CWordExporter.h"
#include "office/ParallelExporter.h"
#endif

namespace {

// Which engine writes the documents.
enum class Engine { Native, Office };

// The native writers: they match the office's documents (tests/native compares them).
Engine defaultEngine() { return Engine::Native; }

// What a conversion command was asked to do.
struct ConvertOptions {
    QString dest;
    QStringList databases;     // as given on the command line
    QString manifest;          // convert-many: the manifest file, if any
    QStringList folders;       // convert: --folder names
    int savingMode = Text;
    bool resume = false;
    bool viewFolders = false;  // further views are converted like folders
    bool allDocuments = false; // every document, in the node of every document
    bool once = false;         // each document once, in the first folder that holds it
    int jobs = 0;              // 0: the default
    Engine engine = defaultEngine();
    int serverStalls = 8;      // server failures a database may have before the rest is not asked for
    int shard = 0, shardCount = 0;
    OutputChoiceOptions choices;  // format, attachments in PDFs, date range
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
        if (o.choices.take(args, i, error)) {
            if (!error.isEmpty()) return false;
        } else if (!many && a == QLatin1String("--folder") && hasValue) {
            o.folders << args[++i];
        } else if (a == QLatin1String("--mode") && hasValue) {
            mode = args[++i];
        } else if (a == QLatin1String("--resume")) {
            o.resume = true;
        } else if (a == QLatin1String("--view-folders")) {
            o.viewFolders = true;
        } else if (a == QLatin1String("--all-documents")) {
            o.allDocuments = true;
        } else if (a == QLatin1String("--once")) {
            o.once = true;
        } else if (a == QLatin1String("--engine") && hasValue) {
            const QString engine = args[++i];
            if (engine == QLatin1String("native")) {
                o.engine = Engine::Native;
            } else if (engine == QLatin1String("office")) {
                o.engine = Engine::Office;
            } else {
                error = QStringLiteral("unknown engine \"%1\" (native or office)").arg(engine);
                return false;
            }
        } else if (a == QLatin1String("--jobs") && hasValue) {
            bool ok = false;
            o.jobs = args[++i].toInt(&ok);
            if (!ok || o.jobs < 1 || o.jobs > 64) {
                error = QStringLiteral("--jobs takes a number from 1 to 64");
                return false;
            }
        } else if (a == QLatin1String("--server-stalls") && hasValue) {
            bool ok = false;
            o.serverStalls = args[++i].toInt(&ok);
            if (!ok || o.serverStalls < 0) {
                error = QStringLiteral("--server-stalls takes a number, 0 for no bound");
                return false;
            }
        } else if (many && a == QLatin1String("--manifest") && hasValue) {
            o.manifest = args[++i];
        } else if (many && a == QLatin1String("--shard") && hasValue) {
            if (!SourceList::parseShard(args[++i], &o.shard, &o.shardCount)) {
                error = QStringLiteral("--shard takes K/N with 0 <= K < N");
                return false;
            }
        } else if (a == QLatin1String("--folder") || a == QLatin1String("--mode") || a == QLatin1String("--jobs") ||
                   a == QLatin1String("--engine") || a == QLatin1String("--server-stalls") ||
                   a == QLatin1String("--manifest") || a == QLatin1String("--shard")) {
            // Here without a value, or not an option of this command.
            const bool ours = many ? a != QLatin1String("--folder")
                                   : a != QLatin1String("--manifest") && a != QLatin1String("--shard");
            error = ours ? a + QStringLiteral(" needs a value")
                         : QStringLiteral("%1 is not an option of %2")
                               .arg(a, many ? QStringLiteral("convert-many") : QStringLiteral("convert"));
            return false;
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
        error = QStringLiteral("unknown mode \"%1\" (text, rtf-low or rtf-best)").arg(mode);
        return false;
    }
    error = o.choices.validate();
    if (!error.isEmpty()) return false;
    if (o.jobs == 0) o.jobs = defaultJobs();
#ifndef TESSELDOC_HAVE_OFFICE
    if (o.engine == Engine::Office) {
        error = QStringLiteral("this build has no office engine; --engine native writes .doc and .docx");
        return false;
    }
    if (o.choices.output.format == OutputFormat::Pdf) {
        error = QStringLiteral("this build has no office engine, which writes PDF documents");
        return false;
    }
#endif
    return true;
}

}  // namespace

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
    // The stop signal caught, 0 when none was.
    static int caught() { return g_stopSignal.load(); }

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

// One conversion run: the destination locked, its journal open, the office
// started, then database after database.
class ConversionRun {
public:
    ConversionRun(const ConvertOptions& options, QTextStream& err) : m_o(options), m_err(err) {}

    // False with a message when the run cannot start.
    bool start(QString& error) {
        m_root = QDir::cleanPath(QDir(m_o.dest).absolutePath());
        QString problem;
        if (!MakeDestination(m_root, &problem)) {
            error = QStringLiteral("cannot create the destination %1: %2").arg(m_root, problem);
            return false;
        }
        if (!m_lock.acquire(m_root, m_o.shard, m_o.shardCount, &error)) return false;
        if (!m_journal.open(m_root, RunJournal::fileNameFor(m_o.shard, m_o.shardCount), &error)) return false;
        // A record that cannot be written (a full disk) ends the run after the item in progress.
        m_journal.setStopFlag(&m_converter.stopRequested);
        if (m_journal.damagedLines() > 0)
            m_err << "warning: " << m_journal.damagedLines()
                  << " damaged journal line(s) ignored\n";
        // Whatever a killed run left half-written goes before anything is named.
        if (m_o.resume) m_journal.undoUnfinished();
        if (m_journal.found() != RunJournal::Found::Records) {
            // Documents that no journal of DEST knows (this one lost, emptied
            // or overwritten): with --resume each is matched to its item (the
            // note it carries, or the name it was given) and not written twice.
            int unknown = 0;
            for (const QString& d : DocumentsOnDisk::list(m_root))
                if (!m_journal.claims(m_root + QLatin1Char('/') + d)) ++unknown;
            const RunJournal::Found found = m_journal.found();
            if (unknown > 0 && m_o.resume)
                m_err << "warning: the journal " << RunJournal::fileNameFor(m_o.shard, m_o.shardCount) << " in "
                      << CliApp::escape(m_root)
                      << (found == RunJournal::Found::Missing ? " was deleted"
                          : found == RunJournal::Found::Empty ? " was emptied"
                                                              : " holds no line that can be trusted")
                      << "; " << unknown
                      << " document(s) there are matched to their items instead of being written again\n";
            else if (unknown > 0)
                m_err << "note: " << CliApp::escape(m_root) << " holds " << unknown
                      << " document(s) that no journal knows; they are written again beside them (--resume takes "
                         "them as written)\n";
            m_err.flush();
        }
        StaleFileCleaner::cleanTemporaryDirectory();
        if (!PrivateTempDir::usable()) {
            error = PrivateTempDir::problem();
            return false;
        }
        if (m_o.viewFolders) m_converter.showViewFolders = 1;
        m_converter.listEveryDocument = true;
        m_converter.oncePerDocument = m_o.once;
        if (!m_converter.Initialize()) {
            error = m_converter.GetLastErrorText();
            return false;
        }
        m_exporter = makeExporter();
        m_exporter->SetRootFolder(m_root);
        if (!m_converter.stopRequested && !m_exporter->StartWord() && !m_converter.stopRequested) {
            error = QStringLiteral("the office engine cannot be started: ") + m_exporter->LastFailure();
            return false;
        }
        m_progress = std::make_unique<CliProgress>(m_err);
        m_converter.savingMode = m_o.savingMode;
        m_converter.outputOptions = m_o.choices.output;
        m_converter.dateRange = m_o.choices.range;
        m_converter.itemStatusBar = m_progress.get();
        m_converter.exportReport.reset();
        m_converter.journal = &m_journal;
        m_converter.resumeRun = m_o.resume;
        m_converter.failFast.setServerBudget(m_o.serverStalls);
        return true;
    }

    // The engine asked for; PDF documents are the office's in either case.
    std::unique_ptr<IDocumentExporter> makeExporter() {
#ifdef TESSELDOC_HAVE_OFFICE
        if (m_o.engine == Engine::Office || m_o.choices.output.format == OutputFormat::Pdf) {
            if (m_o.jobs > 1) return std::make_unique<ParallelExporter>(m_o.jobs);
            return std::make_unique<CWordExporter>();
        }
#endif
        auto native = std::make_unique<NativeExporter>(m_o.jobs);
#ifdef TESSELDOC_HAVE_OFFICE
        // What the native writers cannot represent goes to one office instance.
        native->SetFallback(std::make_unique<CWordExporter>());
#endif
        m_native = native.get();
        return native;
    }

    struct SourceResult {
        QString status;   // the list export's row status
        QString reason;   // why it failed
        int found = 0, written = 0, alreadyWritten = 0, failed = 0;
        int documents = 0;     // document notes of the database
        int leftBehind = 0;    // of them, in no converted folder
        int inOtherViews = 0;  // of those, in views or folders not converted
        // The source's status line: its counts and what stays behind.
        QString counts() const {
            QString text = QStringLiteral("%1 found, %2 written, %3 failed").arg(found).arg(written).arg(failed);
            if (alreadyWritten > 0) text += QStringLiteral(", %1 already written").arg(alreadyWritten);
            if (leftBehind > 0) text += QStringLiteral(", %1 not in a chosen folder").arg(leftBehind);
            return text;
        }
    };

    // Records a database of the run that was not converted at all (missing,
    // not a file): `report` names it.
    void recordSource(const QString& id, const QString& status, const QString& reason) {
        m_journal.recordSource(id, status, reason);
    }

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
            if (stopped()) r.status = QStringLiteral("Saving cancelled by user");
            m_journal.recordSource(id, r.status, r.reason);
            return r;
        }
        // Damage found while listing: what it loses is named here, and the run
        // does not end with success.
        for (const QString& problem : m_converter.databaseProblems())
            m_err << "warning: " << CliApp::escape(problem) << "\n";
        m_err.flush();
        if (!m_converter.databaseProblems().isEmpty()) m_damagedDatabase = true;
        QStringList folders;
        if (m_o.allDocuments) folders << m_converter.EveryDocumentFolder();
        if (!wanted.isEmpty()) {
            // Named as `folders` prints them or as the database gives them; a
            // name that is neither stays as given and fails as unknown.
            const auto exists = [this](const QString& name) {
                try {
                    return m_converter.database().ViewFolderExists(CNotesConverter::WideToLNString(name)) != 0;
                } catch (LNSTATUS) {
                    return false;
                }
            };
            for (const QString& given : wanted) {
                QString f = FolderArgument::resolve(given, exists);
                if (f.isEmpty()) f = given.endsWith(QLatin1Char('\\')) ? given.left(given.size() - 1) : given;
                f += QLatin1Char('\\');
                if (!folders.contains(f)) folders << f;
            }
        } else if (!m_o.allDocuments) {
            QString why;
            folders = m_converter.DefaultExportFolders(listed, &why);
            if (!why.isEmpty()) m_err << "note: " << CliApp::escape(why) << " (--all-documents)\n";
        }
        // A chosen view whose entries cannot be listed (a damaged formula, say)
        // loses them: named, and the source is not complete.
        const QStringList folderLosses = m_converter.ChosenFolderProblems(folders);
        for (const QString& problem : folderLosses) m_err << "warning: " << CliApp::escape(problem) << "\n";
        m_err.flush();
        if (!folderLosses.isEmpty()) m_damagedDatabase = true;
        const CNotesConverter::DocumentCoverage coverage = m_converter.CoverageOf(folders);
        noteLateProblems();
        r.documents = coverage.documents;
        r.leftBehind = coverage.leftBehind();
        r.inOtherViews = coverage.inOtherViews;
        const QString sourceRoot = subFolder.isEmpty() ? m_root : m_root + QLatin1Char('/') + subFolder;
        // The database's folder is this run's alone while it writes there.
        SourceFolderLock folderLock;
        if (!subFolder.isEmpty()) {
            QString why;
            if (!folderLock.acquire(m_root, subFolder, &why)) {
                r.status = QStringLiteral("Fail to save");
                r.reason = why;
                m_journal.recordSource(id, r.status, r.reason);
                return r;
            }
        }
        // Leftovers of dead runs, in this source's own folder only (shards of
        // an array write beside it at the same time).
        if (QFileInfo(sourceRoot).isDir()) StaleFileCleaner::cleanDestination(sourceRoot);
        m_exporter->SetRootFolder(sourceRoot);
        m_converter.journalDatabase = id;
        CFolderExportRun run;
        run.converter = &m_converter;
        run.exporter = m_exporter.get();
        for (const QString& folder : folders) {
            // Stopped, or ended early because every item kept failing: the rest is named.
            if (stopped() || m_converter.TakePendingAbort()) {
                m_converter.ListFolderNotConverted(folder);
                continue;
            }
            m_progress->setFolder(CliApp::escape((subFolder.isEmpty() ? QString() : subFolder + QLatin1Char('/')) +
                                                 folder.left(folder.size() - 1)));
            if (!run.SaveFolder(folder))
                m_converter.exportReport.addFolderFailure(folder.left(folder.size() - 1),
                                                          QStringLiteral("the folder could not be saved"));
        }
        // Items still with the office instances belong to this source.
        m_exporter->WaitForAll();
        noteLateProblems();
        // The documents no converted folder holds are found, and stay behind.
        m_converter.exportReport.addNotInChosenFolder(r.leftBehind);
        m_converter.TakePendingAbort();
        r.status = stopped() ? QStringLiteral("Saving cancelled by user")
                   : m_converter.abortReason.isEmpty() ? QStringLiteral("Process Completed")
                                                       : QStringLiteral("Fail to save");
        if (!stopped() && !m_converter.abortReason.isEmpty()) {
            r.reason = m_converter.abortReason;
            m_err << "stopped early: " << CliApp::escape(r.reason) << "\n";
            m_err.flush();
        }
        r.found = m_converter.exportReport.found() - found0;
        r.written = m_converter.exportReport.written() - written0;
        r.alreadyWritten = m_converter.exportReport.alreadyWritten() - already0;
        r.failed = m_converter.exportReport.failedCount() - failed0;
        QString reason = r.counts();
        if (stopped()) {
            r.status = QStringLiteral("Saving cancelled by user");
        } else if (!m_converter.databaseProblems().isEmpty() || !folderLosses.isEmpty()) {
            // Damage: what it lost is named on stderr; the source is not complete.
            const QStringList lost = m_converter.databaseProblems() + folderLosses;
            r.status = QStringLiteral("Damaged");
            reason += QStringLiteral("; %1 part(s) of the database cannot be read: %2").arg(lost.size()).arg(lost.front());
        } else if (r.documents > 0 && r.leftBehind == r.documents) {
            // Documents, and not one of them in a converted folder.
            r.status = QStringLiteral("Nothing saved");
            reason += QStringLiteral("; ") + leftBehindText(r);
        } else {
            r.status = QStringLiteral("Process Completed");
        }
        r.reason = reason;
        m_journal.recordSource(id, r.status, reason);
        return r;
    }

    // Damage found after the listing (a server's view whose pages never end
    // while every document is listed): named, and the source is not complete.
    void noteLateProblems() {
        const QStringList added = m_converter.RefreshDatabaseProblems();
        for (const QString& problem : added) m_err << "warning: " << CliApp::escape(problem) << "\n";
        m_err.flush();
        if (!added.isEmpty()) m_damagedDatabase = true;
    }

    // Why documents stay behind and how to get them.
    QString leftBehindText(const SourceResult& r) const {
        QString text = QStringLiteral("%1 of the database's %2 document(s) are in no converted folder")
                           .arg(r.leftBehind)
                           .arg(r.documents);
        if (r.inOtherViews > 0 && !m_o.viewFolders)
            text += QStringLiteral(" (%1 of them are listed by views, converted with --view-folders)")
                        .arg(r.inOtherViews);
        return text + QStringLiteral("; --all-documents converts every document");
    }

    void finish() {
        if (m_progress) m_progress->finish();
        if (m_exporter) m_exporter->ShutdownWord();
    }

    // Documents already in the destination without a journal record, taken as written.
    int adopted() const { return m_journal.adoptedCount(); }
    bool stopped() const { return m_converter.stopRequested != 0 || StopSignals::stopped(); }
    bool cancelled() const { return stopped(); }
    // Why the journal stopped the run, or empty.
    QString journalFailure() const { return m_journal.writeFailure(); }
    // True when a database converted was damaged (what it lost is on stderr).
    bool damagedDatabase() const { return m_damagedDatabase; }
    const ExportReport& report() const { return m_converter.exportReport; }
    // Items the office wrote for the native engine (empty with the office engine).
    std::vector<NativeExporter::OfficeItem> writtenByOffice() const {
        return m_native ? m_native->WrittenByOffice() : std::vector<NativeExporter::OfficeItem>();
    }
    QString root() const { return m_root; }

private:
    const ConvertOptions& m_o;
    QTextStream& m_err;
    QString m_root;
    DestinationLock m_lock;
    RunJournal m_journal;
    CNotesConverter m_converter;
    // From construction on a stop signal ends the run in order, start-up included.
    StopSignals m_stopSignals{m_converter.stopRequested};
    std::unique_ptr<IDocumentExporter> m_exporter;
    NativeExporter* m_native = nullptr;  // m_exporter when it is the native engine
    std::unique_ptr<CliProgress> m_progress;
    bool m_damagedDatabase = false;
};

void printSummary(QTextStream& out, QTextStream& err, const ExportReport& report, bool stopped, bool resume,
                  const ItemDateRange& range, const std::vector<NativeExporter::OfficeItem>& byOffice,
                  int adopted) {
    if (stopped) err << "stopped: the run was interrupted; later items were not converted\n";
    if (adopted > 0)
        err << "note: " << adopted
            << " document(s) already in the destination without a journal record were taken as written\n";
    out << "items: " << report.found() << " found, " << report.written() << " written, " << report.failedCount()
        << " failed";
    if (report.notConvertedCount() > 0) out << ", " << report.notConvertedCount() << " not converted";
    if (report.writtenElsewhereCount() > 0) out << ", " << report.writtenElsewhereCount() << " written in another folder";
    if (report.notInChosenFolder() > 0) out << ", " << report.notInChosenFolder() << " not in a chosen folder";
    out << '\n';
    if (resume || report.alreadyWritten() > 0) out << "already written: " << report.alreadyWritten() << "\n";
    if (range.isActive())
        out << "outside the date range: " << report.outsideDateRange() << "\ndate unknown: " << report.dateUnknown()
            << '\n';
    if (report.attachmentFailureCount() > 0) out << "attachments: " << report.attachmentFailureCount() << " failed\n";
    if (report.fieldFailureCount() > 0) out << "fields: " << report.fieldFailureCount() << " unreadable\n";
    // Items the native engine could not represent, written by the office instead.
    if (!byOffice.empty()) out << "written by the office engine: " << byOffice.size() << '\n';
    for (const NativeExporter::OfficeItem& item : byOffice)
        out << "written by the office: " << CliApp::escape(item.path) << '\t' << CliApp::escape(item.reason) << '\n';
    for (const ExportFailure& f : report.itemFailures())
        out << "failed: " << CliApp::escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t'
            << CliApp::escape(f.reason) << '\n';
    for (const ExportFailure& f : report.attachmentFailures())
        out << "attachment failed: " << CliApp::escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t'
            << CliApp::escape(f.attachment) << '\t' << CliApp::escape(f.reason) << '\n';
    for (const ExportFailure& f : report.fieldFailures())
        out << "field unreadable: " << CliApp::escape(f.folder) << '\t' << QString::number(f.noteId, 16) << '\t'
            << CliApp::escape(f.attachment) << '\t' << CliApp::escape(f.reason) << '\n';
    for (const NotConverted& n : report.notConverted())
        out << "not converted: " << CliApp::escape(n.folder) << '\t' << QString::number(n.noteId, 16) << '\t'
            << (n.reason.isEmpty() ? QStringLiteral("stopped") : CliApp::escape(n.reason)) << '\n';
    for (const WrittenElsewhere& w : report.writtenElsewhere())
        out << "not written again: " << CliApp::escape(w.folder) << '\t' << QString::number(w.noteId, 16)
            << "\twritten in " << CliApp::escape(w.writtenIn) << '\n';
}

// Whether the run converted everything it was given, and all of it whole.
bool complete(const ExportReport& report, bool stopped, bool damagedDatabase) {
    return report.failures().isEmpty() && report.notConvertedCount() == 0 && !stopped && !damagedDatabase;
}

}  // namespace

int CliApp::cmdConvert(const QStringList& args) {
    ConvertOptions o;
    QStringList positional;
    QString error;
    if (!parseConvertOptions(args, false, o, positional, error)) return usageError(error);
    if (positional.size() != 2) return wrongArguments(QStringLiteral("convert"));
    o.databases << positional[0];
    o.dest = positional[1];

    QString path, server;
    splitDatabase(o.databases.front(), path, server);
    if (server.isEmpty() && !QFileInfo(path).isFile()) {
        // Not a database file (missing, a FIFO, a folder): refused before the
        // destination is made, with the reader's own words.
        CNotesConverter probe;
        QStringList listed;
        if (!probe.Initialize() || !probe.EnumerateFolders(path, server, listed, 1)) {
            m_err << "tesseldoc-cli: " << probe.GetLastErrorText() << "\n";
            return 1;
        }
    }
    ConversionRun run(o, m_err);
    if (!run.start(error)) {
        run.finish();
        m_err << "tesseldoc-cli: " << error << "\n";
        return 1;
    }
    const QString id = server.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath())
                                        : server + QStringLiteral("!!") + path;
    const auto result = run.convert(id, path, server, QString(), o.folders);
    run.finish();
    if (!run.journalFailure().isEmpty()) m_err << "error: " << run.journalFailure() << "\n";
    if (result.status == QLatin1String("Fail to save")) {
        m_err << "tesseldoc-cli: " << result.reason << "\n";
        return stoppedStatus(StopSignals::caught(), 1);
    }
    printSummary(m_out, m_err, run.report(), run.cancelled(), o.resume, o.choices.range, run.writtenByOffice(),
                 run.adopted());
    if (result.leftBehind > 0) m_out << "left behind: " << escape(run.leftBehindText(result)) << '\n';
    m_out.flush();
    if (result.status == QLatin1String("Nothing saved")) {
        m_err << "tesseldoc-cli: nothing was written: " << escape(run.leftBehindText(result)) << "\n";
        return stoppedStatus(StopSignals::caught(), 1);
    }
    return stoppedStatus(StopSignals::caught(), complete(run.report(), run.cancelled(), run.damagedDatabase()) ? 0 : 1);
}

int CliApp::cmdConvertMany(const QStringList& args) {
    ConvertOptions o;
    QStringList positional;
    QString error;
    if (!parseConvertOptions(args, true, o, positional, error)) return usageError(error);
    if (positional.isEmpty()) return wrongArguments(QStringLiteral("convert-many"));
    o.dest = positional.takeFirst();
    o.databases = positional;
    if (o.databases.isEmpty() && o.manifest.isEmpty())
        return usageError(QStringLiteral("convert-many needs a database, or --manifest FILE"));

    SourceList sources;
    for (int i = 0; i < o.databases.size(); ++i)
        sources.add(o.databases[i], QStringLiteral("argument %1").arg(i + 2));
    if (!o.manifest.isEmpty() && !sources.addManifest(o.manifest, &error)) {
        m_err << "tesseldoc-cli: " << error << "\n";
        return 1;
    }

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
            // In the journal too: a later `report` names it and does not end with success.
            run.recordSource(e.id(), QStringLiteral("Fail to save"), QStringLiteral("%1 (%2)").arg(why, e.origin));
            anyFailed = true;
            continue;
        }
        const auto r = run.convert(e.id(), e.path, e.server, e.subFolder, QStringList());
        if (r.status != QLatin1String("Fail to save")) {
            lines << QStringLiteral("source: %1\t%2\t%3/\t%4")
                         .arg(shown, r.status, escape(e.subFolder), escape(r.reason));
            if (r.failed > 0 || r.status != QLatin1String("Process Completed")) anyFailed = true;
            if (r.leftBehind > 0 && r.status == QLatin1String("Process Completed"))
                lines << QStringLiteral("left behind: %1\t%2").arg(shown, escape(run.leftBehindText(r)));
        } else {
            lines << QStringLiteral("source: %1\t%2\t%3 (%4)").arg(shown, r.status, escape(r.reason), e.origin);
            anyFailed = true;
        }
    }
    run.finish();
    if (!run.journalFailure().isEmpty()) m_err << "error: " << run.journalFailure() << "\n";
    printSummary(m_out, m_err, run.report(), run.cancelled(), o.resume, o.choices.range, run.writtenByOffice(),
                 run.adopted());
    for (const QString& l : lines) m_out << l << '\n';
    m_out.flush();
    return stoppedStatus(StopSignals::caught(),
                         !anyFailed && complete(run.report(), run.cancelled(), run.damagedDatabase()) ? 0 : 1);
}

int CliApp::cmdReport(const QStringList& args) {
    if (args.size() != 1) return wrongArguments(QStringLiteral("report"));
    const QString dest = args.front();
    const QStringList journals = RunJournal::journalsIn(dest);
    const QStringList onDisk = DocumentsOnDisk::list(dest);
    if (journals.isEmpty()) {
        if (onDisk.isEmpty())
            m_err << "tesseldoc-cli: no journal in " << dest << " (nothing was converted there)\n";
        else
            m_err << "tesseldoc-cli: no journal in " << dest << ", which holds " << onDisk.size()
                  << " document(s): the journal was deleted; convert --resume takes them as written\n";
        return 1;
    }
    RunJournal::Summary s;
    int damaged = 0;
    QSet<QString> recorded, claimed;
    for (const QString& file : journals) {
        RunJournal journal;
        QString error;
        if (!journal.load(file, &error)) {
            m_err << "tesseldoc-cli: " << error << "\n";
            return 1;
        }
        damaged += journal.damagedLines();
        journal.summarize(s);
        for (const QString& d : journal.writtenDocuments()) recorded.insert(d);
        claimed.unite(journal.claimedPaths());
    }
    // What the journals say against what is on disk.
    int notRecorded = 0, missing = 0;
    for (const QString& d : onDisk)
        if (!claimed.contains(d)) ++notRecorded;
    for (const QString& d : recorded)
        if (!QFileInfo(QDir(dest).filePath(d)).isFile()) ++missing;
    m_out << "journals: " << journals.size() << "\n";
    m_out << "items: " << s.found << " found, " << s.written << " written, " << s.failures.size() << " failed\n";
    m_out << "already written: " << s.alreadyWritten << "\n";
    if (s.rewritten > 0) m_out << "written again (changed): " << s.rewritten << "\n";
    for (const auto& f : s.failures)
        m_out << "failed: " << escape(f.key.database) << '\t' << escape(f.key.folder) << '\t'
              << QString::number(f.key.noteId, 16) << '\t' << escape(f.reason) << '\n';
    for (const auto& src : s.sources)
        m_out << "source: " << escape(src.database) << '\t' << src.outcome << '\t' << escape(src.reason) << '\n';
    m_out << "documents on disk: " << onDisk.size() << "\n";
    if (damaged > 0) m_err << "warning: " << damaged << " damaged journal line(s) ignored\n";
    if (notRecorded > 0)
        m_err << "warning: " << notRecorded
              << " document(s) on disk are in no journal (a journal lost, cut or emptied); convert --resume "
                 "takes them as written\n";
    if (missing > 0) m_err << "warning: " << missing << " document(s) the journal records are not on disk\n";
    m_out.flush();
    // A database asked for that is missing, damaged, failed, stopped or wrote
    // nothing of its documents is not a success, whatever its items did.
    QStringList incomplete;
    for (const auto& src : s.sources)
        if (src.outcome != QLatin1String("Process Completed")) incomplete << escape(src.database);
    if (!incomplete.isEmpty())
        m_err << "tesseldoc-cli: " << incomplete.size() << " database(s) not converted completely: "
              << incomplete.join(QStringLiteral(", ")) << "\n";
    m_err.flush();
    return s.failures.isEmpty() && incomplete.isEmpty() && notRecorded == 0 && missing == 0 ? 0 : 1;
}

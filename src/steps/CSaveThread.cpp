#include "steps/CSaveThread.h"

#include "app/CMainFrame.h"
#include "export/IDocumentExporter.h"
#include "notes/ln/LNNotesSession.h"
#include "source/SourcePathRules.h"
#include "steps/CPauseGate.h"
#include "steps/DestinationRules.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"

#include <QMetaObject>

#include <chrono>

CSaveThread::CSaveThread(Context context, QObject* parent) : QThread(parent), m_ctx(std::move(context)) {}

CSaveThread::~CSaveThread() {
    AbortUiWaits();
    wait();
}

void CSaveThread::AbortUiWaits() {
    {
        std::lock_guard<std::mutex> lock(m_uiMutex);
        m_abortUi = true;
    }
    m_uiCv.notify_all();
}

bool CSaveThread::Stopped() const { return m_ctx.stopSaving && *m_ctx.stopSaving != 0; }

bool CSaveThread::AskLongPath(const QString& storedName, QString* folder, QString* name) {
    if (!m_ctx.askLongPath) return false;
    struct Answer {
        bool done = false;
        bool ok = false;
        QString folder, name;
    };
    auto answer = std::make_shared<Answer>();
    auto ask = m_ctx.askLongPath;
    QObject* uiContext = parent() ? parent() : static_cast<QObject*>(m_ctx.frame);
    QMetaObject::invokeMethod(
        uiContext,
        [this, answer, ask, storedName] {
            QString f, n;
            const bool ok = ask(storedName, &f, &n);
            std::lock_guard<std::mutex> lock(m_uiMutex);
            answer->ok = ok;
            answer->folder = f;
            answer->name = n;
            answer->done = true;
            m_uiCv.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock<std::mutex> lock(m_uiMutex);
    // Never wait for the UI without a way out: the tear-down aborts the wait.
    while (!answer->done && !m_abortUi) m_uiCv.wait_for(lock, std::chrono::milliseconds(100));
    if (!answer->done || !answer->ok) return false;
    *folder = answer->folder;
    *name = answer->name;
    return true;
}

void CSaveThread::run() {
    CMainFrame* frame = m_ctx.frame;
    CNotesConverter& notes = frame->Notes();
    frame->m_bSaving = 1;
    emit runStarted();
    if (m_ctx.folderBar) {
        m_ctx.folderBar->setPosition(0);
        m_ctx.folderBar->setText(QString());
    }
    if (notes.itemStatusBar) notes.itemStatusBar->setPosition(0);
    emit statusText(SaveTexts::kInitializing);
    emit barsVisible(false);

    // Workers of an earlier step that are still winding down see the flag and end.
    if (m_ctx.settleMs > 0) {
        notes.cancelRequested = 1;
        for (int waited = 0; waited < m_ctx.settleMs && !m_abortUi; waited += 50) msleep(50);
    }
    // A stop asked for while waiting stays asked for.
    notes.cancelRequested = Stopped() ? 1 : 0;

    LNNotesSession session;
    session.InitThread();
    emit barsVisible(true);

    bool singleFileFailed = false;
    int sources = 1;
    int saved = 0;
    int failed = 0;
    QString endedEarly;
    if (frame->SourceMode() == FileList) {
        const QStringList paths = frame->SourcePaths();
        const QStringList servers = frame->SourceServers();
        const QString listRoot = frame->ListDestRoot();
        sources = int(paths.size());
        emit listVisible(true);
        emit rowsReset(paths, servers);
        auto show = [this](int row, const SaveRunRules::SourceFacts& facts) {
            const SaveRunRules::RowView view = SaveRunRules::JudgeSource(facts);
            emit rowStatus(row, view.status, view.detail, int(view.look));
        };
        int i = 0;
        for (; i < paths.size(); ++i) {
            if (m_ctx.gate) m_ctx.gate->Checkpoint();
            if (Stopped()) break;
            ResetFileBars();
            emit fileProgress(i + 1, int(paths.size()));
            emit rowStatus(i, SaveTexts::kProcessing, QString(), int(SaveRunRules::RowLook::Working));
            const QString path = paths[i];
            const QString server = servers.value(i);
            frame->SetSourcePath(path);
            frame->SetDestinationPath(listRoot);
            frame->SetDestinationName(SourcePathRules::FileTitle(path));
            frame->SetServerName(server);
            emit statusText(SaveTexts::kGettingFolders + path);
            SaveRunRules::SourceFacts facts;
            RunTally before;
            const bool counted = frame->GetRunTally(&before);
            QStringList folders;
            if (!frame->EnumerateFolders(folders, 1)) {
                // A source that cannot be opened or listed is named, never counted as done.
                if (Stopped()) {
                    facts.result = SaveRunRules::SourceFacts::Cancelled;
                } else {
                    QString reason = notes.lastErrorText;
                    if (reason.isEmpty()) reason = QStringLiteral("the database could not be opened");
                    frame->AddFailedItem({path, QString(), reason});
                    facts.result = SaveRunRules::SourceFacts::Failed;
                    facts.reason = reason;
                    ++failed;
                }
                show(i, facts);
                continue;
            }
            frame->SetSelectedFolders(ListExportFolders(folders));
            const Outcome outcome = SaveSelectedFolders();
            if (outcome == Failure) {
                ++failed;
                facts.result = SaveRunRules::SourceFacts::Failed;
                const FailedItemList all = frame->GetFailedItems();
                if (!all.isEmpty() && all.last().folder == path) facts.reason = all.last().reason;
            } else if (outcome == Cancelled) {
                facts.result = SaveRunRules::SourceFacts::Cancelled;
            } else if (!notes.abortReason.isEmpty()) {
                ++failed;
                facts.reason = notes.abortReason;
                endedEarly = notes.abortReason;
            } else if (!CountLeftBehind(path)) {
                // Documents, and none of them saved: never "Process Completed".
                ++failed;
                facts.result = SaveRunRules::SourceFacts::NothingSaved;
                const FailedItemList all = frame->GetFailedItems();
                if (!all.isEmpty() && all.last().folder == path) facts.reason = all.last().reason;
            } else {
                ++saved;
            }
            RunTally after;
            if (counted && frame->GetRunTally(&after)) {
                facts.counted = true;
                facts.found = after.found - before.found;
                facts.written = after.written - before.written;
                facts.failed = after.failed - before.failed;
                facts.notConverted = after.notConverted - before.notConverted;
            }
            show(i, facts);
        }
        // Sources a stop left unreached stay "Pending", and are named.
        for (; i < paths.size(); ++i) {
            frame->AddNotConverted({paths[i], QString(), SaveTexts::kNotReached});
            SaveRunRules::SourceFacts facts;
            facts.result = SaveRunRules::SourceFacts::NotReached;
            show(i, facts);
        }
    } else {
        emit listVisible(false);
        const Outcome outcome = SaveSelectedFolders();
        if (outcome == Failure) singleFileFailed = true;
        if (outcome == Success) CountLeftBehind(frame->SourcePath());
        endedEarly = notes.abortReason;
    }

    session.TermThread();
    emit runFinished(Stopped(), singleFileFailed, sources, saved, failed, endedEarly);
}

QStringList CSaveThread::ListExportFolders(const QStringList& listed) {
    CNotesConverter& notes = m_ctx.frame->Notes();
    if (m_ctx.everyDocument) return {notes.EveryDocumentFolder()};
    QString why;
    const QStringList defaults = notes.DefaultExportFolders(listed, &why);
    if (!why.isEmpty()) {
        emit statusText(SaveTexts::kEveryDocumentChosen);
        return defaults;
    }
    // Every listed folder and view, as always; the node of every document only when chosen.
    QStringList folders;
    for (const QString& f : listed)
        if (!notes.IsEveryDocumentFolder(f)) folders << f;
    return folders;
}

bool CSaveThread::CountLeftBehind(const QString& source) {
    CNotesConverter& notes = m_ctx.frame->Notes();
    const CNotesConverter::DocumentCoverage c = notes.CoverageOf(m_ctx.frame->SelectedFolders());
    if (c.leftBehind() <= 0) return true;
    m_leftBehind += c.leftBehind();
    if (c.inChosen > 0) return true;
    m_ctx.frame->AddFailedItem({source, QString(), SaveTexts::kLeftBehindReason.arg(c.leftBehind()).arg(c.documents)});
    return false;
}

void CSaveThread::ResetFileBars() {
    CNotesConverter& notes = m_ctx.frame->Notes();
    for (IProgressBar* bar : {m_ctx.folderBar, notes.itemStatusBar, notes.itemProgressBar}) {
        if (!bar) continue;
        bar->setPosition(0);
        bar->setText(QString());
    }
}

CSaveThread::Outcome CSaveThread::SaveSelectedFolders() {
    CMainFrame* frame = m_ctx.frame;
    frame->m_nCurrentStep = 3;
    emit statusText(SaveTexts::kInitializingFolders);
    if (!frame->PrepareWord() || Stopped()) return Failure;

    const QStringList folders = frame->SelectedFolders();
    CNotesConverter& notes = frame->Notes();
    const int n = int(folders.size());
    for (int d = 0; d < n; ++d) {
        if (m_ctx.gate) m_ctx.gate->Checkpoint();
        if (Stopped() || notes.TakePendingAbort()) {
            // Stopped, or the source's items kept failing: the folders left are named.
            ListFoldersNotConverted(folders, d);
            break;
        }
        if (m_ctx.folderBar) {
            m_ctx.folderBar->setPosition(SaveRunRules::FolderBarPosition(d + 1, n));
            m_ctx.folderBar->setText(SaveTexts::kFolderBar.arg(d + 1).arg(n));
        }
        const QString stored = folders[d];
        const QString outputName = SaveRunRules::OutputFolderName(stored);
        // Shown as the folder tree shows it; the output name is what the paths are built from.
        emit statusText(SaveTexts::kSavingFolder + SaveRunRules::FolderDisplayPath(stored) + QStringLiteral("..."));

        const QString folderPath = SaveRunRules::JoinPath(
            SaveRunRules::JoinPath(frame->DestFolderPath(), frame->DestFolderName()), outputName);
        if (folderPath.size() > DestinationRules::kMaxFolderPath) {
            QString newFolder, newName;
            if (!AskLongPath(stored, &newFolder, &newName)) continue;  // skipped by the user
            frame->SetDestinationPath(newFolder);
            frame->SetDestinationName(newName);
            if (IDocumentExporter* exporter = frame->WordExporter())
                exporter->SetRootFolder(SaveRunRules::JoinPath(newFolder, newName) + QLatin1Char('/'));
        }
        RunTally before;
        if (frame->GetRunTally(&before))
            emit folderStarted(SaveRunRules::ItemsFound(before), SaveRunRules::ItemsDone(before));
        if (Stopped()) notes.cancelRequested = 1;
        frame->SaveOneFolder(stored);
        if (notes.TakePendingAbort()) emit statusText(SaveTexts::kEndedEarly.arg(notes.abortReason));
    }
    // Documents still being written in the background are waited for; their
    // failures may end the source too.
    frame->ShutdownWord();
    notes.TakePendingAbort();
    return Stopped() ? Cancelled : Success;
}

void CSaveThread::ListFoldersNotConverted(const QStringList& folders, int from) {
    CMainFrame* frame = m_ctx.frame;
    for (int d = from; d < folders.size(); ++d) {
        // The list export leaves out the all-documents view; it is not listed either.
        if (frame->SourceMode() == FileList && folders[d].contains(QStringLiteral("$All"))) continue;
        frame->ListFolderNotConverted(folders[d]);
    }
}

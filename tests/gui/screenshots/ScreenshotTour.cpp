// Drives the wizard through a list export of one database and saves a PNG
// of every step and dialog on the way, at the default window size and
// maximised (and Step 2 at the smallest size): tesseldoc-screenshots DB OUTDIR.
// Then a run that is stopped in its second folder, and, when
// TESSELDOC_TOUR_FULL_DEST names a folder on a full file system, a run into
// it beside a database that does not exist.
#include "app/AppTexts.h"
#include "app/CCoreConversionBackend.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiApp.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/WizardTranslation.h"
#include "source/C1TovanWelcomeView.h"
#include "source/CDominoServerFileDlg.h"
#include "steps/C2TovanFolderTreeView.h"
#include "steps/CItemListGrid.h"
#include "steps/C3TovanSaveNsfToPst.h"
#include "steps/CAdvanceSettingsDlg.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/SaveTexts.h"

#ifdef TESSELDOC_HAVE_FAKE_DOMINO
#include "fake/FakeDomino.h"
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#endif

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QMetaObject>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>

namespace {
QString g_outDir;

void settle(int ms = 150) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void save(QWidget* w, const QString& name) {
    settle();
    const QString path = QDir(g_outDir).filePath(name + QStringLiteral(".png"));
    if (w->grab().save(path)) std::printf("wrote %s\n", qPrintable(path));
    else std::printf("could not write %s\n", qPrintable(path));
}

// The window filling the screen's available area, as maximising does.
void maximise(CMainFrame* frame) {
    frame->showMaximized();
    settle(300);
    const QRect area = frame->screen()->availableGeometry();
    if (frame->frameGeometry().size() != area.size()) frame->setGeometry(area);
    settle(300);
}

void restoreDefault(CMainFrame* frame) {
    frame->showNormal();
    const QSize size = CMainFrame::DefaultSize(frame->screen()->availableGeometry().size());
    frame->resize(size);
    settle(300);
}

// Shows a dialog the way the user sees it, over the frame, and saves its picture.
void snapDialog(QDialog& dlg, const QString& name) {
    dlg.show();
    dlg.raise();
    save(&dlg, name);
    dlg.hide();
}

// The server browser against a running server (configured in the settings
// as LOOPBACK): its databases listed, the first added, then Step 2 on it.
void serverTour(CMainFrame* frame, C1TovanWelcomeView* step1, C2TovanFolderTreeView* step2, const QString& url) {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    {
        QSettings settings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc"));
        settings.setValue(QStringLiteral("DominoServers/LOOPBACK/url"), url);
        settings.setValue(QStringLiteral("DominoServers/LOOPBACK/allowHttp"), true);
        settings.setValue(QStringLiteral("DominoServers/LOOPBACK/auth"), QStringLiteral("none"));
        settings.setValue(QStringLiteral("DominoServers/LOOPBACK/proxy"), QStringLiteral("none"));
    }
    boxes.setDialogHandler([&](QDialog& d) -> int {
        auto* browser = qobject_cast<CDominoServerFileDlg*>(&d);
        if (!browser) return QDialog::Rejected;
        browser->resize(620, 640);
        browser->show();
        const auto waitIdle = [browser] {
            QElapsedTimer t;
            t.start();
            while (browser->IsSearching() && t.elapsed() < 60000) settle(50);
        };
        boxes.queueAnswer(true);
        browser->OnSearchServer();
        waitIdle();
        browser->ServerList()->selectRow(0);
        browser->OnServerClicked();
        settle(300);
        save(browser, QStringLiteral("5a-server-browser-listing"));
        waitIdle();
        save(browser, QStringLiteral("5b-server-browser-databases"));
        browser->OnUnselectAll();
        if (browser->DatabaseList()->rowCount() > 0)
            browser->DatabaseList()->item(browser->DatabaseList()->rowCount() - 1, 0)->setCheckState(Qt::Checked);
        browser->OnAdd();
        browser->hide();
        return QDialog::Accepted;
    });
    step1->OnAddDominoFiles();
    boxes.setDialogHandler(nullptr);
    save(frame, QStringLiteral("5c-step1-server-database"));
    step1->List()->selectRow(0);
    step1->OnPreview();
    if (!step2->WaitForIdle(60000)) std::fprintf(stderr, "the server's folders were not listed in time\n");
    save(frame, QStringLiteral("5d-step2-server-database"));
    step2->OnFolderClicked(QStringLiteral("($Inbox)\\"));
    if (!step2->WaitForIdle(60000)) std::fprintf(stderr, "the server's inbox was not listed in time\n");
    CItemListGrid* list = step2->List();
    if (list->rowCount() > 0) {
        list->setCurrentCell(0, 1);
        step2->OnItemClicked(list->NoteIdOf(0), 1);
        step2->WaitForIdle(60000);
    }
    save(frame, QStringLiteral("5e-step2-server-preview"));
    step2->OnBack();
}

#ifdef TESSELDOC_HAVE_FAKE_DOMINO
// A server on a port of its own with a self-signed certificate, added in the
// browser as "127.0.0.1:PORT": the trust question (drawn as the box shows
// it), then its databases once trusted. Needs openssl for the certificate.
void trustTour(C1TovanWelcomeView* step1, const QString& db) {
    QTemporaryDir dir;
    QProcess p;
    p.setWorkingDirectory(dir.path());
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty()) return;
    p.start(QStringLiteral("openssl"),
            {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-keyout"), QStringLiteral("key.pem"), QStringLiteral("-out"),
             QStringLiteral("cert.pem"), QStringLiteral("-days"), QStringLiteral("30"), QStringLiteral("-subj"),
             QStringLiteral("/CN=127.0.0.1/O=Example Mail Hosting"), QStringLiteral("-addext"),
             QStringLiteral("subjectAltName=IP:127.0.0.1")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return;
    QFile cert(dir.filePath(QStringLiteral("cert.pem"))), key(dir.filePath(QStringLiteral("key.pem")));
    if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) return;
    fakedomino::Profile profile;
    profile.certificatePem = cert.readAll();
    profile.keyPem = key.readAll();
    fakedomino::Server server(profile);
    if (!server.addDatabaseFile(QStringLiteral("mail/secure.nsf"), db) || server.start() == 0) return;

    CMessageBoxService& boxes = CMessageBoxService::instance();
    boxes.setQuestionHook([&boxes](const QString& text) {
        if (!text.contains(QStringLiteral("SHA-256"))) return;  // in every language
        QMessageBox box(QMessageBox::Question, QStringLiteral("Tesseldoc"), text, QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        snapDialog(box, QStringLiteral("5g-trust-question"));
        boxes.queueAnswer(true);
    });
    boxes.setDialogHandler([&](QDialog& d) -> int {
        auto* browser = qobject_cast<CDominoServerFileDlg*>(&d);
        if (!browser) return QDialog::Rejected;
        browser->resize(620, 640);
        browser->show();
        browser->ServerEdit()->setText(QStringLiteral("127.0.0.1:%1").arg(server.port()));
        browser->OnAddServer();
        browser->ServerList()->selectRow(0);
        browser->OnServerClicked();
        QElapsedTimer t;
        t.start();
        while (browser->IsSearching() && t.elapsed() < 60000) settle(50);
        save(browser, QStringLiteral("5h-server-trusted-databases"));
        browser->hide();
        return QDialog::Accepted;
    });
    step1->OnAddDominoFiles();
    boxes.setDialogHandler(nullptr);
    boxes.setQuestionHook(nullptr);
    QSettings settings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc"));
    std::printf("trusted: caFile %s\n",
                qPrintable(settings.value(QStringLiteral("DominoServers/127.0.0.1:%1/caFile").arg(server.port())).toString()));
    server.stop();
}
#endif

// The real core, with one picture of Step 3 taken while the first folder is saved.
class TourBackend : public CCoreConversionBackend {
public:
    CMainFrame* frame = nullptr;
    C3TovanSaveNsfToPst* step3 = nullptr;
    std::atomic<int> stopAtFolder{0};  // Stop is confirmed when this folder starts (0: never)
    int SaveFolder(CNotesConverter& notes, IDocumentExporter* exporter, const QString& folderName) override {
        if (stopAtFolder > 0 && m_folders + 1 == stopAtFolder && step3) {
            CMessageBoxService::instance().queueAnswer(true);
            QMetaObject::invokeMethod(step3, [this] { step3->OnStop(); }, Qt::BlockingQueuedConnection);
        }
        // The picture is taken when the third folder starts, with the bars of the run so far.
        if (++m_folders == 3 && frame)
            QMetaObject::invokeMethod(
                frame,
                [this] {
                    save(frame, QStringLiteral("3-step3-running"));
                    maximise(frame);
                    save(frame, QStringLiteral("max-3-step3-running"));
                    restoreDefault(frame);
                },
                Qt::BlockingQueuedConnection);
        return CCoreConversionBackend::SaveFolder(notes, exporter, folderName);
    }

    int Folders() const { return m_folders; }

private:
    std::atomic<int> m_folders{0};
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // In the desktop's language, as the program (LANGUAGE=de or ja for the translations).
    WizardTranslation::install();
    if (argc < 3) {
        std::fprintf(stderr, "usage: tesseldoc-screenshots DB OUTDIR [SERVER-URL]\n");
        return 2;
    }
    const QString db = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    g_outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_outDir);
    QTemporaryDir dest;

    CMessageBoxService& boxes = CMessageBoxService::instance();
    boxes.setTestMode(true);
    CTesselEmlConverterGuiApp tesseldoc(app);
    auto backend = std::make_unique<TourBackend>();
    TourBackend* tour = backend.get();
    if (!tesseldoc.InitInstance(std::move(backend), false)) {
        std::fprintf(stderr, "the program did not start: %s\n", qPrintable(boxes.shownTexts().join(" | ")));
        return 1;
    }
    CMainFrame* frame = tesseldoc.MainFrame();
    tour->frame = frame;
    tour->step3 = static_cast<C3TovanSaveNsfToPst*>(frame->StepHost()->Page(2));
    frame->show();  // at the default size for this screen
    std::printf("screen %dx%d, window %dx%d, smallest %dx%d\n", frame->screen()->size().width(),
                frame->screen()->size().height(), frame->width(), frame->height(), frame->minimumWidth(),
                frame->minimumHeight());
    auto* step1 = static_cast<C1TovanWelcomeView*>(frame->StepHost()->Page(0));
    auto* step3 = static_cast<C3TovanSaveNsfToPst*>(frame->StepHost()->Page(2));
    step3->SetSettleMs(0);
    save(frame, QStringLiteral("1-step1-empty"));

    boxes.setOpenFileNamesHandler([db] { return QStringList{db}; });
    step1->OnAddFiles();
    step1->List()->selectRow(0);
    save(frame, QStringLiteral("2-step1-list"));

    // Step 2: the folders of the database, a folder open, a mail with attachments and a contact previewed.
    auto* step2 = static_cast<C2TovanFolderTreeView*>(frame->StepHost()->Page(1));
    step1->OnPreview();
    if (!step2->WaitForIdle(60000)) std::fprintf(stderr, "the folders were not listed in time\n");
    save(frame, QStringLiteral("2c-step2-folders"));
    const auto previewFirst = [&](const QString& folder, auto wanted) {
        step2->OnFolderClicked(folder);
        if (!step2->WaitForIdle(60000)) std::fprintf(stderr, "%s was not listed in time\n", qPrintable(folder));
        CItemListGrid* list = step2->List();
        for (int r = 0; r < list->rowCount(); ++r) {
            if (!wanted(list, r)) continue;
            list->setCurrentCell(r, 1);
            step2->OnItemClicked(list->NoteIdOf(r), r + 1);
            return true;
        }
        return false;
    };
    previewFirst(QStringLiteral("($Inbox)\\"), [](CItemListGrid*, int) { return false; });
    save(frame, QStringLiteral("2d-step2-folder-open"));
    previewFirst(QStringLiteral("($Inbox)\\"),
                 [](CItemListGrid* list, int r) { return !list->Cell(r, 4).isEmpty() && list->KindOf(r) == 2; });
    save(frame, QStringLiteral("2e-step2-mail-preview"));
    previewFirst(QStringLiteral("My Contacts\\"), [](CItemListGrid* list, int r) { return list->KindOf(r) == 4; });
    save(frame, QStringLiteral("2f-step2-contact-preview"));

    // The same steps maximised, and Step 2 at the smallest size the window takes.
    maximise(frame);
    save(frame, QStringLiteral("max-2f-step2-contact-preview"));
    previewFirst(QStringLiteral("($Inbox)\\"),
                 [](CItemListGrid* list, int r) { return !list->Cell(r, 4).isEmpty() && list->KindOf(r) == 2; });
    save(frame, QStringLiteral("max-2e-step2-mail-preview"));
    frame->showNormal();
    frame->resize(frame->minimumSize());
    settle(300);
    save(frame, QStringLiteral("min-2e-step2-mail-preview"));
    step2->OnBack();
    step1->List()->selectRow(0);
    save(frame, QStringLiteral("min-2-step1-list"));
    maximise(frame);
    save(frame, QStringLiteral("max-2-step1-list"));
    restoreDefault(frame);
    // With a server's address: the server browser and a server database in Step 2.
#ifdef TESSELDOC_HAVE_FAKE_DOMINO
    trustTour(step1, db);
#endif
    QList<NsfSourceEntry> serverEntries;  // exported last, as a server run
    if (argc > 3) {
        serverTour(frame, step1, step2, QString::fromLocal8Bit(argv[3]));
        for (const NsfSourceEntry& e : step1->Entries())
            if (!e.serverName.isEmpty()) serverEntries.append(e);
        // The list export below takes the file alone.
        for (int r = step1->List()->rowCount() - 1; r >= 0; --r)
            if (!step1->List()->item(r, 1)->text().isEmpty()) step1->List()->removeRow(r);
    }
    step1->List()->selectRow(0);
    {
        CAdvanceSettingsDlg advanced;
        snapDialog(advanced, QStringLiteral("2g-advanced-settings"));
    }
    {
        // The destination's questions (a folder to be made, a read-only one) and
        // the box Ctrl+Q opens while a run saves, as the message boxes show them.
        const QString folder = QDir(dest.path()).filePath(QStringLiteral("Archive 2026"));
        const struct {
            QMessageBox::Icon icon;
            QString text;
            const char* name;
        } messages[] = {
            {QMessageBox::Question, SaveTexts::kCreateFolder.arg(folder), "2i-destination-create"},
            {QMessageBox::Information, SaveTexts::kReadOnlyFolder.arg(folder), "2j-destination-read-only"},
            {QMessageBox::Information, AppTexts::kStopSavingFirst, "2k-stop-saving-first"},
        };
        for (const auto& m : messages) {
            QMessageBox box(m.icon, QStringLiteral("Tesseldoc"), QString(m.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                            m.icon == QMessageBox::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, frame);
            snapDialog(box, QLatin1String(m.name));
        }
    }
    {
        // Qt's own file dialog, as "Add File(s)" opens it where the desktop offers none.
        QFileDialog files(frame, QStringLiteral("Add File(s)"), QFileInfo(db).absolutePath(),
                          QStringLiteral("Notes databases (*.nsf *.dxl);;All files (*)"));
        files.setOption(QFileDialog::DontUseNativeDialog, true);
        files.setFileMode(QFileDialog::ExistingFiles);
        CMessageBoxService::SizeFileDialog(files);
        snapDialog(files, QStringLiteral("2h-file-dialog"));
    }

    QString phase;            // "" for the first run, then "stopped" and "failed"
    QString runDest = dest.path();
    boxes.setDialogHandler([&](QDialog& dlg) -> int {
        if (!phase.isEmpty()) {
            if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
                d->SetFolderPath(runDest);
                d->accept();
                return d->result();
            }
            if (qobject_cast<CSaveCompleteDlg*>(&dlg)) snapDialog(dlg, QStringLiteral("completion-") + phase);
            return QDialog::Accepted;
        }
        if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
            d->SetFolderPath(dest.path());
            snapDialog(dlg, QStringLiteral("2a-destination"));
            d->accept();
            return d->result();
        }
        if (qobject_cast<CSavingModeDlg*>(&dlg)) {
            snapDialog(dlg, QStringLiteral("2b-saving-mode"));
            return QDialog::Accepted;
        }
        if (qobject_cast<CSaveCompleteDlg*>(&dlg)) {
            snapDialog(dlg, QStringLiteral("4a-completion"));
            return QDialog::Accepted;
        }
        return QDialog::Rejected;
    });
    step1->OnNext();
    if (!step3->WaitForRunEnd(600000)) std::fprintf(stderr, "the run did not end in time\n");
    save(frame, QStringLiteral("4-step3-done"));
    maximise(frame);
    save(frame, QStringLiteral("max-4-step3-done"));
    frame->showNormal();
    frame->resize(frame->minimumSize());
    settle(300);
    save(frame, QStringLiteral("min-4-step3-done"));
    restoreDefault(frame);
    qsizetype seen = 0;  // messages of earlier runs are not repeated
    const auto report = [&] {
        const QStringList texts = boxes.shownTexts();
        std::printf("messages: %s\n", qPrintable(texts.mid(seen).join(" | ")));
        seen = texts.size();
        RunTally tally;
        if (frame->GetRunTally(&tally))
            std::printf("items: %d found, %d written, %d failed, %d not converted\n", tally.found, tally.written,
                        tally.failed, tally.notConverted);
        QTableWidget* list = step3->SourceList();
        for (int r = 0; r < list->rowCount(); ++r)
            std::printf("row %d: %s\t%s\n", r, qPrintable(list->item(r, 0)->text()),
                        qPrintable(list->item(r, 1)->text()));
    };
    report();

    // A stopped run: Stop is confirmed as its second folder starts.
    QTemporaryDir stoppedDest;
    phase = QStringLiteral("stopped");
    runDest = stoppedDest.path();
    step3->OnNext();
    tour->stopAtFolder = tour->Folders() + 2;
    step1->OnNext();
    if (!step3->WaitForRunEnd(600000)) std::fprintf(stderr, "the stopped run did not end in time\n");
    tour->stopAtFolder = 0;
    save(frame, QStringLiteral("6-step3-stopped"));
    report();

    // A failing run: a database that does not exist, and the demo into a full destination.
    const QString fullDest = qEnvironmentVariable("TESSELDOC_TOUR_FULL_DEST");
    if (!fullDest.isEmpty()) {
        phase = QStringLiteral("failed");
        runDest = fullDest;
        step3->OnNext();
        boxes.setOpenFileNamesHandler([] { return QStringList{QStringLiteral("/nonexistent/archive.nsf")}; });
        step1->OnAddFiles();
        QElapsedTimer clock;
        clock.start();
        step1->OnNext();
        if (!step3->WaitForRunEnd(600000)) std::fprintf(stderr, "the failing run did not end in time\n");
        std::printf("failing run: %lld ms\n", static_cast<long long>(clock.elapsed()));
        save(frame, QStringLiteral("7-step3-failed"));
        report();
    }
    // A server run: the server's database exported alone.
    if (!serverEntries.isEmpty()) {
        QTemporaryDir serverDest;
        phase = QStringLiteral("server");
        runDest = serverDest.path();
        step3->OnNext();
        step1->List()->setRowCount(0);
        for (const NsfSourceEntry& e : serverEntries) frame->AddDominoServerFiles(e.serverName, {e.filePath});
        step1->OnNext();
        if (!step3->WaitForRunEnd(600000)) std::fprintf(stderr, "the server run did not end in time\n");
        save(frame, QStringLiteral("8-step3-server-run"));
        report();
        int files = 0;
        for (QDirIterator it(serverDest.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++files;
        std::printf("server run: %d files written\n", files);
    }
    for (const FailedItem& f : frame->GetFailedItems())
        std::printf("no document: %s\t%s\t%s\n", qPrintable(f.folder), qPrintable(f.noteId), qPrintable(f.reason));
    int found = 0, written = 0;
    if (frame->GetItemCounts(&found, &written)) std::printf("documents written: %d of %d item(s)\n", written, found);
    std::printf("output under %s:\n", qPrintable(dest.path()));
    QDirIterator it(dest.path(), QDir::Files, QDirIterator::Subdirectories);
    int shown = 0;
    while (it.hasNext() && shown < 12) {
        std::printf("  %s\n", qPrintable(QDir(dest.path()).relativeFilePath(it.next())));
        ++shown;
    }
    return 0;
}

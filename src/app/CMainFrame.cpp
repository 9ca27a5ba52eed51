#include "app/CMainFrame.h"

#include "app/AppTexts.h"
#include "app/CAboutDlg.h"
#include "app/CCoreConversionBackend.h"
#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/CTovanCommonBaseView.h"
#include "app/GuiResources.h"
#include "app/WindowMessages.h"
#include "export/IDocumentExporter.h"
#include "files/StaleFileCleaner.h"
#include "source/CGuiCredentialsProvider.h"
#include "source/CServerPasswords.h"
#include "steps/CAdvanceSettingsDlg.h"
#include "steps/CProgressWaitDlg.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QMessageBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMutexLocker>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>

namespace {
CMainFrame* g_mainFrame = nullptr;

QString WithSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}
}  // namespace

CMainFrame::CMainFrame(std::unique_ptr<IConversionBackend> backend, QWidget* parent)
    : QMainWindow(parent), m_backend(std::move(backend)) {
    InitGuiResources();
    if (!m_backend) m_backend = std::make_unique<CCoreConversionBackend>();
    m_backend->Attach(m_notes);
    setWindowTitle(AppTexts::kFrameTitle);
    setWindowIcon(ProductIcon());
    setMinimumSize(kMinWidth, kMinHeight);
}

CMainFrame::~CMainFrame() {
    if (m_wordCheck.valid()) m_wordCheck.wait();  // it uses the backend
    // The pages stop and join their workers before the objects those
    // workers use (the Notes access object, the Word object) go away.
    delete m_pStepHost;
    m_pStepHost = nullptr;
    m_pActiveView = nullptr;
    delete m_pProgressWaitDlg;
    m_pProgressWaitDlg = nullptr;
    m_notes.progressDialog = nullptr;
    if (m_pWordExporter) m_pWordExporter->ShutdownWord();
    m_pWordExporter.reset();
    m_notes.Shutdown();
    if (g_mainFrame == this) {
        g_mainFrame = nullptr;
        CServerPasswords::instance().SetParentWindow(nullptr);
    }
}

CMainFrame* CMainFrame::MainFrame() { return g_mainFrame; }

bool CMainFrame::OnCreate() {
    CreateBars();

    if (!m_notes.Initialize()) {
        CMessageBoxService::instance().Information(this, AppTexts::kNoNotes);
        m_bForceClose = true;
        close();
        return false;
    }

    if (!m_pProgressWaitDlg) m_pProgressWaitDlg = new CProgressWaitDlg(this);

    m_strAppDirectory = WithSlash(QDir::currentPath());
    ReadShowViewFolders();
    m_bStepOneActive = 1;
    g_mainFrame = this;
    // Domino servers that ask for a name and password are answered by the sign-in dialog.
    CServerPasswords::instance().SetParentWindow(this);
#if __has_include("notes/das/DominoCredentials.h")
    das::setCredentialsProvider(std::make_shared<CGuiCredentialsProvider>());
#endif

    auto* host = new CTesselEmlConverterGuiView(this);
    setCentralWidget(host);
    host->CreatePages();

    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    const QByteArray state = settings.value(AppTexts::kSettingsCommandBars + QStringLiteral("/State")).toByteArray();
    if (!state.isEmpty()) restoreState(state);
    RestoreWindowSettings();
    return true;
}

// ---------------------------------------------------------------- window place and size

QSize CMainFrame::DefaultSize(const QSize& available) {
    if (!available.isValid() || available.isEmpty()) return QSize(1100, 750);
    const QSize fit(qMin(1100, available.width() * 8 / 10), qMin(750, available.height() * 8 / 10));
    return fit.expandedTo(MinimumFrameSize(available));
}

QSize CMainFrame::MinimumFrameSize(const QSize& available) {
    const QSize wanted(kMinWidth, kMinHeight);
    if (!available.isValid() || available.isEmpty()) return wanted;
    return wanted.boundedTo(available);
}

void CMainFrame::RestoreWindowSettings() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    const QRect saved = settings.value(AppTexts::kSettingsGeometry).toRect();
    m_bStartMaximized = settings.value(AppTexts::kSettingsMaximized, false).toBool();

    // The screen the remembered place is on, or the primary one.
    QScreen* screen = saved.isValid() ? QGuiApplication::screenAt(saved.center()) : nullptr;
    const bool onScreen = screen != nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1100, 750);
    setMinimumSize(MinimumFrameSize(area.size()));

    if (onScreen && saved.width() >= minimumWidth() && saved.height() >= minimumHeight()) {
        QRect fitted(saved.topLeft(), saved.size().boundedTo(area.size()));
        // Pulled back onto the screen when it reaches over an edge.
        if (fitted.right() > area.right()) fitted.moveRight(area.right());
        if (fitted.bottom() > area.bottom()) fitted.moveBottom(area.bottom());
        if (fitted.left() < area.left()) fitted.moveLeft(area.left());
        if (fitted.top() < area.top()) fitted.moveTop(area.top());
        resize(fitted.size());
        move(fitted.topLeft());
        return;
    }
    const QSize size = DefaultSize(area.size());
    resize(size);
    move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void CMainFrame::SaveWindowSettings() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    const bool maximized = isMaximized() || isFullScreen();
    const QRect normal = maximized && normalGeometry().isValid() ? normalGeometry() : QRect(pos(), size());
    settings.setValue(AppTexts::kSettingsGeometry, normal);
    settings.setValue(AppTexts::kSettingsMaximized, maximized);
    if (m_pStepHost) m_pStepHost->SaveLayout(settings);
}

void CMainFrame::ShowAtStart() {
    if (m_bStartMaximized) showMaximized();
    else show();
}

bool CMainFrame::FocusInTextField() {
    QWidget* w = QApplication::focusWidget();
    if (!w) return false;
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
        qobject_cast<QAbstractSpinBox*>(w))
        return true;
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->isEditable();
    return false;
}

void CMainFrame::CreateBars() {
    QStyle* st = style();
    auto makeAction = [this](const QString& text, const QString& prompt, const QIcon& icon) {
        auto* action = new QAction(icon, text, this);
        const int nl = prompt.indexOf(QLatin1Char('\n'));
        action->setStatusTip(nl < 0 ? prompt : prompt.left(nl));
        if (nl >= 0) action->setToolTip(QString(prompt.mid(nl + 1)).remove(QLatin1Char('&')));
        return action;
    };
    QAction* actAdd = makeAction(AppTexts::kCmdAddFiles, AppTexts::kPromptAddFiles, CommandIcon(QStringLiteral("add")));
    QAction* actDomino =
        makeAction(AppTexts::kCmdAddDomino, AppTexts::kPromptAddDomino, CommandIcon(QStringLiteral("domino")));
    QAction* actExport =
        makeAction(AppTexts::kCmdExport, AppTexts::kPromptExport, CommandIcon(QStringLiteral("export")));
    m_actAdd = actAdd;
    m_actDomino = actDomino;
    m_actExport = actExport;
    QAction* actExit = makeAction(AppTexts::kCmdExit, AppTexts::kPromptExit, QIcon());
    m_actAdvance = makeAction(AppTexts::kCmdAdvance, QString(), QIcon());
    QAction* actHelp = makeAction(AppTexts::kCmdHelp, AppTexts::kPromptHelp, CommandIcon(QStringLiteral("help")));
    QAction* actHome = makeAction(AppTexts::kCmdHomePage, AppTexts::kPromptHomePage, QIcon());
    QAction* actAbout = makeAction(AppTexts::kCmdAbout, AppTexts::kPromptAbout, st->standardIcon(QStyle::SP_MessageBoxInformation));

    // The desktop's usual keys, beside the wizard's own letters.
    actAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    actHelp->setShortcut(QKeySequence(Qt::Key_F1));
    actExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    actExit->setMenuRole(QAction::QuitRole);

    connect(actAdd, &QAction::triggered, this, [this] { SendToHost(WM_CMD_ADD_FILES); });
    connect(actDomino, &QAction::triggered, this, [this] { SendToHost(WM_CMD_ADD_DOMINO_FILES); });
    connect(actExport, &QAction::triggered, this, [this] { SendToHost(WM_CMD_EXPORT); });
    connect(actExit, &QAction::triggered, this, [this] { close(); });
    connect(m_actAdvance, &QAction::triggered, this, &CMainFrame::OnAdvanceSettings);
    connect(actHelp, &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(actHome, &QAction::triggered, this, &CMainFrame::OnHomePage);
    connect(actAbout, &QAction::triggered, this, &CMainFrame::OnAbout);

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("Menu Bar"));
    QMenu* file = bar->addMenu(AppTexts::kMenuFile);
    file->addAction(actAdd);
    file->addAction(actDomino);
    file->addAction(actExport);
    file->addSeparator();
    file->addAction(actExit);
    QMenu* tools = bar->addMenu(AppTexts::kMenuTools);
    tools->addAction(m_actAdvance);
    connect(tools, &QMenu::aboutToShow, this, [this] { m_actAdvance->setEnabled(m_bStepOneActive != 0); });
    QMenu* help = bar->addMenu(AppTexts::kMenuHelp);
    help->addAction(actHelp);
    help->addAction(actHome);
    help->addSeparator();
    help->addAction(actAbout);

    m_pToolBar = addToolBar(QStringLiteral("Standard"));
    m_pToolBar->setObjectName(QStringLiteral("Standard"));
    m_pToolBar->setIconSize(QSize(32, 32));
    m_pToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_pToolBar->setContextMenuPolicy(Qt::PreventContextMenu);  // no customisation
    m_pToolBar->addAction(actAdd);
    m_pToolBar->addAction(actDomino);
    m_pToolBar->addAction(actExport);
    m_pToolBar->addAction(actHelp);
    auto* spacer = new QWidget(m_pToolBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_pToolBar->addWidget(spacer);
    // The home link panel: the product's name, opening its home page.
    auto* link = new QLabel(m_pToolBar);
    link->setObjectName(QStringLiteral("HomeLinkPanel"));
    link->setText(QStringLiteral("<a href=\"%1\" style=\"text-decoration:none;\"><b>%2</b></a>")
                      .arg(AppTexts::kHomePageUrl, AppTexts::kProductName));
    link->setTextFormat(Qt::RichText);
    link->setToolTip(AppTexts::kHomePageUrl);
    link->setContentsMargins(8, 0, 12, 0);
    connect(link, &QLabel::linkActivated, this, [this] { OnHomePage(); });
    m_pToolBar->addWidget(link);

    QStatusBar* status = statusBar();
    status->showMessage(AppTexts::kHomePageUrl);
    connect(status, &QStatusBar::messageChanged, this, [status](const QString& text) {
        if (text.isEmpty()) status->showMessage(AppTexts::kHomePageUrl);
    });
}

void CMainFrame::SendToHost(int message) {
    if (!m_pStepHost) return;
    CStepEvent ev(message);
    QCoreApplication::sendEvent(m_pStepHost, &ev);
}

// ---------------------------------------------------------------- hub

void CMainFrame::UpdateStepCommands(int page) {
    // Adding sources is Step 1's; exporting is Step 1's and Step 2's. Elsewhere
    // these commands would do nothing, so they do not look as if they could.
    if (m_actAdvance) m_actAdvance->setEnabled(page == 0);
    if (m_actAdd) m_actAdd->setEnabled(page == 0);
    if (m_actDomino) m_actDomino->setEnabled(page == 0);
    if (m_actExport) m_actExport->setEnabled(page == 0 || page == 1);
}

void CMainFrame::GoToNextStep(int n) {
    const int page = n + 1;
    m_bStepOneActive = page == 0 ? 1 : 0;
    UpdateStepCommands(page);
    if (!m_pStepHost) return;
    CStepEvent ev(WM_SELECT_STEP, page);
    QCoreApplication::sendEvent(m_pStepHost, &ev);
}

int CMainFrame::GoToPreviousStep(int n) {
    const int page = n - 1;
    m_bStepOneActive = page == 0 ? 1 : 0;
    UpdateStepCommands(page);
    if (!m_pStepHost) return 0;
    CStepEvent ev(WM_SELECT_STEP, page);
    QCoreApplication::sendEvent(m_pStepHost, &ev);
    return ev.result;
}

int CMainFrame::EnumerateFolders(QStringList& folders, int flag) {
    if (flag == 0 && m_pProgressWaitDlg) m_notes.progressDialog = m_pProgressWaitDlg->progressInterface();
    else m_notes.progressDialog = nullptr;
    const int result = m_backend->EnumerateFolders(m_notes, SourcePath(), ServerName(), folders, flag);
    m_notes.progressDialog = nullptr;
    return result;
}

void CMainFrame::ListFolderItems(const QString& folderName, IItemList* list) {
    m_notes.progressDialog = m_pProgressWaitDlg ? m_pProgressWaitDlg->progressInterface() : nullptr;
    m_notes.OpenFolder(list, folderName);
    m_notes.progressDialog = nullptr;
}

bool CMainFrame::CheckWordAvailable() {
    if (m_bWordAvailable) return true;
    bool available = false;
    if (m_wordCheck.valid()) {
        // Begun in the background: its answer, however far it has got.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        available = m_wordCheck.get();
        QApplication::restoreOverrideCursor();
    } else {
        available = m_backend->CheckWordAvailable();
    }
    m_bWordAvailable = available;
    return available;
}

void CMainFrame::PrefetchWordCheck() {
    if (!m_bPrefetchWordCheck || m_bWordAvailable || m_wordCheck.valid()) return;
    IConversionBackend* backend = m_backend.get();
    m_wordCheck = std::async(std::launch::async, [backend] { return backend->CheckWordAvailable(); });
}

int CMainFrame::PrepareWord() {
    if (m_pWordExporter) m_pWordExporter->ShutdownWord();
    m_pWordExporter.reset();
    m_notes.wordExporter = nullptr;
    m_notes.BeginSourceRun();
    m_pWordExporter = m_backend->CreateWordExporter();
    if (!m_pWordExporter) {
        AddFailedItem({SourcePath(), QString(), QStringLiteral("no office is available to write documents")});
        return 0;
    }
    const QString root = WithSlash(WithSlash(DestFolderPath()) + DestFolderName());
    m_pWordExporter->SetRootFolder(root);
    // What a killed run left behind goes first.
    StaleFileCleaner::cleanTemporaryDirectory();
    StaleFileCleaner::cleanDestination(root);
    if (!m_pWordExporter->StartWord()) {
        QString why = m_pWordExporter->LastFailure();
        if (why.isEmpty()) why = QStringLiteral("the office did not start");
        AddFailedItem({SourcePath(), QString(), why});
        return 0;
    }
    return 1;
}

int CMainFrame::SaveOneFolder(const QString& folderName) {
    if (m_nSourceMode == FileList && folderName.contains(QStringLiteral("$All"))) return 1;
    m_notes.wordExporter = m_pWordExporter.get();
    return m_backend->SaveFolder(m_notes, m_pWordExporter.get(), folderName);
}

int CMainFrame::RenderItem(quint32 noteId, int rtfFlag, int purpose, QString& result, int& type,
                           QStringList& names, QStringList& sizes, QString* plainText) {
    return m_notes.RenderItem(noteId, rtfFlag, purpose, result, type, names, sizes, plainText);
}

int CMainFrame::SaveItemAttachments(quint32 noteId, const QString& folder,
                                    QList<CNotesConverter::AttachmentFailure>* failures) {
    return m_notes.SaveItemAttachments(noteId, folder, failures);
}

std::unique_ptr<IDocumentExporter> CMainFrame::CreateWordExporter() { return m_backend->CreateWordExporter(); }

void CMainFrame::ShutdownWord() {
    if (m_pWordExporter) m_pWordExporter->ShutdownWord();
}

void CMainFrame::ShowProgress(const QString& text) {
    if (!m_pProgressWaitDlg) return;
    m_pProgressWaitDlg->ShowProgress(text);
}

void CMainFrame::HideProgress() {
    if (!m_pProgressWaitDlg) return;
    m_pProgressWaitDlg->HideProgress();
}

int CMainFrame::EnumerateServers(QStringList& servers) {
    m_notes.cancelRequested = 0;
    servers.clear();
    return m_notes.ListServers(servers);
}

int CMainFrame::ListServerDatabases(const QString& serverName, QStringList& databases, QStringList& names,
                                    const std::function<void()>& betweenDatabases) {
    m_notes.cancelRequested = 0;
    databases.clear();
    names.clear();
    return m_notes.ListServerDatabases(serverName, databases, names, betweenDatabases);
}

void CMainFrame::RememberDominoServer(const QString& serverName, const QString& url) {
    m_notes.RememberServer(serverName, url);
}

void CMainFrame::AddDominoServerFiles(const QString& serverName, const QStringList& paths) {
    if (!m_pStepHost) return;
    CStepEvent ev(WM_ADD_SERVER_FILES, serverName, paths);
    QCoreApplication::sendEvent(m_pStepHost, &ev);
}

void CMainFrame::SetSourcePath(const QString& path) {
    QMutexLocker lock(&m_stateMutex);
    m_strSourcePath = path;
}

void CMainFrame::SetServerName(const QString& server) {
    QMutexLocker lock(&m_stateMutex);
    m_strServerName = server;
}

void CMainFrame::SetDestinationPath(const QString& path) {
    QMutexLocker lock(&m_stateMutex);
    m_strDestFolderPath = path;
}

void CMainFrame::SetDestinationName(const QString& name) {
    QMutexLocker lock(&m_stateMutex);
    m_strDestFolderName = name;
    m_strServerName.clear();
}

FailedItemList CMainFrame::GetFailedItems() const { return m_backend->Failures(); }
void CMainFrame::ClearFailedItems() { m_backend->ClearFailures(); }
void CMainFrame::AddFailedItem(const FailedItem& item) { m_backend->AddFailure(item); }
bool CMainFrame::GetItemCounts(int* found, int* written) const { return m_backend->ItemCounts(found, written); }
bool CMainFrame::GetRunTally(RunTally* tally) const { return m_backend->Tally(tally); }
FailedItemList CMainFrame::GetNotConverted() const { return m_backend->NotConverted(); }
FailedItemList CMainFrame::GetWrittenByOffice() const { return m_backend->WrittenByOffice(); }
void CMainFrame::ListFolderNotConverted(const QString& folderName) { m_backend->ListNotConverted(m_notes, folderName); }
void CMainFrame::AddNotConverted(const FailedItem& item) { m_backend->AddNotConverted(item); }

// ---------------------------------------------------------------- state

QString CMainFrame::SourcePath() const {
    QMutexLocker lock(&m_stateMutex);
    return m_strSourcePath;
}
QString CMainFrame::ServerName() const {
    QMutexLocker lock(&m_stateMutex);
    return m_strServerName;
}
QString CMainFrame::DestFolderPath() const {
    QMutexLocker lock(&m_stateMutex);
    return m_strDestFolderPath;
}
QString CMainFrame::DestFolderName() const {
    QMutexLocker lock(&m_stateMutex);
    return m_strDestFolderName;
}
QStringList CMainFrame::SelectedFolders() const {
    QMutexLocker lock(&m_stateMutex);
    return m_arrSelectedFolders;
}
void CMainFrame::SetSelectedFolders(const QStringList& folders) {
    QMutexLocker lock(&m_stateMutex);
    m_arrSelectedFolders = folders;
}
QStringList CMainFrame::SourcePaths() const {
    QMutexLocker lock(&m_stateMutex);
    return m_arrSourcePaths;
}
QStringList CMainFrame::SourceServers() const {
    QMutexLocker lock(&m_stateMutex);
    return m_arrSourceServers;
}
void CMainFrame::SetSourceList(const QStringList& paths, const QStringList& servers) {
    QMutexLocker lock(&m_stateMutex);
    m_arrSourcePaths = paths;
    m_arrSourceServers = servers;
}
QString CMainFrame::ListDestRoot() const {
    QMutexLocker lock(&m_stateMutex);
    return m_strListDestRoot;
}
void CMainFrame::SetListDestRoot(const QString& root) {
    QMutexLocker lock(&m_stateMutex);
    m_strListDestRoot = root;
}

// ---------------------------------------------------------------- commands

bool CMainFrame::CloseHandling() {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    if (m_bSaving) {
        // Asked again while the box is open (a repeated Ctrl+Q): the same box.
        if (m_pStopSavingBox) {
            m_pStopSavingBox->raise();
            m_pStopSavingBox->activateWindow();
            return false;
        }
        m_pStopSavingBox = boxes.OpenInformation(this, AppTexts::kStopSavingFirst);
        // The saving ends on a worker thread: the box is closed once it has.
        auto* watch = new QTimer(m_pStopSavingBox);
        QMessageBox* box = m_pStopSavingBox;
        connect(watch, &QTimer::timeout, box, [this, box] {
            if (m_bSaving) return;
            box->done(QMessageBox::Ok);
            box->deleteLater();
        });
        watch->start(200);
        return false;
    }
    if (m_pProgressWaitDlg && m_pProgressWaitDlg->isVisible()) return false;
    if (!boxes.Question(this, AppTexts::kConfirmClose)) return false;
    boxes.OpenUrl(AppTexts::kHomePageUrl);
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    settings.setValue(AppTexts::kSettingsCommandBars + QStringLiteral("/State"), saveState());
    SaveWindowSettings();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_bForceClose || CloseHandling()) {
        event->accept();
        return;
    }
    event->ignore();
}

QStringList CMainFrame::HelpFilePlaces() {
    // The copy installed with this program (share/doc/tesseldoc beside its bin
    // folder), then the desktop's data folders ($XDG_DATA_DIRS), then beside
    // the program (a build tree). Never the working directory: a file there
    // is not ours.
    QStringList places = {QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/tesseldoc"))};
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        places << QDir::cleanPath(data + QStringLiteral("/doc/tesseldoc"));
    places << QCoreApplication::applicationDirPath();
    places.removeDuplicates();
    return places;
}

QString CMainFrame::HelpFilePath() const {
    for (const QString& dir : HelpFilePlaces()) {
        if (dir.isEmpty()) continue;
        const QFileInfo info(QDir(dir).filePath(AppTexts::kHelpFileName));
        if (info.isFile() && info.isReadable()) return info.canonicalFilePath();
    }
    return QString();
}

void CMainFrame::OnHelp() {
    const QString path = HelpFilePath();
    if (path.isEmpty()) {
        CMessageBoxService::instance().Information(this, AppTexts::kHelpMissing);
        return;
    }
    CMessageBoxService::instance().OpenUrl(path);
}

void CMainFrame::OnAbout() {
    CAboutDlg dlg(this);
    CMessageBoxService::instance().ExecDialog(dlg);
}

void CMainFrame::OnHomePage() { CMessageBoxService::instance().OpenUrl(AppTexts::kHomePageUrl); }

void CMainFrame::OnAdvanceSettings() {
    if (!m_bStepOneActive) return;
    CAdvanceSettingsDlg dlg(this);
    CMessageBoxService::instance().ExecDialog(dlg);
    ReadShowViewFolders();
}

void CMainFrame::ReadShowViewFolders() {
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    const int check = settings.value(AppTexts::kSettingsAdvanced + QLatin1Char('/') + AppTexts::kSettingsCheck, 0).toInt();
    m_notes.showViewFolders = check != 0 ? 1 : 0;
    m_notes.dateRange = CAdvanceSettingsDlg::ReadDateRange();
    m_notes.oncePerDocument = CAdvanceSettingsDlg::ReadOnce();
    // Step 2's tree ends with the node of every document.
    m_notes.listEveryDocument = true;
    m_bShowViewFolders = m_notes.showViewFolders;
}

// ---------------------------------------------------------------- input

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_F5) {
        if (!event->isAutoRepeat()) m_bF5Down = true;
        event->accept();
        return;
    }
    event->accept();  // every key that reaches the frame is consumed
    // A plain letter typed into a text field is text, never a command.
    const bool plainLetter = !(mods & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) &&
                             ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9));
    if (plainLetter && FocusInTextField()) return;
    if (mods & Qt::AltModifier) {
        if (key == Qt::Key_H) OnHelp();
        else if (key == Qt::Key_X) close();
        else if (m_pStepHost) {
            CStepEvent ev(WM_STEP_KEY, WM_SYSKEYDOWN, key);
            QCoreApplication::sendEvent(m_pStepHost, &ev);
        }
        return;
    }
    // Ctrl combinations are the menus' shortcuts (and the lists' Ctrl+A), never a
    // step's letter: Ctrl+R must not remove files.
    if (mods & Qt::ControlModifier) return;
    if (key == Qt::Key_H && !(mods & Qt::ControlModifier)) {
        OnHelp();
        return;
    }
    if (key == Qt::Key_X && !(mods & Qt::ControlModifier)) {
        close();
        return;
    }
    if (m_bF5Down || !m_pStepHost) return;
    CStepEvent ev(WM_STEP_KEY, WM_KEYDOWN, key);
    QCoreApplication::sendEvent(m_pStepHost, &ev);
}

void CMainFrame::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5 && !event->isAutoRepeat()) m_bF5Down = false;
    QMainWindow::keyReleaseEvent(event);
}

void CMainFrame::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && m_pToolBar) {
        event->accept();
        return;
    }
    QMainWindow::mousePressEvent(event);
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == static_cast<QEvent::Type>(WM_STEP_STOP)) {
        if (m_pStepHost) QCoreApplication::sendEvent(m_pStepHost, event);
        return true;
    }
    return QMainWindow::event(event);
}

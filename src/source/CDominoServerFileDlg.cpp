#include "source/CDominoServerFileDlg.h"

#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "convert/CNotesConverter.h"
#include "notes/ServerDirectory.h"
#include "source/CServerTrust.h"
#include "source/DominoBrowserTexts.h"
#include "steps/CNotesWorkerThread.h"
#include "widgets/CAnimateCtrl.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace T = DominoBrowserTexts;

namespace {

QTableWidget* MakeList(const QString& column, QWidget* parent) {
    auto* list = new QTableWidget(0, 1, parent);
    list->setHorizontalHeaderLabels({column});
    list->setColumnWidth(0, 200);
    list->horizontalHeader()->setStretchLastSection(true);
    list->verticalHeader()->hide();
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    return list;
}

QPushButton* MakeButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

CDominoServerFileDlg::CDominoServerFileDlg(CMainFrame* frame, QWidget* parent)
    : QDialog(parent), m_pFrame(frame) {
    setObjectName(QStringLiteral("CDominoServerFileDlg"));
    setWindowTitle(T::kCaption);
    setModal(true);

    m_pEdit = new QLineEdit(this);
    m_btnAddServer = MakeButton(T::kBtnAddServer, this);
    m_btnSearch = MakeButton(T::kBtnSearch, this);
    m_pServerList = MakeList(T::kColServers, this);
    m_pServerList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pDatabaseList = MakeList(T::kColDatabases, this);
    m_pDatabaseList->setShowGrid(true);
    m_pDatabaseList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_btnSelectAll = MakeButton(T::kBtnSelectAll, this);
    m_btnUnselectAll = MakeButton(T::kBtnUnselectAll, this);
    m_btnAdd = MakeButton(T::kBtnAdd, this);
    m_btnFinish = MakeButton(T::kBtnFinish, this);
    m_btnStop = MakeButton(T::kBtnStop, this);
    m_pAnimation = new CAnimateCtrl(this);
    m_pStatus = new QLabel(this);
    m_pStatus->setMinimumWidth(260);

    auto* step1 = new QGroupBox(T::kGroupStep1, this);
    auto* step1Layout = new QVBoxLayout(step1);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_pEdit, 1);
    nameRow->addWidget(m_btnAddServer);
    nameRow->addWidget(m_btnSearch);
    step1Layout->addLayout(nameRow);
    step1Layout->addWidget(m_pServerList);

    auto* step2 = new QGroupBox(T::kGroupStep2, this);
    auto* step2Layout = new QVBoxLayout(step2);
    step2Layout->addWidget(m_pDatabaseList);
    auto* tickRow = new QHBoxLayout;
    tickRow->addWidget(m_btnSelectAll);
    tickRow->addWidget(m_btnUnselectAll);
    tickRow->addStretch(1);
    tickRow->addWidget(m_btnAdd);
    step2Layout->addLayout(tickRow);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_pAnimation);
    bottom->addWidget(m_pStatus, 1);
    bottom->addWidget(m_btnStop);
    bottom->addWidget(m_btnFinish);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(step1, 1);
    layout->addWidget(step2, 2);
    layout->addLayout(bottom);
    resize(560, 600);

    connect(m_btnAddServer, &QPushButton::clicked, this, &CDominoServerFileDlg::OnAddServer);
    connect(m_btnSearch, &QPushButton::clicked, this, &CDominoServerFileDlg::OnSearchServer);
    connect(m_btnSelectAll, &QPushButton::clicked, this, &CDominoServerFileDlg::OnSelectAll);
    connect(m_btnUnselectAll, &QPushButton::clicked, this, &CDominoServerFileDlg::OnUnselectAll);
    connect(m_btnAdd, &QPushButton::clicked, this, &CDominoServerFileDlg::OnAdd);
    connect(m_btnFinish, &QPushButton::clicked, this, &CDominoServerFileDlg::OnFinish);
    connect(m_btnStop, &QPushButton::clicked, this, &CDominoServerFileDlg::OnStop);
    // A click anywhere in the server list, empty space included, counts.
    m_pServerList->viewport()->installEventFilter(this);

    SetStatus(QString());
    m_btnStop->hide();
}

CDominoServerFileDlg::~CDominoServerFileDlg() {
    // A lookup still running is asked to stop and waited for; never killed.
    if (m_pThread) {
        if (m_pFrame) m_pFrame->Notes().cancelRequested = 1;
        m_gate.Open();
        m_pThread->wait();
        m_pThread.reset();
    }
}

QString CDominoServerFileDlg::SelectedServer() const {
    QMutexLocker lock(&m_serverMutex);
    return m_strSelectedServer;
}

static QStringList Texts(const QTableWidget* list, bool tickedOnly) {
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem* item = list->item(row, 0);
        if (!item) continue;
        if (tickedOnly && item->checkState() != Qt::Checked) continue;
        // A database row shows its title beside the path; the path is kept apart.
        const QVariant path = item->data(Qt::UserRole);
        texts.append(path.isValid() ? path.toString() : item->text());
    }
    return texts;
}

QStringList CDominoServerFileDlg::ServerNames() const { return Texts(m_pServerList, false); }
QStringList CDominoServerFileDlg::DatabasePaths() const { return Texts(m_pDatabaseList, false); }
QStringList CDominoServerFileDlg::TickedDatabasePaths() const { return Texts(m_pDatabaseList, true); }

void CDominoServerFileDlg::SetStatus(const QString& text) { m_pStatus->setText(text); }

// ---------------------------------------------------------------- server name

void CDominoServerFileDlg::OnAddServer() {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    const QString typed = m_pEdit->text();
    if (typed.isEmpty()) {
        boxes.Information(this, T::kEnterServerName);
        return;
    }
    // A name, "host:port" or "https://host:port": ports and the scheme are
    // kept with the server, so that no settings file needs editing.
    QString parsed, url;
    if (!ServerDirectory::ParseServerAddress(typed, &parsed, &url)) {
        boxes.Information(this, T::kInvalidServerName + T::kServerNameHint);
        return;
    }
    const QString name = parsed.toUpper();
    for (const QString& listed : ServerNames()) {
        if (listed.toUpper() == name) {
            boxes.Information(this, name + T::kServerExists);
            return;
        }
    }
    m_pServerList->insertRow(0);
    m_pServerList->setItem(0, 0, new QTableWidgetItem(name));
    // Kept among the known servers, so that a later search finds it again.
    if (m_pFrame) m_pFrame->RememberDominoServer(name, url);
}

// ---------------------------------------------------------------- lookups

void CDominoServerFileDlg::SetLookupControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{m_pEdit, m_btnFinish, m_btnAdd, m_btnAddServer, m_btnSearch,
                                                     m_pAnimation, m_pServerList, m_pDatabaseList})
        w->setEnabled(enabled);
}

void CDominoServerFileDlg::BeginLookup(const QString& status) {
    m_bSearching = true;
    m_bStopConfirmed = false;
    SetStatus(status);
    m_pAnimation->Play(0, -1);
}

void CDominoServerFileDlg::StartThread(std::function<void()> job) {
    m_pThread = std::make_unique<CNotesWorkerThread>(std::move(job));
    m_pThread->start();
}

void CDominoServerFileDlg::Deliver(std::function<void()> finish) {
    // The stop question may be open: the answer waits until it is answered.
    if (m_bAskingStop) {
        m_pendingFinish = std::move(finish);
        return;
    }
    finish();
}

void CDominoServerFileDlg::OnSearchServer() {
    if (IsSearching()) return;
    SetLookupControlsEnabled(false);
    SetStatus(QString());
    m_btnStop->show();
    m_btnSearch->hide();
    if (!CMessageBoxService::instance().Question(this, T::kAskEnumerate)) {
        m_btnStop->hide();
        SetLookupControlsEnabled(true);
        SetStatus(QString());
        m_bSearching = false;
        m_btnSearch->show();
        return;
    }
    BeginLookup(T::kEnumeratingServers);
    CMainFrame* frame = m_pFrame;
    StartThread([this, frame] {
        QStringList servers;
        const int result = frame ? frame->EnumerateServers(servers) : 0;
        const QString error = frame ? frame->Notes().GetLastErrorText() : QString();
        QMetaObject::invokeMethod(
            this, [this, result, servers, error] { Deliver([this, result, servers, error] { ServersFound(result, servers, error); }); },
            Qt::QueuedConnection);
    });
}

void CDominoServerFileDlg::ServersFound(int result, const QStringList& servers, const QString& error) {
    (void)result;
    m_pAnimation->Stop();
    if (servers.isEmpty()) {
        if (!m_bStopConfirmed) CMessageBoxService::instance().Information(this, error);
    } else {
        // Compared with the entries present before; names found twice are inserted twice.
        QSet<QString> present;
        for (const QString& listed : ServerNames()) present.insert(listed.toUpper());
        for (const QString& found : servers) {
            const QString name = found.toUpper();
            if (present.contains(name)) continue;
            m_pServerList->insertRow(0);
            m_pServerList->setItem(0, 0, new QTableWidgetItem(name));
        }
    }
    EndLookup();
}

void CDominoServerFileDlg::OnServerClicked() {
    if (IsSearching()) return;
    m_pDatabaseList->setRowCount(0);
    const QList<QTableWidgetItem*> marked = m_pServerList->selectedItems();
    if (marked.isEmpty() || marked.first()->text().isEmpty()) return;
    const QString server = marked.first()->text();

    SetLookupControlsEnabled(false);
    SetStatus(QString());
    m_btnStop->show();
    m_btnSearch->hide();
    {
        QMutexLocker lock(&m_serverMutex);
        m_strSelectedServer = server;
    }
    BeginLookup(T::kFindingDatabases);
    CMainFrame* frame = m_pFrame;
    StartThread([this, frame] {
        QStringList paths, names;
        const QString selected = SelectedServer();
        if (frame) frame->ListServerDatabases(selected, paths, names, [this] { m_gate.Checkpoint(); });
        const QString error = frame ? frame->Notes().GetLastErrorText() : QString();
        const QStringList problems = frame ? frame->Notes().serverDatabaseProblems : QStringList();
        // Nothing listed: a certificate the system does not trust may be why.
        // Its handshake is looked at here, whatever words the failure had.
        CServerTrust::Peer peer;
        if (paths.isEmpty() && !(frame && frame->Notes().cancelRequested)) peer = CServerTrust::Probe(selected, 5000);
        QMetaObject::invokeMethod(
            this,
            [this, paths, names, error, problems, peer] {
                Deliver([this, paths, names, error, problems, peer] {
                    if (peer.untrusted() && !m_bStopConfirmed) {
                        CertificateRefused(peer);
                        return;
                    }
                    DatabasesFound(paths, error, problems, names);
                });
            },
            Qt::QueuedConnection);
    });
}

void CDominoServerFileDlg::DatabasesFound(const QStringList& paths, const QString& error,
                                          const QStringList& problems, const QStringList& titles) {
    m_pAnimation->Stop();
    if (!paths.isEmpty()) {
        // Each path goes on top, ticked: the list shows the server's order reversed.
        for (int i = 0; i < paths.size(); ++i) {
            const QString& path = paths[i];
            const QString title = titles.value(i).trimmed();
            const bool titled = !title.isEmpty() && title != ServerDirectory::FileNameOf(path);
            m_pDatabaseList->insertRow(0);
            auto* item = new QTableWidgetItem(titled ? QStringLiteral("%1  \u2013  %2").arg(path, title) : path);
            item->setData(Qt::UserRole, path);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            item->setToolTip(titled ? title + QLatin1Char('\n') + path : path);
            m_pDatabaseList->setItem(0, 0, item);
        }
    }
    if (!problems.isEmpty()) {
        // Databases that cannot be read are named with the server's reason
        // (for a data service switched off: which switch to ask for).
        constexpr int kShown = 10;
        QString text = T::kDatabasesLeftOut + QStringLiteral("\r\n");
        for (int i = 0; i < problems.size() && i < kShown; ++i) text += QStringLiteral("\r\n") + problems[i];
        if (problems.size() > kShown) text += QStringLiteral("\r\n") + T::kMoreLeftOut.arg(problems.size() - kShown);
        CMessageBoxService::instance().Information(this, text);
    } else if (paths.isEmpty() && !m_bStopConfirmed) {
        CMessageBoxService::instance().Information(this, error);
    }
    EndLookup();
}

void CDominoServerFileDlg::CertificateRefused(const CServerTrust::Peer& peer) {
    m_pAnimation->Stop();
    CMessageBoxService& boxes = CMessageBoxService::instance();
    const QString server = SelectedServer();
    if (!peer.trustable()) {
        boxes.Information(this, CServerTrust::Refusal(server, peer));
        EndLookup();
        return;
    }
    // Asked once: a trusted certificate is kept with the server's settings.
    if (!boxes.Question(this, CServerTrust::Question(server, peer))) {
        EndLookup();
        return;
    }
    QString why;
    if (!CServerTrust::Trust(server, peer.anchor(), &why)) {
        boxes.Information(this, T::kCertNotKept.arg(why));
        EndLookup();
        return;
    }
    EndLookup();
    // The same server again, now with its certificate trusted.
    OnServerClicked();
}

void CDominoServerFileDlg::EndLookup() {
    if (m_pThread) {
        m_pThread->wait();
        m_pThread.reset();
    }
    m_bSearching = false;
    m_pAnimation->Stop();
    SetLookupControlsEnabled(true);
    SetStatus(QString());
    m_btnStop->hide();
    m_btnSearch->show();
    emit lookupFinished();
}

void CDominoServerFileDlg::OnStop() {
    if (!IsSearching()) return;
    // The worker waits at its next checkpoint while the question is open.
    m_gate.Close();
    m_bAskingStop = true;
    const bool yes = CMessageBoxService::instance().Question(this, T::kAskStop);
    if (yes && m_pFrame) {
        m_bStopConfirmed = true;
        m_pFrame->Notes().cancelRequested = 1;
    }
    m_bAskingStop = false;
    m_gate.Open();
    if (m_pendingFinish) {
        std::function<void()> finish = std::move(m_pendingFinish);
        m_pendingFinish = nullptr;
        finish();
    }
}

// ---------------------------------------------------------------- ticks and hand-over

void CDominoServerFileDlg::OnSelectAll() {
    for (int row = 0; row < m_pDatabaseList->rowCount(); ++row)
        if (QTableWidgetItem* item = m_pDatabaseList->item(row, 0)) item->setCheckState(Qt::Checked);
}

void CDominoServerFileDlg::OnUnselectAll() {
    for (int row = 0; row < m_pDatabaseList->rowCount(); ++row)
        if (QTableWidgetItem* item = m_pDatabaseList->item(row, 0)) item->setCheckState(Qt::Unchecked);
}

void CDominoServerFileDlg::OnAdd() {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    if (m_pDatabaseList->rowCount() == 0) {
        boxes.Information(this, T::kNoDatabasesInList);
        return;
    }
    const QStringList ticked = TickedDatabasePaths();
    if (ticked.isEmpty()) {
        boxes.Information(this, T::kSelectFile);
        return;
    }
    const QList<QTableWidgetItem*> marked = m_pServerList->selectedItems();
    const QString server = marked.isEmpty() ? SelectedServer() : marked.first()->text();
    if (m_pFrame) m_pFrame->AddDominoServerFiles(server, ticked);
    boxes.Information(this, T::kFilesAdded);
}

void CDominoServerFileDlg::OnFinish() {
    if (IsSearching()) return;
    accept();
}

void CDominoServerFileDlg::reject() {
    if (IsSearching()) {
        CMessageBoxService::instance().Information(this, T::kWaitForSearch);
        return;
    }
    QDialog::reject();
}

// ---------------------------------------------------------------- keys and clicks

void CDominoServerFileDlg::keyPressEvent(QKeyEvent* event) {
    // Neither Enter nor Escape closes the dialog or presses a button.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool CDominoServerFileDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pServerList->viewport() && m_pServerList->isEnabled()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!m_pServerList->itemAt(mouse->position().toPoint())) {
                m_pServerList->clearSelection();
                m_pServerList->setCurrentItem(nullptr);
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            // After the view has updated its selection.
            QMetaObject::invokeMethod(this, &CDominoServerFileDlg::OnServerClicked, Qt::QueuedConnection);
        }
    }
    return QDialog::eventFilter(watched, event);
}

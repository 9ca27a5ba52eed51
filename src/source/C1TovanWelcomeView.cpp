#include "source/C1TovanWelcomeView.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/GuiResources.h"
#include "app/StepPages.h"
#include "app/WindowMessages.h"
#include "source/CDominoServerFileDlg.h"
#include "source/SourcePathRules.h"
#include "source/SourceTexts.h"
#include "steps/C3TovanSaveNsfToPst.h"
#include "steps/CSelectDestinationDlg.h"
#include "widgets/ListColumns.h"
#include "widgets/ShellFileIcon.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

CTovanCommonBaseView* CreateStepOnePage(CMainFrame* frame) { return new C1TovanWelcomeView(frame); }

C1TovanWelcomeView::~C1TovanWelcomeView() = default;

C1TovanWelcomeView::C1TovanWelcomeView(CMainFrame* frame)
    : CTovanCommonBaseView(frame, AppTexts::kPageTitle[0]), m_pList(new QTableWidget(0, 2, this)) {
    setObjectName(QStringLiteral("Step1"));
    m_pList->setObjectName(QStringLiteral("SourceList"));
    m_pList->setHorizontalHeaderLabels({SourceTexts::kColFilePath, SourceTexts::kColServer});
    m_pList->setShowGrid(true);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setTabKeyNavigation(false);
    m_pList->setFocusPolicy(Qt::StrongFocus);
    m_pList->verticalHeader()->hide();
    m_pList->setIconSize(QSize(16, 16));
    m_pList->setWordWrap(false);
    m_pList->setTextElideMode(Qt::ElideMiddle);
    // The path takes the width the server column leaves.
    m_columns = std::make_unique<CColumnShares>(m_pList, QList<int>{0, 25}, 0, QList<int>{0, 150});
    EnableHeaderSorting(m_pList);

    auto makeButton = [this](const QString& text, const QString& tip, const QString& icon, int id) {
        auto* button = new QPushButton(CommandIcon(icon), text, this);
        button->setToolTip(tip);
        button->setProperty("buttonId", id);
        button->setAutoDefault(false);
        return button;
    };
    m_btnAddFiles = makeButton(SourceTexts::kBtnAddFiles, SourceTexts::kTipAddFiles, QStringLiteral("add"), 100);
    m_btnAddDomino = makeButton(SourceTexts::kBtnAddDomino, SourceTexts::kTipAddDomino, QStringLiteral("domino"), 500);
    m_btnRemove = makeButton(SourceTexts::kBtnRemove, SourceTexts::kTipRemove, QStringLiteral("remove"), 200);
    m_btnRemoveAll = makeButton(SourceTexts::kBtnRemoveAll, SourceTexts::kTipRemoveAll, QStringLiteral("removeall"), 300);
    connect(m_btnAddFiles, &QPushButton::clicked, this, &C1TovanWelcomeView::OnAddFiles);
    connect(m_btnAddDomino, &QPushButton::clicked, this, &C1TovanWelcomeView::OnAddDominoFiles);
    connect(m_btnRemove, &QPushButton::clicked, this, &C1TovanWelcomeView::OnRemove);
    connect(m_btnRemoveAll, &QPushButton::clicked, this, &C1TovanWelcomeView::OnRemoveAll);
    WatchChildren();
}

void C1TovanWelcomeView::WatchChildren() {
    m_pList->installEventFilter(this);
    m_pList->viewport()->installEventFilter(this);
    for (QPushButton* b : findChildren<QPushButton*>()) b->installEventFilter(this);
}

void C1TovanWelcomeView::OnInitialUpdate() {
    CTovanCommonBaseView::OnInitialUpdate();
    SetCurrentStepIndex(0);
    HideStop();
    HideExit();
    NextButton()->setText(AppTexts::kBtnExport);
    NextButton()->setIcon(CommandIcon(QStringLiteral("export")));
}

int C1TovanWelcomeView::OnActivate() {
    m_pFrame->m_nCurrentStep = 1;
    m_pList->show();
    for (QPushButton* b : {m_btnAddFiles, m_btnAddDomino, m_btnRemove, m_btnRemoveAll}) b->show();
    HideBack();
    HideStop();
    SetCurrentStepIndex(0);
    PreviewButton()->show();
    LayoutButtons();
    return 1;
}

void C1TovanWelcomeView::resizeEvent(QResizeEvent* event) {
    CTovanCommonBaseView::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_pList->setGeometry(220, 100, qMax(0, w - 240), qMax(0, h - 190));
    m_columns->Apply();
    // Right-aligned with 10 pixels between them; a button is never narrower than its text.
    struct Slot {
        QPushButton* button;
        int width;
    };
    const Slot order[] = {{m_btnRemoveAll, 120}, {m_btnRemove, 100}, {m_btnAddDomino, 130}, {m_btnAddFiles, 110}};
    int right = w - 20;
    for (const Slot& slot : order) {
        const int bw = qMax(slot.width, slot.button->sizeHint().width());
        slot.button->setGeometry(right - bw, 50, bw, 26);
        right -= bw + 10;
    }
}

QList<NsfSourceEntry> C1TovanWelcomeView::Entries() const {
    QList<NsfSourceEntry> entries;
    for (int row = 0; row < m_pList->rowCount(); ++row) {
        const QTableWidgetItem* path = m_pList->item(row, 0);
        const QTableWidgetItem* server = m_pList->item(row, 1);
        entries.append({path ? path->text() : QString(), server ? server->text() : QString()});
    }
    return entries;
}

void C1TovanWelcomeView::InsertRowOnTop(const NsfSourceEntry& entry) {
    m_pList->insertRow(0);
    auto* path = new QTableWidgetItem(ShellFileIcon(entry.filePath), entry.filePath);
    path->setToolTip(entry.filePath);
    m_pList->setItem(0, 0, path);
    m_pList->setItem(0, 1, new QTableWidgetItem(entry.serverName));
}

void C1TovanWelcomeView::OnAddFiles() {
    AddFiles(CMessageBoxService::instance().GetOpenFileNames(this, SourceTexts::kDialogTitle,
                                                             SourceTexts::kDialogFilter));
}

void C1TovanWelcomeView::AddFiles(const QStringList& chosen) {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    const QList<NsfSourceEntry> entries = Entries();
    QList<NsfSourceEntry> added;
    for (const QString& path : chosen) {
        bool listed = false;
        for (const NsfSourceEntry& e : entries + added)
            if (e.filePath == path) listed = true;
        if (listed) {
            boxes.Information(this, path + SourceTexts::kAlreadyExists);
            continue;
        }
        if (SourcePathRules::IsAcceptedSourcePath(path)) added.append({path, QString()});
    }
    // The rows there stay as they are, in their order; each new file goes on top.
    if (!added.isEmpty()) ClearHeaderSorting(m_pList);
    for (const NsfSourceEntry& e : added) InsertRowOnTop(e);
    bool network = false;
    for (const NsfSourceEntry& e : Entries())
        if (e.serverName.isEmpty() && SourcePathRules::IsNetworkPath(e.filePath)) network = true;
    if (network) boxes.Plain(this, SourceTexts::kNetworkWarning);
}

void C1TovanWelcomeView::OnAddDominoFiles() {
    // The browser hands every "Add" to the frame's AddDominoServerFiles,
    // which comes back here as WM_ADD_SERVER_FILES.
    CDominoServerFileDlg dlg(m_pFrame, this);
    CMessageBoxService::instance().ExecDialog(dlg);
}

void C1TovanWelcomeView::AddServerFiles(const QString& serverName, const QStringList& paths) {
    for (const QString& path : paths) {
        const NsfSourceEntry entry{path, serverName};
        if (Entries().contains(entry)) continue;
        InsertRowOnTop(entry);
    }
    ClearHeaderSorting(m_pList);
}

void C1TovanWelcomeView::OnRemove() {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    if (m_pList->rowCount() == 0) {
        boxes.Information(this, SourceTexts::kNothingToRemove);
        return;
    }
    bool removed = false;
    for (int row = m_pList->rowCount() - 1; row >= 0; --row) {
        const QTableWidgetItem* item = m_pList->item(row, 0);
        if (item && item->isSelected()) {
            m_pList->removeRow(row);
            removed = true;
        }
    }
    if (!removed) boxes.Information(this, SourceTexts::kSelectToRemove);
}

void C1TovanWelcomeView::OnRemoveAll() {
    if (m_pList->rowCount() == 0) {
        CMessageBoxService::instance().Information(this, SourceTexts::kNothingToRemove);
        return;
    }
    m_pList->setRowCount(0);
}

void C1TovanWelcomeView::OnPreview() {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    if (m_pList->rowCount() == 0) {
        boxes.Information(this, SourceTexts::kNothingToPreview);
        return;
    }
    int marked = -1;
    for (int row = 0; row < m_pList->rowCount() && marked < 0; ++row)
        if (m_pList->item(row, 0) && m_pList->item(row, 0)->isSelected()) marked = row;
    if (marked < 0) {
        boxes.Information(this, SourceTexts::kSelectToPreview);
        return;
    }
    // A database on a server is previewed like a file: Step 2 opens it there.
    const NsfSourceEntry entry = Entries().at(marked);
    if (!SourcePathRules::IsAcceptedSourcePath(entry.filePath)) {
        boxes.Information(this, SourceTexts::kEnterNsf);
        return;
    }
    m_pFrame->SetSourceMode(SingleFile);
    m_pFrame->SetSourcePath(entry.filePath);
    m_pFrame->SetServerName(entry.serverName);
    m_pFrame->GoToNextStep(0);
}

void C1TovanWelcomeView::OnNext() {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    if (m_pList->rowCount() == 0) {
        boxes.Information(this, SourceTexts::kAddToExport);
        return;
    }
    CSelectDestinationDlg dlg(this);
    if (boxes.ExecDialog(dlg) != QDialog::Accepted) return;
    // The saving mode is chosen here too: cancelling it leaves Step 1 as it is.
    if (auto* step3 = qobject_cast<C3TovanSaveNsfToPst*>(m_pFrame->StepHost() ? m_pFrame->StepHost()->Page(2) : nullptr))
        if (!step3->IsRunning() && !step3->AskSavingMode(this)) return;
    QStringList paths, servers;
    for (const NsfSourceEntry& e : Entries()) {
        paths.append(e.filePath);
        servers.append(e.serverName);
    }
    m_pFrame->SetListDestRoot(dlg.OutputRoot());
    m_pFrame->SetSourceList(paths, servers);
    m_pFrame->SetSourceMode(FileList);
    m_pFrame->GoToNextStep(1);
}

QList<QWidget*> C1TovanWelcomeView::TabOrder() const {
    return {m_pList, m_btnAddFiles, m_btnAddDomino, m_btnRemove, m_btnRemoveAll, PreviewButton(), NextButton()};
}

void C1TovanWelcomeView::MoveFocus(int& tabPosition, bool forward) {
    const QList<QWidget*> order = TabOrder();
    const int n = int(order.size());
    // Hidden or disabled controls are passed over.
    for (int tries = 0; tries < n; ++tries) {
        tabPosition = forward ? (tabPosition + 1) % n : (tabPosition <= 0 ? n - 1 : tabPosition - 1);
        QWidget* next = order[tabPosition];
        if (next->isVisibleTo(this) && next->isEnabled()) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool C1TovanWelcomeView::HandleKey(int key, int& tabPosition) {
    switch (key) {
    case Qt::Key_A:
        m_btnAddFiles->setFocus();
        OnAddFiles();
        return true;
    case Qt::Key_D:
        m_btnAddDomino->setFocus();
        OnAddDominoFiles();
        return true;
    case Qt::Key_R:
        m_btnRemove->setFocus();
        OnRemove();
        return true;
    case Qt::Key_M:
        m_btnRemoveAll->setFocus();
        OnRemoveAll();
        return true;
    case Qt::Key_P:
        OnPreview();
        return true;
    case Qt::Key_E:
        OnNext();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QWidget* focus = QApplication::focusWidget();
        if (focus == m_btnAddFiles) OnAddFiles();
        else if (focus == m_btnAddDomino) OnAddDominoFiles();
        else if (focus == m_btnRemove) OnRemove();
        else if (focus == m_btnRemoveAll) OnRemoveAll();
        else if (focus == PreviewButton()) OnPreview();
        else if (focus == NextButton()) OnNext();
        else return false;
        return true;
    }
    case Qt::Key_Tab:
        tabPosition = qMax(-1, int(TabOrder().indexOf(QApplication::focusWidget())));
        MoveFocus(tabPosition, true);
        return true;
    case Qt::Key_Backtab:
        tabPosition = int(TabOrder().indexOf(QApplication::focusWidget()));
        MoveFocus(tabPosition, false);
        return true;
    default:
        return false;
    }
}

bool C1TovanWelcomeView::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+click and Shift+click pick several rows and Ctrl+A picks them all: with
    // Ctrl held, keys and clicks go to the list and the menus' shortcuts.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (!(mods & (Qt::ControlModifier | Qt::MetaModifier)) && HandleKey(key->key(), m_nPageTabPosition))
            return true;
    }
    return CTovanCommonBaseView::eventFilter(watched, event);
}

void C1TovanWelcomeView::OnStepKey(int message, int key) {
    (void)message;
    HandleKey(key, m_nForwardedTabPosition);
}

bool C1TovanWelcomeView::event(QEvent* event) {
    switch (static_cast<int>(event->type())) {
    case WM_CMD_ADD_FILES:
        OnAddFiles();
        return true;
    case WM_CMD_ADD_DOMINO_FILES:
        OnAddDominoFiles();
        return true;
    case WM_CMD_EXPORT:
        OnNext();
        return true;
    case WM_ADD_SERVER_FILES: {
        auto* ev = static_cast<CStepEvent*>(event);
        AddServerFiles(ev->wParam.toString(), ev->lParam.toStringList());
        return true;
    }
    default:
        return CTovanCommonBaseView::event(event);
    }
}

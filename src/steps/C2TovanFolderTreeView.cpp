#include "steps/C2TovanFolderTreeView.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/GuiResources.h"
#include "app/StepPages.h"
#include "app/WindowMessages.h"
#include "export/IDocumentExporter.h"
#include "steps/CFolderTreeWidget.h"
#include "steps/CItemListGrid.h"
#include "steps/CItemSaveRun.h"
#include "steps/CNotesWorkerThread.h"
#include "steps/CPreviewPane.h"
#include "steps/CProgressWaitDlg.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSavingItemsDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/C3TovanSaveNsfToPst.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/FolderTreeTexts.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QTextBrowser>

CTovanCommonBaseView* CreateStepTwoPage(CMainFrame* frame) { return new C2TovanFolderTreeView(frame); }

namespace {
// The folder last clicked, for the life of the process.
QString g_currentFolderName;

QString WithSlash(const QString& path) {
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}
}  // namespace

QString C2TovanFolderTreeView::CurrentFolderName() { return g_currentFolderName; }

C2TovanFolderTreeView::C2TovanFolderTreeView(CMainFrame* frame)
    : CTovanCommonBaseView(frame, AppTexts::kPageTitle[1]),
      m_pTree(new CFolderTreeWidget),
      m_pList(new CItemListGrid),
      m_pPreview(new CPreviewPane),
      m_pOuter(new QSplitter(Qt::Horizontal, this)),
      m_pRight(new QSplitter(Qt::Vertical)),
      m_pIcon(new QLabel(this)),
      m_btnSaveAll(new QPushButton(FolderTreeTexts::kSaveAll, this)),
      m_btnSaveSelected(new QPushButton(FolderTreeTexts::kSaveSelected, this)),
      m_pSavingDlg(new CSavingItemsDlg(this)),
      m_asker(this) {
    setObjectName(QStringLiteral("Step2"));
    m_pOuter->setObjectName(QStringLiteral("OuterSplitter"));
    m_pOuter->addWidget(m_pTree);
    m_pRight->addWidget(m_pList);
    m_pRight->addWidget(m_pPreview);
    m_pOuter->addWidget(m_pRight);
    m_pOuter->setStretchFactor(0, 0);
    m_pOuter->setStretchFactor(1, 1);
    m_pOuter->setSizes({190, 740});
    m_pRight->setStretchFactor(0, 1);
    m_pRight->setStretchFactor(1, 1);
    m_pRight->setSizes({500, 400});
    m_pOuter->setChildrenCollapsible(false);
    m_pRight->setChildrenCollapsible(false);
    m_pTree->SetPauseGate(&m_gate);
    m_pList->SetPauseGate(&m_gate);
    // Splitter places as the user left them.
    QSettings settings(AppTexts::kRegistryKey, AppTexts::kSettingsApplication);
    m_pOuter->restoreState(settings.value(AppTexts::kSettingsFolderSplitter).toByteArray());
    m_pRight->restoreState(settings.value(AppTexts::kSettingsItemSplitter).toByteArray());

    m_pIcon->setPixmap(CFolderTreeWidget::FolderIcon(2).pixmap(32, 32));
    m_pIcon->setGeometry(250, 5, 32, 32);
    m_btnSaveAll->setObjectName(QStringLiteral("SaveAll"));
    m_btnSaveSelected->setObjectName(QStringLiteral("SaveSelected"));
    m_btnSaveAll->setToolTip(FolderTreeTexts::kSaveAllTip);
    m_btnSaveSelected->setToolTip(FolderTreeTexts::kSaveSelectedTip);
    for (QPushButton* b : {m_btnSaveAll, m_btnSaveSelected}) {
        b->setFixedSize(100, 28);
        b->setAutoDefault(false);
    }
    // Tab goes through every control of the page in reading order.
    m_pTree->setFocusPolicy(Qt::StrongFocus);
    m_pList->setFocusPolicy(Qt::StrongFocus);
    m_pPreview->Viewer()->setTabChangesFocus(true);
    QWidget* chain[] = {m_pTree, m_pList, m_pPreview->Viewer(), m_btnSaveAll, m_btnSaveSelected, BackButton(),
                        NextButton()};
    for (size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
    connect(m_btnSaveAll, &QPushButton::clicked, this, [this] { OnSaveItems(false); });
    connect(m_btnSaveSelected, &QPushButton::clicked, this, [this] { OnSaveItems(true); });

    // The tree and the list talk to the view through its window messages.
    connect(m_pTree, &CFolderTreeWidget::folderClicked, this, [this](const QString& path) {
        CStepEvent ev(WM_FOLDER_CLICKED, path);
        QCoreApplication::sendEvent(this, &ev);
    });
    connect(m_pList, &CItemListGrid::itemClicked, this, [this](quint32 noteId, int row) {
        CStepEvent ev(WM_ITEM_CLICKED, noteId, row);
        QCoreApplication::sendEvent(this, &ev);
    });

    m_pFrame->Notes().largeBodyQuestion = &m_asker;
}

C2TovanFolderTreeView::~C2TovanFolderTreeView() {
    // Tear-down: raise the flags, let the workers wind down and wait for them.
    CNotesConverter& notes = m_pFrame->Notes();
    notes.cancelRequested = 1;
    m_pSavingDlg->SetStopFlag(1);
    m_asker.Abort();
    m_gate.Open();
    JoinWorkers();
    if (m_pWordExporter) m_pWordExporter->ShutdownWord();
    m_pWordExporter.reset();
    if (notes.folderTree == m_pTree) notes.folderTree = nullptr;
    if (notes.largeBodyQuestion == &m_asker) notes.largeBodyQuestion = nullptr;
    notes.cancelRequested = 0;
    if (m_bSaveWork) m_pFrame->m_bSaving = 0;
}

void C2TovanFolderTreeView::SaveLayout(QSettings& settings) const {
    settings.setValue(AppTexts::kSettingsFolderSplitter, m_pOuter->saveState());
    settings.setValue(AppTexts::kSettingsItemSplitter, m_pRight->saveState());
}

void C2TovanFolderTreeView::JoinWorkers() {
    if (m_hFolderThread) {
        m_hFolderThread->wait();
        m_hFolderThread.reset();
    }
    if (m_hListThread) {
        m_hListThread->wait();
        m_hListThread.reset();
    }
}

void C2TovanFolderTreeView::OnInitialUpdate() {
    CTovanCommonBaseView::OnInitialUpdate();
    SetCurrentStepIndex(1);
    NextButton()->setText(AppTexts::kBtnExport);
    NextButton()->setIcon(CommandIcon(QStringLiteral("export")));
    HideExit();
    HideStop();
}

bool C2TovanFolderTreeView::IsWorking() const { return m_bFolderWork || m_bListWork || m_bSaveWork; }

bool C2TovanFolderTreeView::WaitForIdle(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (!IsWorking()) return true;
        QThread::msleep(2);
    }
    return false;
}

void C2TovanFolderTreeView::SetWorkControlsEnabled(bool enabled) {
    m_btnSaveSelected->setEnabled(enabled);
    m_btnSaveAll->setEnabled(enabled);
    m_pIcon->setEnabled(enabled);
    m_pOuter->handle(1)->setEnabled(enabled);
    m_pRight->handle(1)->setEnabled(enabled);
    BackButton()->setEnabled(enabled);
    NextButton()->setEnabled(enabled);
}

// ---------------------------------------------------------------- folders

int C2TovanFolderTreeView::OnActivate() {
    m_pFrame->m_nCurrentStep = 2;
    if (IsWorking()) return 1;  // the work under way carries on
    // Whether an office is there is found out while the user looks around,
    // not when the destination is asked for.
    m_pFrame->PrefetchWordCheck();
    JoinWorkers();
    CNotesConverter& notes = m_pFrame->Notes();
    m_pTree->ClearTree();
    m_pList->ClearRows();
    m_pPreview->ClearFields();
    m_pPreview->SetMessage(FolderTreeTexts::MsgEnumerating);
    notes.cancelRequested = 1;
    notes.cancelRequested = 0;

    // What the folder thread does first, done here before it starts.
    m_pList->setEnabled(false);
    m_pTree->setEnabled(false);
    NextButton()->setEnabled(false);
    HideBack();
    HideNext();
    HideStop();
    LayoutButtons();
    m_pFrame->ShowProgress(FolderTreeTexts::kEnumerating);

    m_bBusy = 1;
    m_bFolderWork = true;
    QPointer<C2TovanFolderTreeView> self(this);
    CMainFrame* frame = m_pFrame;
    CFolderTreeWidget* tree = m_pTree;
    m_hFolderThread = std::make_unique<CNotesWorkerThread>([self, frame, tree] {
        CNotesConverter& n = frame->Notes();
        n.folderTree = tree;
        QStringList folders;
        const bool ok = frame->EnumerateFolders(folders, 0) != 0;
        n.folderTree = nullptr;
        const QString error = ok ? QString() : n.lastErrorText;
        const bool cancelled = n.cancelRequested != 0;
        // The node of every document is no folder of the database.
        const int listed = int(folders.size()) - ((!folders.isEmpty() && n.IsEveryDocumentFolder(folders.back())) ? 1 : 0);
        QMetaObject::invokeMethod(
            tree, [self, ok, error, cancelled, listed] { if (self) self->OnFolderThreadEnd(ok, error, cancelled, listed); },
            Qt::QueuedConnection);
    });
    m_hFolderThread->start(QThread::NormalPriority);
    m_bBusy = 0;
    return 1;
}

void C2TovanFolderTreeView::OnFolderThreadEnd(bool ok, const QString& error, bool cancelled, int listed) {
    if (m_hFolderThread) m_hFolderThread->wait();
    m_hFolderThread.reset();
    m_bFolderWork = false;
    const bool nothingListed = m_pTree->topLevelItemCount() == 0 ||
                               (m_pTree->RootItem() && m_pTree->RootItem()->childCount() == 0);
    if (!ok && !cancelled && nothingListed) {
        // The source could not be opened: there is nothing to browse, so the
        // wizard goes back to the source list, which still shows the file.
        m_pFrame->HideProgress();
        m_pFrame->Notes().cancelRequested = 0;
        m_pTree->setEnabled(true);
        m_pList->setEnabled(true);
        ShowNext();
        ShowBack();
        HideStop();
        LayoutButtons();
        NextButton()->setEnabled(true);
        m_pFrame->GoToNextStep(-1);
        if (!error.isEmpty()) CMessageBoxService::instance().Plain(m_pFrame, error);
        return;
    }
    if (!ok && !error.isEmpty()) CMessageBoxService::instance().Plain(this, error);
    if (QTreeWidgetItem* root = m_pTree->RootItem()) root->setExpanded(true);
    ShowNext();
    ShowBack();
    HideStop();
    LayoutButtons();
    NextButton()->setEnabled(true);
    m_pFrame->HideProgress();
    m_pTree->setEnabled(true);
    if (ok && listed == 0) {
        // Nothing to show: say so, and where views can be turned into folders.
        m_pPreview->SetMessage(m_pFrame->Notes().showViewFolders ? FolderTreeTexts::MsgNoFoldersOrViews
                                                                 : FolderTreeTexts::MsgNoFolders);
    } else {
        m_pPreview->SetMessage(FolderTreeTexts::MsgSelectItem);
    }
    m_pFrame->Notes().cancelRequested = 0;
    m_pList->setEnabled(true);
    update();
}

// ---------------------------------------------------------------- items

void C2TovanFolderTreeView::OnFolderClicked(const QString& path) {
    if (IsWorking()) return;
    JoinWorkers();
    CNotesConverter& notes = m_pFrame->Notes();
    notes.cancelRequested = 0;
    g_currentFolderName = path;
    if (QTreeWidgetItem* node = m_pTree->FindPath(path)) m_pTree->setCurrentItem(node);
    HideBack();
    HideNext();
    HideStop();
    LayoutButtons();
    m_pTree->setEnabled(false);
    m_pPreview->ClearFields();
    m_pPreview->SetMessage(FolderTreeTexts::MsgFillingList);
    m_pList->ClearRows();
    m_pList->setEnabled(false);
    m_bItemsReady = 0;
    SetWorkControlsEnabled(false);
    m_pFrame->ShowProgress(QString());

    m_bListWork = true;
    QPointer<C2TovanFolderTreeView> self(this);
    CMainFrame* frame = m_pFrame;
    CItemListGrid* list = m_pList;
    m_hListThread = std::make_unique<CNotesWorkerThread>([self, frame, list, path] {
        frame->ListFolderItems(path, list);
        QMetaObject::invokeMethod(
            list, [self] { if (self) self->OnListThreadEnd(); }, Qt::QueuedConnection);
    });
    m_hListThread->start(QThread::NormalPriority);
}

void C2TovanFolderTreeView::OnListThreadEnd() {
    if (m_hListThread) m_hListThread->wait();
    m_hListThread.reset();
    m_bListWork = false;
    m_pList->FinishFilling();
    m_pPreview->SetMessage(m_pList->rowCount() == 0 ? FolderTreeTexts::MsgNoItem : FolderTreeTexts::MsgSelectItem);
    m_pTree->setEnabled(true);
    m_pList->setEnabled(true);
    ShowBack();
    ShowNext();
    HideStop();
    LayoutButtons();
    m_bItemsReady = 1;
    SetWorkControlsEnabled(true);
    m_pFrame->Notes().cancelRequested = 0;
    m_pFrame->HideProgress();
    update();
}

void C2TovanFolderTreeView::OnItemClicked(quint32 noteId, int rowNumber) {
    if (IsWorking()) return;  // the database is in use by a worker
    m_pPreview->ClearFields();
    m_pPreview->SetMessage(FolderTreeTexts::MsgGenerating);
    m_pPreview->repaint();

    QString result;
    int type = 5;
    QStringList names, sizes;
    m_pFrame->RenderItem(noteId, 0, CNotesConverter::RenderPreview, result, type, names, sizes);
    m_strPreviewText = result;

    m_pPreview->SetHeader(QString(), QString(), QString(), QString(), QString());
    m_pPreview->SetItemType(type);
    const int row = rowNumber - 1;
    m_strSubject = m_pList->Cell(row, 1);
    m_strFrom = m_pList->Cell(row, 0);
    m_strDate = m_pList->Cell(row, 2);
    m_strAttachment = m_pList->Cell(row, 4);
    // Nothing to show: the pane keeps its message (a document of another form, 6, shows its fields).
    if ((type < 0 || type > 4) && type != 6) return;
    m_pPreview->SetContent(m_strPreviewText);
    if (type == 0 || type == 4)
        m_pPreview->SetHeader(m_strSubject, m_strFrom, m_strDate, m_strSubject, m_strAttachment);
    else
        m_pPreview->SetAttachmentCell(m_strAttachment);
    m_pPreview->Render(names, sizes);
}

// ---------------------------------------------------------------- export

void C2TovanFolderTreeView::OnNext() {
    if (m_bBusy || IsWorking()) return;
    CMessageBoxService& boxes = CMessageBoxService::instance();
    const QStringList ticked = m_pTree->TickedFolders();
    if (ticked.isEmpty()) {
        boxes.Information(this, FolderTreeTexts::kSelectFolderToExport);
        return;
    }
    if (!m_pFrame->CheckWordAvailable()) {
        boxes.Information(this, FolderTreeTexts::kWordMissing);
        return;
    }
    CSelectDestinationDlg dlg(this);
    if (boxes.ExecDialog(dlg) != QDialog::Accepted) return;
    // The saving mode is chosen here too: cancelling it leaves Step 2 as it is, ticks and all.
    if (auto* step3 = qobject_cast<C3TovanSaveNsfToPst*>(m_pFrame->StepHost() ? m_pFrame->StepHost()->Page(2) : nullptr))
        if (!step3->IsRunning() && !step3->AskSavingMode(this)) return;
    m_pFrame->SetDestinationPath(dlg.FolderPath());
    m_pFrame->SetDestinationName(dlg.NewFolderName());
    m_pFrame->SetSelectedFolders(ticked);
    m_pFrame->GoToNextStep(1);
}

void C2TovanFolderTreeView::OnBack() { m_pFrame->GoToNextStep(-1); }

// ---------------------------------------------------------------- item save

void C2TovanFolderTreeView::OnSaveItems(bool selectedOnly) {
    if (m_bBusy || IsWorking()) return;
    CMessageBoxService& boxes = CMessageBoxService::instance();
    const int n = m_pList->rowCount();
    if (n == 0) {
        boxes.Information(this, FolderTreeTexts::kNoItemsToSave);
        return;
    }
    if (selectedOnly && m_pList->SelectedCellCount() == 0) {
        boxes.Information(this, FolderTreeTexts::kSelectItems);
        return;
    }
    if (!m_pFrame->CheckWordAvailable()) {
        boxes.Information(this, FolderTreeTexts::kWordMissing);
        return;
    }
    CSelectDestinationDlg destination(this);
    if (boxes.ExecDialog(destination) != QDialog::Accepted) return;
    const QString base = WithSlash(destination.FolderPath());
    const QString name = destination.NewFolderName();
    CSavingModeDlg modeDlg(this);
    if (boxes.ExecDialog(modeDlg) != QDialog::Accepted) return;

    if (!m_pWordExporter) m_pWordExporter = m_pFrame->CreateWordExporter();
    if (!m_pWordExporter) {
        boxes.Information(this, FolderTreeTexts::kWordMissing);
        return;
    }
    m_pWordExporter->SetRootFolder(base);
    if (!m_pWordExporter->SetOutputFolder(name + QLatin1Char('/'))) return;
    m_nItemSavingMode = modeDlg.Mode();
    m_pFrame->Notes().savingMode = m_nItemSavingMode;
    m_pFrame->Notes().outputOptions = modeDlg.Output();

    // The rows, taken now: the list does not change while the save runs.
    auto run = std::make_shared<CItemSaveRun>();
    run->frame = m_pFrame;
    run->exporter = m_pWordExporter.get();
    run->savingMode = m_nItemSavingMode;
    run->folderName = g_currentFolderName;
    run->gate = &m_gate;
    for (int r = 0; r < n; ++r) {
        if (selectedOnly && !m_pList->RowChosen(r)) continue;
        run->rows.append({m_pList->NoteIdOf(r), m_pList->Cell(r, 0), m_pList->Cell(r, 1), m_pList->Cell(r, 2),
                          m_pList->Cell(r, 4)});
    }
    m_bBusy = 1;
    m_bItemSaveStop = 0;
    m_bItemSaveAborted = 0;
    m_bItemsReady = 0;
    SetWorkControlsEnabled(false);
    m_pList->setEnabled(false);
    m_pTree->setEnabled(false);
    m_pSavingDlg->Begin();
    m_pFrame->m_bSaving = 1;
    m_bSaveWork = true;

    QPointer<C2TovanFolderTreeView> self(this);
    CSavingItemsDlg* dlg = m_pSavingDlg;
    IDocumentExporter* exporter = m_pWordExporter.get();
    run->stopRequested = [dlg] { return dlg->StopFlag() != 0; };
    run->progress = [dlg](int percent) {
        QMetaObject::invokeMethod(dlg, [dlg, percent] { dlg->SetPosition(percent); }, Qt::QueuedConnection);
    };
    m_hFolderThread = std::make_unique<CNotesWorkerThread>([self, run, exporter, dlg] {
        int written = 0;
        int attempted = int(run->rows.size());
        if (exporter->StartWord()) {
            written = run->Run();
            attempted = run->Attempted();
        } else {
            const QString why = exporter->LastFailure().isEmpty() ? QStringLiteral("the office did not start")
                                                                  : exporter->LastFailure();
            run->FailAll(why);
        }
        exporter->ShutdownWord();
        const bool aborted = run->Aborted();
        QMetaObject::invokeMethod(
            dlg,
            [self, run, aborted, written, attempted] {
                if (!self) return;
                self->m_itemSaveFailures = run->Failures();
                self->OnItemSaveEnd(aborted, written, attempted);
            },
            Qt::QueuedConnection);
    });
    m_hFolderThread->start(QThread::NormalPriority);
}

void C2TovanFolderTreeView::OnItemSaveEnd(bool aborted, int written, int attempted) {
    if (m_hFolderThread) m_hFolderThread->wait();
    m_hFolderThread.reset();
    m_bItemSaveStop = aborted ? 1 : 0;
    m_bItemSaveAborted = aborted ? 1 : 0;
    m_pSavingDlg->End();
    m_pFrame->m_bSaving = 0;
    const QString location = m_pWordExporter ? m_pWordExporter->GetOutputFolder() : QString();
    SaveRunRules::RunFacts facts;
    facts.stopped = aborted;
    facts.found = attempted;
    facts.written = written;
    facts.failures = int(m_itemSaveFailures.size());
    QString caption = FolderTreeTexts::kCaptionComplete;
    switch (SaveRunRules::JudgeRun(facts)) {
    case SaveRunRules::RunEnd::Aborted: caption = FolderTreeTexts::kCaptionAborted; break;
    case SaveRunRules::RunEnd::NothingSaved: caption = SaveTexts::kCaptionNothingSaved; break;
    case SaveRunRules::RunEnd::CompleteWithErrors: caption = SaveTexts::kCaptionWithErrors; break;
    case SaveRunRules::RunEnd::Complete: break;
    }
    CSaveCompleteDlg done(caption, location, m_itemSaveFailures, this, attempted, written);
    done.SetFormatName(m_pFrame->Notes().outputOptions.format);
    CMessageBoxService::instance().ExecDialog(done);
    m_bItemsReady = 1;
    SetWorkControlsEnabled(true);
    m_pList->setEnabled(true);
    m_pTree->setEnabled(true);
    m_bSaveWork = false;
    m_bBusy = 0;
}

// ---------------------------------------------------------------- stop and keys

void C2TovanFolderTreeView::OnStop() {
    if (m_bSaveWork) {  // the item save has a Stop of its own
        if (m_pSavingDlg->isVisible()) m_pSavingDlg->OnStop();
        return;
    }
    if (!m_bFolderWork && !m_bListWork) return;
    m_gate.Close();  // the workers wait at their next checkpoint while the question is open
    const bool yes = CMessageBoxService::instance().Question(this, FolderTreeTexts::kStopQuestion);
    if (yes) m_pFrame->Notes().cancelRequested = 1;
    m_gate.Open();
}

void C2TovanFolderTreeView::StopByKey() {
    CProgressWaitDlg* wait = m_pFrame->ProgressWaitDialog();
    if (wait && wait->isVisible()) {
        CStepEvent ev(WM_STEP_STOP);
        QCoreApplication::sendEvent(this, &ev);
    } else if (m_pSavingDlg->isVisible()) {
        m_pSavingDlg->OnStop();
    }
}

void C2TovanFolderTreeView::OnStepKey(int message, int key) {
    (void)message;
    switch (key) {
    case Qt::Key_S:
        if (m_bItemsReady) OnSaveItems(true);
        return;
    case Qt::Key_V:
        if (m_bItemsReady) OnSaveItems(false);
        return;
    case Qt::Key_E:
        if (m_bItemsReady) OnNext();
        return;
    case Qt::Key_T:
        StopByKey();
        return;
    default: break;
    }
    if (message == WM_SYSKEYDOWN) return;
    switch (key) {
    case Qt::Key_Tab: {
        QWidget* order[] = {m_pTree, m_pList, m_pPreview->Viewer(), m_btnSaveAll, m_btnSaveSelected, BackButton(),
                            NextButton()};
        const int n = int(std::size(order));
        for (int tries = 0; tries < n; ++tries) {
            m_nTabPosition = (m_nTabPosition + 1) % n;
            if (order[m_nTabPosition]->isVisibleTo(this) && order[m_nTabPosition]->isEnabled()) break;
        }
        order[m_nTabPosition]->setFocus(Qt::TabFocusReason);
        break;
    }
    case Qt::Key_Left: BackButton()->setFocus(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        QWidget* focus = QApplication::focusWidget();
        if (focus == m_btnSaveAll && m_btnSaveAll->isEnabled()) OnSaveItems(false);
        else if (focus == m_btnSaveSelected && m_btnSaveSelected->isEnabled()) OnSaveItems(true);
        else if (focus == BackButton() && BackButton()->isVisible()) OnBack();
        else if (focus == NextButton() && NextButton()->isVisible()) OnNext();
        break;
    }
    default: break;
    }
}

// ---------------------------------------------------------------- messages and layout

bool C2TovanFolderTreeView::event(QEvent* event) {
    const int type = event->type();
    if (type == WM_FOLDER_CLICKED) {
        OnFolderClicked(static_cast<CStepEvent*>(event)->wParam.toString());
        return true;
    }
    if (type == WM_ITEM_CLICKED) {
        auto* ev = static_cast<CStepEvent*>(event);
        OnItemClicked(ev->wParam.toUInt(), ev->lParam.toInt());
        return true;
    }
    if (type == WM_CMD_EXPORT) {
        if (NextButton()->isVisible()) OnNext();
        return true;
    }
    return CTovanCommonBaseView::event(event);
}

void C2TovanFolderTreeView::paintEvent(QPaintEvent* event) {
    CTovanCommonBaseView::paintEvent(event);
    QPainter p(this);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(QColor(40, 70, 120));
    p.drawText(QRect(286, 20, qMax(0, width() - 420), 24), Qt::AlignLeft | Qt::AlignTop,
               FolderTreeTexts::kClickFolder);
}

void C2TovanFolderTreeView::resizeEvent(QResizeEvent* event) {
    CTovanCommonBaseView::resizeEvent(event);
    const int cx = width();
    const int cy = height();
    m_pOuter->setGeometry(203, 53, qMax(0, cx - 329), qMax(0, cy - 116));
    m_pIcon->setGeometry(250, 5, 32, 32);
    m_btnSaveAll->setGeometry(cx - 115, 65, 100, 28);
    m_btnSaveSelected->setGeometry(cx - 115, 103, 100, 28);
}

#include "steps/C3TovanSaveNsfToPst.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/StepPages.h"
#include "app/WindowMessages.h"
#include "steps/CAdvanceSettingsDlg.h"
#include "steps/CLongPathDestinationDlg.h"
#include "steps/CProgressBarAdapter.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSaveThread.h"
#include "steps/CSavingModeDlg.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"
#include "widgets/ListColumns.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStyle>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>

CTovanCommonBaseView* CreateStepThreePage(CMainFrame* frame) { return new C3TovanSaveNsfToPst(frame); }

C3TovanSaveNsfToPst::C3TovanSaveNsfToPst(CMainFrame* frame)
    : CTovanCommonBaseView(frame, AppTexts::kPageTitle[2]),
      m_pList(new QTableWidget(0, 3, this)),
      m_pStatus(new QLabel(this)),
      m_pItemProgressBar(new QProgressBar(this)),
      m_pItemStatusBar(new QProgressBar(this)),
      m_pFolderBar(new QProgressBar(this)),
      m_pFileBar(new QProgressBar(this)),
      m_btnOpenFolder(new QPushButton(SaveTexts::kOpenFolder, this)),
      m_pDateRange(new QLabel(this)) {
    m_pDateRange->setObjectName(QStringLiteral("DateRange"));
    m_pDateRange->setAlignment(Qt::AlignCenter);
    m_pDateRange->hide();
    setObjectName(QStringLiteral("Step3"));
    m_pList->setObjectName(QStringLiteral("SourceList"));
    m_pList->setHorizontalHeaderLabels({SaveTexts::kColFileName, SaveTexts::kColStatus, SaveTexts::kColServer});
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setTabKeyNavigation(false);
    m_pList->setWordWrap(false);
    m_pList->setTextElideMode(Qt::ElideMiddle);
    m_pList->verticalHeader()->hide();
    m_columns = std::make_unique<CColumnShares>(m_pList, QList<int>{0, 25, 20}, 0, QList<int>{0, 150, 120});
    m_pList->hide();

    m_pFileBar->setObjectName(QStringLiteral("FileBar"));
    m_btnOpenFolder->setObjectName(QStringLiteral("OpenFolder"));
    m_btnOpenFolder->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_btnOpenFolder->setToolTip(SaveTexts::kOpenFolderTip);
    m_btnOpenFolder->setAutoDefault(false);
    m_btnOpenFolder->hide();
    connect(m_btnOpenFolder, &QPushButton::clicked, this, &C3TovanSaveNsfToPst::OnOpenFolder);
    QWidget* chain[] = {m_pList, m_btnOpenFolder, ExitButton(), BackButton(), NextButton()};
    for (size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);

    m_pStatus->setAlignment(Qt::AlignCenter);
    m_pStatus->setAutoFillBackground(true);
    m_pStatus->setWordWrap(true);
    QPalette pal = m_pStatus->palette();
    pal.setColor(QPalette::Window, QColor(255, 254, 239));
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_pStatus->setPalette(pal);
    QFont bold = m_pStatus->font();
    bold.setBold(true);
    m_pStatus->setFont(bold);
    m_pStatus->setFrameShape(QFrame::StyledPanel);
    m_pStatus->hide();

    for (QProgressBar* bar : {m_pItemProgressBar, m_pItemStatusBar, m_pFolderBar, m_pFileBar}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(true);
        bar->setAlignment(Qt::AlignCenter);
        bar->hide();
    }
    m_pItemProgressAdapter = std::make_unique<CProgressBarAdapter>(m_pItemProgressBar, &m_gate);
    m_pItemStatusAdapter = std::make_unique<CProgressBarAdapter>(m_pItemStatusBar, &m_gate);
    m_pFolderAdapter = std::make_unique<CProgressBarAdapter>(m_pFolderBar, &m_gate);
}

C3TovanSaveNsfToPst::~C3TovanSaveNsfToPst() { TearDown(); }

void C3TovanSaveNsfToPst::TearDown() {
    CNotesConverter& notes = m_pFrame->Notes();
    if (m_hSaveThread) {
        // Raise the stop flags and wait for the worker to wind down; it is never killed.
        notes.cancelRequested = 1;
        m_bStopSaving = 1;
        m_hSaveThread->AbortUiWaits();
        m_gate.Open();
        m_hSaveThread->wait();
        m_hSaveThread.reset();
        m_bStopSaving = 0;
        m_pFrame->m_bSaving = 0;
    }
    if (notes.itemProgressBar == m_pItemProgressAdapter.get()) notes.itemProgressBar = nullptr;
    if (notes.itemStatusBar == m_pItemStatusAdapter.get()) notes.itemStatusBar = nullptr;
}

void C3TovanSaveNsfToPst::OnInitialUpdate() {
    CTovanCommonBaseView::OnInitialUpdate();
    SetCurrentStepIndex(2);
    HideStop();
}

void C3TovanSaveNsfToPst::resizeEvent(QResizeEvent* event) {
    CTovanCommonBaseView::resizeEvent(event);
    // From the bottom up, above the wizard buttons: the file bar of a list export,
    // the folder bar, the two item bars, the status line; the source list takes
    // the height that is left, so it shows its rows at any window size.
    const int h = height();
    const int w = qMax(0, width() - 300);
    m_pFileBar->setGeometry(250, h - 90, w, 20);
    m_pFolderBar->setGeometry(250, h - 120, w, 20);
    m_pItemStatusBar->setGeometry(250, h - 150, w, 20);
    m_pItemProgressBar->setGeometry(250, h - 180, w, 20);
    m_pStatus->setGeometry(250, h - 230, w, 40);
    m_pDateRange->setGeometry(250, h - 252, w, 20);
    m_pList->setGeometry(250, 20, w, qMax(0, h - 262));
    m_columns->Apply();
    m_btnOpenFolder->setGeometry(250, h - 50, qMax(130, m_btnOpenFolder->sizeHint().width()), 30);
}

bool C3TovanSaveNsfToPst::IsRunning() const { return m_hSaveThread && !m_bRunEnded; }

void C3TovanSaveNsfToPst::SetBarsVisible(bool visible) {
    for (QProgressBar* bar : {m_pItemProgressBar, m_pItemStatusBar, m_pFolderBar}) bar->setVisible(visible);
    m_pFileBar->setVisible(visible && m_pFrame->SourceMode() == FileList);
}

void C3TovanSaveNsfToPst::OnFileProgress(int number, int total) {
    m_pFileBar->setValue(SaveRunRules::FolderBarPosition(number - 1, total));
    m_pFileBar->setFormat(SaveTexts::kFileBar.arg(number).arg(total));
}

void C3TovanSaveNsfToPst::OnOpenFolder() {
    if (!m_strOutputLocation.isEmpty() && QFileInfo(m_strOutputLocation).isDir())
        CMessageBoxService::instance().OpenUrl(m_strOutputLocation);
}

void C3TovanSaveNsfToPst::SetIdle() {
    HideStop();
    ShowNext();
    ShowBack();
    ShowExit();
    LayoutButtons();
}

int C3TovanSaveNsfToPst::OnActivate() {
    m_pFrame->m_nCurrentStep = 3;
    SetCurrentStepIndex(2);
    if (IsRunning()) return 1;  // a run is still going: nothing new starts
    m_pStatus->hide();
    SetBarsVisible(false);
    for (QProgressBar* bar : {m_pItemProgressBar, m_pItemStatusBar, m_pFolderBar, m_pFileBar}) {
        bar->setValue(0);
        bar->setFormat(QStringLiteral("%p%"));
    }
    m_btnOpenFolder->hide();
    m_strOutputLocation.clear();
    m_pList->hide();
    m_pList->setRowCount(0);
    HideNext();
    HideBack();
    HideExit();
    ShowStop();
    LayoutButtons();

    CMessageBoxService& boxes = CMessageBoxService::instance();
    boxes.Information(this, SaveTexts::kCloseWord);

    CSavingModeDlg modeDlg(this);
    if (boxes.ExecDialog(modeDlg) != QDialog::Accepted) {
        SetIdle();
        m_pFrame->m_bSaving = 0;
        return 1;
    }
    CNotesConverter& notes = m_pFrame->Notes();
    notes.savingMode = modeDlg.Mode();
    notes.outputOptions = modeDlg.Output();
    m_bStopSaving = 0;
    m_gate.Open();
    m_pFrame->ClearFailedItems();
    notes.itemProgressBar = m_pItemProgressAdapter.get();
    notes.itemStatusBar = m_pItemStatusAdapter.get();

    if (m_hSaveThread) {
        m_hSaveThread->wait();
        m_hSaveThread.reset();
    }
    CSaveThread::Context ctx;
    ctx.frame = m_pFrame;
    ctx.stopSaving = &m_bStopSaving;
    ctx.gate = &m_gate;
    ctx.folderBar = m_pFolderAdapter.get();
    ctx.settleMs = m_nSettleMs;
    ctx.everyDocument = CAdvanceSettingsDlg::ReadEveryDocument();
    ctx.askLongPath = [this](const QString& stored, QString* folder, QString* name) {
        return AskLongPath(stored, folder, name);
    };
    ShowDateRange(notes.dateRange);
    m_hSaveThread = std::make_unique<CSaveThread>(ctx, this);
    CSaveThread* thread = m_hSaveThread.get();
    connect(thread, &CSaveThread::runStarted, this, &C3TovanSaveNsfToPst::OnRunStarted);
    connect(thread, &CSaveThread::statusText, m_pStatus, &QLabel::setText);
    connect(thread, &CSaveThread::barsVisible, this, &C3TovanSaveNsfToPst::SetBarsVisible);
    connect(thread, &CSaveThread::listVisible, m_pList, &QWidget::setVisible);
    connect(thread, &CSaveThread::rowsReset, this, &C3TovanSaveNsfToPst::OnRowsReset);
    connect(thread, &CSaveThread::rowStatus, this, &C3TovanSaveNsfToPst::OnRowStatus);
    connect(thread, &CSaveThread::fileProgress, this, &C3TovanSaveNsfToPst::OnFileProgress);
    connect(thread, &CSaveThread::runFinished, this, &C3TovanSaveNsfToPst::OnRunFinished);
    m_bRunEnded = false;
    m_pFrame->m_bSaving = 1;  // closing is refused from here on, before the thread runs
    thread->start(QThread::NormalPriority);
    m_pStatus->show();
    return 1;
}

void C3TovanSaveNsfToPst::ShowDateRange(const ItemDateRange& range) {
    if (!range.isActive()) {
        m_pDateRange->hide();
        return;
    }
    const auto day = [](const QDate& d) {
        return d.isValid() ? d.toString(Qt::ISODate) : SaveTexts::kDateRangeOpen;
    };
    m_pDateRange->setText(SaveTexts::kDateRangeActive.arg(day(range.since), day(range.until)));
    m_pDateRange->show();
}

void C3TovanSaveNsfToPst::OnRunStarted() {
    HideNext();
    HideBack();
    HideExit();
    ShowStop();
    LayoutButtons();
    update();
}

void C3TovanSaveNsfToPst::OnRowsReset(const QStringList& paths, const QStringList& servers) {
    m_pList->setRowCount(0);
    for (int i = 0; i < paths.size(); ++i) {
        m_pList->insertRow(i);
        m_pList->setItem(i, 0, new QTableWidgetItem(paths[i]));
        m_pList->setItem(i, 1, new QTableWidgetItem(SaveTexts::kPending));
        m_pList->setItem(i, 2, new QTableWidgetItem(servers.value(i)));
    }
}

void C3TovanSaveNsfToPst::OnRowStatus(int row, const QString& status) {
    if (row < 0 || row >= m_pList->rowCount()) return;
    if (QTableWidgetItem* item = m_pList->item(row, 1)) {
        item->setText(status);
        const bool bad = status == SaveTexts::kFailed || status == SaveTexts::kCancelled ||
                         status == SaveTexts::kNothingSaved;
        item->setForeground(bad ? QColor(200, 0, 0) : status == SaveTexts::kCompleted ? QColor(0, 120, 0) : QColor());
    }
}

bool C3TovanSaveNsfToPst::AskLongPath(const QString& storedName, QString* folder, QString* name) {
    CLongPathDestinationDlg dlg(storedName, this);
    if (CMessageBoxService::instance().ExecDialog(dlg) != QDialog::Accepted) return false;
    *folder = dlg.ChosenFolder();
    *name = dlg.NewFolderName();
    return true;
}

void C3TovanSaveNsfToPst::OnRunFinished(bool stopped, bool singleFileFailed, int sources, int saved, int failed) {
    m_bRunEnded = true;
    if (m_hSaveThread) m_hSaveThread->wait();
    CMessageBoxService& boxes = CMessageBoxService::instance();
    const bool list = m_pFrame->SourceMode() == FileList;

    // How the run really ended: a source that failed, or a run that wrote
    // nothing, is said so; it never reads as a plain success.
    SaveRunRules::RunFacts facts;
    facts.stopped = stopped;
    if (!m_pFrame->GetItemCounts(&facts.found, &facts.written)) facts.found = facts.written = -1;
    const FailedItemList failures = m_pFrame->GetFailedItems();
    facts.failures = int(failures.size());
    facts.sourcesFailed = list ? failed : 0;
    facts.sourcesSaved = list ? saved : -1;
    m_nRunEnd = int(SaveRunRules::JudgeRun(facts));
    QString caption;
    switch (SaveRunRules::RunEnd(m_nRunEnd)) {
    case SaveRunRules::RunEnd::Aborted:
        m_pStatus->setText(SaveTexts::kAborted);
        caption = SaveTexts::kCaptionAborted;
        break;
    case SaveRunRules::RunEnd::NothingSaved:
        m_pStatus->setText(SaveTexts::kNothingSavedLabel);
        caption = SaveTexts::kCaptionNothingSaved;
        break;
    case SaveRunRules::RunEnd::CompleteWithErrors:
        m_pStatus->setText(SaveTexts::kCompleteWithErrors);
        caption = SaveTexts::kCaptionWithErrors;
        break;
    case SaveRunRules::RunEnd::Complete:
        m_pStatus->setText(SaveTexts::kComplete);
        caption = SaveTexts::kCaptionComplete;
        break;
    }
    if (!stopped && singleFileFailed) m_pStatus->setText(SaveTexts::kNoWordLabel);
    SetBarsVisible(false);
    // The list stays visible after a list export, so every file's outcome can be read.
    m_pList->setVisible(list && m_pList->rowCount() > 0);

    const bool oneSource = !list || sources <= 1;
    m_strOutputLocation = oneSource ? SaveRunRules::JoinPath(m_pFrame->DestFolderPath(), m_pFrame->DestFolderName())
                                    : m_pFrame->DestFolderPath();
    m_btnOpenFolder->setVisible(QFileInfo(m_strOutputLocation).isDir());
    if (!stopped && singleFileFailed) {
        boxes.Plain(this, SaveTexts::kNoWordMessage);
    } else {
        CSaveCompleteDlg dlg(caption, m_strOutputLocation, failures, this, facts.found, facts.written);
        if (SaveRunRules::RunEnd(m_nRunEnd) == SaveRunRules::RunEnd::NothingSaved) dlg.SetNothingSaved(true);
        if (m_hSaveThread) dlg.SetLeftBehind(m_hSaveThread->LeftBehind());
        dlg.SetOutsideDateRange(m_pFrame->Notes().exportReport.outsideDateRange());
        boxes.ExecDialog(dlg);
    }
    SetIdle();
    update();
    m_pFrame->m_bSaving = 0;
}

bool C3TovanSaveNsfToPst::WaitForRunEnd(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (m_bRunEnded && m_pFrame->m_bSaving == 0) return true;
        QThread::msleep(5);
    }
    return false;
}

void C3TovanSaveNsfToPst::OnNext() { m_pFrame->GoToNextStep(-1); }

void C3TovanSaveNsfToPst::OnBack() {
    if (m_pFrame->SourceMode() == FileList) m_pFrame->GoToNextStep(-1);
    else m_pFrame->GoToPreviousStep(2);
}

void C3TovanSaveNsfToPst::OnExit() { m_pFrame->close(); }

void C3TovanSaveNsfToPst::OnStop() {
    if (!IsRunning()) return;
    m_gate.Close();  // the worker waits at its next checkpoint while the question is open
    const bool yes = CMessageBoxService::instance().Question(this, SaveTexts::kStopQuestion);
    if (yes && m_pFrame) {
        m_pFrame->Notes().cancelRequested = 1;
        m_bStopSaving = 1;
    }
    m_gate.Open();
}

void C3TovanSaveNsfToPst::OnStepKey(int message, int key) {
    (void)message;
    if (key == Qt::Key_T) {
        OnStop();
        return;
    }
    if (!IsNavigationShown()) return;
    switch (key) {
    case Qt::Key_Left:
        BackButton()->setFocus();
        break;
    case Qt::Key_Right:
        NextButton()->setFocus();
        break;
    case Qt::Key_Tab: {
        QWidget* order[] = {m_pList, m_btnOpenFolder, ExitButton(), BackButton(), NextButton()};
        const int n = int(std::size(order));
        for (int tries = 0; tries < n; ++tries) {
            m_nTabPosition = (m_nTabPosition + 1) % n;
            if (order[m_nTabPosition]->isVisibleTo(this) && order[m_nTabPosition]->isEnabled()) break;
        }
        order[m_nTabPosition]->setFocus(Qt::TabFocusReason);
        break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (QApplication::focusWidget() == NextButton()) OnNext();
        else if (QApplication::focusWidget() == BackButton()) OnBack();
        break;
    default:
        break;
    }
}

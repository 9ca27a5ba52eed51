#include "steps/C3TovanSaveNsfToPst.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/StepPages.h"
#include "app/WindowMessages.h"
#include "steps/CAdvanceSettingsDlg.h"
#include "files/RunningOffice.h"
#include "steps/CLongPathDestinationDlg.h"
#include "steps/CProgressBarAdapter.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSaveThread.h"
#include "steps/CSavingModeDlg.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QStyle>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QFontMetrics>
#include <QProgressBar>
#include <QScrollBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QTimer>

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
      m_pDateRange(new QLabel(this)),
      m_officeRunning(RunningOffice::userOfficeRunning) {
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
    m_pList->verticalHeader()->hide();
    m_pList->setTextElideMode(Qt::ElideRight);
    m_pList->horizontalHeader()->setStretchLastSection(false);
    m_pList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_pList->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    m_pList->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Interactive);
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
    for (QWidget* button : {static_cast<QWidget*>(m_btnOpenFolder), static_cast<QWidget*>(ExitButton()),
                            static_cast<QWidget*>(BackButton()), static_cast<QWidget*>(NextButton())})
        button->installEventFilter(this);

    m_pStatus->setAlignment(Qt::AlignCenter);
    m_pStatus->setAutoFillBackground(true);
    m_pStatus->setWordWrap(true);
    SetStatusColour(false);
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
    // Every report of the worker comes between two items: a stop asked for
    // is raised again there, whatever lowered the converter's flag meanwhile.
    const auto stopHook = [this] {
        if (m_bStopSaving) m_pFrame->Notes().cancelRequested = 1;
    };
    for (CProgressBarAdapter* a : {m_pItemProgressAdapter.get(), m_pItemStatusAdapter.get(), m_pFolderAdapter.get()})
        a->SetOnReport(stopHook);
    // The item bar shows outcomes (UpdateItemBar), not items handed on.
    m_pItemStatusAdapter->SetShowReports(false);
    m_pItemBarTimer = new QTimer(this);
    m_pItemBarTimer->setInterval(250);
    connect(m_pItemBarTimer, &QTimer::timeout, this, &C3TovanSaveNsfToPst::UpdateItemBar);
}

void C3TovanSaveNsfToPst::UpdateItemBar() {
    if (m_nFolderFound0 < 0) return;
    RunTally now;
    if (!m_pFrame->GetRunTally(&now)) return;
    const SaveRunRules::ItemBar bar = SaveRunRules::FolderItemBar(m_nFolderFound0, m_nFolderDone0, now);
    m_pItemStatusBar->setValue(bar.position);
    m_pItemStatusBar->setFormat(bar.text.isEmpty() ? QStringLiteral("%p%") : bar.text);
    m_pItemStatusBar->setProperty("barText", bar.text);
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
    FitColumns();
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

    const bool chosen = m_bModeChosen;
    m_bModeChosen = false;
    if (!chosen && !AskSavingMode(this)) {
        // Cancelled: back where the user came from, not a blank Step 3.
        m_bModeChosen = false;
        SetIdle();
        m_pFrame->m_bSaving = 0;
        OnBack();
        return 1;
    }
    m_bModeChosen = false;
    CNotesConverter& notes = m_pFrame->Notes();
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
    // A long folder name may not fit the status line: it reads whole in the tooltip.
    connect(thread, &CSaveThread::statusText, m_pStatus, &QLabel::setToolTip);
    connect(thread, &CSaveThread::barsVisible, this, &C3TovanSaveNsfToPst::SetBarsVisible);
    connect(thread, &CSaveThread::listVisible, m_pList, &QWidget::setVisible);
    connect(thread, &CSaveThread::rowsReset, this, &C3TovanSaveNsfToPst::OnRowsReset);
    connect(thread, &CSaveThread::rowStatus, this, &C3TovanSaveNsfToPst::OnRowStatus);
    connect(thread, &CSaveThread::fileProgress, this, &C3TovanSaveNsfToPst::OnFileProgress);
    connect(thread, &CSaveThread::folderStarted, this, [this](int found, int done) {
        m_nFolderFound0 = found;
        m_nFolderDone0 = done;
        UpdateItemBar();
    });
    connect(thread, &CSaveThread::runFinished, this, &C3TovanSaveNsfToPst::OnRunFinished);
    m_bRunEnded = false;
    m_pFrame->m_bSaving = 1;  // closing is refused from here on, before the thread runs
    thread->start(QThread::NormalPriority);
    m_pStatus->show();
    return 1;
}

bool C3TovanSaveNsfToPst::AskSavingMode(QWidget* parent) {
    CMessageBoxService& boxes = CMessageBoxService::instance();
    if (m_officeRunning && m_officeRunning()) boxes.Information(parent, SaveTexts::kCloseWord);
    CSavingModeDlg modeDlg(parent);
    m_bModeChosen = false;
    if (boxes.ExecDialog(modeDlg) != QDialog::Accepted) return false;
    CNotesConverter& notes = m_pFrame->Notes();
    notes.savingMode = modeDlg.Mode();
    notes.outputOptions = modeDlg.Output();
    m_bModeChosen = true;
    return true;
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
    m_nFolderFound0 = -1;
    m_pItemBarTimer->start();
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
        auto* name = new QTableWidgetItem(paths[i]);
        name->setToolTip(paths[i]);
        m_pList->setItem(i, 0, name);
        m_pList->setItem(i, 1, new QTableWidgetItem(SaveTexts::kPending));
        auto* server = new QTableWidgetItem(servers.value(i));
        server->setToolTip(servers.value(i));
        m_pList->setItem(i, 2, server);
    }
    FitColumns();
}

void C3TovanSaveNsfToPst::OnRowStatus(int row, const QString& status, const QString& detail, int look) {
    if (row < 0 || row >= m_pList->rowCount()) return;
    QTableWidgetItem* item = m_pList->item(row, 1);
    if (!item) return;
    using SaveRunRules::RowLook;
    const RowLook how = RowLook(look);
    item->setText(SaveRunRules::RowText(status, detail));
    item->setToolTip(detail.isEmpty() ? status : status + QLatin1Char('\n') + detail);
    item->setData(kLookRole, look);
    QColor colour;
    QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
    switch (how) {
    case RowLook::Waiting: break;
    case RowLook::Working: icon = QStyle::SP_ArrowRight; break;
    case RowLook::Done: colour = QColor(0, 120, 0); icon = QStyle::SP_DialogApplyButton; break;
    case RowLook::DoneWithErrors: colour = QColor(170, 90, 0); icon = QStyle::SP_MessageBoxWarning; break;
    case RowLook::NothingWritten:
    case RowLook::Failed: colour = QColor(200, 0, 0); icon = QStyle::SP_MessageBoxCritical; break;
    case RowLook::Stopped: colour = QColor(170, 90, 0); icon = QStyle::SP_MediaStop; break;
    case RowLook::NotReached: colour = QColor(110, 110, 110); icon = QStyle::SP_MediaSkipForward; break;
    }
    item->setForeground(colour.isValid() ? QBrush(colour) : QBrush());
    item->setIcon(icon == QStyle::SP_CustomBase ? QIcon() : style()->standardIcon(icon));
    FitColumns();
}

void C3TovanSaveNsfToPst::FitColumns() {
    const int width = m_pList->width() - 2 * m_pList->frameWidth() - m_pList->verticalScrollBar()->sizeHint().width();
    if (width <= 0) return;
    const QFontMetrics fm(m_pList->font());
    QHeaderView* header = m_pList->horizontalHeader();
    const int padding = 2 * m_pList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_pList) + 12;
    const int iconRoom = m_pList->iconSize().isValid() ? m_pList->iconSize().width() + 6 : 22;
    auto wanted = [&](int column) {
        int w = header->sectionSizeHint(column);
        for (int r = 0; r < m_pList->rowCount(); ++r) {
            const QTableWidgetItem* item = m_pList->item(r, column);
            if (!item) continue;
            w = qMax(w, fm.horizontalAdvance(item->text()) + padding + (item->icon().isNull() ? 0 : iconRoom));
        }
        return w;
    };
    // The server at most a quarter; the status what is left once the file
    // name has its own width, or a third of the list when its paths are longer.
    const int server = qMin(wanted(2), width / 4);
    const int status = qMin(wanted(1), width - server - qMin(wanted(0), width / 3));
    m_pList->setColumnWidth(2, qMax(40, server));
    m_pList->setColumnWidth(1, qMax(60, status));
}

void C3TovanSaveNsfToPst::SetStatusColour(bool good) {
    QPalette pal = m_pStatus->palette();
    pal.setColor(QPalette::Window, QColor(255, 254, 239));
    // Red says that something went wrong; a clean run's line is not red.
    pal.setColor(QPalette::WindowText, good ? QColor(0, 110, 0) : QColor(255, 0, 0));
    m_pStatus->setPalette(pal);
}

bool C3TovanSaveNsfToPst::AskLongPath(const QString& storedName, QString* folder, QString* name) {
    CLongPathDestinationDlg dlg(storedName, this);
    if (CMessageBoxService::instance().ExecDialog(dlg) != QDialog::Accepted) return false;
    *folder = dlg.ChosenFolder();
    *name = dlg.NewFolderName();
    return true;
}

void C3TovanSaveNsfToPst::OnRunFinished(bool stopped, bool singleFileFailed, int sources, int saved, int failed,
                                        const QString& endedEarly) {
    m_bRunEnded = true;
    if (m_hSaveThread) m_hSaveThread->wait();
    m_pItemBarTimer->stop();
    UpdateItemBar();
    m_nFolderFound0 = -1;
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
    RunTally tally;
    const bool counted = m_pFrame->GetRunTally(&tally);
    const FailedItemList notConverted = m_pFrame->GetNotConverted();
    // A source that ended early (its items kept failing) is a failure, not a success.
    if (!endedEarly.isEmpty()) facts.failures = qMax(facts.failures, 1);
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
    else if (!stopped && !endedEarly.isEmpty())
        m_pStatus->setText(SaveTexts::kEndedEarly.arg(endedEarly) + QStringLiteral(" , ") + m_pStatus->text());
    m_pStatus->setToolTip(m_pStatus->text());
    SetStatusColour(SaveRunRules::RunEnd(m_nRunEnd) == SaveRunRules::RunEnd::Complete && !singleFileFailed);
    SetBarsVisible(false);
    // The list stays visible after a list export, so every file's outcome can be read.
    m_pList->setVisible(list && m_pList->rowCount() > 0);

    const bool oneSource = !list || sources <= 1;
    m_strOutputLocation = oneSource ? SaveRunRules::JoinPath(m_pFrame->DestFolderPath(), m_pFrame->DestFolderName())
                                    : m_pFrame->DestFolderPath();
    m_btnOpenFolder->setVisible(QFileInfo(m_strOutputLocation).isDir());
    // The run is over before its end is told: no Stop behind the dialog.
    SetIdle();
    if (!stopped && singleFileFailed) {
        boxes.Plain(this, SaveTexts::kNoWordMessage);
    } else {
        CSaveCompleteDlg dlg(caption, m_strOutputLocation, failures, this, facts.found, facts.written);
        dlg.SetFormatName(m_pFrame->Notes().outputOptions.format);
        if (counted) dlg.SetTally(tally, notConverted);
        dlg.SetWrittenByOffice(m_pFrame->GetWrittenByOffice());
        if (SaveRunRules::RunEnd(m_nRunEnd) == SaveRunRules::RunEnd::NothingSaved) dlg.SetNothingSaved(true);
        if (m_hSaveThread) dlg.SetLeftBehind(m_hSaveThread->LeftBehind());
        // The tally names the items outside the range itself.
        if (!counted || (!tally.dateRangeActive && tally.outsideDateRange == 0))
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

bool C3TovanSaveNsfToPst::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) && key->modifiers() == Qt::NoModifier) {
            OnStepKey(0, key->key());
            return true;
        }
    }
    return CTovanCommonBaseView::eventFilter(watched, event);
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

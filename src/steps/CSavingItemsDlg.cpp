#include "steps/CSavingItemsDlg.h"

#include "app/CMessageBoxService.h"
#include "steps/FolderTreeTexts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CSavingItemsDlg::CSavingItemsDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_pBar(new QProgressBar(this)),
      m_pStop(new QPushButton(FolderTreeTexts::kSavingItemsStop, this)),
      m_pTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("SavingItemsDlg"));
    setWindowTitle(FolderTreeTexts::kSavingItemsTitle);
    setModal(false);
    m_pBar->setRange(0, 100);
    m_pBar->setValue(0);
    auto* text = new QLabel(FolderTreeTexts::kSavingItemsText, this);
    text->setAlignment(Qt::AlignCenter);
    m_pStop->setToolTip(FolderTreeTexts::kSavingItemsStopTip);
    m_pStop->setAutoDefault(false);
    connect(m_pStop, &QPushButton::clicked, this, &CSavingItemsDlg::OnStop);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBar);
    layout->addWidget(text);
    layout->addWidget(m_pStop, 0, Qt::AlignCenter);
    setMinimumWidth(360);
    m_pTimer->setInterval(500);
    connect(m_pTimer, &QTimer::timeout, this, &CSavingItemsDlg::OnTimer);
    m_pTimer->start();
}

void CSavingItemsDlg::Begin() {
    m_pBar->setValue(0);
    m_bStop = 0;
    show();
    raise();
}

void CSavingItemsDlg::End() {
    m_pBar->setValue(100);
    m_bStop = 1;
    hide();
}

void CSavingItemsDlg::SetPosition(int percent) { m_pBar->setValue(qBound(0, percent, 100)); }

int CSavingItemsDlg::Position() const { return m_pBar->value(); }

void CSavingItemsDlg::OnStop() {
    const bool yes = CMessageBoxService::instance().Question(this, FolderTreeTexts::kSavingItemsQuestion);
    m_bStop = yes ? 1 : 0;
    if (yes) hide();
}

void CSavingItemsDlg::OnTimer() {
    if (isVisible() && m_bStop) hide();
}

void CSavingItemsDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape do not close it; T asks to stop.
    if (event->key() == Qt::Key_T) {
        OnStop();
        return;
    }
    event->accept();
}

void CSavingItemsDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    OnStop();
}

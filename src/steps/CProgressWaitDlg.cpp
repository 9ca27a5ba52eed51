#include "steps/CProgressWaitDlg.h"

#include "app/WindowMessages.h"
#include "convert/ProgressInterfaces.h"
#include "steps/SaveTexts.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The wait dialog as the Notes access object sees it.
class WaitDialogProgress : public IProgressBar {
public:
    explicit WaitDialogProgress(CProgressWaitDlg* dlg) : m_dlg(dlg) {}
    bool hasWindow() const override { return !m_dlg.isNull(); }
    void setPosition(int percent) override {
        QPointer<CProgressWaitDlg> dlg = m_dlg;
        QMetaObject::invokeMethod(
            dlg.data(), [dlg, percent] { if (dlg) dlg->Bar()->setValue(qBound(0, percent, 100)); },
            Qt::AutoConnection);
    }
    void setText(const QString& text) override {
        QPointer<CProgressWaitDlg> dlg = m_dlg;
        QMetaObject::invokeMethod(
            dlg.data(),
            [dlg, text] {
                if (!dlg) return;
                if (auto* label = dlg->findChild<QLabel*>(QStringLiteral("WaitText")))
                    label->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            },
            Qt::AutoConnection);
    }

private:
    QPointer<CProgressWaitDlg> m_dlg;
};
}  // namespace

CProgressWaitDlg::CProgressWaitDlg(QWidget* frame)
    : QDialog(frame, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_pFrame(frame),
      m_pBar(new QProgressBar(this)),
      m_pText(new QLabel(this)),
      m_pStop(new QPushButton(QStringLiteral("S&top"), this)),
      m_pTimer(new QTimer(this)),
      m_pInterface(std::make_unique<WaitDialogProgress>(this)) {
    setWindowTitle(SaveTexts::kWaitTitle);
    setModal(false);
    m_pBar->setRange(0, 100);
    m_pText->setObjectName(QStringLiteral("WaitText"));
    m_pText->setAlignment(Qt::AlignCenter);
    m_pText->setWordWrap(true);
    m_pText->setMinimumSize(380, 80);
    m_pText->setAutoFillBackground(true);
    QPalette pal = m_pText->palette();
    pal.setColor(QPalette::Window, QColor(255, 254, 239));
    m_pText->setPalette(pal);
    m_pStop->setToolTip(SaveTexts::kWaitStopTip);
    m_pStop->setAutoDefault(false);
    connect(m_pStop, &QPushButton::clicked, this, &CProgressWaitDlg::OnStop);
    connect(m_pTimer, &QTimer::timeout, this, &CProgressWaitDlg::OnTimer);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pBar);
    layout->addWidget(m_pText);
    layout->addWidget(m_pStop, 0, Qt::AlignHCenter);
    hide();
}

CProgressWaitDlg::~CProgressWaitDlg() = default;

QString CProgressWaitDlg::Text() const { return m_pText->text(); }

void CProgressWaitDlg::ShowProgress(const QString& text) {
    m_bMarkedVisible = true;
    QPointer<CProgressWaitDlg> self(this);
    QMetaObject::invokeMethod(
        this,
        [self, text] {
            if (!self) return;
            self->m_pBar->setValue(0);
            self->m_pText->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
            if (self->m_bMarkedVisible) self->show();
        },
        Qt::AutoConnection);
}

void CProgressWaitDlg::HideProgress() {
    m_bMarkedVisible = false;
    QPointer<CProgressWaitDlg> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (!self) return;
            self->m_pBar->setValue(100);
            self->hide();
        },
        Qt::AutoConnection);
}

void CProgressWaitDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
    m_pStop->setFocus();
    m_pTimer->start(500);
}

void CProgressWaitDlg::OnTimer() {
    if (isVisible() && !m_bMarkedVisible) hide();
    if (!isVisible()) m_pTimer->stop();
}

void CProgressWaitDlg::OnStop() {
    CStepEvent ev(WM_STEP_STOP);
    if (m_pFrame) QCoreApplication::sendEvent(m_pFrame, &ev);
}

void CProgressWaitDlg::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();  // the dialog cannot be closed with them
        return;
    }
    if (key == Qt::Key_T && (event->modifiers() & Qt::ControlModifier)) {
        event->accept();
        OnStop();
        return;
    }
    QDialog::keyPressEvent(event);
}

#include "app/CTovanCommonBaseView.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/GuiResources.h"
#include "app/WindowMessages.h"

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

CTovanCommonBaseView::CTovanCommonBaseView(CMainFrame* frame, const QString& pageTitle)
    : QWidget(nullptr), m_pFrame(frame), m_strPageTitle(pageTitle) {
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(236, 242, 250));
    setPalette(pal);
    m_btnNext = MakeButton(AppTexts::kBtnNext, QStringLiteral("next"), IdNext);
    m_btnBack = MakeButton(AppTexts::kBtnBack, QStringLiteral("back"), IdBack);
    m_btnExit = MakeButton(AppTexts::kBtnExit, QStringLiteral("exit"), IdExit);
    m_btnStop = MakeButton(AppTexts::kBtnStop, QStringLiteral("stop"), IdStop);
    m_btnPreview = MakeButton(AppTexts::kBtnPreview, QStringLiteral("preview"), IdPreview);
    m_btnPreview->setIconSize(QSize(16, 16));
    m_btnPreview->hide();
    connect(m_btnNext, &QPushButton::clicked, this, [this] { OnNext(); });
    connect(m_btnBack, &QPushButton::clicked, this, [this] { OnBack(); });
    connect(m_btnExit, &QPushButton::clicked, this, [this] { OnExit(); });
    connect(m_btnStop, &QPushButton::clicked, this, [this] { OnStop(); });
    connect(m_btnPreview, &QPushButton::clicked, this, [this] { OnPreview(); });
}

CTovanCommonBaseView::~CTovanCommonBaseView() = default;

QPushButton* CTovanCommonBaseView::MakeButton(const QString& text, const QString& icon, int id) {
    auto* button = new QPushButton(CommandIcon(icon), text, this);
    button->setProperty("buttonId", id);
    button->setFixedSize(100, 30);
    button->setAutoDefault(false);
    return button;
}

void CTovanCommonBaseView::OnInitialUpdate() {
    QFont font = m_btnNext->font();
    font.setBold(true);
    for (QPushButton* b : {m_btnNext, m_btnBack, m_btnExit, m_btnStop, m_btnPreview}) b->setFont(font);
    for (int i = 0; i < 3; ++i) AddStep(AppTexts::kStepName[i], AppTexts::kStepTitle[i]);
}

void CTovanCommonBaseView::AddStep(const QString& name, const QString& title) {
    m_arrStepNames.append(name);
    m_arrStepTitles.append(title);
    update();
}

void CTovanCommonBaseView::SetCurrentStepIndex(int index) {
    m_nCurrentStepIndex = index;
    update();
}

void CTovanCommonBaseView::ShowBack() {
    m_btnBack->show();
    m_bNavShown = true;
    LayoutButtons();
}
void CTovanCommonBaseView::HideBack() {
    m_btnBack->hide();
    m_bNavShown = false;
    LayoutButtons();
}
void CTovanCommonBaseView::ShowNext() {
    m_btnNext->show();
    m_bNavShown = true;
}
void CTovanCommonBaseView::HideNext() {
    m_btnNext->hide();
    m_bNavShown = false;
}
void CTovanCommonBaseView::ShowExit() { m_btnExit->show(); }
void CTovanCommonBaseView::HideExit() { m_btnExit->hide(); }
void CTovanCommonBaseView::ShowStop() { m_btnStop->show(); }
void CTovanCommonBaseView::HideStop() { m_btnStop->hide(); }

void CTovanCommonBaseView::LayoutButtons() {
    const int w = width();
    const int y = height() - 50;
    m_btnNext->move(w - 120, y);
    m_btnStop->move(w - 120, y);
    m_btnBack->move(w - 240, y);
    m_btnPreview->move(w - 240, y);
    m_btnExit->move(m_btnBack->isVisibleTo(this) ? w - 360 : w - 240, y);
}

void CTovanCommonBaseView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void CTovanCommonBaseView::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter p(this);
    p.fillRect(QRect(0, 0, kStripWidth, height()), Qt::white);
    p.setPen(QColor(200, 210, 225));
    p.drawLine(kStripWidth, 0, kStripWidth, height());

    QFont normal = font();
    QFont bold = normal;
    bold.setBold(true);
    const int c = m_nCurrentStepIndex;
    QStyle* st = style();
    const QIcon currentMark = st->standardIcon(QStyle::SP_ArrowRight);
    const QIcon doneMark = st->standardIcon(QStyle::SP_DialogApplyButton);
    for (int i = 0; i < m_arrStepNames.size(); ++i) {
        const QRect titleRect(50, kRowHeight * i + 40, 130, 75);
        const QRect nameRect(50, kRowHeight * i + 20, 130, 30);
        QColor titleColour = i == c ? QColor(Qt::blue) : (i < c ? QColor(Qt::black) : QColor(136, 136, 136));
        QColor nameColour = i == c ? QColor(Qt::red) : (i < c ? QColor(0, 91, 0) : QColor(136, 136, 136));
        p.setFont(bold);
        p.setPen(nameColour);
        p.drawText(nameRect, Qt::AlignLeft | Qt::AlignTop, m_arrStepNames[i]);
        p.setFont(normal);
        p.setPen(titleColour);
        p.drawText(titleRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_arrStepTitles.value(i));
        if (i == c) p.drawPixmap(20, kRowHeight * i + 27, currentMark.pixmap(16, 16));
        else if (i < c) p.drawPixmap(20, kRowHeight * i + 27, doneMark.pixmap(16, 16));
    }
    // The product picture sits 20 pixels above the bottom edge, below the step
    // list: smaller when the page is short, left out when there is no room at all.
    const int listBottom = StepListBottom();
    const int side = qMin(64, height() - 20 - listBottom);
    if (side < 24) return;
    const QPixmap product = ProductIcon().pixmap(side, side);
    const int top = height() - 20 - side;
    p.drawPixmap(QRect(5, top, side, side), product);
    p.setFont(bold);
    p.setPen(QColor(40, 70, 120));
    p.drawText(QRect(side + 11, top, kStripWidth - side - 16, side), Qt::AlignVCenter | Qt::AlignLeft,
               AppTexts::kProductName);
}

int CTovanCommonBaseView::StepListBottom() const {
    const int steps = int(m_arrStepNames.size());
    return steps == 0 ? 0 : kRowHeight * (steps - 1) + 115 + 8;
}

bool CTovanCommonBaseView::event(QEvent* event) {
    const int type = event->type();
    if (type == WM_STEP_ACTIVATE) {
        static_cast<CStepEvent*>(event)->result = OnActivate();
        return true;
    }
    if (type == WM_STEP_STOP) {
        OnStop();
        return true;
    }
    if (type == WM_STEP_KEY) {
        auto* ev = static_cast<CStepEvent*>(event);
        OnStepKey(ev->wParam.toInt(), ev->lParam.toInt());
        return true;
    }
    return QWidget::event(event);
}

#include "app/CTesselEmlConverterGuiView.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CTovanCommonBaseView.h"
#include "app/StepPages.h"
#include "app/WindowMessages.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStackedWidget>
#include <QVBoxLayout>

CTesselEmlConverterGuiView::CTesselEmlConverterGuiView(CMainFrame* frame)
    : QWidget(frame), m_pFrame(frame), m_pPages(new QStackedWidget(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pPages);
    frame->SetStepHost(this);
}

CTesselEmlConverterGuiView::~CTesselEmlConverterGuiView() {
    // Pages go first, while the frame is still whole: their tear-down stops workers.
    m_pCurrentPage = nullptr;
    while (m_pPages->count() > 0) {
        QWidget* page = m_pPages->widget(m_pPages->count() - 1);
        m_pPages->removeWidget(page);
        delete page;
    }
    if (m_pFrame->StepHost() == this) m_pFrame->SetStepHost(nullptr);
}

void CTesselEmlConverterGuiView::CreatePages() {
    if (m_pPages->count() > 0) return;
    CTovanCommonBaseView* pages[3] = {CreateStepOnePage(m_pFrame), CreateStepTwoPage(m_pFrame),
                                      CreateStepThreePage(m_pFrame)};
    for (CTovanCommonBaseView* page : pages) {
        m_pPages->addWidget(page);
        page->OnInitialUpdate();
    }
    SelectPage(0);
}

void CTesselEmlConverterGuiView::SelectPage(int n) {
    auto* page = Page(n);
    if (!page) return;
    m_pPages->setCurrentIndex(n);
    m_pFrame->SetActiveView(page);
    m_pCurrentPage = page;
    CStepEvent ev(WM_STEP_ACTIVATE);
    QCoreApplication::sendEvent(page, &ev);
}

void CTesselEmlConverterGuiView::SaveLayout(QSettings& settings) const {
    for (int n = 0; n < m_pPages->count(); ++n)
        if (const CTovanCommonBaseView* page = Page(n)) page->SaveLayout(settings);
}

int CTesselEmlConverterGuiView::CurrentPageIndex() const { return m_pPages->currentIndex(); }

CTovanCommonBaseView* CTesselEmlConverterGuiView::Page(int n) const {
    if (n < 0 || n >= m_pPages->count()) return nullptr;
    return static_cast<CTovanCommonBaseView*>(m_pPages->widget(n));
}

bool CTesselEmlConverterGuiView::event(QEvent* event) {
    const int type = event->type();
    if (type < WM_USER_BASE + 100 || type > WM_USER_BASE + 130) return QWidget::event(event);
    auto* ev = static_cast<CStepEvent*>(event);
    CTovanCommonBaseView* active = m_pFrame->ActiveView();
    switch (type) {
    case WM_SELECT_STEP:
        SelectPage(ev->wParam.toInt());
        ev->result = 1;
        return true;
    case WM_CMD_ADD_FILES:
    case WM_CMD_ADD_DOMINO_FILES:
    case WM_ADD_SERVER_FILES:
        if (active && active == Page(0)) QCoreApplication::sendEvent(active, event);
        return true;
    case WM_CMD_EXPORT:
        if (active && (active == Page(0) || active == Page(1))) QCoreApplication::sendEvent(active, event);
        return true;
    case WM_STEP_STOP:
        if (m_pCurrentPage) m_pCurrentPage->OnStop();
        return true;
    case WM_STEP_KEY: {
        const int step = m_pFrame->m_nCurrentStep;
        if (step >= 1 && step <= 3 && Page(step - 1)) QCoreApplication::sendEvent(Page(step - 1), event);
        return true;
    }
    default:
        return QWidget::event(event);
    }
}

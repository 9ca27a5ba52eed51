#include "steps/CFolderSelectionPlaceholderView.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/GuiResources.h"
#include "app/StepPages.h"

#include <QLabel>
#include <QPushButton>

CTovanCommonBaseView* CreateStepTwoPage(CMainFrame* frame) { return new CFolderSelectionPlaceholderView(frame); }

CFolderSelectionPlaceholderView::CFolderSelectionPlaceholderView(CMainFrame* frame)
    : CTovanCommonBaseView(frame, AppTexts::kPageTitle[1]), m_pTitle(new QLabel(AppTexts::kPageTitle[1], this)) {
    setObjectName(QStringLiteral("Step2"));
    QFont f = m_pTitle->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 4);
    m_pTitle->setFont(f);
}

void CFolderSelectionPlaceholderView::OnInitialUpdate() {
    CTovanCommonBaseView::OnInitialUpdate();
    SetCurrentStepIndex(1);
    HideExit();
    HideStop();
    NextButton()->setText(AppTexts::kBtnExport);
    NextButton()->setIcon(CommandIcon(QStringLiteral("export")));
    HideNext();  // nothing to export from an empty page
}

int CFolderSelectionPlaceholderView::OnActivate() {
    m_pFrame->m_nCurrentStep = 2;
    ShowBack();
    return 1;
}

void CFolderSelectionPlaceholderView::OnBack() { m_pFrame->GoToNextStep(-1); }

void CFolderSelectionPlaceholderView::resizeEvent(QResizeEvent* event) {
    CTovanCommonBaseView::resizeEvent(event);
    m_pTitle->setGeometry(220, 20, qMax(0, width() - 240), 40);
}

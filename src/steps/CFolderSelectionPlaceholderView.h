#pragma once

#include "app/CTovanCommonBaseView.h"

class QLabel;

// Step 2 until the folder tree page exists: its title, Back to Step 1.
class CFolderSelectionPlaceholderView : public CTovanCommonBaseView {
    Q_OBJECT
public:
    explicit CFolderSelectionPlaceholderView(CMainFrame* frame);
    void OnInitialUpdate() override;
    int OnActivate() override;
    void OnBack() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* m_pTitle;
};

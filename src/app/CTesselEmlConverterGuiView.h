#pragma once

#include <QWidget>

class CMainFrame;
class CTovanCommonBaseView;
class QSettings;
class QStackedWidget;

// The page host: holds the three step pages, shows one at a time, and
// passes the frame's messages on to the right page.
class CTesselEmlConverterGuiView : public QWidget {
    Q_OBJECT
public:
    explicit CTesselEmlConverterGuiView(CMainFrame* frame);
    ~CTesselEmlConverterGuiView() override;

    // Creates the pages in order and shows the first one (activating Step 1).
    void CreatePages();
    // Selects page n (0..2), which activates it.
    void SelectPage(int n);
    int CurrentPageIndex() const;
    CTovanCommonBaseView* Page(int n) const;
    CTovanCommonBaseView* CurrentPage() const { return m_pCurrentPage; }
    // Each page remembers its own layout.
    void SaveLayout(QSettings& settings) const;

protected:
    bool event(QEvent* event) override;

private:
    CMainFrame* m_pFrame;
    QStackedWidget* m_pPages;
    CTovanCommonBaseView* m_pCurrentPage = nullptr;
};

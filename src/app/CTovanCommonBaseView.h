#pragma once

#include <QStringList>
#include <QWidget>

class CMainFrame;
class QPushButton;
class QSettings;

// Base of the three step pages: the step list on the left, the row of
// wizard buttons at the bottom, and the step operations the buttons and the
// frame's messages run.
class CTovanCommonBaseView : public QWidget {
    Q_OBJECT
public:
    // Button ids.
    enum { IdNext = 1, IdBack = 2, IdExit = 3, IdStop = 4, IdPreview = 5 };

    CTovanCommonBaseView(CMainFrame* frame, const QString& pageTitle);
    ~CTovanCommonBaseView() override;

    // Run once after the page is placed in the host.
    virtual void OnInitialUpdate();

    // Step operations; the base versions do nothing.
    virtual void OnNext() {}
    virtual void OnBack() {}
    virtual void OnExit() {}
    virtual void OnStop() {}
    virtual void OnPreview() {}
    virtual int OnActivate() { return 1; }
    // Remembers the page's own layout (splitters) in the settings.
    virtual void SaveLayout(QSettings& settings) const { (void)settings; }
    // A key forwarded by the frame (message WM_KEYDOWN or WM_SYSKEYDOWN, Qt key).
    virtual void OnStepKey(int message, int key) {
        (void)message;
        (void)key;
    }

    void ShowBack();
    void HideBack();
    void ShowNext();
    void HideNext();
    void ShowExit();
    void HideExit();
    void ShowStop();
    void HideStop();
    bool IsNavigationShown() const { return m_bNavShown; }

    void SetCurrentStepIndex(int index);
    int CurrentStepIndex() const { return m_nCurrentStepIndex; }
    void AddStep(const QString& name, const QString& title);
    const QStringList& StepNames() const { return m_arrStepNames; }
    const QStringList& StepTitles() const { return m_arrStepTitles; }
    QString PageTitle() const { return m_strPageTitle; }
    // Where the step list ends (the product picture stays below it).
    int StepListBottom() const;

    QPushButton* NextButton() const { return m_btnNext; }
    QPushButton* BackButton() const { return m_btnBack; }
    QPushButton* ExitButton() const { return m_btnExit; }
    QPushButton* StopButton() const { return m_btnStop; }
    QPushButton* PreviewButton() const { return m_btnPreview; }
    CMainFrame* Frame() const { return m_pFrame; }

    // Layout constants.
    static constexpr int kTopMargin = 10;
    static constexpr int kNameBand = 40;
    static constexpr int kTitleOffset = 30;
    static constexpr int kRowHeight = 85;
    static constexpr int kStripWidth = 200;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void LayoutButtons();

    CMainFrame* m_pFrame;

private:
    QPushButton* MakeButton(const QString& text, const QString& icon, int id);

    QString m_strPageTitle;
    QStringList m_arrStepNames;
    QStringList m_arrStepTitles;
    int m_nCurrentStepIndex = 0;
    bool m_bNavShown = true;
    QPushButton* m_btnNext = nullptr;
    QPushButton* m_btnBack = nullptr;
    QPushButton* m_btnExit = nullptr;
    QPushButton* m_btnStop = nullptr;
    QPushButton* m_btnPreview = nullptr;
};

#pragma once

#include <QDialog>

#include <atomic>

class QProgressBar;
class QPushButton;
class QTimer;

// "Saving Item(s)": the modeless progress of an item save of the folder
// selection step, with a Stop of its own. The save reads the stop flag
// before each item.
class CSavingItemsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSavingItemsDlg(QWidget* parent = nullptr);

    // Bar 0, flag 0, shown.
    void Begin();
    // Bar 100, flag 1, hidden.
    void End();
    void SetPosition(int percent);
    int Position() const;
    int StopFlag() const { return m_bStop; }
    void SetStopFlag(int flag) { m_bStop = flag; }
    // Asks whether to stop; Yes raises the flag and hides the dialog, No clears it.
    void OnStop();
    QPushButton* StopButton() const { return m_pStop; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTimer();

    QProgressBar* m_pBar;
    QPushButton* m_pStop;
    QTimer* m_pTimer;
    std::atomic<int> m_bStop{0};
};

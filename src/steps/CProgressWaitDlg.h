#pragma once

#include <QDialog>

#include <atomic>
#include <memory>

class IProgressBar;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// "Please wait while current process finishes": a modeless dialog shown by
// the frame during long Notes operations, with a bar, a text and Stop.
class CProgressWaitDlg : public QDialog {
    Q_OBJECT
public:
    explicit CProgressWaitDlg(QWidget* frame);
    ~CProgressWaitDlg() override;

    // Bar to 0, the text, shown. Safe from any thread.
    void ShowProgress(const QString& text);
    // Bar to 100, hidden. Safe from any thread.
    void HideProgress();
    bool IsMarkedVisible() const { return m_bMarkedVisible; }
    // The interface the Notes access object reports through.
    IProgressBar* progressInterface() const { return m_pInterface.get(); }
    QProgressBar* Bar() const { return m_pBar; }
    QString Text() const;

    // Stop: the frame runs the current step's stop request.
    void OnStop();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnTimer();

    QWidget* m_pFrame;
    QProgressBar* m_pBar;
    QLabel* m_pText;
    QPushButton* m_pStop;
    QTimer* m_pTimer;
    std::atomic<bool> m_bMarkedVisible{false};
    std::unique_ptr<IProgressBar> m_pInterface;
};

#pragma once

#include "convert/ProgressInterfaces.h"

#include <QPointer>
#include <QProgressBar>

#include <functional>

class CPauseGate;

// Lets the core drive a QProgressBar from any thread: positions and texts
// are handed to the bar's own thread. Each call is also a checkpoint of the
// pause gate, so a worker reporting progress waits while a stop question is open.
class CProgressBarAdapter : public IProgressBar {
public:
    explicit CProgressBarAdapter(QProgressBar* bar, CPauseGate* gate = nullptr);
    bool hasWindow() const override;
    void setPosition(int percent) override;
    void setText(const QString& text) override;

    // Runs on the reporting thread at every report, before the pause gate:
    // the owner's chance to act between two items (a stop raised again).
    void SetOnReport(std::function<void()> hook) { m_onReport = std::move(hook); }
    // Off: the reports are checkpoints only (a reset to 0 still shows); the
    // owner shows the bar from what has really been done.
    void SetShowReports(bool on) { m_showReports = on; }

private:
    QPointer<QProgressBar> m_bar;
    CPauseGate* m_gate;
    std::function<void()> m_onReport;
    bool m_showReports = true;
};

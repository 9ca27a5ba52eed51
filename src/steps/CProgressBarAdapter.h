#pragma once

#include "convert/ProgressInterfaces.h"

#include <QPointer>
#include <QProgressBar>

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

private:
    QPointer<QProgressBar> m_bar;
    CPauseGate* m_gate;
};

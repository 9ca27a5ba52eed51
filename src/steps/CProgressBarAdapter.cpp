#include "steps/CProgressBarAdapter.h"

#include "steps/CPauseGate.h"

#include <QMetaObject>
#include <QThread>

CProgressBarAdapter::CProgressBarAdapter(QProgressBar* bar, CPauseGate* gate) : m_bar(bar), m_gate(gate) {}

bool CProgressBarAdapter::hasWindow() const { return !m_bar.isNull(); }

void CProgressBarAdapter::setPosition(int percent) {
    if (m_onReport) m_onReport();
    if (m_gate) m_gate->Checkpoint();
    QPointer<QProgressBar> bar = m_bar;
    if (!bar || (!m_showReports && percent != 0)) return;
    const int value = qBound(0, percent, 100);
    QMetaObject::invokeMethod(
        bar, [bar, value] { if (bar) bar->setValue(value); }, Qt::AutoConnection);
}

void CProgressBarAdapter::setText(const QString& text) {
    if (m_onReport) m_onReport();
    if (m_gate) m_gate->Checkpoint();
    QPointer<QProgressBar> bar = m_bar;
    if (!bar || (!m_showReports && !text.isEmpty())) return;
    QMetaObject::invokeMethod(
        bar,
        [bar, text] {
            if (!bar) return;
            QString shown = text;
            shown.replace(QLatin1Char('%'), QStringLiteral("%%"));
            bar->setFormat(shown.isEmpty() ? QStringLiteral("%p%") : shown);
            bar->setProperty("barText", text);
        },
        Qt::AutoConnection);
}

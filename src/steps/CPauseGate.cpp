#include "steps/CPauseGate.h"

void CPauseGate::Close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
}

void CPauseGate::Open() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = false;
    }
    m_cv.notify_all();
}

bool CPauseGate::IsClosed() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_closed;
}

void CPauseGate::Checkpoint() {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_closed) return;
    ++m_waits;
    m_cv.wait(lock, [this] { return !m_closed; });
}

int CPauseGate::WaitCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_waits;
}

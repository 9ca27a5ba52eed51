#include "office/CallWatchdog.h"

CallWatchdog::CallWatchdog(std::function<void()> onExpiry)
    : m_onExpiry(std::move(onExpiry)), m_thread([this] { run(); }) {}

CallWatchdog::~CallWatchdog() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void CallWatchdog::arm(std::chrono::milliseconds timeout) {
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = true;
        m_fired = false;
        m_deadline = std::chrono::steady_clock::now() + timeout;
        // A watcher already waiting for an earlier moment re-reads the deadline
        // when it wakes: only an idle one (or a later wait) needs waking now.
        wake = m_deadline < m_waitingUntil;
    }
    if (wake) m_changed.notify_all();
}

bool CallWatchdog::disarm() {
    // onExpiry runs under the mutex, so taking it waits for a running one.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_armed = false;
    return m_fired;
}

bool CallWatchdog::fired() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fired;
}

void CallWatchdog::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_quit) {
        if (!m_armed) {
            m_waitingUntil = std::chrono::steady_clock::time_point::max();
            m_changed.wait(lock);
            continue;
        }
        m_waitingUntil = m_deadline;
        if (m_changed.wait_until(lock, m_deadline) == std::cv_status::timeout && m_armed && !m_quit &&
            std::chrono::steady_clock::now() >= m_deadline) {
            m_fired = true;
            m_armed = false;
            if (m_onExpiry) m_onExpiry();
        }
    }
}

#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Bounds blocking calls: while armed, runs onExpiry (on its own thread) once
// the deadline passes. disarm() returns only after a running onExpiry ended.
class CallWatchdog {
  public:
    explicit CallWatchdog(std::function<void()> onExpiry);
    ~CallWatchdog();
    CallWatchdog(const CallWatchdog&) = delete;
    CallWatchdog& operator=(const CallWatchdog&) = delete;

    void arm(std::chrono::milliseconds timeout);
    // Returns true when the watchdog fired during this arming.
    bool disarm();
    bool fired() const;

  private:
    void run();

    std::function<void()> m_onExpiry;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_fired = false;
    bool m_quit = false;
    std::chrono::steady_clock::time_point m_deadline;
    std::chrono::steady_clock::time_point m_waitingUntil = std::chrono::steady_clock::time_point::max();
    std::thread m_thread;
};

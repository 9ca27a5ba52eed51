#pragma once

#include <condition_variable>
#include <mutex>

// Holds a worker at its next checkpoint while the UI asks the user whether to
// stop: the safe stand-in for suspending a thread at an arbitrary point.
class CPauseGate {
public:
    // Workers reaching a checkpoint wait until the gate opens again.
    void Close();
    void Open();
    bool IsClosed() const;
    // Called by the worker; returns at once while the gate is open.
    void Checkpoint();
    // How many times a worker has waited at a closed gate (for tests).
    int WaitCount() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_closed = false;
    int m_waits = 0;
};

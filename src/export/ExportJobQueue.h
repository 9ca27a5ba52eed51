#pragma once

#include "export/IDocumentExporter.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

// The queue between the caller of an exporter that writes in the background
// and its writer threads. The caller queues jobs, waiting while every writer
// has its fill waiting; each writer takes the next job, writes it and hands
// its outcome back (Done), which goes to the outcome handler. WaitForAll
// returns once every job taken in hand has its outcome. Thread-safe.
template <class Job>
class ExportJobQueue {
public:
    // At most `perWriter` jobs wait per writer.
    explicit ExportJobQueue(size_t perWriter) : m_perWriter(perWriter) {}

    // Takes jobs again after Stop.
    void Restart() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = false;
    }

    // Queues `job` once fewer than `writers` writers' fill is waiting.
    void Push(Job job, size_t writers) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_queue.size() < m_perWriter * writers; });
        m_queue.push_back(std::move(job));
        lock.unlock();
        m_changed.notify_all();
    }

    // For a writer: the next job, in hand until Done; false once stopped with nothing left.
    bool Take(Job* job) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty()) return false;
            *job = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_busy;
        }
        m_changed.notify_all();  // room in the queue
        return true;
    }

    // For a writer: the job in hand is finished; `outcome` goes to the handler first.
    void Done(const IDocumentExporter::Outcome& outcome) {
        IDocumentExporter::OutcomeHandler handler;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            handler = m_handler;
        }
        if (handler) handler(outcome);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_busy;
        }
        m_changed.notify_all();
    }

    void SetOutcomeHandler(IDocumentExporter::OutcomeHandler handler) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handler = std::move(handler);
    }

    void WaitForAll() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.empty() && m_busy == 0; });
    }

    // The writers finish what is queued; then Take returns false.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_changed.notify_all();
    }

private:
    const size_t m_perWriter;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    int m_busy = 0;
    bool m_stopping = false;
    IDocumentExporter::OutcomeHandler m_handler;
};

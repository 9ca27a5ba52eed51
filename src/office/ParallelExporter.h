#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "export/IDocumentExporter.h"

class CWordExporter;

// Several word-processor instances writing in parallel behind one exporter.
// The caller (one thread) names the items in order exactly as with a single
// instance: each document path is chosen when the item is handed over and
// held (ReservePath) until the document is in place, so later items of the
// same name number on from it. The office work itself runs on one worker
// thread per instance, each with its own CWordExporter; an instance that is
// lost is restarted by its worker while the others go on. Outcomes are
// reported per item through the outcome handler, on the workers' threads.
class ParallelExporter : public IDocumentExporter {
  public:
    using ExporterFactory = std::function<std::unique_ptr<CWordExporter>(int index)>;

    // `instances` LibreOffice instances (at least 1).
    explicit ParallelExporter(int instances);
    // Other exporters (tests): `factory` makes the exporter of worker `index`.
    ParallelExporter(int instances, ExporterFactory factory);
    ~ParallelExporter() override;
    ParallelExporter(const ParallelExporter&) = delete;
    ParallelExporter& operator=(const ParallelExporter&) = delete;

    // Starts every instance at once; true when at least one runs.
    bool StartWord() override;
    // Waits for every item taken, then quits the instances.
    void ShutdownWord() override;
    void SetRootFolder(const QString& path) override;
    bool SetOutputFolder(const QString& relative) override;
    QString GetOutputFolder() const override;
    void SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                         const QString& mailDate, const QString& block) override;
    int CountHeaderLabels(const QString& block) const override;
    void SetTemplate(const QString& rtfText) override { m_next.templ = rtfText; }
    void SetPhotoPath(const QString& path) override { m_next.photo = path; }
    // The format of the documents taken from now on (each instance gets it with the item).
    void SetOutputOptions(const OutputOptions& options) override { m_next.options = options; }
    QString ReserveDocumentPath(const QString& name) override;
    bool ExportItem(const QString& bodyFile, const QString& name) override;
    bool ExportContact(const QString& bodyFile, const QString& name) override;
    QString LastFailure() const override { return m_lastFailure; }
    QString LastWrittenPath() const override { return m_lastPath; }

    bool WritesInBackground() const override { return true; }
    void SetOutcomeHandler(OutcomeHandler handler) override;
    void SetNextTicket(quint64 ticket) override { m_next.ticket = ticket; }
    void WaitForAll() override;

    int Instances() const { return int(m_workers.size()); }
    // Instances started so far by all workers (restarts included).
    int StartCount() const;
    // Each worker's exporter (for benchmarks: memory of each instance).
    CWordExporter* Exporter(int index) const;

  private:
    struct Job {
        quint64 ticket = 0;
        bool contact = false;
        QString bodyFile;  // a copy owned by the job
        QString path;
        QString subject, from, sendTo, mailDate, block, templ, photo;
        OutputOptions options;
    };
    QString pathFor(const QString& name) const;
    struct Worker {
        std::unique_ptr<CWordExporter> exporter;
        std::thread thread;
        bool started = false;
        bool startDone = false;
        QString startError;
    };
    bool take(bool contact, const QString& bodyFile, const QString& name);
    void run(Worker& worker);
    void report(const Outcome& outcome);
    void stopWorkers();

    ExporterFactory m_factory;
    int m_count = 1;
    std::vector<std::unique_ptr<Worker>> m_workers;

    // Forms and makes the output folders exactly as a single exporter does
    // (links below the destination are never entered); it never starts an office.
    std::unique_ptr<CWordExporter> m_folders;
    Job m_next;
    QString m_reservedName;
    QString m_reservedPath;
    QString m_lastFailure;
    QString m_lastPath;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    int m_busy = 0;
    bool m_stopping = false;
    OutcomeHandler m_handler;
};

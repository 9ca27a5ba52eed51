#include "office/ParallelExporter.h"

#include <QFile>
#include <QFileInfo>
#include <atomic>

#include "export/OutputNaming.h"
#include "files/PrivateTempDir.h"
#include "office/CWordExporter.h"

namespace {

// Items waiting for an instance, per instance: enough to keep every instance
// busy while the reader prepares the next, few enough to keep memory and
// temporary files small.
constexpr size_t kQueuedPerInstance = 2;

}  // namespace

ParallelExporter::ParallelExporter(int instances)
    : ParallelExporter(instances, [](int) { return std::make_unique<CWordExporter>(); }) {}

ParallelExporter::ParallelExporter(int instances, ExporterFactory factory)
    : m_factory(std::move(factory)),
      m_count(qMax(1, instances)),
      m_folders(std::make_unique<CWordExporter>([] { return std::unique_ptr<IOfficeAutomation>(); })) {}

ParallelExporter::~ParallelExporter() { ShutdownWord(); }

bool ParallelExporter::StartWord() {
    ShutdownWord();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = false;
    }
    for (int i = 0; i < m_count; ++i) {
        auto w = std::make_unique<Worker>();
        w->exporter = m_factory(i);
        w->exporter->SetTableFileName(QStringLiteral("RtfTable-%1.rtf").arg(i));
        m_workers.push_back(std::move(w));
    }
    // The instances start side by side (each takes about a second).
    for (auto& w : m_workers) {
        Worker* worker = w.get();
        worker->thread = std::thread([this, worker] { run(*worker); });
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] {
        for (const auto& w : m_workers)
            if (!w->startDone) return false;
        return true;
    });
    int running = 0;
    for (const auto& w : m_workers) {
        if (w->started) ++running;
        else if (m_lastFailure.isEmpty()) m_lastFailure = w->startError;
    }
    lock.unlock();
    if (running == 0) {
        stopWorkers();
        return false;
    }
    return true;
}

void ParallelExporter::run(Worker& worker) {
    CWordExporter& exporter = *worker.exporter;
    const bool started = exporter.StartWord();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        worker.started = started;
        worker.startError = started ? QString() : exporter.LastFailure();
        worker.startDone = true;
    }
    m_changed.notify_all();
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_queue.empty()) break;  // stopping, and nothing left
            job = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_busy;
        }
        m_changed.notify_all();  // room in the queue

        // An instance that could not start, or was lost and not restarted, is
        // tried again for each item.
        if (!exporter.IsRunning()) exporter.StartWord();
        exporter.SetHeaderInputs(job.subject, job.from, job.sendTo, job.mailDate, job.block);
        exporter.SetTemplate(job.templ);
        exporter.SetPhotoPath(job.photo);
        exporter.SetOutputOptions(job.options);
        Outcome outcome;
        outcome.ticket = job.ticket;
        outcome.path = job.path;
        outcome.written = exporter.ExportTo(job.contact, job.bodyFile, job.path);
        if (!outcome.written) {
            outcome.failure = exporter.LastFailure();
            if (outcome.failure.isEmpty()) outcome.failure = QStringLiteral("the office could not write the document");
        }
        QFile::remove(job.bodyFile);
        // The document is in place (or failed): its name is no longer held.
        ReleasePath(job.path);
        report(outcome);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_busy;
        }
        m_changed.notify_all();
    }
    exporter.ShutdownWord();
}

void ParallelExporter::report(const Outcome& outcome) {
    OutcomeHandler handler;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        handler = m_handler;
    }
    if (handler) handler(outcome);
}

void ParallelExporter::SetOutcomeHandler(OutcomeHandler handler) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handler = std::move(handler);
}

void ParallelExporter::WaitForAll() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_queue.empty() && m_busy == 0; });
}

void ParallelExporter::stopWorkers() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (auto& w : m_workers)
        if (w->thread.joinable()) w->thread.join();
    m_workers.clear();
}

void ParallelExporter::ShutdownWord() {
    if (m_workers.empty()) return;
    WaitForAll();
    stopWorkers();
}

int ParallelExporter::StartCount() const {
    int n = 0;
    for (const auto& w : m_workers) n += w->exporter->StartCount();
    return n;
}

CWordExporter* ParallelExporter::Exporter(int index) const {
    return index >= 0 && index < int(m_workers.size()) ? m_workers[size_t(index)]->exporter.get() : nullptr;
}

void ParallelExporter::SetRootFolder(const QString& path) { m_folders->SetRootFolder(path); }

bool ParallelExporter::SetOutputFolder(const QString& relative) { return m_folders->SetOutputFolder(relative); }

QString ParallelExporter::GetOutputFolder() const { return m_folders->GetOutputFolder(); }

void ParallelExporter::SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                                       const QString& mailDate, const QString& block) {
    m_next.subject = subject;
    m_next.from = from;
    m_next.sendTo = sendTo;
    m_next.mailDate = mailDate;
    m_next.block = block;
}

int ParallelExporter::CountHeaderLabels(const QString& block) const {
    return CWordExporter([] { return std::unique_ptr<IOfficeAutomation>(); }).CountHeaderLabels(block);
}

QString ParallelExporter::pathFor(const QString& name) const {
    return DocumentPathFor(GetOutputFolder(), name, OutputFormats::extension(m_next.options.format));
}

QString ParallelExporter::ReserveDocumentPath(const QString& name) {
    if (!m_reservedPath.isEmpty()) ReleasePath(m_reservedPath);  // an earlier reservation never used
    m_reservedName = name;
    m_reservedPath = pathFor(name);
    ReservePath(m_reservedPath);
    return m_reservedPath;
}

bool ParallelExporter::ExportItem(const QString& bodyFile, const QString& name) { return take(false, bodyFile, name); }

bool ParallelExporter::ExportContact(const QString& bodyFile, const QString& name) {
    return take(true, bodyFile, name);
}

bool ParallelExporter::take(bool contact, const QString& bodyFile, const QString& name) {
    static std::atomic<quint64> s_jobFiles{0};
    m_lastFailure.clear();
    m_lastPath.clear();
    QString path;
    if (!m_reservedPath.isEmpty() && m_reservedName == name) {
        path = m_reservedPath;
    } else {
        if (!m_reservedPath.isEmpty()) ReleasePath(m_reservedPath);
        path = pathFor(name);
        ReservePath(path);
    }
    m_reservedName.clear();
    m_reservedPath.clear();

    Job job = m_next;
    job.contact = contact;
    job.path = path;
    m_next.ticket = 0;
    // The caller reuses its body file for the next item: the job gets a copy
    // (same extension: the office picks its filter by it).
    const QString suffix = QFileInfo(bodyFile).suffix();
    job.bodyFile = PrivateTempDir::filePath(QStringLiteral("job-%1.%2").arg(++s_jobFiles).arg(suffix));
    if (job.bodyFile.isEmpty() || !QFile::copy(bodyFile, job.bodyFile)) {
        QFile::remove(job.bodyFile);
        ReleasePath(path);
        m_lastFailure = QStringLiteral("the body file cannot be handed to the office: ") + bodyFile;
        return false;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_workers.empty()) {
        lock.unlock();
        QFile::remove(job.bodyFile);
        ReleasePath(path);
        m_lastFailure = QStringLiteral("the word processor is not running");
        return false;
    }
    m_changed.wait(lock, [this] { return m_queue.size() < kQueuedPerInstance * m_workers.size(); });
    m_queue.push_back(std::move(job));
    lock.unlock();
    m_changed.notify_all();
    m_lastPath = path;
    return true;
}

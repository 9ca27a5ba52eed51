#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "export/ExportJobQueue.h"
#include "export/IDocumentExporter.h"
#include "native/NativeDocumentComposer.h"

// The native engine: writes each item's Word document (.doc or .docx) in this
// process, without an office. The document is put together in memory
// (NativeDocumentComposer: header table from its template, or the contact's
// text and photo, then the body) and written by the worddoc writers. Names,
// folders and the order of outcomes are those of the office engine.
//
// PDF, and any item the native writers cannot represent, go to the fallback
// exporter (an office engine the program hands over), which is started when
// first needed; those items are counted and named (WrittenByOffice). Without a
// fallback such an item fails with the native writer's reason.
//
// With one thread the exporter works synchronously. With more it writes in the
// background like the office's parallel exporter: the caller names the items
// in order; each document's path is held (ReservePath) until it is written,
// and the outcome comes through the outcome handler on a worker thread.
class NativeExporter : public IDocumentExporter {
public:
    explicit NativeExporter(int threads = 1);
    ~NativeExporter() override;
    NativeExporter(const NativeExporter&) = delete;
    NativeExporter& operator=(const NativeExporter&) = delete;

    // The exporter for PDF and for items the native writers cannot represent.
    void SetFallback(std::unique_ptr<IDocumentExporter> office);

    bool StartWord() override;
    void ShutdownWord() override;
    void SetRootFolder(const QString& path) override;
    void SetOutputOptions(const OutputOptions& options) override { m_next.options = options; }
    bool SetOutputFolder(const QString& relative) override;
    QString GetOutputFolder() const override { return m_outputFolder; }
    void SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                         const QString& mailDate, const QString& block) override;
    int CountHeaderLabels(const QString& block) const override;
    void SetTemplate(const QString& rtfText) override { m_next.inputs.templ = rtfText; }
    void SetPhotoPath(const QString& path) override { m_photoPath = path; }
    QString ReserveDocumentPath(const QString& name) override;
    // The body is taken in memory: no body file is written and read back.
    bool SetBodyBytes(const QByteArray& bytes) override;
    bool ExportItem(const QString& bodyFile, const QString& name) override;
    bool ExportContact(const QString& bodyFile, const QString& name) override;
    bool ExportTo(bool contact, const QString& bodyFile, const QString& path) override;
    QString LastFailure() const override { return m_lastFailure; }
    QString LastWrittenPath() const override { return m_lastPath; }
    QString LastOfficeReason() const override { return m_lastOfficeReason; }

    bool WritesInBackground() const override { return m_threads > 1; }
    void SetOutcomeHandler(OutcomeHandler handler) override { m_jobs.SetOutcomeHandler(std::move(handler)); }
    void SetNextTicket(quint64 ticket) override { m_next.ticket = ticket; }
    void WaitForAll() override { m_jobs.WaitForAll(); }

    int Threads() const { return m_threads; }

    // An item the office engine wrote instead: its document and why.
    struct OfficeItem {
        QString path;
        QString reason;
    };
    // Items written by the fallback because the native writers could not
    // represent them (PDF documents are not counted), in the order written.
    std::vector<OfficeItem> WrittenByOffice() const;

private:
    struct Job {
        quint64 ticket = 0;
        NativeDocumentComposer::Inputs inputs;
        QByteArray body;
        bool bodyIsRtf = false;
        QString photoPath;   // for the fallback
        QString path;
        QString name;        // empty: `path` is fixed
        OutputOptions options;
        QString officeReason;  // written by the fallback because of this
    };
    bool take(bool contact, const QString& bodyFile, const QString& name, const QString& fixedPath);
    // Writes the job; the path written in job.path. False with `failure`.
    bool write(Job& job, QString* failure);
    bool writeWithFallback(Job& job, const QString& why, QString* failure);
    QString pathFor(const QString& name, OutputFormat format) const;
    void run();
    void stopWorkers();

    int m_threads = 1;
    QString m_root;
    QString m_outputFolder;
    QString m_outputRelative;
    QString m_folderProblem;
    QString m_photoPath;
    Job m_next;
    bool m_nextHasBody = false;  // m_next.body was handed over (SetBodyBytes)
    QString m_reservedName;
    QString m_reservedPath;
    QString m_lastFailure;
    QString m_lastPath;
    QString m_lastOfficeReason;
    bool m_running = false;
    bool m_deferringFlush = false;  // files of the run are flushed once, at ShutdownWord
    std::atomic<bool> m_wroteDocuments{false};

    // The fallback is used by one item at a time.
    mutable std::mutex m_fallbackMutex;
    std::unique_ptr<IDocumentExporter> m_fallback;
    bool m_fallbackStarted = false;
    QString m_fallbackFolder;  // the relative output folder last given to it
    std::vector<OfficeItem> m_byOffice;

    ExportJobQueue<Job> m_jobs;
    std::vector<std::thread> m_workers;
};

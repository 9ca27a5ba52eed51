#include "native/NativeExporter.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <utility>

#include "export/DestinationChecks.h"
#include "export/HeaderTableLabels.h"
#include "export/OutputNaming.h"
#include "files/PrivateTempDir.h"
#include "native/DocumentPublisher.h"
#include "notes/store/SafeFileWriter.h"
#include "rtf/RtfReader.h"
#include "worddoc/DocxWriter.h"
#include "worddoc/WordDocWriter.h"

namespace {

// Items waiting per thread: enough to keep every writer busy while the reader
// prepares the next, few enough to keep memory small.
constexpr size_t kQueuedPerThread = 8;
// Names taken meanwhile by another writer: the next number, this many times.
constexpr int kNameAttempts = 50;

bool readFile(const QString& path, QByteArray* bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// A scratch file of the private temporary directory holding `bytes`; empty on failure.
QString scratchFile(const QString& suffix, const QByteArray& bytes) {
    static std::atomic<quint64> counter{0};
    const QString path = PrivateTempDir::filePath(QStringLiteral("native-%1.%2").arg(++counter).arg(suffix));
    if (path.isEmpty()) return {};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        QFile::remove(path);
        return {};
    }
    return path;
}

}  // namespace

NativeExporter::NativeExporter(int threads) : m_threads(std::max(1, threads)), m_jobs(kQueuedPerThread) {}

NativeExporter::~NativeExporter() { ShutdownWord(); }

void NativeExporter::SetFallback(std::unique_ptr<IDocumentExporter> office) {
    std::lock_guard<std::mutex> lock(m_fallbackMutex);
    m_fallback = std::move(office);
    m_fallbackStarted = false;
}

bool NativeExporter::StartWord() {
    ShutdownWord();
    m_lastFailure.clear();
    {
        std::lock_guard<std::mutex> lock(m_fallbackMutex);
        m_byOffice.clear();
    }
    m_jobs.Restart();
    if (m_threads > 1)
        for (int i = 0; i < m_threads; ++i) m_workers.emplace_back([this] { run(); });
    // The attachments the run writes beside the documents are made durable
    // with them, once at the end, not each on its own.
    store::SafeFileWriter::beginDeferredFlush();
    m_deferringFlush = true;
    m_running = true;
    return true;
}

void NativeExporter::ShutdownWord() {
    if (!m_workers.empty()) {
        WaitForAll();
        stopWorkers();
    }
    m_running = false;
    {
        std::lock_guard<std::mutex> lock(m_fallbackMutex);
        if (m_fallback && m_fallbackStarted) m_fallback->ShutdownWord();
        m_fallbackStarted = false;
        m_fallbackFolder.clear();
    }
    if (m_wroteDocuments || m_deferringFlush) {
        // Documents and attachments are written without a flush each; the
        // run's output goes to disk once.
        m_wroteDocuments = false;
        const int fd = ::open(QFile::encodeName(m_root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        }
    }
    if (m_deferringFlush) {
        store::SafeFileWriter::endDeferredFlush();
        m_deferringFlush = false;
    }
}

void NativeExporter::SetRootFolder(const QString& path) {
    m_root = path;
    std::lock_guard<std::mutex> lock(m_fallbackMutex);
    if (m_fallback) m_fallback->SetRootFolder(path);
}

bool NativeExporter::SetOutputFolder(const QString& relative) {
    // Notes nests folders with "\\": each level becomes a directory.
    m_outputRelative = QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString folder = m_root;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    folder += m_outputRelative;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    m_outputFolder = folder;
    m_folderProblem.clear();
    int error = 0;
    QString failed;
    const QString made = MakeOutputFolder(m_root, m_outputRelative, &error, &failed);
    if (made.isEmpty())
        m_folderProblem = QStringLiteral("the folder cannot be created: ") + DescribeWriteFailure(failed, error);
    else
        m_outputFolder = made;
    return true;
}

void NativeExporter::SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                                     const QString& mailDate, const QString& block) {
    NativeDocumentComposer::Inputs& in = m_next.inputs;
    in.subject = subject;
    in.from = from;
    in.sendTo = sendTo;
    in.mailDate = mailDate;
    in.block = block;
}

int NativeExporter::CountHeaderLabels(const QString& block) const { return HeaderTableLabels::count(block); }

QString NativeExporter::pathFor(const QString& name, OutputFormat format) const {
    return DocumentPathFor(m_outputFolder, name, OutputFormats::extension(format));
}

QString NativeExporter::ReserveDocumentPath(const QString& name) {
    if (!m_reservedPath.isEmpty()) ReleasePath(m_reservedPath);  // an earlier reservation never used
    m_reservedName = name;
    m_reservedPath = pathFor(name, m_next.options.format);
    ReservePath(m_reservedPath);
    return m_reservedPath;
}

bool NativeExporter::SetBodyBytes(const QByteArray& bytes) {
    m_next.body = bytes;
    m_nextHasBody = true;
    return true;
}

bool NativeExporter::ExportItem(const QString& bodyFile, const QString& name) {
    return take(false, bodyFile, name, QString());
}

bool NativeExporter::ExportContact(const QString& bodyFile, const QString& name) {
    return take(true, bodyFile, name, QString());
}

bool NativeExporter::ExportTo(bool contact, const QString& bodyFile, const QString& path) {
    return take(contact, bodyFile, QString(), path);
}

bool NativeExporter::take(bool contact, const QString& bodyFile, const QString& name, const QString& fixedPath) {
    m_lastFailure.clear();
    m_lastPath.clear();
    m_lastOfficeReason.clear();
    Job job = m_next;
    m_next.ticket = 0;
    m_next.body.clear();
    const bool haveBody = std::exchange(m_nextHasBody, false);
    job.inputs.contact = contact;
    job.inputs.title = name;
    job.name = name;
    job.photoPath = contact ? m_photoPath : QString();
    // The photo goes with the job: the caller may remove its file meanwhile.
    if (contact && !m_photoPath.isEmpty() && !readFile(m_photoPath, &job.inputs.photo)) job.inputs.photo.clear();
    job.inputs.photo = contact ? job.inputs.photo : QByteArray();

    // The path: the one reserved for this name, or a new one held until written.
    if (!fixedPath.isEmpty()) {
        job.path = fixedPath;
    } else if (!m_reservedPath.isEmpty() && m_reservedName == name) {
        job.path = m_reservedPath;
    } else {
        if (!m_reservedPath.isEmpty()) ReleasePath(m_reservedPath);
        job.path = pathFor(name, job.options.format);
        ReservePath(job.path);
    }
    m_reservedName.clear();
    m_reservedPath.clear();
    const auto fail = [&](const QString& why) {
        if (fixedPath.isEmpty()) ReleasePath(job.path);
        m_lastFailure = why;
        return false;
    };
    if (!m_running) return fail(QStringLiteral("the native engine is not started"));
    if (fixedPath.isEmpty() && (!m_folderProblem.isEmpty() || !OutputFolderIntact(m_root, m_outputFolder))) {
        // Made again: a level replaced by a link meanwhile gets a numbered name.
        const QString relative = m_outputRelative;
        SetOutputFolder(relative);
        if (!m_folderProblem.isEmpty()) return fail(m_folderProblem);
        ReleasePath(job.path);
        job.path = pathFor(name, job.options.format);
        ReservePath(job.path);
    }
    // The caller reuses its body file for the next item: the job holds its bytes.
    if (!haveBody && !readFile(bodyFile, &job.body))
        return fail(QStringLiteral("the body file cannot be read: ") + bodyFile);
    job.bodyIsRtf = rtf::RtfReader::looksLikeRtf(job.body);

    if (m_threads <= 1) {
        QString failure;
        const bool ok = write(job, &failure);
        if (fixedPath.isEmpty()) ReleasePath(job.path);
        if (!ok) {
            m_lastFailure = failure;
            return false;
        }
        m_lastPath = job.path;
        m_lastOfficeReason = job.officeReason;
        return true;
    }
    const QString path = job.path;
    m_jobs.Push(std::move(job), m_workers.size());
    m_lastPath = path;
    return true;
}

bool NativeExporter::write(Job& job, QString* failure) {
    if (job.options.format == OutputFormat::Pdf) return writeWithFallback(job, QString(), failure);
    worddoc::WordDocument doc;
    QString why;
    if (!NativeDocumentComposer::compose(job.inputs, job.body, &doc, &why))
        return writeWithFallback(job, why, failure);
    QByteArray bytes;
    if (job.options.format == OutputFormat::Docx) {
        worddoc::DocxWriter writer;
        bytes = writer.toBytes(doc);
        why = writer.errorText();
    } else {
        worddoc::WordDocWriter writer;
        bytes = writer.toBytes(doc);
        why = writer.errorText();
    }
    if (bytes.isEmpty()) {
        if (why.isEmpty()) why = QStringLiteral("the native writer made no document");
        return writeWithFallback(job, why, failure);
    }
    const QString folder = QFileInfo(job.path).path() + QLatin1Char('/');
    for (int attempt = 0;; ++attempt) {
        const int error = DocumentPublisher::publish(job.path, bytes);
        if (error == 0) break;
        if (error != EEXIST || job.name.isEmpty() || attempt >= kNameAttempts) {
            *failure = DescribeWriteFailure(job.path, error);
            return false;
        }
        // Another writer took the name since it was chosen: the next number.
        const QString next = DocumentPathFor(folder, job.name, OutputFormats::extension(job.options.format));
        ReleasePath(job.path);
        ReservePath(next);
        job.path = next;
    }
    m_wroteDocuments = true;
    return true;
}

bool NativeExporter::writeWithFallback(Job& job, const QString& why, QString* failure) {
    std::lock_guard<std::mutex> lock(m_fallbackMutex);
    if (!m_fallback) {
        *failure = why.isEmpty() ? QStringLiteral("PDF documents are written by the office engine, which this build has not")
                                 : why;
        return false;
    }
    if (!m_fallbackStarted) {
        m_fallback->SetRootFolder(m_root);
        if (!m_fallback->StartWord()) {
            const QString reason = QStringLiteral("the office engine cannot be started: ") + m_fallback->LastFailure();
            *failure = why.isEmpty() ? reason : why + QStringLiteral("; ") + reason;
            return false;
        }
        m_fallbackStarted = true;
    }
    const QString relative = QFileInfo(job.path).path();
    if (relative != m_fallbackFolder) {
        // The folder as the office sees it: below the root, as this exporter made it.
        QString below = relative;
        if (below.startsWith(m_root)) below = below.mid(m_root.size());
        while (below.startsWith(QLatin1Char('/'))) below.remove(0, 1);
        m_fallback->SetOutputFolder(below);
        m_fallbackFolder = relative;
    }
    const QString body = scratchFile(job.bodyIsRtf ? QStringLiteral("rtf") : QStringLiteral("txt"), job.body);
    if (body.isEmpty()) {
        *failure = QStringLiteral("the body cannot be handed to the office engine: ") + PrivateTempDir::problem();
        return false;
    }
    QString photo;
    if (job.inputs.contact && !job.inputs.photo.isEmpty())
        photo = scratchFile(QFileInfo(job.photoPath).suffix().isEmpty() ? QStringLiteral("img")
                                                                         : QFileInfo(job.photoPath).suffix(),
                            job.inputs.photo);
    const NativeDocumentComposer::Inputs& in = job.inputs;
    m_fallback->SetHeaderInputs(in.subject, in.from, in.sendTo, in.mailDate, in.block);
    m_fallback->SetTemplate(in.templ);
    m_fallback->SetPhotoPath(photo);
    m_fallback->SetOutputOptions(job.options);
    const bool ok = m_fallback->ExportTo(in.contact, body, job.path);
    QFile::remove(body);
    if (!photo.isEmpty()) QFile::remove(photo);
    if (!ok) {
        const QString office = m_fallback->LastFailure();
        *failure = why.isEmpty() ? office
                                 : why + QStringLiteral("; the office engine could not write it either: ") + office;
        return false;
    }
    if (!why.isEmpty()) {
        m_byOffice.push_back({job.path, why});
        job.officeReason = why;
    }
    return true;
}

std::vector<NativeExporter::OfficeItem> NativeExporter::WrittenByOffice() const {
    std::lock_guard<std::mutex> lock(m_fallbackMutex);
    return m_byOffice;
}

void NativeExporter::run() {
    Job job;
    while (m_jobs.Take(&job)) {
        Outcome outcome;
        outcome.ticket = job.ticket;
        QString failure;
        outcome.written = write(job, &failure);
        outcome.path = job.path;
        outcome.officeReason = job.officeReason;
        if (!outcome.written)
            outcome.failure = failure.isEmpty() ? QStringLiteral("the document could not be written") : failure;
        // The document is in place (or failed): its name is no longer held.
        if (!job.name.isEmpty()) ReleasePath(job.path);
        m_jobs.Done(outcome);
    }
}

void NativeExporter::stopWorkers() {
    m_jobs.Stop();
    for (std::thread& t : m_workers)
        if (t.joinable()) t.join();
    m_workers.clear();
}

#include "office/CWordExporter.h"

#include "export/HeaderTableLabels.h"

#include <fcntl.h>
#include <cerrno>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <thread>

#include "export/DestinationChecks.h"
#include "export/OutputNaming.h"
#include "files/PrivateTempDir.h"
#include "office/LibreOfficeEngine.h"
#include "office/OfficeAutomationError.h"
#include "office/WordExporterTexts.h"

namespace {

// Removes a file when the scope ends.
class RemoveOnExit {
  public:
    explicit RemoveOnExit(QString path) : m_path(std::move(path)) {}
    ~RemoveOnExit() { QFile::remove(m_path); }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;

  private:
    QString m_path;
};

// LibreOffice engines that all use one private directory: an office restarted
// during the run finds its profile ready and starts faster.
CWordExporter::EngineFactory libreOfficeFactory() {
    static std::atomic<int> counter{0};
    LibreOfficeSettings settings;
    const QString base = PrivateTempDir::path();
    if (!base.isEmpty()) settings.workDirectory = base + QStringLiteral("/exporter-%1").arg(++counter);
    return [settings] {
        return std::unique_ptr<IOfficeAutomation>(std::make_unique<LibreOfficeEngine>(settings));
    };
}

}  // namespace

CWordExporter::CWordExporter() : CWordExporter(libreOfficeFactory()) {}

CWordExporter::CWordExporter(EngineFactory factory) : m_factory(std::move(factory)) {}

CWordExporter::~CWordExporter() {
    ShutdownWord();
}

const QStringList& CWordExporter::TableLabels() { return HeaderTableLabels::labels(); }

QString CWordExporter::LabelValue(const QString& text, const QString& label) {
    return HeaderTableLabels::value(text, label, true);
}

int CWordExporter::VersionNumber(const QString& version) {
    int i = 0;
    while (i < version.size() && version.at(i).isSpace()) ++i;
    bool negative = false;
    if (i < version.size() && (version.at(i) == QLatin1Char('+') || version.at(i) == QLatin1Char('-'))) {
        negative = version.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    while (i < version.size() && version.at(i) >= QLatin1Char('0') && version.at(i) <= QLatin1Char('9')) {
        value = value * 10 + (version.at(i).unicode() - '0');
        if (value > 1000000) break;
        ++i;
    }
    return int(negative ? -value : value);
}

void CWordExporter::releaseDocuments() {
    // A document still open is closed without saving by its handle.
    m_doc.reset();
    m_docOld.reset();
    m_docs.reset();
    m_docsOld.reset();
}

void CWordExporter::closeQuietly() {
    if (IOfficeDocument* doc = document()) {
        try {
            doc->Close(0);
        } catch (const std::exception&) {
            // Whatever is left open goes with the instance at the next restart.
        }
    }
    m_doc.reset();
    m_docOld.reset();
}

void CWordExporter::quitApplication() {
    releaseDocuments();
    if (m_app) {
        m_app->Quit();
        m_app.reset();
    }
}

bool CWordExporter::CheckWordAvailable() {
    ShutdownWord();
    try {
        std::unique_ptr<IOfficeAutomation> app = m_factory();
        QString error;
        if (!app || !app->Create(&error)) {
            m_strLastError = WordExporterTexts::wordMissing();
            m_lastFailure = error;
            return false;
        }
        app->Quit();
        return true;
    } catch (...) {
        m_strLastError = WordExporterTexts::unknownError();
        return false;
    }
}

bool CWordExporter::startOnce(QString* error) {
    quitApplication();
    try {
        m_app = m_factory();
        if (!m_app || !m_app->Create(error)) {
            m_app.reset();
            if (error && error->isEmpty()) *error = WordExporterTexts::wordMissing();
            return false;
        }
        m_app->SetVisible(false);
        m_documentsSinceStart = 0;
        if (VersionNumber(m_app->Version()) <= 9)
            m_docsOld = m_app->Documents();
        else
            m_docs = m_app->Documents();
        ++m_startCount;
        return true;
    } catch (const std::exception& e) {
        // An instance that died while it was being set up.
        if (error) *error = QString::fromStdString(e.what());
        quitApplication();
        return false;
    }
}

bool CWordExporter::startWithRetries() {
    using namespace std::chrono;
    milliseconds pause = m_policy.firstPause;
    QString error;
    const int attempts = std::max(1, m_policy.attemptsPerItem);
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, m_policy.longestPause);
        }
        error.clear();
        if (startOnce(&error)) {
            m_unavailableSince.reset();
            return true;
        }
        const auto now = steady_clock::now();
        if (!m_unavailableSince) m_unavailableSince = now;
        if (now - *m_unavailableSince >= m_policy.giveUpAfter) {
            m_gaveUp = true;
            break;
        }
    }
    if (error.isEmpty()) error = WordExporterTexts::wordMissing();
    if (m_gaveUp) {
        const qint64 seconds = duration_cast<std::chrono::seconds>(steady_clock::now() - *m_unavailableSince).count();
        m_lastFailure = QStringLiteral("the word processor could not be started for %1 s; the run gave up on it: %2")
                            .arg(seconds)
                            .arg(error);
        m_gaveUpReason = m_lastFailure;
    } else {
        m_lastFailure = QStringLiteral("the word processor could not be started: ") + error;
    }
    return false;
}

bool CWordExporter::ensureRunning() {
    if (m_app && m_app->IsCreated()) return true;
    if (!m_runActive) {
        m_lastFailure = QStringLiteral("the word processor is not running");
        return false;
    }
    if (m_gaveUp) {
        m_lastFailure = m_gaveUpReason;
        return false;
    }
    return startWithRetries();
}

bool CWordExporter::StartWord() {
    m_gaveUp = false;
    m_unavailableSince.reset();
    m_lastFailure.clear();
    m_runActive = false;
    if (!PrivateTempDir::usable()) {
        m_strLastError = PrivateTempDir::problem();
        m_lastFailure = m_strLastError;
        return false;
    }
    if (!startWithRetries()) {
        m_gaveUp = false;
        m_strLastError = WordExporterTexts::wordMissing();
        return false;
    }
    m_runActive = true;
    return true;
}

void CWordExporter::ShutdownWord() {
    m_runActive = false;
    quitApplication();
    if (m_wroteDocuments) {
        // Documents are stored without a flush each; put the run's output on disk once.
        m_wroteDocuments = false;
        const int fd =
            ::open(QFile::encodeName(m_strRootFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        }
    }
}

void CWordExporter::SetRootFolder(const QString& path) {
    m_strRootFolder = path;
}

bool CWordExporter::SetOutputFolder(const QString& relative) {
    // Notes nests folders with "\\": each level becomes a directory.
    m_strOutputRelative = QString(relative).replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString folder = m_strRootFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    folder += m_strOutputRelative;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    m_strOutputFolder = folder;
    m_folderProblem.clear();
    int error = 0;
    QString failed;
    const QString made = MakeOutputFolder(m_strRootFolder, m_strOutputRelative, &error, &failed);
    if (made.isEmpty()) {
        // Each item of the folder fails with this text instead of an office error.
        m_folderProblem = QStringLiteral("the folder cannot be created: ") + DescribeWriteFailure(failed, error);
    } else {
        m_strOutputFolder = made;
    }
    return true;
}

QString CWordExporter::GetOutputFolder() const {
    return m_strOutputFolder;
}

void CWordExporter::SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                                    const QString& mailDate, const QString& block) {
    m_strSubject = subject;
    m_strFrom = from;
    m_strSendTo = sendTo;
    m_strMailDate = mailDate;
    m_strHeaderBlock = block;
}

int CWordExporter::CountHeaderLabels(const QString& block) const { return HeaderTableLabels::count(block); }

void CWordExporter::SetTemplate(const QString& rtfText) {
    m_strTemplate = rtfText;
}

void CWordExporter::SetPhotoPath(const QString& path) {
    m_strPhotoPath = path;
}

bool CWordExporter::ExportItem(const QString& bodyFile, const QString& name) {
    return exportAs(Kind::Item, bodyFile, name);
}

bool CWordExporter::ExportContact(const QString& bodyFile, const QString& name) {
    return exportAs(Kind::Contact, bodyFile, name);
}

QString CWordExporter::ReserveDocumentPath(const QString& name) {
    m_reservedName = name;
    m_reservedPath = DocumentPathFor(m_strOutputFolder, name, OutputFormats::extension(m_outputOptions.format));
    return m_reservedPath;
}

QString CWordExporter::documentPath(const QString& name) const {
    if (!m_reservedPath.isEmpty() && name == m_reservedName) return m_reservedPath;
    return DocumentPathFor(m_strOutputFolder, name, OutputFormats::extension(m_outputOptions.format));
}

bool CWordExporter::ExportTo(bool contact, const QString& bodyFile, const QString& path) {
    return exportAs(contact ? Kind::Contact : Kind::Item, bodyFile, QString(), path);
}

bool CWordExporter::exportAs(Kind kind, const QString& bodyFile, const QString& name, const QString& fixedPath) {
    // A path reserved for this name is used once.
    struct ClearReservation {
        CWordExporter& e;
        ~ClearReservation() {
            e.m_reservedName.clear();
            e.m_reservedPath.clear();
        }
    } clearReservation{*this};
    m_lastFailure.clear();
    m_lastWrittenPath.clear();
    // A fresh instance now and then keeps the office's memory bounded.
    if (m_app && m_restartEvery > 0 && m_documentsSinceStart >= m_restartEvery) quitApplication();
    // An instance that ended under the item (killed, crashed) gets the item
    // once more on a new instance: an office killed while idle or twice in a
    // row costs nothing. One that hung does not: the item may be the cause.
    if (!m_folderProblem.isEmpty() || !OutputFolderIntact(m_strRootFolder, m_strOutputFolder)) {
        // Made again: a level replaced by a link meanwhile gets a numbered name.
        SetOutputFolder(m_strOutputRelative);
        if (!m_folderProblem.isEmpty()) {
            m_lastFailure = m_folderProblem;
            return false;
        }
    }
    for (int attempt = 0;; ++attempt) {
        if (!ensureRunning()) return false;
        m_currentName = name;
        m_currentPath = fixedPath.isEmpty() ? documentPath(name) : fixedPath;
        const QString& path = m_currentPath;
        m_saved = false;
        try {
            m_app->SetVisible(false);
            ++m_documentsSinceStart;
            const bool ok =
                kind == Kind::Item ? exportDocument(bodyFile, path) : exportContact(bodyFile, path);
            if (ok) {
                m_lastWrittenPath = path;
                m_wroteDocuments = true;
            }
            return ok;
        } catch (const OfficeAutomationError& e) {
            m_lastFailure = e.text();
            // An instance that died or hung is replaced; one that only refused this
            // document (a file it cannot write, say) closes it and serves the next item.
            if (!e.instanceLost()) {
                closeQuietly();
                return false;
            }
            restartAfterLoss();
            if (m_saved) {
                // The document was published before the instance went: it is written.
                m_lastFailure.clear();
                m_lastWrittenPath = path;
                m_wroteDocuments = true;
                return true;
            }
            if (e.hung() || attempt > 0) return false;
        } catch (const std::exception& e) {
            m_lastFailure = QString::fromStdString(e.what());
            m_doc.reset();
            m_docOld.reset();
            restartAfterLoss();
            return false;
        }
    }
}

void CWordExporter::restartAfterLoss() {
    // The item keeps its own failure; a restart that fails now is tried again
    // before the next item.
    const QString failure = m_lastFailure;
    quitApplication();
    if (m_runActive && !m_gaveUp) startWithRetries();
    m_lastFailure = failure;
}

void CWordExporter::composeTableText() {
    m_strTableText.clear();
    if (!m_strSubject.isEmpty())
        m_strTableText += QStringLiteral("Subject:") + m_strSubject + QLatin1Char('\n');
    if (!m_strFrom.isEmpty()) m_strTableText += QStringLiteral("From:") + m_strFrom + QLatin1Char('\n');
    if (!m_strSendTo.isEmpty() && m_strSendTo != QStringLiteral("."))
        m_strTableText += QStringLiteral("SendTo: ") + m_strSendTo + QLatin1Char('\n');
    if (!m_strMailDate.isEmpty())
        m_strTableText += QStringLiteral("MailDate:") + m_strMailDate + QLatin1Char('\n');
    if (!m_strHeaderBlock.isEmpty() && m_strHeaderBlock != QStringLiteral("Attachment:"))
        m_strTableText += QLatin1Char(' ') + m_strHeaderBlock + QLatin1Char('\n');
}

int CWordExporter::generation() {
    return VersionNumber(m_app->Version());
}

IOfficeDocument* CWordExporter::document() const {
    return m_doc ? m_doc.get() : m_docOld.get();
}

bool CWordExporter::openBody(const QString& bodyFile) {
    OpenArguments args;
    args.fileName = bodyFile;
    args.readOnly = 1;
    args.needsLayout = m_outputOptions.format == OutputFormat::Pdf;
    if (generation() <= 9) {
        args.form = AutomationForm::Old;
        if (!m_docsOld) m_docsOld = m_app->Documents();
        m_docOld = m_docsOld->Open(args);
    } else {
        args.form = AutomationForm::New;
        if (!m_docs) m_docs = m_app->Documents();
        m_doc = m_docs->Open(args);
    }
    if (document()) return true;
    m_lastFailure = QStringLiteral("the body file could not be opened: ") + bodyFile;
    return false;
}

bool CWordExporter::exportDocument(const QString& bodyFile, const QString& path) {
    composeTableText();
    if (!openBody(bodyFile)) return false;
    insertHeaderTable();
    saveAndClose(path);
    return true;
}

void CWordExporter::insertHeaderTable() {
    const QString tableFile = PrivateTempDir::filePath(m_tableFileName);
    if (tableFile.isEmpty()) return;
    QFile::remove(tableFile);
    if (m_strTemplate.isEmpty()) return;
    {
        QFile file(tableFile);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return;
        const QByteArray bytes = m_strTemplate.toLatin1();
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            file.close();
            QFile::remove(tableFile);
            return;
        }
    }
    RemoveOnExit removeTableFile(tableFile);
    m_app->SetSelectionStart(0);
    m_app->SetSelectionEnd(0);
    m_app->SelectionInsertFile(tableFile, 0, 0);
    fillHeaderTable();
}

void CWordExporter::fillHeaderTable() {
    IOfficeDocument* doc = document();
    int row = 1;
    for (const QString& label : TableLabels()) {
        if (!HeaderTableLabels::has(m_strTableText, label)) continue;
        doc->SetTableCellText(1, row, 1, label);
        doc->SetTableCellText(1, row, 2, LabelValue(m_strTableText, label));
        ++row;
    }
}

void CWordExporter::saveAndClose(const QString& path) {
    SaveAsArguments args;
    args.form = m_doc ? AutomationForm::New : AutomationForm::Old;
    args.fileName = path;
    args.fileFormat = OutputFormats::saveAsFileFormat(m_outputOptions.format);
    args.pdfArchivePart = m_outputOptions.embedAttachments ? 3 : 2;
    args.lockComments = 0;
    args.addToRecentFiles = 0;
    args.remaining = 0;
    IOfficeDocument* doc = document();
    for (int attempt = 0;; ++attempt) {
        try {
            doc->SaveAs(args);
            break;
        } catch (const OfficeAutomationError& e) {
            // Another writer took the name since it was chosen: the next number
            // (a path given whole has none).
            if (e.instanceLost() || e.sysError() != EEXIST || attempt >= 50 || m_currentName.isEmpty()) throw;
            m_reservedPath.clear();
            m_currentPath = documentPath(m_currentName);
            args.fileName = m_currentPath;
        }
    }
    m_saved = true;
    doc->Close(0);
    m_doc.reset();
    m_docOld.reset();
}

bool CWordExporter::exportContact(const QString& bodyFile, const QString& path) {
    composeTableText();
    if (!openBody(bodyFile)) return false;
    m_app->SetSelectionStart(0);
    m_app->SetSelectionEnd(0);
    m_app->SetSelectionRangeText(m_strTableText);
    if (m_doc) {
        m_app->SetSelectionRangeFontSize(11.0);
        m_app->SetSelectionRangeFontColor(0);
        m_app->SetSelectionRangeFontBold(1);
    } else {
        m_app->SetSelectionRangeFontSize(10.0);
        m_app->SetSelectionRangeFontColor(1);
        m_app->SetSelectionRangeFontBold(1);
    }
    if (!m_strPhotoPath.isEmpty()) {
        // A photo that cannot be read costs the photo, not the contact.
        const QFileInfo photo(m_strPhotoPath);
        if (photo.isFile() && photo.isReadable()) {
            try {
                document()->AddInlinePicture(m_strPhotoPath);
            } catch (const OfficeAutomationError& e) {
                if (e.instanceLost()) throw;
            }
        }
    }
    saveAndClose(path);
    return true;
}

#include "convert/CNotesConverter.h"

#include "export/ContactHeaderText.h"
#include "export/DestinationChecks.h"
#include "export/HeaderTemplates.h"
#include "export/IDocumentExporter.h"
#include "export/OutputNaming.h"
#include "export/PdfAttachmentEmbedder.h"
#include "items/AddressNormalizers.h"
#include "items/DocumentFields.h"
#include "items/ItemFieldReaders.h"
#include "items/ItemRecordReaders.h"
#include "items/NotesItemKind.h"
#include "rtf/HeaderTableRtf.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include <atomic>
#include <exception>

namespace {

// Default names, one counter per kind, for the life of the process.
std::atomic<int> g_emailCounter{0};
std::atomic<int> g_calendarCounter{0};
std::atomic<int> g_contactCounter{0};
std::atomic<int> g_taskCounter{0};
std::atomic<int> g_journalCounter{0};
std::atomic<int> g_documentCounter{0};

QString defaultName(const char* word, std::atomic<int>& counter) {
    return QString::fromLatin1(word) + QString::number(counter.fetch_add(1));
}

void removeBodyFiles(const QString& temp) {
    if (temp.isEmpty()) return;
    QFile::remove(temp + QStringLiteral("NewRtf.rtf"));
    QFile::remove(temp + QStringLiteral("NewTxt.txt"));
}

void setBar(IProgressBar* bar, int position) {
    if (bar && bar->hasWindow()) bar->setPosition(position);
}

}  // namespace

QString CNotesConverter::ErrorTextFor(LNSTATUS status) {
    char buffer[512] = {0};
    LNGetErrorMessageText(status, buffer, 512, 0);
    return QString::fromUtf8(buffer);
}

bool CNotesConverter::OpenExportFolder(const QString& name) {
    m_exportFolderName = name;
    const LNString lnName = WideToLNString(name);
    if (!m_database.ViewFolderExists(lnName)) {
        exportReport.addFolderFailure(name, QStringLiteral("folder not found in the database"));
        return false;
    }
    m_database.GetViewFolder(lnName, &m_currentFolder);
    m_currentFolder.Open(0);
    return true;
}

void CNotesConverter::ExportFolder(const QString& folderNameIn) {
    if (folderNameIn.isEmpty()) return;
    QString name = folderNameIn;
    if (name.endsWith(QLatin1Char('\\'))) name.chop(1);
    try {
        if (!OpenExportFolder(name)) return;
        // The name is compared in the API's native form read back as text.
        if (QString::fromUtf8(m_currentFolder.GetName().GetBuf()) == name) ExportFolderItems();
        m_currentFolder.Close();
    } catch (LNSTATUS status) {
        lastErrorText = QStringLiteral("Error while parsing folders");
        exportReport.addFolderFailure(name, QStringLiteral("folder cannot be read: ") + ErrorTextFor(status));
    }
}

void CNotesConverter::ListNotConverted(int from) {
    const int count = m_currentFolder.GetEntryCount();
    for (int i = from; i < count; ++i) {
        NOTEID noteId = 0;
        try {
            noteId = m_currentFolder[i].GetNoteID();
        } catch (LNSTATUS) {
        }
        exportReport.addNotConverted(m_exportFolderName, noteId, abortReason);
    }
}

void CNotesConverter::BeginSourceRun() {
    QMutexLocker lock(&m_failFastMutex);
    abortReason.clear();
    failFast.reset();
    m_pendingAbort.clear();
    m_abortPending = false;
}

bool CNotesConverter::TakePendingAbort() {
    if (m_abortPending.exchange(false)) {
        QMutexLocker lock(&m_failFastMutex);
        if (abortReason.isEmpty()) abortReason = m_pendingAbort;
    }
    return !abortReason.isEmpty();
}

void CNotesConverter::NoteItemFailure(const QString& folder, const QString& why) {
    QMutexLocker lock(&m_failFastMutex);
    if (!m_pendingAbort.isEmpty()) return;
    m_pendingAbort = failFast.onFailure(folder, why);
    if (!m_pendingAbort.isEmpty()) m_abortPending = true;
}

void CNotesConverter::NoteItemWritten() {
    QMutexLocker lock(&m_failFastMutex);
    failFast.onWritten();
}

void CNotesConverter::ListFolderNotConverted(const QString& folderNameIn) {
    QString name = folderNameIn;
    if (name.endsWith(QLatin1Char('\\'))) name.chop(1);
    if (name.isEmpty()) return;
    try {
        if (!OpenExportFolder(name)) return;
        exportReport.addFound(m_currentFolder.GetEntryCount());
        ListNotConverted(0);
        m_currentFolder.Close();
    } catch (LNSTATUS status) {
        exportReport.addFolderFailure(name, QStringLiteral("folder cannot be read: ") + ErrorTextFor(status));
    }
}

void CNotesConverter::ExportFolderItems() {
    const int count = m_currentFolder.GetEntryCount();
    if (cancelRequested || stopRequested || TakePendingAbort()) {
        // Stopped before this folder's first item: its items are counted and named.
        exportReport.addFound(count);
        ListNotConverted(0);
        return;
    }
    setBar(itemProgressBar, 0);
    const QString temp = TempFolder();
    removeBodyFiles(temp);

    exportReport.addFound(count);
    if (journal) journal->recordFolder(journalDatabase, m_exportFolderName, count);
    int i = 0;
    for (; i < count && !cancelRequested && !stopRequested && !TakePendingAbort(); ++i) {
        const int position = (i + 1) * 100 / count;
        if (itemStatusBar && itemStatusBar->hasWindow()) {
            itemStatusBar->setText(QStringLiteral("Saving Item %1 of %2 ...").arg(i + 1).arg(count));
            itemStatusBar->setPosition(position);
        }
        setBar(itemProgressBar, 0);

        LNDocument document;
        NOTEID noteId = 0;
        try {
            const LNVFEntry entry = m_currentFolder[i];
            noteId = entry.GetNoteID();
            if (oncePerDocument && m_writtenIn.contains(noteId)) {
                // Written in an earlier folder of this run: named, not written again.
                exportReport.addWrittenElsewhere(m_exportFolderName, noteId, m_writtenIn.value(noteId));
                setBar(itemProgressBar, 100);
                continue;
            }
            entry.GetDocument(&document);
            document.Open(0);
        } catch (LNSTATUS status) {
            const QString why = QStringLiteral("document cannot be read: ") + ErrorTextFor(status);
            exportReport.addFailure(m_exportFolderName, noteId, why);
            if (journal) journal->recordFailed({journalDatabase, m_exportFolderName, noteId, QString()}, why);
            NoteItemFailure(wordExporter ? wordExporter->GetOutputFolder() : QString(), why);
            continue;
        }
        m_itemKey = {journalDatabase, m_exportFolderName, noteId, QString()};
        m_itemModified.clear();
        if (const auto& data = document.data()) {
            m_itemKey.unid = data->unid;
            m_itemModified = data->changeMark;
        }
        if (wordExporter && wordExporter->GaveUp()) {
            // No word processor for the rest of the run: each item is named, none is worked on.
            exportReport.addFailure(m_exportFolderName, noteId, wordExporter->LastFailure());
            if (journal) journal->recordFailed(m_itemKey, wordExporter->LastFailure());
            try {
                document.Close();
            } catch (...) {
            }
            continue;
        }

        if (dateRange.isActive()) {
            // Outside the range: left out and counted, never a failure. Without
            // a readable date the item is converted and counted as such.
            ItemDateRange::Verdict verdict = ItemDateRange::Verdict::Unknown;
            try {
                verdict = dateRange.check(document, DetectItemKind(document));
            } catch (...) {
            }
            if (verdict == ItemDateRange::Verdict::Outside) {
                exportReport.addOutsideDateRange();
                try {
                    document.Close();
                } catch (...) {
                }
                setBar(itemProgressBar, 100);
                continue;
            }
            if (verdict == ItemDateRange::Verdict::Unknown) exportReport.addDateUnknown();
        }

        int rtfReady = 0;
        QString rtfText, plainText;
        try {
            ExportBody(document, rtfReady, rtfText, plainText, 0, true);
        } catch (...) {
        }

        m_itemOutcome = ItemOutcome();
        try {
            switch (DetectItemKind(document)) {
                case Mail: SaveMailItem(document, rtfReady, rtfText, plainText); break;
                case Calendar: SaveCalendarItem(document, rtfReady, rtfText, plainText); break;
                case Contact: SaveContactItem(document, rtfReady, rtfText, plainText); break;
                case Task: SaveTaskItem(document, rtfReady, rtfText, plainText); break;
                case Journal: SaveJournalItem(document, rtfReady, rtfText, plainText); break;
                case Document: SaveDocumentItem(document, rtfReady, rtfText, plainText); break;
            }
        } catch (LNSTATUS status) {
            if (m_itemOutcome.failure.isEmpty()) m_itemOutcome.failure = ErrorTextFor(status);
        } catch (const std::exception& e) {
            if (m_itemOutcome.failure.isEmpty())
                m_itemOutcome.failure = QStringLiteral("the document could not be written: ") + QString::fromLocal8Bit(e.what());
        } catch (...) {
            // An error from the office engine that nothing below named: most
            // often the office went away while it wrote the document.
            if (m_itemOutcome.failure.isEmpty()) {
                const QString engine = wordExporter ? wordExporter->LastFailure() : QString();
                m_itemOutcome.failure =
                    engine.isEmpty()
                        ? QStringLiteral("the document could not be written: the office engine failed while writing it "
                                         "(it may have been stopped or have crashed); convert --resume writes it again")
                        : QStringLiteral("the document could not be written: ") + engine;
            }
        }
        if (oncePerDocument && (m_itemOutcome.deferred || m_itemOutcome.skipped || m_itemOutcome.written))
            m_writtenIn.insert(noteId, m_exportFolderName);
        if (m_itemOutcome.deferred) {
            // Counted when the office instance has written it.
        } else if (m_itemOutcome.skipped) {
            exportReport.addAlreadyWritten();
        } else if (m_itemOutcome.written) {
            exportReport.addWritten();
            if (!m_itemOutcome.officeReason.isEmpty())
                exportReport.addWrittenByOffice(m_exportFolderName, noteId, m_itemOutcome.path,
                                                m_itemOutcome.officeReason);
            NoteItemWritten();
        } else {
            const QString why =
                m_itemOutcome.failure.isEmpty() ? QStringLiteral("no document written") : m_itemOutcome.failure;
            exportReport.addFailure(m_exportFolderName, noteId, why);
            if (journal) journal->recordFailed(m_itemKey, why);
            NoteItemFailure(wordExporter ? wordExporter->GetOutputFolder() : QString(), why);
        }
        if (!m_itemOutcome.embedProblem.isEmpty())
            exportReport.addAttachmentFailure(
                m_exportFolderName, noteId, QStringLiteral("(copies inside the PDF)"),
                QStringLiteral("not embedded in the PDF (written beside it): ") + m_itemOutcome.embedProblem);
        for (const AttachmentFailure& a : m_itemOutcome.attachments)
            exportReport.addAttachmentFailure(m_exportFolderName, noteId, a.name, a.reason);
        // A field whose value could not be read (a damaged date, say) is lost
        // from the document: named on a line of its own, as a field.
        if (document.data())
            for (const store::StoreItem& item : document.data()->items)
                if (item.unreadable || !item.problem.isEmpty())
                    exportReport.addFieldFailure(m_exportFolderName, noteId, item.name,
                                                 QStringLiteral("the value cannot be read: ") + item.problem);

        try {
            document.Close();
        } catch (...) {
        }
        if (m_bodyFileWritten) removeBodyFiles(temp);
        m_bodyFileWritten = false;
        setBar(itemProgressBar, 100);
    }
    removeBodyFiles(temp);
    ListNotConverted(i);
}

QString CNotesConverter::WriteBodyFile(int rtfReady, const QByteArray& bytes) {
    const QString temp = TempFolder();
    if (temp.isEmpty()) {
        m_itemOutcome.failure = QStringLiteral("no temporary folder for the body file");
        return QString();
    }
    const QString path = temp + (rtfReady ? QStringLiteral("NewRtf.rtf") : QStringLiteral("NewTxt.txt"));
    QFile file(path);
    m_bodyFileWritten = true;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        file.close();
        QFile::remove(path);
        m_itemOutcome.failure = QStringLiteral("body file cannot be written: ") + file.errorString();
        return QString();
    }
    return path;
}

QByteArray CNotesConverter::BodyBytes(int rtfReady, const QString& rtfText, const QString& plainText) {
    // The RTF was read as 8-bit text; it goes back byte for byte.
    if (rtfReady) return rtfText.toLatin1();
    QByteArray bytes;
    bytes.reserve(2 + plainText.size() * 2);
    bytes.append(char(0xFF)).append(char(0xFE));
    for (const QChar c : plainText) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

bool CNotesConverter::DetachInto(LNDocument& document, QString& dir, const QString& name,
                                 const QStringList& attachmentNames) {
    if (attachmentNames.isEmpty() || dir.isEmpty() || !wordExporter) return true;
    int error = 0;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (attempt > 0) {
            // Taken meanwhile by another writer: the next number.
            dir = AttachmentDirectoryFor(wordExporter->GetOutputFolder(), name);
            if (journal && !journal->recordBegin(m_itemKey, m_itemModified, m_itemDocumentPath, dir)) {
                m_itemOutcome.failure = journal->writeFailure();
                return false;
            }
        }
        if (::mkdir(QFile::encodeName(dir).constData(), 0777) == 0) {
            error = 0;
            m_pathsOfThisRun.insert(dir);
            if (journal && !journal->recordAttachmentFolder(m_itemKey, m_itemDocumentPath, dir)) {
                // Not known to the journal: not kept, and nothing goes into it.
                ::rmdir(QFile::encodeName(dir).constData());
                m_itemOutcome.failure = journal->writeFailure();
                return false;
            }
            break;
        }
        error = errno;
        if (error != EEXIST) break;
    }
    if (error != 0) {
        const QString why = QStringLiteral("the folder cannot be created: ") + DescribeWriteFailure(dir, error);
        for (const QString& a : attachmentNames) m_itemOutcome.attachments.append({a, why});
        return true;
    }
    DetachAttachments(document, dir, &m_itemOutcome.attachments);
    return true;
}

bool CNotesConverter::AdoptFromDisk(const QString& name, bool withAttachments) {
    const QString folder = wordExporter->GetOutputFolder();
    const QString mark = RunJournal::noteMarkFor(m_itemKey, m_itemModified);
    const uid_t uid = ::getuid();
    const auto free = [this](const QString& path) {
        return !m_pathsOfThisRun.contains(path) && !journal->claims(path);
    };
    // A document of this note carries its mark; one without a mark (a file
    // system without extended attributes) is matched by the name the item
    // gets, in the order the names were given.
    QString document, byName;
    for (const QString& path : ExistingDocumentPathsFor(folder, name, OutputFormats::extension(outputOptions.format))) {
        struct stat info;
        if (!free(path) || ::lstat(QFile::encodeName(path).constData(), &info) != 0 || info.st_uid != uid ||
            info.st_size == 0)
            continue;
        const QString found = RunJournal::noteMarkOf(path);
        if (found == mark) {
            document = path;
            break;
        }
        if (found.isEmpty() && byName.isEmpty()) byName = path;
    }
    const bool marked = !document.isEmpty();
    if (!marked) document = byName;
    const QStringList dirs = withAttachments ? ExistingAttachmentDirectoriesFor(folder, name) : QStringList();
    if (document.isEmpty()) {
        // Nothing written for the item; an empty attachment folder a run left
        // behind for it goes, so that the item's attachments get its name.
        for (const QString& dir : dirs)
            if (free(dir) && RunJournal::noteMarkOf(dir).isEmpty() &&
                ::rmdir(QFile::encodeName(dir).constData()) == 0)
                break;
        return false;
    }
    QString attachmentDir;
    for (const QString& dir : dirs) {
        if (!free(dir)) continue;
        const QString found = RunJournal::noteMarkOf(dir);
        if (marked ? found == mark : found.isEmpty()) {
            attachmentDir = dir;
            break;
        }
    }
    m_pathsOfThisRun.insert(document);
    if (!attachmentDir.isEmpty()) m_pathsOfThisRun.insert(attachmentDir);
    if (!journal->adopt(m_itemKey, m_itemModified, document, attachmentDir)) {
        m_itemOutcome.failure = journal->writeFailure();
        return true;
    }
    m_itemOutcome.skipped = true;
    return true;
}

void CNotesConverter::EmbedAttachmentsInPdf(const QString& pdfPath, const QString& attachmentDir) {
    if (pdfPath.isEmpty() || attachmentDir.isEmpty()) return;
    QString why;
    if (!PdfAttachmentEmbedder::EmbedDirectory(pdfPath, attachmentDir, &why))
        m_itemOutcome.embedProblem = why;
}

void CNotesConverter::SaveItem(LNDocument& document, int kind, const QString& name, const HeaderInputs& header,
                               const QStringList& attachmentNames, int rtfReady, const QString& rtfText,
                               const QString& plainText) {
    if (kind == Contact) contactPhotoPath.clear();
    if (!wordExporter) {
        m_itemOutcome.failure = QStringLiteral("no document exporter");
        return;
    }
    QString replaces;
    if (journal && resumeRun) {
        if (const std::optional<JournalWritten> done = journal->written(m_itemKey)) {
            if (done->modified != m_itemModified) {
                // Changed since it was written: written again beside the old one.
                replaces = done->files.front().path;
            } else if (journal->isPresent(*done)) {
                m_itemOutcome.skipped = true;
                journal->recordSkipped(m_itemKey);
                return;
            } else {
                // Incomplete (a file lost or cut short): written again in its place.
                journal->removeOutput(*done);
            }
        } else if (AdoptFromDisk(name, !attachmentNames.isEmpty())) {
            return;
        }
    }
    if (journal && !journal->writeFailure().isEmpty()) {
        // What the journal cannot record is not written.
        m_itemOutcome.failure = journal->writeFailure();
        return;
    }
    wordExporter->SetOutputOptions(outputOptions);
    // The names are chosen, and recorded, before anything is written for the item.
    const QString documentPath = wordExporter->ReserveDocumentPath(name);
    m_itemDocumentPath = documentPath;
    m_pathsOfThisRun.insert(documentPath);
    QString attachmentDir =
        attachmentNames.isEmpty() ? QString() : AttachmentDirectoryFor(wordExporter->GetOutputFolder(), name);
    if (journal && !journal->recordBegin(m_itemKey, m_itemModified, documentPath, attachmentDir)) {
        m_itemOutcome.failure = journal->writeFailure();
        return;
    }
    if (!DetachInto(document, attachmentDir, name, attachmentNames)) return;
    // The body goes to the exporter in memory when it takes it so, else as a file.
    const QByteArray body = BodyBytes(rtfReady, rtfText, plainText);
    QString bodyFile;
    if (!wordExporter->SetBodyBytes(body)) {
        bodyFile = WriteBodyFile(rtfReady, body);
        if (bodyFile.isEmpty()) return;
    }
    // An exporter that writes in the background reports the outcome later.
    const bool background = wordExporter->WritesInBackground();
    const bool embedInPdf = outputOptions.format == OutputFormat::Pdf && outputOptions.embedAttachments;
    quint64 ticket = 0;
    if (background) {
        ticket = ++m_nextTicket;
        QMutexLocker lock(&m_pendingMutex);
        m_pending.insert(ticket, {m_itemKey, m_itemModified, attachmentDir, replaces, embedInPdf});
        wordExporter->SetNextTicket(ticket);
    }
    bool ok;
    if (kind == Contact) {
        // The photo goes into the document in the RTF saving modes only.
        wordExporter->SetPhotoPath(savingMode != Text ? contactPhotoPath : QString());
        wordExporter->SetHeaderInputs(header.subject, header.from, header.sendTo, QString(), header.block);
        ok = wordExporter->ExportContact(bodyFile, name);
    } else if (!header.table.isEmpty()) {
        // Filled already: no label of the block is looked for in it.
        wordExporter->SetHeaderInputs(QString(), QString(), QString(), QString(), QString());
        wordExporter->SetTemplate(header.table);
        ok = wordExporter->ExportItem(bodyFile, name);
    } else {
        wordExporter->SetHeaderInputs(QString(), QString(), QString(), QString(), header.block);
        const int rows = wordExporter->CountHeaderLabels(header.block);
        wordExporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(rows)));
        ok = wordExporter->ExportItem(bodyFile, name);
    }
    if (!bodyFile.isEmpty()) QFile::remove(bodyFile);
    if (background) {
        if (ok) {
            m_itemOutcome.deferred = true;
            return;
        }
        QMutexLocker lock(&m_pendingMutex);
        m_pending.remove(ticket);
    }
    if (ok && embedInPdf)
        EmbedAttachmentsInPdf(wordExporter->LastWrittenPath(), attachmentDir);
    m_itemOutcome.written = ok;
    if (ok) {
        m_itemOutcome.path = wordExporter->LastWrittenPath();
        m_itemOutcome.officeReason = wordExporter->LastOfficeReason();
    }
    if (ok && journal &&
        !journal->recordWritten(m_itemKey, m_itemModified, wordExporter->LastWrittenPath(), attachmentDir, replaces)) {
        // Written but not recorded: not counted as written (a resume undoes and writes it again).
        m_itemOutcome.written = false;
        m_itemOutcome.failure = journal->writeFailure();
        return;
    }
    if (!ok) {
        const QString why = wordExporter->LastFailure();
        m_itemOutcome.failure = why.isEmpty() ? QStringLiteral("the office could not write the document") : why;
    }
}

void CNotesConverter::OnBackgroundOutcome(const IDocumentExporter::Outcome& outcome) {
    PendingItem item;
    {
        QMutexLocker lock(&m_pendingMutex);
        const auto it = m_pending.find(outcome.ticket);
        if (it == m_pending.end()) return;
        item = it.value();
        m_pending.erase(it);
    }
    if (outcome.written) {
        QString why;
        if (item.embedInPdf && !item.attachmentDir.isEmpty() &&
            !PdfAttachmentEmbedder::EmbedDirectory(outcome.path, item.attachmentDir, &why))
            exportReport.addAttachmentFailure(item.key.folder, item.key.noteId, QStringLiteral("(copies inside the PDF)"),
                                              QStringLiteral("not embedded in the PDF (written beside it): ") + why);
        if (!journal ||
            journal->recordWritten(item.key, item.modified, outcome.path, item.attachmentDir, item.replaces)) {
            exportReport.addWritten();
            if (!outcome.officeReason.isEmpty())
                exportReport.addWrittenByOffice(item.key.folder, item.key.noteId, outcome.path, outcome.officeReason);
            NoteItemWritten();
            return;
        }
        // Written but not recorded: a resume undoes it and writes it again.
        exportReport.addFailure(item.key.folder, item.key.noteId, journal->writeFailure());
        return;
    }
    const QString why =
        outcome.failure.isEmpty() ? QStringLiteral("the office could not write the document") : outcome.failure;
    exportReport.addFailure(item.key.folder, item.key.noteId, why);
    if (journal) journal->recordFailed(item.key, why);
    // Written beside the document it would have been: the folder of its path.
    NoteItemFailure(outcome.path.isEmpty() ? QString() : QFileInfo(outcome.path).path(), why);
}

void CNotesConverter::SaveMailItem(LNDocument& document, int rtfReady, const QString& rtfText,
                                   const QString& plainText) {
    QStringList names;
    const MailRecord record = ReadMailRecord(document, &names);
    QString name = ReadTextItem(document, QStringLiteral("Subject"));
    for (QChar& c : name)
        if (c == QLatin1Char('\t') || c.unicode() == 0x81 || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    if (name.isEmpty()) name = defaultName("EmailName", g_emailCounter);
    SaveItem(document, Mail, name, {QString(), QString(), QString(), record.BuildHeaderText(), QString()}, names, rtfReady,
             rtfText, plainText);
}

void CNotesConverter::SaveCalendarItem(LNDocument& document, int rtfReady, const QString& rtfText,
                                       const QString& plainText) {
    QStringList names;
    const CalendarRecord record = ReadCalendarRecord(document, &names);
    QString name = ReadTextItem(document, QStringLiteral("Subject"));
    if (name.isEmpty()) name = defaultName("CalenderName", g_calendarCounter);
    SaveItem(document, Calendar, name, {QString(), QString(), QString(), record.BuildHeaderText(), QString()}, names, rtfReady,
             rtfText, plainText);
}

void CNotesConverter::SaveTaskItem(LNDocument& document, int rtfReady, const QString& rtfText,
                                   const QString& plainText) {
    QStringList names;
    const TaskRecord record = ReadTaskRecord(document, &names);
    QString name = ReadTextItem(document, QStringLiteral("Subject"));
    if (name.isEmpty()) name = defaultName("TaskName", g_taskCounter);
    SaveItem(document, Task, name, {QString(), QString(), QString(), record.BuildHeaderText(), QString()}, names, rtfReady,
             rtfText, plainText);
}

void CNotesConverter::SaveJournalItem(LNDocument& document, int rtfReady, const QString& rtfText,
                                      const QString& plainText) {
    QStringList names;
    const JournalRecord record = ReadJournalRecord(document, &names);
    QString name = ReadTextItem(document, QStringLiteral("Subject"));
    if (name.isEmpty()) name = defaultName("JournalName", g_journalCounter);
    SaveItem(document, Journal, name, {QString(), QString(), QString(), record.BuildHeaderText(), QString()}, names, rtfReady,
             rtfText, plainText);
}

void CNotesConverter::SaveContactItem(LNDocument& document, int rtfReady, const QString& rtfText,
                                      const QString& plainText) {
    QStringList names;
    const ContactRecord record = ReadContactRecord(document, &names);
    const QString subject = ReadTextItem(document, QStringLiteral("Subject"));
    const QString from = NormalizeSender(ReadTextItem(document, QStringLiteral("From")));
    const QString sendTo = ReadTextItem(document, QStringLiteral("SendTo"));
    const QString text = ContactExportText(document, record.fields[ContactRecord::kAttachmentsField]);
    QString name = document.data() ? ContactDisplayName(*document.data()) : QString();
    if (name.isEmpty()) name = defaultName("ContectName", g_contactCounter);
    SaveItem(document, Contact, name, {subject, from, sendTo, text, QString()}, names, rtfReady, rtfText, plainText);
}

void CNotesConverter::SaveDocumentItem(LNDocument& document, int rtfReady, const QString& rtfText,
                                       const QString& plainText) {
    QStringList names;
    const QString attachments = DescribeAttachments(document, &names);
    std::vector<FieldRow> rows;
    QString name;
    if (const auto& note = document.data()) {
        const auto form = document.GetForm();
        rows = ReadFieldRows(*note, form.get());
        name = DocumentTitle(*note, form.get(), m_currentFolder.GetTitleItem());
    }
    if (!attachments.isEmpty()) rows.push_back({QStringLiteral("Attachment"), attachments});
    if (name.isEmpty()) name = defaultName("NsfItemName", g_documentCounter);
    SaveItem(document, Document, name, {QString(), QString(), QString(), rtf::FieldsHeaderText(rows),
                                        rtf::HeaderTableRtf(rows)},
             names, rtfReady, rtfText, plainText);
}

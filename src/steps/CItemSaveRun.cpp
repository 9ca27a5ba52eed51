#include "steps/CItemSaveRun.h"

#include "export/PdfAttachmentEmbedder.h"

#include "app/CMainFrame.h"
#include "export/HeaderTemplates.h"
#include "export/IDocumentExporter.h"
#include "export/OutputNaming.h"
#include "rtf/RtfReader.h"
#include "steps/CPauseGate.h"
#include "steps/FolderTreeTexts.h"

#include <QDir>
#include <QFile>

namespace {

std::atomic<int> g_defaultNameCounter{0};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!ok) QFile::remove(path);
    return ok;
}

// UTF-16LE with the byte-order mark FF FE.
QByteArray Utf16Le(const QString& text) {
    QByteArray bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.append(char(0xFF)).append(char(0xFE));
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

}  // namespace

int CItemSaveRun::DefaultNameCounter() { return g_defaultNameCounter; }

QString CItemSaveRun::DocumentName(int type, const QString& subject, const QString& from) {
    QString name;
    if (type == 3) {
        const int at = from.indexOf(FolderTreeTexts::kFullNameLabel);
        if (at >= 0) {
            const int start = at + int(FolderTreeTexts::kFullNameLabel.size());
            const int end = from.indexOf(QStringLiteral("\r\n"), start);
            name = from.mid(start, end < 0 ? -1 : end - start);
        }
    } else {
        name = subject;
    }
    if (name.trimmed().isEmpty()) {
        const int index = type >= 0 && type <= 4 ? type : 5;
        name = FolderTreeTexts::kDefaultNames[index] + QString::number(g_defaultNameCounter.fetch_add(1));
    }
    return name;
}

void CItemSaveRun::Fail(const ItemSaveRow& row, const QString& reason) {
    QMutexLocker lock(&m_mutex);
    m_failures.append({folderName, QString::number(row.noteId, 16), reason});
}

void CItemSaveRun::FailAll(const QString& reason) {
    for (const ItemSaveRow& row : rows) Fail(row, reason);
}

int CItemSaveRun::Run() {
    m_bAborted = false;
    m_nAttempted = 0;
    m_failures.clear();
    const int total = int(rows.size());
    int saved = 0;
    int done = 0;
    // Several office instances: a row is counted when it is taken, and taken
    // back when its document could not be written.
    const bool background = exporter && exporter->WritesInBackground();
    if (background) {
        m_lateFailures = 0;
        exporter->SetOutcomeHandler([this](const IDocumentExporter::Outcome& outcome) {
            ItemSaveRow row;
            QString embedDir;
            {
                QMutexLocker lock(&m_mutex);
                row = m_pending.take(outcome.ticket);
                embedDir = m_pendingEmbeds.take(outcome.ticket);
                if (!outcome.written) ++m_lateFailures;
            }
            if (!outcome.written)
                Fail(row, outcome.failure.isEmpty() ? QStringLiteral("the office could not write the document")
                                                    : outcome.failure);
            else if (!embedDir.isEmpty())
                EmbedAttachments(row, outcome.path, embedDir);
        });
    }
    for (const ItemSaveRow& row : rows) {
        if (gate) gate->Checkpoint();
        if (stopRequested && stopRequested()) {
            m_bAborted = true;
            break;
        }
        if (SaveRow(row)) ++saved;
        ++done;
        m_nAttempted = done;
        if (progress && total > 0) progress(100 * done / total);
    }
    if (background) {
        exporter->WaitForAll();
        exporter->SetOutcomeHandler({});
        QMutexLocker lock(&m_mutex);
        saved -= m_lateFailures;
    }
    return saved;
}

void CItemSaveRun::EmbedAttachments(const ItemSaveRow& row, const QString& pdfPath, const QString& attachmentDir) {
    QString why;
    if (!PdfAttachmentEmbedder::EmbedDirectory(pdfPath, attachmentDir, &why))
        Fail(row, QStringLiteral("attachments not embedded in the PDF (written beside it): ") + why);
}

bool CItemSaveRun::SaveRow(const ItemSaveRow& row) {
    CNotesConverter& notes = frame->Notes();
    const bool textMode = savingMode == Text;
    QString result, plain;
    int type = 5;
    QStringList names, sizes;
    if (!frame->RenderItem(row.noteId, textMode ? 0 : 1, textMode ? CNotesConverter::RenderTextSave
                                                                 : CNotesConverter::RenderRtfSave,
                           result, type, names, sizes, &plain)) {
        Fail(row, notes.lastErrorText.isEmpty() ? QStringLiteral("the item cannot be read") : notes.lastErrorText);
        return false;
    }
    if (!exporter) {
        Fail(row, QStringLiteral("no document exporter"));
        return false;
    }

    // The body file.
    const QString temp = CNotesConverter::TempFolder();
    if (temp.isEmpty()) {
        Fail(row, QStringLiteral("no temporary folder for the body file"));
        return false;
    }
    QString bodyFile;
    bool written = false;
    if (textMode) {
        bodyFile = temp + QStringLiteral("NewTxt.txt");
        written = WriteFile(bodyFile, Utf16Le(result));
    } else if (QFile::exists(temp + QStringLiteral("ch111.rtf"))) {
        bodyFile = temp + QStringLiteral("ch111.rtf");
        written = true;
    } else if (!result.isEmpty()) {
        bodyFile = temp + QStringLiteral("NewRtf.rtf");
        written = WriteFile(bodyFile, rtf::RtfReader::bytesOf(result));
    } else {
        // No RTF could be made (a plain-text body): the text goes instead, so nothing is lost.
        bodyFile = temp + QStringLiteral("NewTxt.txt");
        written = WriteFile(bodyFile, Utf16Le(plain));
    }
    if (!written) {
        Fail(row, QStringLiteral("the body file cannot be written"));
        return false;
    }

    const QString name = DocumentName(type, row.subject, row.from);

    // The header.
    const QString block = notes.m_strPreviewHeaderText;
    if (!notes.m_strPreviewHeaderTable.isEmpty()) {
        // A document of another form: its table comes filled, of any length.
        exporter->SetTemplate(notes.m_strPreviewHeaderTable);
        exporter->SetHeaderInputs(QString(), QString(), QString(), QString(), QString());
    } else {
        const int labels = exporter->CountHeaderLabels(block);
        exporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(labels)));
        exporter->SetHeaderInputs(QString(), QString(), QString(), QString(), block);
    }

    // The attachments, beside the document.
    exporter->SetOutputOptions(notes.outputOptions);
    notes.contactPhotoPath.clear();
    QString attachmentDir;
    if (!row.attachment.isEmpty()) {
        const QString dir = AttachmentDirectoryFor(exporter->GetOutputFolder(), name);
        if (QDir().mkdir(dir)) {
            attachmentDir = dir;
            QList<CNotesConverter::AttachmentFailure> failures;
            frame->SaveItemAttachments(row.noteId, dir, &failures);
            for (const CNotesConverter::AttachmentFailure& f : failures)
                Fail(row, QStringLiteral("attachment \"%1\" not written: %2").arg(f.name, f.reason));
        } else {
            Fail(row, QStringLiteral("attachment folder %1 cannot be created").arg(dir));
        }
    }

    const bool embed = notes.outputOptions.format == OutputFormat::Pdf && notes.outputOptions.embedAttachments &&
                       !attachmentDir.isEmpty();
    const bool background = exporter->WritesInBackground();
    if (background) {
        QMutexLocker lock(&m_mutex);
        m_pending.insert(++m_nextTicket, row);
        if (embed) m_pendingEmbeds.insert(m_nextTicket, attachmentDir);
        exporter->SetNextTicket(m_nextTicket);
    }
    bool ok;
    if (type == 3) {
        // Each contact gets its own photo or none (never the previous contact's).
        exporter->SetPhotoPath(textMode ? QString() : notes.contactPhotoPath);
        ok = exporter->ExportContact(bodyFile, name);
    } else {
        ok = exporter->ExportItem(bodyFile, name);
    }
    QFile::remove(bodyFile);
    // In the background the PDF is not there yet: its outcome embeds them.
    if (ok && embed && !background) EmbedAttachments(row, exporter->LastWrittenPath(), attachmentDir);
    if (!ok && background) {
        QMutexLocker lock(&m_mutex);
        m_pending.remove(m_nextTicket);
        m_pendingEmbeds.remove(m_nextTicket);
    }
    if (!ok) {
        const QString why = exporter->LastFailure();
        Fail(row, why.isEmpty() ? QStringLiteral("the office could not write the document") : why);
    }
    return ok;
}

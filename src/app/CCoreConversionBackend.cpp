#include "app/CCoreConversionBackend.h"

#include "convert/CFolderExportRun.h"
#include "export/IDocumentExporter.h"
#include "convert/CNotesConverter.h"

#include "native/NativeExporter.h"
#include "steps/CAdvanceSettingsDlg.h"

#include <QMutexLocker>

#if defined(TESSELDOC_HAVE_OFFICE) && __has_include("office/CWordExporter.h")
#include "office/CWordExporter.h"
#include "office/ParallelExporter.h"
#define TESSELDOC_GUI_HAS_WORD 1
#endif

CCoreConversionBackend::CCoreConversionBackend() = default;
CCoreConversionBackend::~CCoreConversionBackend() = default;

int CCoreConversionBackend::EnumerateFolders(CNotesConverter& notes, const QString& path, const QString& server,
                                             QStringList& folders, int quiet) {
    return notes.EnumerateFolders(path, server, folders, quiet);
}

bool CCoreConversionBackend::CheckWordAvailable() {
    // The native engine needs no office (PDF documents still do, and say so when written).
    if (CAdvanceSettingsDlg::ReadEngine() == CAdvanceSettingsDlg::Engine::Native) return true;
#ifdef TESSELDOC_GUI_HAS_WORD
    CWordExporter probe;
    return probe.CheckWordAvailable();
#else
    return false;  // built without the office library
#endif
}

std::unique_ptr<IDocumentExporter> CCoreConversionBackend::CreateWordExporter() {
    // The advanced settings choose the engine and how many writers work side by side.
    const int jobs = CAdvanceSettingsDlg::ReadJobs();
    if (CAdvanceSettingsDlg::ReadEngine() == CAdvanceSettingsDlg::Engine::Native) {
        auto native = std::make_unique<NativeExporter>(jobs);
#ifdef TESSELDOC_GUI_HAS_WORD
        // What the native writers cannot represent, and PDF, go to one office instance.
        native->SetFallback(std::make_unique<CWordExporter>());
#endif
        return native;
    }
#ifdef TESSELDOC_GUI_HAS_WORD
    if (jobs > 1) return std::make_unique<ParallelExporter>(jobs);
    return std::make_unique<CWordExporter>();
#else
    return nullptr;
#endif
}

int CCoreConversionBackend::SaveFolder(CNotesConverter& notes, IDocumentExporter* exporter,
                                       const QString& folderName) {
    m_notes = &notes;
    CFolderExportRun run;
    run.converter = &notes;
    run.exporter = exporter;
    return run.SaveFolder(folderName);
}

FailedItemList CCoreConversionBackend::Failures() const {
    FailedItemList all;
    if (m_notes) {
        for (const ExportFailure& f : m_notes->exportReport.failures())
            all.append({f.folder, f.noteId ? QString::number(f.noteId, 16) : QString(), f.reason});
    }
    QMutexLocker lock(&m_mutex);
    all.append(m_failures);
    return all;
}

void CCoreConversionBackend::ClearFailures() {
    if (m_notes) m_notes->exportReport.reset();
    QMutexLocker lock(&m_mutex);
    m_failures.clear();
    m_notReached.clear();
}

void CCoreConversionBackend::AddFailure(const FailedItem& item) {
    QMutexLocker lock(&m_mutex);
    m_failures.append(item);
}

bool CCoreConversionBackend::ItemCounts(int* found, int* written) const {
    if (!m_notes) return false;
    // Items left out by the date range, and items whose document was written
    // in another folder, are neither written nor missing.
    *found = m_notes->exportReport.found() - m_notes->exportReport.outsideDateRange() -
             m_notes->exportReport.writtenElsewhereCount();
    *written = m_notes->exportReport.written();
    return true;
}

bool CCoreConversionBackend::Tally(RunTally* tally) const {
    if (!m_notes) return false;
    const ExportReport& report = m_notes->exportReport;
    // Items left out by the date range are counted apart, not as found.
    tally->found = report.found() - report.outsideDateRange();
    tally->written = report.written();
    tally->failed = report.failedCount();
    tally->notConverted = report.notConvertedCount();
    tally->outsideDateRange = report.outsideDateRange();
    tally->dateRangeActive = m_notes->dateRange.isActive();
    return true;
}

FailedItemList CCoreConversionBackend::NotConverted() const {
    FailedItemList all;
    if (m_notes) {
        for (const ::NotConverted& n : m_notes->exportReport.notConverted())
            all.append({n.folder, QString::number(n.noteId, 16),
                        n.reason.isEmpty() ? QStringLiteral("not converted: stopped before it was reached")
                                           : QStringLiteral("not converted: ") + n.reason});
    }
    QMutexLocker lock(&m_mutex);
    all.append(m_notReached);
    return all;
}

FailedItemList CCoreConversionBackend::WrittenByOffice() const {
    FailedItemList all;
    if (!m_notes) return all;
    for (const ::WrittenByOffice& w : m_notes->exportReport.writtenByOffice())
        all.append({w.folder, QString::number(w.noteId, 16),
                    QStringLiteral("written by the office engine: %1 (%2)").arg(w.reason, w.path)});
    return all;
}

void CCoreConversionBackend::ListNotConverted(CNotesConverter& notes, const QString& folderName) {
    m_notes = &notes;
    notes.ListFolderNotConverted(folderName);
}

void CCoreConversionBackend::AddNotConverted(const FailedItem& item) {
    QMutexLocker lock(&m_mutex);
    m_notReached.append(item);
}

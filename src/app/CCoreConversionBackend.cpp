#include "app/CCoreConversionBackend.h"

#include "convert/CFolderExportRun.h"
#include "export/IDocumentExporter.h"
#include "convert/CNotesConverter.h"

#include <QMutexLocker>

#if defined(TESSELDOC_HAVE_OFFICE) && __has_include("office/CWordExporter.h")
#include "office/CWordExporter.h"
#include "office/ParallelExporter.h"
#include "steps/CAdvanceSettingsDlg.h"
#define TESSELDOC_GUI_HAS_WORD 1
#endif

CCoreConversionBackend::CCoreConversionBackend() = default;
CCoreConversionBackend::~CCoreConversionBackend() = default;

int CCoreConversionBackend::EnumerateFolders(CNotesConverter& notes, const QString& path, const QString& server,
                                             QStringList& folders, int quiet) {
    return notes.EnumerateFolders(path, server, folders, quiet);
}

bool CCoreConversionBackend::CheckWordAvailable() {
#ifdef TESSELDOC_GUI_HAS_WORD
    CWordExporter probe;
    return probe.CheckWordAvailable();
#else
    return false;  // built without the office library
#endif
}

std::unique_ptr<IDocumentExporter> CCoreConversionBackend::CreateWordExporter() {
#ifdef TESSELDOC_GUI_HAS_WORD
    // The advanced settings choose how many office instances write side by side.
    const int jobs = CAdvanceSettingsDlg::ReadJobs();
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
}

void CCoreConversionBackend::AddFailure(const FailedItem& item) {
    QMutexLocker lock(&m_mutex);
    m_failures.append(item);
}

bool CCoreConversionBackend::ItemCounts(int* found, int* written) const {
    if (!m_notes) return false;
    // Items left out by the date range are neither written nor missing.
    *found = m_notes->exportReport.found() - m_notes->exportReport.outsideDateRange();
    *written = m_notes->exportReport.written();
    return true;
}

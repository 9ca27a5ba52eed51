#include "app/CCoreConversionBackend.h"

#include "export/IDocumentExporter.h"
#include "notes/CNotesConverter.h"

#include <QMutexLocker>

#if defined(TESSELDOC_HAVE_OFFICE) && __has_include("office/CWordExporter.h")
#include "office/CWordExporter.h"
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
    return std::make_unique<CWordExporter>();
#else
    return nullptr;
#endif
}

int CCoreConversionBackend::SaveFolder(CNotesConverter& notes, IDocumentExporter* exporter,
                                       const QString& folderName) {
    (void)notes;
    (void)exporter;
    AddFailure({folderName, QString(), QStringLiteral("the folder export is not available in this build")});
    return 0;
}

FailedItemList CCoreConversionBackend::Failures() const {
    QMutexLocker lock(&m_mutex);
    return m_failures;
}

void CCoreConversionBackend::ClearFailures() {
    QMutexLocker lock(&m_mutex);
    m_failures.clear();
}

void CCoreConversionBackend::AddFailure(const FailedItem& item) {
    QMutexLocker lock(&m_mutex);
    m_failures.append(item);
}

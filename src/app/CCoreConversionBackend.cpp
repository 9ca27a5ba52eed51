#include "app/CCoreConversionBackend.h"

#include "export/IDocumentExporter.h"
#include "notes/CNotesConverter.h"

#include <QMutexLocker>

CCoreConversionBackend::CCoreConversionBackend() = default;
CCoreConversionBackend::~CCoreConversionBackend() = default;

int CCoreConversionBackend::EnumerateFolders(CNotesConverter& notes, const QString& path, const QString& server,
                                             QStringList& folders, int quiet) {
    return notes.EnumerateFolders(path, server, folders, quiet);
}

bool CCoreConversionBackend::CheckWordAvailable() {
    // The office library is not part of this build yet.
    return false;
}

std::unique_ptr<IDocumentExporter> CCoreConversionBackend::CreateWordExporter() { return nullptr; }

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

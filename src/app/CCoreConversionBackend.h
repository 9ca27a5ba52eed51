#pragma once

#include "app/IConversionBackend.h"

#include <QMutex>

// The frame's link to the core: CNotesConverter for folder listing, the
// office library's CWordExporter, and the folder export run. While a piece
// is missing from the build, the matching operation reports failure.
class CCoreConversionBackend : public IConversionBackend {
public:
    CCoreConversionBackend();
    ~CCoreConversionBackend() override;

    int EnumerateFolders(CNotesConverter& notes, const QString& path, const QString& server, QStringList& folders,
                         int quiet) override;
    bool CheckWordAvailable() override;
    std::unique_ptr<IDocumentExporter> CreateWordExporter() override;
    int SaveFolder(CNotesConverter& notes, IDocumentExporter* exporter, const QString& folderName) override;
    FailedItemList Failures() const override;
    void ClearFailures() override;
    void AddFailure(const FailedItem& item) override;

private:
    mutable QMutex m_mutex;
    FailedItemList m_failures;
};

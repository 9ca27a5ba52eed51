#pragma once

#include "app/IConversionBackend.h"

#include <QMutex>

// The frame's link to the core: CNotesConverter for folder listing, the
// office library's CWordExporter (without the office library no Word object
// exists and every save fails), and CFolderExportRun, whose report names
// every item that produced no document.
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
    bool ItemCounts(int* found, int* written) const override;
    bool Tally(RunTally* tally) const override;
    FailedItemList NotConverted() const override;
    FailedItemList WrittenByOffice() const override;
    void ListNotConverted(CNotesConverter& notes, const QString& folderName) override;
    void AddNotConverted(const FailedItem& item) override;
    void Attach(CNotesConverter& notes) override { m_notes = &notes; }

private:
    CNotesConverter* m_notes = nullptr;
    mutable QMutex m_mutex;
    FailedItemList m_failures;
    FailedItemList m_notReached;  // whole sources
};

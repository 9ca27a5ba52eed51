#pragma once

#include "app/FailedItem.h"
#include "app/RunTally.h"

#include <QString>
#include <QStringList>

#include <memory>

class CNotesConverter;
class IDocumentExporter;

// What the frame's hub operations hand to the core: folder listing, the
// Word automation object, the saving of one folder and the run's failure
// report. CCoreConversionBackend is the real one; tests put in a fake so
// that no office is needed.
class IConversionBackend {
public:
    virtual ~IConversionBackend() = default;

    virtual int EnumerateFolders(CNotesConverter& notes, const QString& path, const QString& server,
                                 QStringList& folders, int quiet) = 0;
    // Whether the office can be started at all.
    virtual bool CheckWordAvailable() = 0;
    // A new, not yet started Word automation object; null when none can exist.
    virtual std::unique_ptr<IDocumentExporter> CreateWordExporter() = 0;
    // Saves every item of one Notes folder; returns 1 on success.
    virtual int SaveFolder(CNotesConverter& notes, IDocumentExporter* exporter, const QString& folderName) = 0;
    // Items that produced no document since the last ClearFailures.
    virtual FailedItemList Failures() const = 0;
    virtual void ClearFailures() = 0;
    // Adds a failure found outside the folder run (a source that cannot be read).
    virtual void AddFailure(const FailedItem& item) = 0;
    // Items found and documents written since the last ClearFailures; false when not counted.
    virtual bool ItemCounts(int* found, int* written) const {
        (void)found;
        (void)written;
        return false;
    }
    // The whole run's counts since the last ClearFailures; false when not counted.
    virtual bool Tally(RunTally* tally) const {
        (void)tally;
        return false;
    }
    // Items and sources the run did not reach since the last ClearFailures
    // (a source not reached has no note ID); the reason says why.
    virtual FailedItemList NotConverted() const { return {}; }
    // Items written since the last ClearFailures whose document the office
    // engine wrote for the native engine; the reason says why.
    virtual FailedItemList WrittenByOffice() const { return {}; }
    // A folder a stopped run did not reach: its items are counted and named.
    virtual void ListNotConverted(CNotesConverter& notes, const QString& folderName) {
        (void)notes;
        (void)folderName;
    }
    // A whole source the run did not reach.
    virtual void AddNotConverted(const FailedItem& item) { (void)item; }
    // The Notes access object the frame works with (set once by the frame).
    virtual void Attach(CNotesConverter& notes) { (void)notes; }
};

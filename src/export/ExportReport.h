#pragma once

#include <QList>
#include <QMutex>
#include <QString>

#include <cstdint>

// One item of a run that produced no document, or lost part of itself
// (an attachment that could not be written).
struct ExportFailure {
    QString folder;      // Notes name of the folder
    uint32_t noteId = 0;
    QString reason;      // one line, for people
};

// What a save run did: items found, documents written, and every failure by
// folder and note ID. Written by the run's worker, read by the UI at the end.
class ExportReport {
public:
    void reset();
    void addFound(int count);
    void addWritten();
    void addFailure(const QString& folder, uint32_t noteId, const QString& reason);
    // An item left out because its date lies outside the run's date range.
    void addOutsideDateRange();
    // An item converted although its date could not be read.
    void addDateUnknown();

    int found() const;
    int written() const;
    // Number of failure records (items without a document, attachments lost).
    int failedCount() const;
    QList<ExportFailure> failures() const;
    int outsideDateRange() const;
    int dateUnknown() const;

private:
    mutable QMutex m_mutex;
    int m_found = 0;
    int m_written = 0;
    int m_outsideDateRange = 0;
    int m_dateUnknown = 0;
    QList<ExportFailure> m_failures;
};

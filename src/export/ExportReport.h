#pragma once

#include <QList>
#include <QMutex>
#include <QString>

#include <cstdint>

// One thing a run lost: an item that produced no document, a folder that
// could not be read (note ID 0), one attachment of an item that could not
// be written (`attachment` names it), or one field of an item whose value
// could not be read, a damaged date for one (`attachment` names the field).
struct ExportFailure {
    enum Kind { Item, Folder, Attachment, Field };
    QString folder;      // Notes name of the folder
    uint32_t noteId = 0;
    QString reason;      // one line, for people
    QString attachment;  // the attachment's name; empty for an item or a folder
    Kind kind = Item;
};

// An item a stopped run did not get to.
struct NotConverted {
    QString folder;
    uint32_t noteId = 0;
};

// What a save run did: items found, documents written, and every failure by
// folder and note ID. Written by the run's worker, read by the UI at the end.
// Every found item ends up written, failed or not converted.
class ExportReport {
public:
    void reset();
    void addFound(int count);
    void addWritten();
    // An item an earlier run wrote completely (a resumed run skips it).
    void addAlreadyWritten();
    // An item without a document.
    void addFailure(const QString& folder, uint32_t noteId, const QString& reason);
    // A folder that could not be found or read.
    void addFolderFailure(const QString& folder, const QString& reason);
    void addAttachmentFailure(const QString& folder, uint32_t noteId, const QString& attachment,
                              const QString& reason);
    // A field of a written item whose value could not be read (left out of the document).
    void addFieldFailure(const QString& folder, uint32_t noteId, const QString& field, const QString& reason);
    void addNotConverted(const QString& folder, uint32_t noteId);
    // An item left out because its date lies outside the run's date range.
    void addOutsideDateRange();
    // An item converted although its date could not be read.
    void addDateUnknown();

    int found() const;
    int written() const;
    int alreadyWritten() const;
    // Items without a document (each item once; folders and attachments not counted).
    int failedCount() const;
    // Folders that could not be read or were not found.
    int folderFailureCount() const;
    int attachmentFailureCount() const;
    int fieldFailureCount() const;
    int notConvertedCount() const;
    // Every failure record in the order they happened: items, folders,
    // attachments and fields (an attachment's or field's reason names it).
    QList<ExportFailure> failures() const;
    QList<ExportFailure> itemFailures() const;        // items and folders
    QList<ExportFailure> attachmentFailures() const;
    QList<ExportFailure> fieldFailures() const;
    QList<NotConverted> notConverted() const;
    int outsideDateRange() const;
    int dateUnknown() const;

private:
    mutable QMutex m_mutex;
    int m_found = 0;
    int m_written = 0;
    int m_alreadyWritten = 0;
    int m_outsideDateRange = 0;
    int m_dateUnknown = 0;
    QList<ExportFailure> m_failures;
    QList<NotConverted> m_notConverted;
};

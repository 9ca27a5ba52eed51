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
    QString reason;  // why the run ended early; empty: the run was stopped
};

// An item not written again because the run wrote its document in another
// folder (each document once).
struct WrittenElsewhere {
    QString folder;
    uint32_t noteId = 0;
    QString writtenIn;  // the folder that holds its document
};

// An item written by the office engine for an engine that could not
// represent it (the native writers): written, and named with the reason.
struct WrittenByOffice {
    QString folder;
    uint32_t noteId = 0;
    QString path;    // the document
    QString reason;  // what the native writers could not represent
};

// What a save run did: items found, documents written, and every failure by
// folder and note ID. Written by the run's worker, read by the UI at the end.
// Every found item ends up written, already written, failed, not converted,
// outside the date range, written in another folder or in no chosen folder.
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
    void addNotConverted(const QString& folder, uint32_t noteId, const QString& reason = QString());
    // An item left out because its date lies outside the run's date range.
    void addOutsideDateRange();
    // An item converted although its date could not be read.
    void addDateUnknown();
    // An item whose document the run wrote in an earlier folder.
    void addWrittenElsewhere(const QString& folder, uint32_t noteId, const QString& writtenIn);
    // Documents of the database that no folder of the run holds: found, and
    // neither written nor failed.
    void addNotInChosenFolder(int count);
    // A written item (counted by addWritten) whose document the office engine wrote instead.
    void addWrittenByOffice(const QString& folder, uint32_t noteId, const QString& path, const QString& reason);

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
    QList<WrittenElsewhere> writtenElsewhere() const;
    int writtenElsewhereCount() const;
    int notInChosenFolder() const;
    QList<WrittenByOffice> writtenByOffice() const;

private:
    mutable QMutex m_mutex;
    int m_found = 0;
    int m_written = 0;
    int m_alreadyWritten = 0;
    int m_outsideDateRange = 0;
    int m_dateUnknown = 0;
    int m_notInChosenFolder = 0;
    QList<WrittenElsewhere> m_writtenElsewhere;
    QList<WrittenByOffice> m_writtenByOffice;
    QList<ExportFailure> m_failures;
    QList<NotConverted> m_notConverted;
};

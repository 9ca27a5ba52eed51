#pragma once

#include "app/FailedItem.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>

class CMainFrame;
class CPauseGate;
class IDocumentExporter;

// One row of the item list as the item save needs it.
struct ItemSaveRow {
    quint32 noteId = 0;
    QString from;
    QString subject;
    QString date;
    QString attachment;
};

// The item save of the folder selection step, run on its worker: each row's
// item is composed through the frame, written to a temporary body file and
// handed to the step's Word object with its header, attachments beside it.
// The stop is read before every row.
class CItemSaveRun {
public:
    CMainFrame* frame = nullptr;
    IDocumentExporter* exporter = nullptr;
    int savingMode = 1;
    QString folderName;  // the Notes folder the rows come from (for the failure list)
    QList<ItemSaveRow> rows;
    std::function<bool()> stopRequested;
    std::function<void(int percent)> progress;
    CPauseGate* gate = nullptr;

    // Saves the rows in order; returns how many documents were written.
    int Run();
    bool Aborted() const { return m_bAborted; }
    // Rows taken in hand (all of them unless stopped).
    int Attempted() const { return m_nAttempted; }
    const FailedItemList& Failures() const { return m_failures; }
    // Names every row as failed for `reason` (the office did not start).
    void FailAll(const QString& reason);

    // The document name of an item: the subject, for a contact the full name
    // in the "From" cell, else the default name of its type and the counter.
    static QString DocumentName(int type, const QString& subject, const QString& from);
    // The counter behind default names: one per process, never reset.
    static int DefaultNameCounter();

private:
    bool SaveRow(const ItemSaveRow& row);
    void Fail(const ItemSaveRow& row, const QString& reason);
    // Puts the row's attachments into its written PDF (a failure is the row's line).
    void EmbedAttachments(const ItemSaveRow& row, const QString& pdfPath, const QString& attachmentDir);

    bool m_bAborted = false;
    int m_nAttempted = 0;
    FailedItemList m_failures;
    // With an exporter that writes in the background (several office
    // instances): rows taken and not yet reported, by ticket.
    QMutex m_mutex;
    QHash<quint64, ItemSaveRow> m_pending;
    // The attachment folder of each pending row whose attachments go into its
    // PDF once an office instance has written it.
    QHash<quint64, QString> m_pendingEmbeds;
    quint64 m_nextTicket = 0;
    int m_lateFailures = 0;
};

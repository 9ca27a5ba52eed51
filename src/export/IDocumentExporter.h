#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

#include "export/UniquePaths.h"
#include "export/OutputFormat.h"

// What the folder export run and the item save need of the Word exporter.
// CWordExporter (office library) implements it over the office engine; tests
// use a recording fake. Operations and results as CWordExporter documents them.
class IDocumentExporter {
public:
    virtual ~IDocumentExporter() = default;

    virtual bool StartWord() = 0;
    virtual void ShutdownWord() = 0;
    virtual void SetRootFolder(const QString& path) = 0;
    // The format of the documents written from now on (Word 97-2003 until set).
    virtual void SetOutputOptions(const OutputOptions& options) { (void)options; }
    virtual bool SetOutputFolder(const QString& relative) = 0;
    virtual QString GetOutputFolder() const = 0;
    virtual void SetHeaderInputs(const QString& subject, const QString& from, const QString& sendTo,
                                 const QString& mailDate, const QString& block) = 0;
    virtual int CountHeaderLabels(const QString& block) const = 0;
    virtual void SetTemplate(const QString& rtfText) = 0;
    virtual void SetPhotoPath(const QString& path) = 0;
    // Chooses now the path the next ExportItem/ExportContact of `name` writes,
    // so that it can be recorded before anything is written for the item. The
    // default only predicts it; CWordExporter holds it for that export.
    virtual QString ReserveDocumentPath(const QString& name) { return DocumentPathFor(GetOutputFolder(), name); }
    // Hands the next ExportItem/ExportContact/ExportTo its body as the bytes a
    // body file holds (RTF, or UTF-16 text with a byte order mark); that call
    // then gets an empty body file name. False: this exporter reads body files
    // only, and the caller writes one.
    virtual bool SetBodyBytes(const QByteArray& bytes) {
        (void)bytes;
        return false;
    }
    virtual bool ExportItem(const QString& bodyFile, const QString& name) = 0;
    virtual bool ExportContact(const QString& bodyFile, const QString& name) = 0;
    // Writes the item (contact: as a contact) to exactly `path`, choosing no
    // name, and returns once it is written (never in the background). False
    // with LastFailure() when it is not, or when the exporter cannot do this.
    virtual bool ExportTo(bool contact, const QString& bodyFile, const QString& path) {
        (void)contact, (void)bodyFile, (void)path;
        return false;
    }
    // Why the last ExportItem/ExportContact/StartWord failed (for the failure report).
    virtual QString LastFailure() const = 0;
    // Path of the document the last successful export wrote (for an exporter
    // that writes in the background: the path it will write).
    virtual QString LastWrittenPath() const = 0;
    // Why the office engine wrote the last successful export's document for
    // an engine that could not represent the item; empty when it did not.
    virtual QString LastOfficeReason() const { return {}; }

    // ---- exporters that write in the background (several office instances)
    struct Outcome {
        quint64 ticket = 0;
        bool written = false;
        QString path;     // the document
        QString failure;  // why not written
        QString officeReason;  // written by the office engine instead: why (as LastOfficeReason)
    };
    using OutcomeHandler = std::function<void(const Outcome&)>;
    // True: an ExportItem/ExportContact that returns true has only taken the
    // item; its outcome comes later through the handler, on another thread.
    // One that returns false failed at once and has no outcome to come.
    virtual bool WritesInBackground() const { return false; }
    virtual void SetOutcomeHandler(OutcomeHandler) {}
    // Tags the next export taken in hand; its outcome carries the ticket.
    virtual void SetNextTicket(quint64) {}
    // Returns when every item taken in hand has its outcome.
    virtual void WaitForAll() {}
    // True once the exporter has given up on its engine for the rest of the
    // run: every later export fails at once, with LastFailure() saying why.
    virtual bool GaveUp() const { return false; }
};

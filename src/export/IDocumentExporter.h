#pragma once

#include <QString>

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
    virtual bool ExportItem(const QString& bodyFile, const QString& name) = 0;
    virtual bool ExportContact(const QString& bodyFile, const QString& name) = 0;
    // Why the last ExportItem/ExportContact/StartWord failed (for the failure report).
    virtual QString LastFailure() const = 0;
    // Path of the document the last successful export wrote.
    virtual QString LastWrittenPath() const = 0;
    // True once the exporter has given up on its engine for the rest of the
    // run: every later export fails at once, with LastFailure() saying why.
    virtual bool GaveUp() const { return false; }
};

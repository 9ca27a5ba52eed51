#pragma once

#include <QString>

class CNotesConverter;
class IDocumentExporter;

// Saves one Notes folder of the open database as documents: maps the folder
// to its output directory, points the exporter there and runs the item loop.
class CFolderExportRun {
public:
    CNotesConverter* converter = nullptr;
    IDocumentExporter* exporter = nullptr;

    // folderName as listed, with its trailing backslash. 1 when the folder was
    // handed to the converter, 0 when something escaped.
    int SaveFolder(const QString& folderName);
};

#include "convert/CFolderExportRun.h"

#include "export/IDocumentExporter.h"
#include "export/OutputNaming.h"
#include "convert/CNotesConverter.h"

int CFolderExportRun::SaveFolder(const QString& folderName) {
    if (!converter || !exporter) return 0;
    try {
        // A folder's directories are made only for a folder that is there.
        QString bare = folderName;
        if (bare.endsWith(QLatin1Char('\\'))) bare.chop(1);
        bool found = true;
        try {
            found = converter->database().ViewFolderExists(CNotesConverter::WideToLNString(bare));
        } catch (LNSTATUS) {
        }
        if (found) exporter->SetOutputFolder(OutputFolderFor(folderName));
        converter->wordExporter = exporter;
        if (exporter->WritesInBackground()) {
            CNotesConverter* notes = converter;
            exporter->SetOutcomeHandler(
                [notes](const IDocumentExporter::Outcome& outcome) { notes->OnBackgroundOutcome(outcome); });
        }
        converter->ExportFolder(folderName);
        return 1;
    } catch (...) {
        return 0;
    }
}

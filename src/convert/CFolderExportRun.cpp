#include "convert/CFolderExportRun.h"

#include "export/IDocumentExporter.h"
#include "export/OutputNaming.h"
#include "convert/CNotesConverter.h"

#include <QDir>

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
        const ExportReport& report = converter->exportReport;
        const int left0 = report.outsideDateRange() + report.writtenElsewhereCount() + report.notConvertedCount();
        const int found0 = report.found();
        converter->ExportFolder(folderName);
        // A folder with nothing to write (empty, or every item outside the
        // date range, written in another folder or not reached) leaves no
        // directory. Any other item may still be on its way to it (a
        // background writer), so the directory stays.
        const int handedOver = (report.found() - found0) -
                               (report.outsideDateRange() + report.writtenElsewhereCount() +
                                report.notConvertedCount() - left0);
        if (found && handedOver == 0 && !exporter->GetOutputFolder().isEmpty())
            QDir().rmdir(exporter->GetOutputFolder());  // empty directories only
        return 1;
    } catch (...) {
        return 0;
    }
}

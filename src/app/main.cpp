#include "app/CTesselEmlConverterGuiApp.h"
#include "app/WizardCommandLine.h"
#include "app/WizardTranslation.h"

#include <QApplication>

int main(int argc, char** argv) {
    if (WizardCommandLine::asksHelpOrVersion(argc, argv)) {
        // Answered without a display; ends the program.
        QCoreApplication core(argc, argv);
        QCoreApplication::setApplicationVersion(QStringLiteral(TESSELDOC_VERSION));
        WizardCommandLine::databases(core);
        return 0;
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSELDOC_VERSION));
    WizardTranslation::install();
    const QStringList databases = WizardCommandLine::databases(app);
    CTesselEmlConverterGuiApp tesseldoc(app);
    if (!tesseldoc.InitInstance(nullptr, true, databases)) return tesseldoc.HandedOver() ? 0 : 1;
    tesseldoc.AddDatabases(databases);
    return tesseldoc.Run();
}

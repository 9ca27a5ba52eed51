#include "app/CTesselEmlConverterGuiApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CTesselEmlConverterGuiApp tesseldoc(app);
    if (!tesseldoc.InitInstance()) return 1;
    return tesseldoc.Run();
}

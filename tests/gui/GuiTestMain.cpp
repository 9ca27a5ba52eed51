#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiApp.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A private runtime folder: the single-instance lock of a real session is never touched.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    // Offscreen, one screen of 1920 x 1080 (the window's size and place rules need a real-sized screen).
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QString config = runtime.filePath(QStringLiteral("screens.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,
                          "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            file.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
        }
    }
    QStandardPaths::setTestModeEnabled(true);
    // Settings of this process alone: ctest runs tests side by side, and each one clears them.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, runtime.filePath(QStringLiteral("config")));
    QApplication app(argc, argv);
    CTesselEmlConverterGuiApp::SetRegistryKey();
    CMessageBoxService::instance().setTestMode(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

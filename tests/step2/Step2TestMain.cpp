#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiApp.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    // Settings of this process alone: ctest runs tests side by side, and each one clears them.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, runtime.filePath(QStringLiteral("config")));
    QApplication app(argc, argv);
    CTesselEmlConverterGuiApp::SetRegistryKey();
    CMessageBoxService::instance().setTestMode(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

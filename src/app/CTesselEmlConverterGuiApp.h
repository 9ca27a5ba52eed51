#pragma once

#include "app/CInstanceChannel.h"
#include "app/CSingleInstanceLock.h"
#include "app/IConversionBackend.h"

#include <memory>

class CMainFrame;
class IConversionBackend;
class QApplication;

// The application object: single instance, settings location, the main frame.
class CTesselEmlConverterGuiApp {
public:
    explicit CTesselEmlConverterGuiApp(QApplication& app);
    ~CTesselEmlConverterGuiApp();

    // Sets where settings live (organisation and application names).
    static void SetRegistryKey();
    // Start-up; false when the program must end (another instance runs, or
    // the frame could not be created). backend null: the real core. When
    // another instance runs, the databases given are handed to it (its Step 1
    // lists them) and HandedOver() is true; without databases, or when it
    // does not answer, the user is told that it runs.
    bool InitInstance(std::unique_ptr<IConversionBackend> backend = nullptr, bool show = true,
                      const QStringList& databases = {});
    bool HandedOver() const { return m_handedOver; }
    // Lists the databases given on the command line in Step 1.
    void AddDatabases(const QStringList& paths);
    // Runs the event loop until the frame closes.
    int Run();
    CMainFrame* MainFrame() const { return m_frame.get(); }

private:
    QApplication& m_app;
    CSingleInstanceLock m_instanceLock;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CInstanceChannel> m_channel;
    bool m_handedOver = false;
};

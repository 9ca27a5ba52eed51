#include "app/CTesselEmlConverterGuiApp.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/GuiResources.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/IConversionBackend.h"
#include "source/C1TovanWelcomeView.h"

#include <QApplication>

CTesselEmlConverterGuiApp::CTesselEmlConverterGuiApp(QApplication& app) : m_app(app) {}

CTesselEmlConverterGuiApp::~CTesselEmlConverterGuiApp() {
    m_frame.reset();
    m_instanceLock.release();
}

void CTesselEmlConverterGuiApp::SetRegistryKey() {
    QCoreApplication::setOrganizationName(AppTexts::kRegistryKey);
    QCoreApplication::setApplicationName(AppTexts::kProductName);
}

bool CTesselEmlConverterGuiApp::InitInstance(std::unique_ptr<IConversionBackend> backend, bool show) {
    if (!m_instanceLock.tryAcquire()) {
        CMessageBoxService::instance().Information(nullptr, AppTexts::kAnotherInstance);
        return false;
    }
    SetRegistryKey();
    InitGuiResources();
    m_app.setWindowIcon(ProductIcon());
    m_frame = std::make_unique<CMainFrame>(std::move(backend));
    m_frame->SetPrefetchWordCheck(true);
    if (!m_frame->OnCreate()) {
        m_frame.reset();
        return false;
    }
    if (show) {
        m_frame->ShowAtStart();
        m_frame->raise();
    }
    return true;
}

void CTesselEmlConverterGuiApp::AddDatabases(const QStringList& paths) {
    if (paths.isEmpty() || !m_frame || !m_frame->StepHost()) return;
    if (auto* step1 = qobject_cast<C1TovanWelcomeView*>(m_frame->StepHost()->Page(0))) step1->AddFiles(paths);
}

int CTesselEmlConverterGuiApp::Run() {
    m_app.setQuitOnLastWindowClosed(true);
    return m_app.exec();
}

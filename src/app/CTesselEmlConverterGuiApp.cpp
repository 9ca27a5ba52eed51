#include "app/CTesselEmlConverterGuiApp.h"

#include "app/AppTexts.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/GuiResources.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/IConversionBackend.h"
#include "files/UserSettings.h"
#include "source/C1TovanWelcomeView.h"

#include <QApplication>

CTesselEmlConverterGuiApp::CTesselEmlConverterGuiApp(QApplication& app) : m_app(app) {}

CTesselEmlConverterGuiApp::~CTesselEmlConverterGuiApp() {
    m_channel.reset();
    m_frame.reset();
    m_instanceLock.release();
}

void CTesselEmlConverterGuiApp::SetRegistryKey() {
    // The settings of earlier versions move to their new place before the
    // first read.
    UserSettings::moveOldFile();
    QCoreApplication::setOrganizationName(AppTexts::kRegistryKey);
    QCoreApplication::setApplicationName(AppTexts::kSettingsApplication);
    QGuiApplication::setApplicationDisplayName(AppTexts::kProductName);
}

bool CTesselEmlConverterGuiApp::InitInstance(std::unique_ptr<IConversionBackend> backend, bool show,
                                             const QStringList& databases) {
    m_handedOver = false;
    if (!m_instanceLock.tryAcquire()) {
        if (!databases.isEmpty() && CInstanceChannel::Send(databases)) {
            m_handedOver = true;
            return false;
        }
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
    // Later starts with databases (a file manager's "open with") add them here.
    m_channel = std::make_unique<CInstanceChannel>();
    m_channel->Listen([this](const QStringList& paths) {
        AddDatabases(paths);
        if (m_frame && m_frame->isVisible()) {
            m_frame->raise();
            m_frame->activateWindow();
        }
    });
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

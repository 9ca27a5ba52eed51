#pragma once

// One running office instance and the UNO connection to it. Office-internal
// (UNO headers): used by the engine and its document handles only.

#include <QString>
#include <chrono>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <type_traits>

#include "office/CallWatchdog.h"
#include "office/LibreOfficeSettings.h"
#include "office/OfficeAutomationError.h"
#include "office/OfficeProcess.h"

namespace css = com::sun::star;

class LibreOfficeSession {
  public:
    // Starts a headless office with the profile in workDirectory and connects to it.
    // Null, with the reason in *error, when it does not come up.
    static std::shared_ptr<LibreOfficeSession> start(const LibreOfficeSettings& settings,
                                                     const QString& workDirectory, QString* error);
    ~LibreOfficeSession();  // quits (and if need be kills) the office
    LibreOfficeSession(const LibreOfficeSession&) = delete;
    LibreOfficeSession& operator=(const LibreOfficeSession&) = delete;

    bool alive() const { return m_alive; }
    const LibreOfficeSettings& settings() const { return m_settings; }
    OfficeProcess& process() { return m_process; }
    css::uno::Reference<css::frame::XComponentLoader> loader() const { return m_loader; }
    css::uno::Reference<css::uno::XComponentContext> remoteContext() const { return m_context; }

    // Asks the office to end, waits for it, kills what is left. Never throws.
    void quit();

    // The document the selection belongs to, and the selection itself.
    void setActiveDocument(const css::uno::Reference<css::lang::XComponent>& document);
    css::uno::Reference<css::lang::XComponent> activeDocument() const { return m_activeDocument; }
    void documentClosed(const css::uno::Reference<css::lang::XComponent>& document);
    css::uno::Reference<css::text::XTextCursor>& selection() { return m_selection; }

    // Call timeout for an operation that reads or writes `path`.
    std::chrono::milliseconds timeoutForFile(const QString& path) const;
    std::chrono::milliseconds callTimeout() const {
        return std::chrono::milliseconds(m_settings.callTimeoutMs);
    }

    // Runs f bounded by the watchdog, turning UNO exceptions into OfficeAutomationError.
    template <class F>
    auto call(const char* what, std::chrono::milliseconds timeout, F&& f) -> decltype(f()) {
        requireAlive(what);
        m_watchdog.arm(timeout);
        try {
            if constexpr (std::is_void_v<decltype(f())>) {
                f();
                finished();
            } else {
                auto result = f();
                finished();
                return result;
            }
        } catch (const css::lang::DisposedException& e) {
            failed(what, e.Message, FailureKind::Disposed);
        } catch (const css::uno::RuntimeException& e) {
            failed(what, e.Message, FailureKind::Runtime);
        } catch (const css::uno::Exception& e) {
            failed(what, e.Message, FailureKind::Other);
        }
    }

    void requireAlive(const char* what) const;

  private:
    LibreOfficeSession(const LibreOfficeSettings& settings, const QString& workDirectory);
    bool launch(QString* error);
    bool connect(QString* error);
    void finished();
    enum class FailureKind { Disposed, Runtime, Other };
    [[noreturn]] void failed(const char* what, const rtl::OUString& message, FailureKind kind);
    bool probe();
    void removeStaleFiles() const;

    LibreOfficeSettings m_settings;
    QString m_workDirectory;
    QString m_pipeName;
    OfficeProcess m_process;
    CallWatchdog m_watchdog;
    bool m_alive = false;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::frame::XDesktop> m_desktop;
    css::uno::Reference<css::frame::XComponentLoader> m_loader;
    css::uno::Reference<css::lang::XComponent> m_activeDocument;
    css::uno::Reference<css::text::XTextCursor> m_selection;
};

#include "office/LibreOfficeSession.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <atomic>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <mutex>
#include <rtl/bootstrap.hxx>
#include <thread>

#include "office/UnoStrings.h"

namespace {

// The process's own UNO context, the client side of every connection.
css::uno::Reference<css::uno::XComponentContext> localContext(QString* error) {
    static std::mutex mutex;
    static css::uno::Reference<css::uno::XComponentContext> context;
    std::lock_guard<std::mutex> lock(mutex);
    if (!context.is()) {
        try {
            rtl::Bootstrap::set(
                rtl::OUString("URE_BOOTSTRAP"),
                rtl::OUString("vnd.sun.star.pathname:" TESSELDOC_LO_PROGRAM_DIR "/fundamentalrc"));
            context = cppu::defaultBootstrap_InitialComponentContext();
        } catch (const cppu::BootstrapException& e) {
            if (error) *error = QStringLiteral("UNO bootstrap failed: ") + fromOU(e.getMessage());
        } catch (const css::uno::Exception& e) {
            if (error) *error = QStringLiteral("UNO bootstrap failed: ") + fromOU(e.Message);
        }
    }
    return context;
}

QString osLPipePath(const QString& pipeName) {
    return QStringLiteral("/tmp/OSL_PIPE_%1_%2").arg(::getuid()).arg(pipeName);
}

}  // namespace

LibreOfficeSession::LibreOfficeSession(const LibreOfficeSettings& settings, const QString& workDirectory)
    : m_settings(settings), m_workDirectory(workDirectory), m_watchdog([this] { m_process.killGroup(); }) {
    static std::atomic<int> counter{0};
    m_pipeName = QStringLiteral("tesseldoc-%1-%2-%3")
                     .arg(::getpid())
                     .arg(++counter)
                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

LibreOfficeSession::~LibreOfficeSession() {
    quit();
}

std::shared_ptr<LibreOfficeSession> LibreOfficeSession::start(const LibreOfficeSettings& settings,
                                                              const QString& workDirectory, QString* error) {
    std::shared_ptr<LibreOfficeSession> session(new LibreOfficeSession(settings, workDirectory));
    if (!session->launch(error) || !session->connect(error)) return nullptr;
    session->m_alive = true;
    return session;
}

void LibreOfficeSession::removeStaleFiles() const {
    // A killed office leaves its profile lock and its pipe behind.
    QFile::remove(m_workDirectory + QStringLiteral("/profile/.lock"));
    QFile::remove(osLPipePath(m_pipeName));
}

bool LibreOfficeSession::launch(QString* error) {
    const QString home = m_workDirectory + QStringLiteral("/home");
    const QString tmp = m_workDirectory + QStringLiteral("/tmp");
    for (const QString& dir : {m_workDirectory, home, tmp, m_workDirectory + QStringLiteral("/profile")}) {
        if (!QDir().mkpath(dir)) {
            if (error) *error = QStringLiteral("cannot create ") + dir;
            return false;
        }
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    removeStaleFiles();

    const QString profileUrl = fromOU(fileUrl(m_workDirectory + QStringLiteral("/profile")));
    const QStringList args = {
        QStringLiteral("--headless"),
        QStringLiteral("--invisible"),
        QStringLiteral("--nologo"),
        QStringLiteral("--norestore"),
        QStringLiteral("--nodefault"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--nofirststartwizard"),
        QStringLiteral("-env:UserInstallation=") + profileUrl,
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_pipeName),
    };
    const QStringList env = {
        QStringLiteral("HOME=") + home,
        QStringLiteral("XDG_CACHE_HOME=") + home + QStringLiteral("/.cache"),
        QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
        QStringLiteral("XDG_DATA_HOME=") + home + QStringLiteral("/.local/share"),
        QStringLiteral("TMPDIR=") + tmp,
    };
    if (!QFileInfo(m_settings.soffice).isExecutable()) {
        if (error) *error = m_settings.soffice + QStringLiteral(" not found");
        return false;
    }
    return m_process.start(m_settings.soffice, args, env, m_workDirectory + QStringLiteral("/soffice.log"),
                           error);
}

bool LibreOfficeSession::connect(QString* error) {
    const css::uno::Reference<css::uno::XComponentContext> local = localContext(error);
    if (!local.is()) return false;
    const rtl::OUString url =
        toOU(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_pipeName));
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_settings.startTimeoutMs);
    try {
        const css::uno::Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(local);
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                if (error) *error = QStringLiteral("the office did not accept a connection in time");
                return false;
            }
            try {
                // A started office can hang before it answers: bound the attempt.
                m_watchdog.arm(left);
                css::uno::Reference<css::uno::XInterface> remote = resolver->resolve(url);
                m_context.set(remote, css::uno::UNO_QUERY_THROW);
                m_desktop.set(css::frame::Desktop::create(m_context).get());
                m_loader.set(m_desktop, css::uno::UNO_QUERY_THROW);
                if (m_watchdog.disarm()) {
                    if (error) *error = QStringLiteral("the office did not start in time");
                    return false;
                }
                return true;
            } catch (const css::connection::NoConnectException&) {
                if (m_watchdog.disarm()) {
                    if (error) *error = QStringLiteral("the office did not start in time");
                    return false;
                }
                if (!m_process.launcherRunning()) {
                    if (error) *error = QStringLiteral("the office ended during start-up");
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    } catch (const css::uno::Exception& e) {
        m_watchdog.disarm();
        if (error) *error = QStringLiteral("cannot connect to the office: ") + fromOU(e.Message);
        return false;
    }
}

void LibreOfficeSession::quit() {
    if (!m_process.started()) return;
    if (m_alive) {
        m_watchdog.arm(std::chrono::milliseconds(m_settings.quitTimeoutMs));
        try {
            m_desktop->terminate();
        } catch (const css::uno::Exception&) {
            // An office that ends while answering reports it as disposed: it ended all the same.
        }
        m_watchdog.disarm();
    }
    m_alive = false;
    m_selection.clear();
    m_activeDocument.clear();
    m_loader.clear();
    m_desktop.clear();
    m_context.clear();
    m_process.stop(m_settings.quitTimeoutMs);
    removeStaleFiles();
}

void LibreOfficeSession::setActiveDocument(const css::uno::Reference<css::lang::XComponent>& document) {
    m_activeDocument = document;
    m_selection.clear();
}

void LibreOfficeSession::documentClosed(const css::uno::Reference<css::lang::XComponent>& document) {
    if (m_activeDocument == document) {
        m_activeDocument.clear();
        m_selection.clear();
    }
}

std::chrono::milliseconds LibreOfficeSession::timeoutForFile(const QString& path) const {
    const qint64 megabytes = QFileInfo(path).size() / (1024 * 1024);
    return std::chrono::milliseconds(m_settings.callTimeoutMs + megabytes * m_settings.perMegabyteMs);
}

void LibreOfficeSession::requireAlive(const char* what) const {
    if (!m_alive)
        throw OfficeAutomationError(
            QString::fromLatin1(what) + QStringLiteral(": the office instance is gone"), true);
}

void LibreOfficeSession::finished() {
    // The call came back, but a watchdog that fired meanwhile has killed the office.
    if (m_watchdog.disarm()) m_alive = false;
}

void LibreOfficeSession::failed(const char* what, const rtl::OUString& message, FailureKind kind) {
    const bool fired = m_watchdog.disarm();
    QString text = QString::fromLatin1(what) + QStringLiteral(": ");
    bool lost = fired;
    if (fired) {
        text += QStringLiteral("no answer from the office in time; it was stopped");
    } else if (kind == FailureKind::Disposed) {
        text += QStringLiteral("the office instance ended");
        lost = true;
    } else {
        text += message.isEmpty() ? QStringLiteral("office error") : fromOU(message);
        // A runtime error may mean a broken connection: check the instance still answers.
        if (kind == FailureKind::Runtime) lost = !probe();
    }
    if (lost) m_alive = false;
    throw OfficeAutomationError(text, lost, fired);
}

bool LibreOfficeSession::probe() {
    m_watchdog.arm(std::chrono::milliseconds(std::min(m_settings.callTimeoutMs, 3000)));
    try {
        (void)m_desktop->getCurrentFrame();
    } catch (const css::uno::Exception&) {
        m_watchdog.disarm();
        return false;
    }
    return !m_watchdog.disarm();
}

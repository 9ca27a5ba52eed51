#include "cli/CliApp.h"

#include "notes/das/DominoDatabaseList.h"
#include "notes/das/DominoServerConfig.h"

#include <atomic>
#include <csignal>

// The servers and databases commands.

namespace {

std::atomic<int> g_stop{0};
void onStop(int sig) { g_stop.store(sig); }

}  // namespace

int CliApp::cmdServers(const QStringList& args) {
    if (!args.isEmpty()) return wrongArguments(QStringLiteral("servers"));
    const das::DominoServerConfig config;
    for (const das::DominoServer& s : config.servers())
        m_out << escape(s.name) << '\t' << s.url.toString() << (s.fromAdminFile ? "\tadmin" : "") << '\n';
    m_out.flush();
    if (config.servers().empty()) {
        // An empty list is an answer, not a failure; where servers come from is said.
        m_err << "tesseldoc-cli: no Domino server is configured (the wizard adds them; an administrator lists "
                 "them in tesseldoc/domino-servers.ini under $XDG_CONFIG_DIRS, by default /etc/xdg). "
                 "A database on a server can still be named as HOST!!PATH.\n";
        m_err.flush();
    }
    return 0;
}

int CliApp::cmdDatabases(const QStringList& args) {
    if (args.size() != 1) return wrongArguments(QStringLiteral("databases"));
    const das::DominoServerConfig config;
    QString problem;
    const auto server = config.resolve(args[0], &problem);
    if (!server) {
        m_err << "tesseldoc-cli: " << problem << "\n";
        return 1;
    }
    g_stop.store(0);
    std::signal(SIGINT, onStop);
    std::signal(SIGTERM, onStop);
    std::vector<das::ServerDatabase> dbs;
    std::vector<das::SkippedDatabase> skipped;
    const store::StoreError e = das::DominoDatabaseList::listReadable(*server, dbs, skipped, das::cancelCheck(&g_stop));
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (!e.ok()) {
        m_err << "tesseldoc-cli: " << e.message() << "\n";
        return stoppedStatus(g_stop.load(), 1);
    }
    for (const das::ServerDatabase& db : dbs) m_out << escape(db.path) << '\t' << escape(db.title) << '\n';
    m_out.flush();
    for (const das::SkippedDatabase& s : skipped) m_err << "skipped: " << escape(s.path) << '\t' << s.error.message() << "\n";
    if (g_stop.load()) m_err << "stopped: the list may be incomplete\n";
    if (dbs.empty() && skipped.empty()) m_err << "No file found in selected server\n";
    return stoppedStatus(g_stop.load(), 0);
}

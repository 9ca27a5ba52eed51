#include "office/OfficeProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

extern char** environ;

namespace {

// Every office process group still running, so that a process that exits
// without destroying its exporter does not leave an office behind.
std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::set<pid_t>& runningGroups() {
    static std::set<pid_t>* groups = new std::set<pid_t>();  // outlives static destruction
    return *groups;
}

void killRunningGroups() {
    std::lock_guard<std::mutex> lock(registryMutex());
    for (pid_t group : runningGroups()) ::kill(-group, SIGKILL);
}

void registerGroup(pid_t group) {
    static const bool atExit = [] { return std::atexit(killRunningGroups) == 0; }();
    (void)atExit;
    std::lock_guard<std::mutex> lock(registryMutex());
    runningGroups().insert(group);
}

void unregisterGroup(pid_t group) {
    std::lock_guard<std::mutex> lock(registryMutex());
    runningGroups().erase(group);
}

}  // namespace

OfficeProcess::~OfficeProcess() {
    stop(0);
}

bool OfficeProcess::start(const QString& program, const QStringList& arguments,
                          const QStringList& environment, const QString& logFile, QString* error) {
    stop(0);

    std::vector<QByteArray> args;
    args.push_back(QFile::encodeName(program));
    for (const QString& a : arguments) args.push_back(a.toUtf8());

    std::vector<QByteArray> env;
    QStringList overridden;
    for (const QString& e : environment) overridden << e.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
    for (char** p = environ; p && *p; ++p) {
        const QByteArray entry(*p);
        bool replaced = false;
        for (const QString& name : overridden)
            if (entry.startsWith(name.toUtf8())) replaced = true;
        if (!replaced) env.push_back(entry);
    }
    for (const QString& e : environment) env.push_back(e.toUtf8());

    std::vector<char*> argv;
    for (QByteArray& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (QByteArray& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const QByteArray log = QFile::encodeName(logFile.isEmpty() ? QStringLiteral("/dev/null") : logFile);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // Nothing else of ours (output files, pipes, sockets) goes to the office.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        if (error) *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(rc));
        return false;
    }
    m_pid = pid;
    registerGroup(pid);
    return true;
}

bool OfficeProcess::launcherRunning() const {
    if (m_pid <= 0) return false;
    siginfo_t info;
    std::memset(&info, 0, sizeof info);
    // WNOWAIT: look without reaping, so the group id stays ours until stop().
    if (::waitid(P_PID, id_t(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) return false;
    return info.si_pid == 0;
}

std::vector<pid_t> OfficeProcess::groupMembers() const {
    std::vector<pid_t> members;
    if (m_pid <= 0) return members;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const pid_t pid = pid_t(entry.toInt(&ok));
        if (!ok) continue;
        if (::getpgid(pid) != m_pid) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (stat.open(QIODevice::ReadOnly)) {
            const QByteArray text = stat.readAll();
            const int close = text.lastIndexOf(')');
            if (close > 0 && close + 2 < text.size() && text.at(close + 2) == 'Z') continue;  // zombie
        }
        members.push_back(pid);
    }
    return members;
}

void OfficeProcess::killGroup() const {
    if (m_pid > 0) ::kill(-m_pid, SIGKILL);
}

void OfficeProcess::stop(int timeoutMs) {
    if (m_pid <= 0) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (launcherRunning() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // The launcher is not reaped yet, so the group id cannot have been reused.
    killGroup();
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    unregisterGroup(m_pid);
    m_pid = -1;
}

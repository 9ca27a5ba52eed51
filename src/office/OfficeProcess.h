#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// One office process tree (the soffice launcher and the office it starts) in a
// process group of its own, so that the whole tree can be killed at once.
class OfficeProcess {
  public:
    OfficeProcess() = default;
    ~OfficeProcess();  // kills and reaps whatever is still running
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Starts program with arguments; environment entries "NAME=value" in
    // `environment` replace or add to the inherited ones, from which secrets
    // are taken out first (childEnvironment). Output goes to logFile.
    bool start(const QString& program, const QStringList& arguments, const QStringList& environment,
               const QString& logFile, QString* error);

    // The environment a child gets: this process's, without what may hold a
    // secret (names with PASSWORD, PASSWD, SECRET, TOKEN, CREDENTIAL or API_KEY
    // in them, our own TESSELDOC_* settings, proxy addresses with a user and
    // password), then `overrides` ("NAME=value") replacing or adding.
    static std::vector<QByteArray> childEnvironment(const QStringList& overrides);

    bool started() const { return m_pid > 0; }
    // The guard process (see start), or -1.
    pid_t guardPid() const { return m_guardPid; }
    pid_t pid() const { return m_pid; }
    // True while the launcher has not exited (the office itself may be gone already).
    bool launcherRunning() const;
    // Every live process of the group (the launcher and the office), from /proc.
    std::vector<pid_t> groupMembers() const;
    // SIGKILL to the whole group. Safe to call from another thread while started.
    void killGroup() const;
    // Waits up to timeoutMs for the launcher to exit, then kills the group and reaps the launcher.
    void stop(int timeoutMs);

  private:
    pid_t m_pid = -1;
    pid_t m_guardPid = -1;  // kills the group should this process end without stop()
    int m_guardFd = -1;
};

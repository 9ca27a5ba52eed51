#pragma once

#include <sys/types.h>

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
    // `environment` replace or add to the inherited ones. Output goes to logFile.
    bool start(const QString& program, const QStringList& arguments, const QStringList& environment,
               const QString& logFile, QString* error);

    bool started() const { return m_pid > 0; }
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
};

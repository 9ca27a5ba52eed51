#pragma once

#include <QString>
#include <stdexcept>

// A call into the office did not complete. instanceLost tells whether the
// office instance is gone or unusable (killed, hung and killed, bridge broken):
// the caller must start a new one. Otherwise the failure was local to the call
// (a file that cannot be written, a cell that does not exist) and the instance
// still serves the next document. hung tells that the instance was given up
// because a call did not come back in time (it was killed for that); an
// instance lost otherwise ended under the call (killed, crashed). sysError is
// the errno of a file operation that failed, 0 when there was none.
class OfficeAutomationError : public std::runtime_error {
  public:
    OfficeAutomationError(const QString& what, bool instanceLost, bool hung = false, int sysError = 0)
        : std::runtime_error(what.toStdString()),
          m_instanceLost(instanceLost),
          m_hung(hung),
          m_sysError(sysError) {}

    bool instanceLost() const { return m_instanceLost; }
    bool hung() const { return m_hung; }
    int sysError() const { return m_sysError; }
    QString text() const { return QString::fromStdString(what()); }

  private:
    bool m_instanceLost;
    bool m_hung;
    int m_sysError;
};

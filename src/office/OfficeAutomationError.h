#pragma once

#include <QString>
#include <stdexcept>

// A call into the office did not complete. instanceLost tells whether the
// office instance is gone or unusable (killed, hung and killed, bridge broken):
// the caller must start a new one. Otherwise the failure was local to the call
// (a file that cannot be written, a cell that does not exist) and the instance
// still serves the next document.
class OfficeAutomationError : public std::runtime_error {
  public:
    OfficeAutomationError(const QString& what, bool instanceLost)
        : std::runtime_error(what.toStdString()), m_instanceLost(instanceLost) {}

    bool instanceLost() const { return m_instanceLost; }
    QString text() const { return QString::fromStdString(what()); }

  private:
    bool m_instanceLost;
};

#pragma once

#include "office/IOfficeAutomation.h"

class LibreOfficeSession;

// The Documents collection of one office instance.
class LibreOfficeDocuments : public IOfficeDocuments {
  public:
    explicit LibreOfficeDocuments(std::shared_ptr<LibreOfficeSession> session)
        : m_session(std::move(session)) {}

    std::unique_ptr<IOfficeDocument> Open(const OpenArguments& args) override;

  private:
    std::shared_ptr<LibreOfficeSession> m_session;
};

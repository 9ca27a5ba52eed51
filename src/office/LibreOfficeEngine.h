#pragma once

#include <sys/types.h>

#include <memory>
#include <vector>

#include "office/IOfficeAutomation.h"
#include "office/LibreOfficeSettings.h"

class LibreOfficeSession;

// The word-processor automation over LibreOffice Writer: one headless office
// per Create, with a private profile, HOME and temporary directory, reached
// over a pipe of its own. It reports version "11.0", so callers take the newer
// automation forms. Every call is bounded by a watchdog; an office that dies or
// hangs makes the pending and every later call throw (instanceLost) until the
// next Create. Quit (and destruction) never leave an office process behind.
class LibreOfficeEngine : public IOfficeAutomation {
  public:
    explicit LibreOfficeEngine(LibreOfficeSettings settings = {});
    ~LibreOfficeEngine() override;
    LibreOfficeEngine(const LibreOfficeEngine&) = delete;
    LibreOfficeEngine& operator=(const LibreOfficeEngine&) = delete;

    bool Create(QString* error) override;
    bool IsCreated() const override;
    void Quit() override;

    void SetVisible(bool visible) override;
    QString Version() override;
    std::unique_ptr<IOfficeDocuments> Documents() override;

    void SetSelectionStart(int position) override;
    void SetSelectionEnd(int position) override;
    void SelectionInsertFile(const QString& fileName, int confirmConversions, int link) override;
    void SetSelectionRangeText(const QString& text) override;
    void SetSelectionRangeFontSize(double points) override;
    void SetSelectionRangeFontBold(int bold) override;
    void SetSelectionRangeFontColor(int color) override;

    // For tests and benchmarks: the running office's processes (launcher and
    // office), and how many instances this engine has started.
    std::vector<pid_t> OfficeProcessIds() const;
    int StartCount() const { return m_starts; }

  private:
    void collapseSelectionAtStart(const char* what, int position);

    LibreOfficeSettings m_settings;
    QString m_workDirectory;
    std::shared_ptr<LibreOfficeSession> m_session;
    int m_starts = 0;
};

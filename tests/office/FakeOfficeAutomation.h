#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "office/IOfficeAutomation.h"

// What the fake engines of one test share: the call log, across restarts.
struct FakeOfficeLog {
    QStringList calls;
    int creates = 0;
    QString version = QStringLiteral("11.0");
    bool createFails = false;
    // The first call whose log line starts with failOn throws (lost or not), once.
    QString failOn;
    bool failLost = true;
    bool failHung = false;  // the injected loss is a call that did not come back in time
    int createFailures = 0;  // the next this many creates fail
    // Called first in every SaveAs (on the thread of the instance saving).
    std::function<void()> beforeSaveAs;
    // Contents of the file handed to Selection.InsertFile, read at the call.
    QByteArray insertedFile;

    QStringList callsStartingWith(const QString& prefix) const;
};

// A word-processor automation that records every call and writes a small file
// on SaveAs. Documents.Open gives no document for a missing file.
class FakeOfficeAutomation : public IOfficeAutomation {
  public:
    explicit FakeOfficeAutomation(std::shared_ptr<FakeOfficeLog> log) : m_log(std::move(log)) {}

    bool Create(QString* error) override;
    bool IsCreated() const override { return m_created; }
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

    // Logs a call, throwing when it is the one set to fail.
    static void record(FakeOfficeLog& log, const QString& call);

  private:
    std::shared_ptr<FakeOfficeLog> m_log;
    bool m_created = false;
};

#include "FakeOfficeAutomation.h"

#include <QFile>
#include <QFileInfo>

#include "office/OfficeAutomationError.h"

namespace {

QString formArgs(AutomationForm form, int count) {
    return QStringLiteral("%1/%2")
        .arg(form == AutomationForm::New ? QStringLiteral("new") : QStringLiteral("old"))
        .arg(count);
}

class FakeDocument : public IOfficeDocument {
  public:
    explicit FakeDocument(std::shared_ptr<FakeOfficeLog> log) : m_log(std::move(log)) {}

    void SetTableCellText(int table, int row, int column, const QString& text) override {
        FakeOfficeAutomation::record(
            *m_log, QStringLiteral("Cell(%1,%2,%3)=%4").arg(table).arg(row).arg(column).arg(text));
    }
    void AddInlinePicture(const QString& fileName) override {
        FakeOfficeAutomation::record(*m_log, QStringLiteral("InlineShapes.AddPicture(%1)").arg(fileName));
    }
    void SaveAs(const SaveAsArguments& a) override {
        if (m_log->beforeSaveAs) m_log->beforeSaveAs();
        FakeOfficeAutomation::record(*m_log, QStringLiteral("SaveAs %1(%2,%3,%4,'%5',%6,'%7',%8)")
                                                 .arg(formArgs(a.form, a.argumentCount()), a.fileName)
                                                 .arg(a.fileFormat)
                                                 .arg(a.lockComments)
                                                 .arg(a.password)
                                                 .arg(a.addToRecentFiles)
                                                 .arg(a.writePassword)
                                                 .arg(a.remaining));
        QFile out(a.fileName);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            throw OfficeAutomationError(QStringLiteral("SaveAs: cannot write ") + a.fileName, false);
        out.write("fake document");
    }
    void Close(short saveChanges) override {
        FakeOfficeAutomation::record(*m_log, QStringLiteral("Close(%1)").arg(saveChanges));
    }

  private:
    std::shared_ptr<FakeOfficeLog> m_log;
};

class FakeDocuments : public IOfficeDocuments {
  public:
    explicit FakeDocuments(std::shared_ptr<FakeOfficeLog> log) : m_log(std::move(log)) {}

    std::unique_ptr<IOfficeDocument> Open(const OpenArguments& a) override {
        FakeOfficeAutomation::record(*m_log, QStringLiteral("Documents.Open %1(%2,ReadOnly=%3)")
                                                 .arg(formArgs(a.form, a.argumentCount()), a.fileName)
                                                 .arg(a.readOnly));
        if (!QFileInfo(a.fileName).isFile()) return nullptr;
        return std::make_unique<FakeDocument>(m_log);
    }

  private:
    std::shared_ptr<FakeOfficeLog> m_log;
};

}  // namespace

QStringList FakeOfficeLog::callsStartingWith(const QString& prefix) const {
    QStringList out;
    for (const QString& c : calls)
        if (c.startsWith(prefix)) out << c;
    return out;
}

void FakeOfficeAutomation::record(FakeOfficeLog& log, const QString& call) {
    log.calls << call;
    if (!log.failOn.isEmpty() && call.startsWith(log.failOn)) {
        log.failOn.clear();
        throw OfficeAutomationError(QStringLiteral("injected failure in ") + call, log.failLost, log.failHung);
    }
}

bool FakeOfficeAutomation::Create(QString* error) {
    m_log->calls << QStringLiteral("Create");
    if (m_log->createFails || m_log->createFailures > 0) {
        if (m_log->createFailures > 0) --m_log->createFailures;
        if (error) *error = QStringLiteral("no office here");
        return false;
    }
    ++m_log->creates;
    m_created = true;
    return true;
}

void FakeOfficeAutomation::Quit() {
    if (!m_created) return;
    m_log->calls << QStringLiteral("Quit");
    m_created = false;
}

void FakeOfficeAutomation::SetVisible(bool visible) {
    record(*m_log, QStringLiteral("Visible=%1").arg(int(visible)));
}

QString FakeOfficeAutomation::Version() {
    record(*m_log, QStringLiteral("Version"));
    return m_log->version;
}

std::unique_ptr<IOfficeDocuments> FakeOfficeAutomation::Documents() {
    record(*m_log, QStringLiteral("Documents"));
    return std::make_unique<FakeDocuments>(m_log);
}

void FakeOfficeAutomation::SetSelectionStart(int position) {
    record(*m_log, QStringLiteral("Selection.Start=%1").arg(position));
}

void FakeOfficeAutomation::SetSelectionEnd(int position) {
    record(*m_log, QStringLiteral("Selection.End=%1").arg(position));
}

void FakeOfficeAutomation::SelectionInsertFile(const QString& fileName, int confirmConversions, int link) {
    QFile file(fileName);
    m_log->insertedFile = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    record(*m_log,
           QStringLiteral("Selection.InsertFile(%1,%2,%3)").arg(fileName).arg(confirmConversions).arg(link));
}

void FakeOfficeAutomation::SetSelectionRangeText(const QString& text) {
    record(*m_log, QStringLiteral("Selection.Range.Text=") + text);
}

void FakeOfficeAutomation::SetSelectionRangeFontSize(double points) {
    record(*m_log, QStringLiteral("Font.Size=%1").arg(points));
}

void FakeOfficeAutomation::SetSelectionRangeFontBold(int bold) {
    record(*m_log, QStringLiteral("Font.Bold=%1").arg(bold));
}

void FakeOfficeAutomation::SetSelectionRangeFontColor(int color) {
    record(*m_log, QStringLiteral("Font.Color=%1").arg(color));
}

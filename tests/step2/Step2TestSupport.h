#pragma once

#include <chrono>
#include <thread>
#include <vector>

// A frame over the real core with an in-memory database, and a Word object
// that records what it is asked and writes a small file per document.

#include "app/CCoreConversionBackend.h"
#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "export/IDocumentExporter.h"
#include "export/OutputNaming.h"
#include "notes/store/MemoryStore.h"
#include "steps/C2TovanFolderTreeView.h"
#include "steps/CItemListGrid.h"

#include <atomic>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>
#include <QTime>

#include <functional>
#include <memory>
#include <ostream>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace step2test {

struct ExportCall {
    QString kind;  // "item" or "contact"
    QString name;
    QByteArray body;
    QString block;
    QString photo;
    QString path;
};

class RecordingExporter : public IDocumentExporter {
public:
    std::function<void(int)> onExport;  // runs on the worker, with the call's index
    bool startOk = true;
    // As several office instances do: an export only takes the item; its file
    // (`fileBytes`) appears a moment later and the outcome comes from another thread.
    bool background = false;
    QByteArray fileBytes = "doc";
    ~RecordingExporter() override { WaitForAll(); }

    QList<ExportCall> Calls() const {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }
    bool StartWord() override { return startOk; }
    void ShutdownWord() override { ++shutdowns; }
    void SetRootFolder(const QString& path) override { m_root = path; }
    bool SetOutputFolder(const QString& relative) override {
        m_output = m_root + relative;
        return QDir().mkpath(m_output);
    }
    QString GetOutputFolder() const override { return m_output; }
    void SetHeaderInputs(const QString&, const QString&, const QString&, const QString&, const QString& b) override {
        m_block = b;
    }
    int CountHeaderLabels(const QString& b) const override { return int(b.count(QStringLiteral("\r\n"))); }
    void SetTemplate(const QString&) override {}
    void SetPhotoPath(const QString& p) override { m_photo = p; }
    bool ExportItem(const QString& bodyFile, const QString& name) override { return Record("item", bodyFile, name); }
    bool ExportContact(const QString& bodyFile, const QString& name) override {
        return Record("contact", bodyFile, name);
    }
    QString LastFailure() const override { return startOk ? QString() : QStringLiteral("office did not start"); }
    QString LastWrittenPath() const override { return m_lastPath; }
    void SetOutputOptions(const OutputOptions& options) override { m_options = options; }
    bool WritesInBackground() const override { return background; }
    void SetOutcomeHandler(OutcomeHandler handler) override { m_handler = std::move(handler); }
    void SetNextTicket(quint64 ticket) override { m_ticket = ticket; }
    void WaitForAll() override {
        for (std::thread& t : m_writers) t.join();
        m_writers.clear();
    }
    std::atomic<int> shutdowns{0};

private:
    bool Record(const char* kind, const QString& bodyFile, const QString& name) {
        ExportCall c;
        c.kind = QString::fromLatin1(kind);
        c.name = name;
        QFile f(bodyFile);
        if (f.open(QIODevice::ReadOnly)) c.body = f.readAll();
        c.block = m_block;
        c.photo = m_photo;
        c.path = DocumentPathFor(m_output, name, OutputFormats::extension(m_options.format));
        m_lastPath = c.path;
        const auto write = [](const QString& path, const QByteArray& bytes) {
            QFile doc(path);
            if (doc.open(QIODevice::WriteOnly)) doc.write(bytes);
        };
        if (background) {
            m_writers.emplace_back([this, write, path = c.path, ticket = m_ticket] {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                write(path, fileBytes);
                if (m_handler) m_handler({ticket, true, path, QString()});
            });
        } else {
            write(c.path, fileBytes);
        }
        int index;
        {
            QMutexLocker lock(&m_mutex);
            index = int(m_calls.size());
            m_calls.append(c);
        }
        if (onExport) onExport(index);
        return true;
    }

    mutable QMutex m_mutex;
    QList<ExportCall> m_calls;
    QString m_root, m_output, m_block, m_photo, m_lastPath;
    OutputOptions m_options;
    OutcomeHandler m_handler;
    quint64 m_ticket = 0;
    std::vector<std::thread> m_writers;
};

// The real core; the Word object is a RecordingExporter.
class Step2Backend : public CCoreConversionBackend {
public:
    bool wordOk = true;
    RecordingExporter* last = nullptr;
    std::function<void(RecordingExporter&)> prepare;

    bool CheckWordAvailable() override { return wordOk; }
    std::unique_ptr<IDocumentExporter> CreateWordExporter() override {
        auto e = std::make_unique<RecordingExporter>();
        if (prepare) prepare(*e);
        last = e.get();
        return e;
    }
};

inline store::StoreItem TextItem(const QString& name, const QString& value) {
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeText;
    it.texts = {value};
    return it;
}

inline store::StoreItem Date(const QString& name, int y, int mo, int d) {
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeTime;
    store::NotesTime t;
    t.date = QDate(y, mo, d);
    t.time = QTime(10, 30, 0);
    it.times = {t};
    return it;
}

// A rich-text item holding one paragraph; rawSize > 0 sets its stored size.
inline store::StoreItem Rich(const QString& name, const QString& text, int rawSize = 0) {
    auto doc = std::make_shared<store::RichTextDoc>();
    store::RtBlock block;
    store::RtRun run;
    run.text = text;
    block.runs.push_back(run);
    doc->blocks.push_back(block);
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeComposite;
    it.richText = doc;
    if (rawSize > 0) it.raw = QByteArray(rawSize, 'x');
    return it;
}

// The database of the tests, registered as "memory:NAME".
struct TestDatabase {
    explicit TestDatabase(const QString& n) : name(n), store(std::make_shared<store::MemoryStore>()) {}
    ~TestDatabase() { store::MemoryStore::unregisterStore(name); }
    uint32_t Add(std::vector<store::StoreItem> items) {
        store::StoreNote note;
        note.items = std::move(items);
        note.size = 500;
        return store->addNote(std::move(note));
    }
    void Register() { store::MemoryStore::registerStore(name, store); }
    QString Path() const { return QStringLiteral("memory:") + name; }

    QString name;
    std::shared_ptr<store::MemoryStore> store;
};

// A frame whose Step 2 browses a small database: an inbox with one item of
// each kind, two nested project folders, an empty folder and a view.
class Step2Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        CMessageBoxService::instance().clear();
        QSettings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc")).clear();
        mail = db.Add({TextItem("Subject", "Quarterly report"), TextItem("From", "CN=Jane Roe/O=Acme"),
                       Date("PostedDate", 2014, 8, 8), Rich("Body", "Hello from the report")});
        db.store->addAttachment(mail, "plan.pdf", QByteArray(1234, 'p'));
        db.store->addAttachment(mail, "notes.txt", QByteArray("some notes"));
        mailNoSubject = db.Add({TextItem("From", "bob@example.com"), TextItem("Body", "plain body")});
        calendar = db.Add({TextItem("Subject", "Team meeting"), TextItem("Location", "Room 1"),
                           Date("STARTDATETIME", 2014, 9, 1), Rich("Body", "Agenda")});
        task = db.Add({TextItem("Subject", "Write tests"), Date("DueDate", 2014, 9, 2), Rich("Body", "All of them")});
        journal = db.Add({TextItem("Subject", "Diary entry"), Date("DiaryDate", 2014, 9, 3), Rich("Body", "Dear diary")});
        contact = db.Add({TextItem("FirstName", "Jane"), TextItem("LastName", "Roe"), TextItem("FullNameInput", "Jane Roe"),
                          TextItem("CompanyName", "Acme")});
        project = db.Add({TextItem("Subject", "Plan 2012"), Rich("Body", "old plan")});
        db.store->addFolder("($Inbox)", true, {mail, mailNoSubject, calendar, task, journal, contact});
        db.store->addFolder("Projects\\2012", true, {project});
        db.store->addFolder("Projects\\2013", true, {});
        db.store->addFolder("Empty", true, {});
        db.store->addFolder("($All)", false, {mail, mailNoSubject, calendar, task, journal, contact, project});
        Customise();
        db.Register();

        auto b = std::make_unique<Step2Backend>();
        backend = b.get();
        frame = std::make_unique<CMainFrame>(std::move(b));
        ASSERT_TRUE(frame->OnCreate());
        frame->resize(1200, 800);
        frame->show();
        CMessageBoxService::instance().clear();
    }
    void TearDown() override {
        frame.reset();
        CMessageBoxService::instance().clear();
    }
    virtual void Customise() {}

    // Step 1's Preview with the database: Step 2 lists its folders.
    void OpenStep2() {
        frame->SetSourceMode(SingleFile);
        frame->SetSourcePath(db.Path());
        frame->SetServerName(QString());
        frame->GoToNextStep(0);
        ASSERT_TRUE(step2()->WaitForIdle(10000));
    }
    void ClickFolder(const QString& path) {
        step2()->OnFolderClicked(path);
        ASSERT_TRUE(step2()->WaitForIdle(10000));
    }
    void ClickRow(int row) { step2()->OnItemClicked(step2()->List()->NoteIdOf(row), row + 1); }

    C2TovanFolderTreeView* step2() const { return static_cast<C2TovanFolderTreeView*>(frame->StepHost()->Page(1)); }
    CTesselEmlConverterGuiView* host() const { return frame->StepHost(); }
    CMessageBoxService& boxes() const { return CMessageBoxService::instance(); }
    static bool shown(QWidget* w) { return w->isVisibleTo(w->parentWidget()); }

    TestDatabase db{QStringLiteral("step2")};
    uint32_t mail = 0, mailNoSubject = 0, calendar = 0, task = 0, journal = 0, contact = 0, project = 0;
    Step2Backend* backend = nullptr;
    std::unique_ptr<CMainFrame> frame;
};

}  // namespace step2test

#pragma once

#include "app/CMainFrame.h"
#include "app/CMessageBoxService.h"
#include "app/CTesselEmlConverterGuiView.h"
#include "app/IConversionBackend.h"
#include "export/IDocumentExporter.h"
#include "source/C1TovanWelcomeView.h"
#include "steps/C3TovanSaveNsfToPst.h"

#include <atomic>
#include <QMutex>
#include <QMutexLocker>
#include <QSettings>

#include <functional>
#include <map>
#include <memory>

#include <gtest/gtest.h>

// A Word object that writes nothing.
class FakeExporter : public IDocumentExporter {
public:
    explicit FakeExporter(bool startOk, QStringList* roots) : m_startOk(startOk), m_roots(roots) {}
    bool StartWord() override { return m_startOk; }
    void ShutdownWord() override {}
    void SetRootFolder(const QString& path) override {
        if (m_roots) m_roots->append(path);
    }
    bool SetOutputFolder(const QString&) override { return true; }
    QString GetOutputFolder() const override { return QString(); }
    void SetHeaderInputs(const QString&, const QString&, const QString&, const QString&, const QString&) override {}
    int CountHeaderLabels(const QString&) const override { return 0; }
    void SetTemplate(const QString&) override {}
    void SetPhotoPath(const QString&) override {}
    bool ExportItem(const QString&, const QString&) override { return true; }
    bool ExportContact(const QString&, const QString&) override { return true; }
    QString LastFailure() const override { return m_startOk ? QString() : QStringLiteral("office did not start"); }
    QString LastWrittenPath() const override { return QString(); }

private:
    bool m_startOk;
    QStringList* m_roots;
};

// The core as the tests want it: folders per source path, a hook in every
// folder save, one recorded failure per folder named "broken...". Each folder
// holds two items unless `items` says otherwise; a folder named in `endEarlyAt`
// fails its first items and ends the source's run as a full destination would.
class FakeBackend : public IConversionBackend {
public:
    std::map<QString, QStringList> folders;
    QStringList unreadable;  // paths whose listing fails
    bool wordOk = true;
    CMainFrame* frame = nullptr;
    std::function<void(const QString& source, const QString& folder)> onSaveFolder;
    std::map<QString, int> items;
    QString endEarlyAt;
    QString endEarlyReason = QStringLiteral("the destination is full (/out): no space left on the device");

    QStringList Saved() const {
        QMutexLocker lock(&m_mutex);
        return m_saved;
    }
    QStringList Roots() const {
        QMutexLocker lock(&m_mutex);
        return m_roots;
    }

    int EnumerateFolders(CNotesConverter& notes, const QString& path, const QString&, QStringList& out,
                         int) override {
        if (unreadable.contains(path)) {
            notes.lastErrorText = QStringLiteral("File does not exist");
            return 0;
        }
        auto it = folders.find(path);
        if (it != folders.end()) out = it->second;
        return 1;
    }
    bool CheckWordAvailable() override {
        ++wordChecks;
        return wordOk;
    }
    std::atomic<int> wordChecks{0};
    std::unique_ptr<IDocumentExporter> CreateWordExporter() override {
        return std::make_unique<FakeExporter>(wordOk, &m_roots);
    }
    int SaveFolder(CNotesConverter& notes, IDocumentExporter*, const QString& folderName) override {
        const QString source = frame ? frame->SourcePath() : QString();
        {
            QMutexLocker lock(&m_mutex);
            m_saved.append(source + QLatin1Char('|') + folderName);
        }
        const int n = itemsIn(folderName);
        if (folderName == endEarlyAt) {
            const int failed = qMin(n, 3);
            QMutexLocker lock(&m_mutex);
            m_tally.found += n;
            m_tally.failed += failed;
            for (int i = 0; i < failed; ++i)
                m_failures.append({folderName, QString::number(0x100 + i, 16), endEarlyReason});
            for (int i = failed; i < n; ++i) {
                m_notConverted.append({folderName, QString::number(0x100 + i, 16), endEarlyReason});
                ++m_tally.notConverted;
            }
            notes.abortReason = endEarlyReason;
            return 1;
        }
        {
            QMutexLocker lock(&m_mutex);
            m_tally.found += n;
            m_tally.written += n;
        }
        if (folderName.startsWith(QStringLiteral("byoffice"))) {
            // Written, the second one by the office engine for the native engine.
            QMutexLocker lock(&m_mutex);
            m_byOffice.append({folderName, QStringLiteral("2b"),
                               QStringLiteral("written by the office engine: a picture it cannot embed (/out/Chart.doc)")});
        }
        if (folderName.startsWith(QStringLiteral("broken"))) {
            AddFailure({folderName, QStringLiteral("1f2"), QStringLiteral("office failure")});
            QMutexLocker lock(&m_mutex);
            --m_tally.written;
            ++m_tally.failed;
        }
        if (onSaveFolder) onSaveFolder(source, folderName);
        return 1;
    }
    bool Tally(RunTally* tally) const override {
        QMutexLocker lock(&m_mutex);
        *tally = m_tally;
        return true;
    }
    FailedItemList NotConverted() const override {
        QMutexLocker lock(&m_mutex);
        return m_notConverted;
    }
    void ListNotConverted(CNotesConverter&, const QString& folderName) override {
        const int n = itemsIn(folderName);
        QMutexLocker lock(&m_mutex);
        m_listedNotConverted.append(folderName);
        m_tally.found += n;
        m_tally.notConverted += n;
        for (int i = 0; i < n; ++i) m_notConverted.append({folderName, QString::number(0x200 + i, 16), QString()});
    }
    void AddNotConverted(const FailedItem& item) override {
        QMutexLocker lock(&m_mutex);
        m_notConverted.append(item);
    }
    QStringList ListedNotConverted() const {
        QMutexLocker lock(&m_mutex);
        return m_listedNotConverted;
    }
    FailedItemList WrittenByOffice() const override {
        QMutexLocker lock(&m_mutex);
        return m_byOffice;
    }
    FailedItemList Failures() const override {
        QMutexLocker lock(&m_mutex);
        return m_failures;
    }
    void ClearFailures() override {
        QMutexLocker lock(&m_mutex);
        m_failures.clear();
        m_notConverted.clear();
        m_byOffice.clear();
        m_listedNotConverted.clear();
        m_tally = RunTally();
    }
    void AddFailure(const FailedItem& item) override {
        QMutexLocker lock(&m_mutex);
        m_failures.append(item);
    }

private:
    int itemsIn(const QString& folder) const {
        auto it = items.find(folder);
        return it == items.end() ? 2 : it->second;
    }

    mutable QMutex m_mutex;
    RunTally m_tally;
    FailedItemList m_notConverted;
    FailedItemList m_byOffice;
    QStringList m_listedNotConverted;
    QStringList m_saved;
    QStringList m_roots;
    FailedItemList m_failures;
};

// A frame over the fake core, created as the program creates it.
class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        CMessageBoxService::instance().clear();
        QSettings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc")).clear();
        auto backend = std::make_unique<FakeBackend>();
        fake = backend.get();
        frame = std::make_unique<CMainFrame>(std::move(backend));
        fake->frame = frame.get();
        ASSERT_TRUE(frame->OnCreate());
        frame->resize(1000, 700);
        frame->show();
        step3()->SetSettleMs(0);
        CMessageBoxService::instance().clear();
    }
    void TearDown() override {
        CMessageBoxService::instance().clear();
        frame.reset();
    }

    CTesselEmlConverterGuiView* host() const { return frame->StepHost(); }
    C1TovanWelcomeView* step1() const { return static_cast<C1TovanWelcomeView*>(host()->Page(0)); }
    CTovanCommonBaseView* step2() const { return host()->Page(1); }
    C3TovanSaveNsfToPst* step3() const { return static_cast<C3TovanSaveNsfToPst*>(host()->Page(2)); }
    CMessageBoxService& boxes() const { return CMessageBoxService::instance(); }

    // Adds files through the file dialog (pre-answered).
    void addFiles(const QStringList& paths) {
        boxes().setOpenFileNamesHandler([paths] { return paths; });
        step1()->OnAddFiles();
        boxes().setOpenFileNamesHandler(nullptr);
    }
    QStringList listedPaths() const {
        QStringList paths;
        for (const NsfSourceEntry& e : step1()->Entries()) paths.append(e.filePath);
        return paths;
    }

    FakeBackend* fake = nullptr;
    std::unique_ptr<CMainFrame> frame;
};

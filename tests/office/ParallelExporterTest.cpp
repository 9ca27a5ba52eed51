#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

#include "FakeOfficeAutomation.h"
#include "files/PrivateTempDir.h"
#include "office/CWordExporter.h"
#include "office/ParallelExporter.h"

namespace {

// Three exporters over fake engines, one log each; worker 1's engine is lost
// at its first save. The others hold their first save until worker 1 has
// reached one, so that the loss happens however the threads are scheduled.
struct Pool {
    std::vector<std::shared_ptr<FakeOfficeLog>> logs;
    std::unique_ptr<ParallelExporter> exporter;
    std::shared_ptr<std::atomic<bool>> lostOneSaving = std::make_shared<std::atomic<bool>>(false);

    explicit Pool(int n) {
        for (int i = 0; i < n; ++i) logs.push_back(std::make_shared<FakeOfficeLog>());
        logs[1]->failOn = QStringLiteral("SaveAs");
        auto flag = lostOneSaving;
        logs[1]->beforeSaveAs = [flag] { *flag = true; };
        for (int i = 0; i < n; ++i) {
            if (i == 1) continue;
            logs[size_t(i)]->beforeSaveAs = [flag] {
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!*flag && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            };
        }
        exporter = std::make_unique<ParallelExporter>(n, [this](int i) {
            auto log = logs[size_t(i)];
            return std::make_unique<CWordExporter>(
                [log] { return std::unique_ptr<IOfficeAutomation>(std::make_unique<FakeOfficeAutomation>(log)); });
        });
    }
};

}  // namespace

// Items are named in the order they are handed over, exactly as one instance
// names them, whichever instance writes them; each outcome comes back with its
// item; a lost instance is restarted (its item done again there) while the others go on.
TEST(ParallelExporterTest, NamesInOrderOutcomesPerItemAndALostInstanceRestarted) {
    QTemporaryDir dir;
    Pool pool(3);
    ParallelExporter& ex = *pool.exporter;
    QMutex mutex;
    std::map<quint64, IDocumentExporter::Outcome> outcomes;
    ex.SetOutcomeHandler([&](const IDocumentExporter::Outcome& o) {
        QMutexLocker lock(&mutex);
        outcomes[o.ticket] = o;
    });
    ex.SetRootFolder(dir.path());
    ASSERT_TRUE(ex.StartWord());
    ASSERT_TRUE(ex.SetOutputFolder(QStringLiteral("Inbox")));
    EXPECT_TRUE(ex.WritesInBackground());

    const QString body = dir.filePath(QStringLiteral("NewTxt.txt"));
    QStringList expected;
    for (int i = 0; i < 12; ++i) {
        QFile f(body);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("\xFF\xFE");
        f.close();
        ex.SetNextTicket(quint64(i + 1));
        ex.SetHeaderInputs({}, {}, {}, {}, QStringLiteral("Subject: Same\r\n"));
        // Half of the items have their path reserved first (as the run does
        // before it writes attachments), half not.
        QString reserved;
        if (i % 2 == 0) reserved = ex.ReserveDocumentPath(QStringLiteral("Same"));
        ASSERT_TRUE(ex.ExportItem(body, QStringLiteral("Same")));
        if (i % 2 == 0) {
            EXPECT_EQ(ex.LastWrittenPath(), reserved);
        }
        expected << dir.path() + QStringLiteral("/Inbox/Same") + (i ? QString::number(i - 1) : QString()) + ".doc";
        QFile::remove(body);  // as the run does: the exporter works on its own copy
    }
    ex.WaitForAll();
    ASSERT_EQ(outcomes.size(), 12u);
    int failed = 0;
    for (int i = 0; i < 12; ++i) {
        const IDocumentExporter::Outcome& o = outcomes[quint64(i + 1)];
        // Until an item fails, names follow in order; a failed item's name is
        // free again for a later item, as with one instance.
        if (failed == 0) {
            EXPECT_EQ(o.path, expected[i]);
        }
        EXPECT_TRUE(o.path.startsWith(dir.path() + QStringLiteral("/Inbox/Same")));
        if (o.written) {
            EXPECT_TRUE(QFile::exists(o.path)) << o.path.toStdString();
        } else {
            ++failed;
            EXPECT_FALSE(o.failure.isEmpty());
        }
    }
    EXPECT_EQ(failed, 0);  // the item of the lost instance is done again on its new one
    EXPECT_EQ(pool.logs[1]->creates, 2);  // the lost instance was started again
    EXPECT_EQ(pool.logs[0]->creates, 1);
    EXPECT_EQ(pool.logs[2]->creates, 1);
    ex.ShutdownWord();
    // The copies of the body files are gone with their items.
    EXPECT_TRUE(QDir(PrivateTempDir::path()).entryList({QStringLiteral("job-*")}).isEmpty());
}

// An instance is replaced after the set number of documents.
TEST(ParallelExporterTest, AnInstanceIsReplacedAfterItsQuotaOfDocuments) {
    QTemporaryDir dir;
    auto log = std::make_shared<FakeOfficeLog>();
    CWordExporter exporter(
        [log] { return std::unique_ptr<IOfficeAutomation>(std::make_unique<FakeOfficeAutomation>(log)); });
    exporter.SetRestartEvery(4);
    exporter.SetRootFolder(dir.path());
    ASSERT_TRUE(exporter.StartWord());
    exporter.SetOutputFolder(QStringLiteral("F"));
    const QString body = dir.filePath(QStringLiteral("NewTxt.txt"));
    QFile f(body);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xFF\xFE");
    f.close();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(exporter.ExportItem(body, QStringLiteral("Doc %1").arg(i)));
    EXPECT_EQ(log->creates, 3);  // documents 1-4, 5-8, 9-10
    EXPECT_EQ(exporter.StartCount(), 3);
}

// The Word exporter over a real LibreOffice that is killed at awkward moments:
// while idle, while a document is open, while a new office is starting, and
// at random during a series of items. A kill may cost the item in flight and
// nothing more; the run always goes on with a working office.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <random>
#include <thread>

#include "export/HeaderTemplates.h"
#include "files/PrivateTempDir.h"
#include "office/CWordExporter.h"
#include "office/LibreOfficeEngine.h"

namespace {

// Processes whose command line mentions `marker` (the office's private directory).
std::vector<pid_t> processesMentioning(const QString& marker) {
    std::vector<pid_t> found;
    const QByteArray needle = marker.toUtf8();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const pid_t pid = pid_t(entry.toInt(&ok));
        if (!ok || pid == ::getpid()) continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(needle)) found.push_back(pid);
    }
    return found;
}

int killOffice(const QString& marker) {
    int n = 0;
    for (pid_t pid : processesMentioning(marker))
        if (::kill(pid, SIGKILL) == 0) ++n;
    return n;
}

// Kills the office of one directory: on demand, or the next one that shows up.
class OfficeKiller {
  public:
    explicit OfficeKiller(QString marker) : m_marker(std::move(marker)), m_thread([this] { run(); }) {}
    ~OfficeKiller() {
        m_quit = true;
        m_thread.join();
    }
    // Kills the next office process that appears while none runs now.
    void killNextStart() { m_killNext = true; }
    bool pending() const { return m_killNext; }
    int kills() const { return m_kills; }

  private:
    void run() {
        bool sawNone = false;
        while (!m_quit) {
            if (m_killNext) {
                const auto running = processesMentioning(m_marker);
                if (running.empty()) {
                    sawNone = true;
                } else if (sawNone) {
                    // Give it a moment into its start-up, then kill it.
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                    if (killOffice(m_marker) > 0) ++m_kills;
                    m_killNext = false;
                    sawNone = false;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    QString m_marker;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_killNext{false};
    std::atomic<int> m_kills{0};
    std::thread m_thread;
};

const QString kBlock = QStringLiteral("Task Item \r\nSubject:Plan \r\nDueDate:08/08/2014 \r\n");

class OfficeRecovery : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_work = PrivateTempDir::filePath(QStringLiteral("recovery-office-%1").arg(++s_counter));
        LibreOfficeSettings settings;
        settings.workDirectory = m_work;
        m_exporter = std::make_unique<CWordExporter>(
            [settings] { return std::unique_ptr<IOfficeAutomation>(std::make_unique<LibreOfficeEngine>(settings)); });
        m_exporter->SetRootFolder(m_dir.path() + QStringLiteral("/"));
        ASSERT_TRUE(m_exporter->StartWord()) << m_exporter->LastFailure().toStdString();
        ASSERT_TRUE(m_exporter->SetOutputFolder(QStringLiteral("Tasks\\")));
        m_body = m_dir.filePath(QStringLiteral("body.txt"));
        QFile body(m_body);
        ASSERT_TRUE(body.open(QIODevice::WriteOnly));
        body.write(QByteArray("\xFF\xFE", 2) + QByteArray("b\0o\0d\0y\0", 8));
    }
    void TearDown() override {
        m_exporter->ShutdownWord();
        EXPECT_TRUE(processesMentioning(m_work).empty()) << "an office outlived the exporter";
    }

    bool exportOne(const QString& name) {
        m_exporter->SetHeaderInputs({}, {}, {}, {}, kBlock);
        m_exporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(m_exporter->CountHeaderLabels(kBlock))));
        return m_exporter->ExportItem(m_body, name);
    }
    QStringList written() const {
        return QDir(m_dir.path() + QStringLiteral("/Tasks")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    static inline int s_counter = 0;
    QTemporaryDir m_dir;
    QString m_work;
    QString m_body;
    std::unique_ptr<CWordExporter> m_exporter;
};

}  // namespace

TEST_F(OfficeRecovery, KilledTwiceInQuickSuccessionLosesNothing) {
    ASSERT_TRUE(exportOne(QStringLiteral("one"))) << m_exporter->LastFailure().toStdString();
    OfficeKiller killer(m_work);

    // Killed while idle, and the replacement killed again while it starts.
    ASSERT_GT(killOffice(m_work), 0);
    killer.killNextStart();
    EXPECT_TRUE(exportOne(QStringLiteral("two"))) << m_exporter->LastFailure().toStdString();
    // On an idle machine the restart can be up before the killer's poll sees
    // the first office gone, and then it is not killed: what must hold either
    // way is that nothing is lost (checked below). Said, so a run shows it.
    if (killer.pending() || killer.kills() == 0)
        std::printf("note: the restart after the first kill was not caught by the killer\n");

    // Killed twice more between items, the second time during the restart.
    ASSERT_GT(killOffice(m_work), 0);
    killer.killNextStart();
    EXPECT_TRUE(exportOne(QStringLiteral("three"))) << m_exporter->LastFailure().toStdString();
    EXPECT_TRUE(exportOne(QStringLiteral("four"))) << m_exporter->LastFailure().toStdString();
    EXPECT_FALSE(m_exporter->GaveUp());
    EXPECT_EQ(written(), (QStringList{QStringLiteral("four.doc"), QStringLiteral("one.doc"),
                                      QStringLiteral("three.doc"), QStringLiteral("two.doc")}));
}

TEST_F(OfficeRecovery, RandomKillsCostAtMostTheItemsInFlight) {
    std::atomic<bool> done{false};
    std::atomic<int> kills{0};
    std::thread chaos([&] {
        std::mt19937 random(12345);
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1000 + random() % 1500));
            if (!done && killOffice(m_work) > 0) ++kills;
        }
    });
    int ok = 0, failed = 0;
    for (int i = 0; i < 8; ++i) {
        if (exportOne(QStringLiteral("item%1").arg(i)))
            ++ok;
        else
            ++failed;
    }
    done = true;
    chaos.join();
    EXPECT_LE(failed, kills.load()) << "failures beyond the kills";
    EXPECT_EQ(int(written().size()), ok);
    // The office still works after the storm, and nothing half-written is left.
    EXPECT_TRUE(exportOne(QStringLiteral("after"))) << m_exporter->LastFailure().toStdString();
    for (const QString& name : written()) EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
    std::printf("random kills: %d, items written %d, failed %d\n", kills.load(), ok, failed);
}

#include "GuiTestSupport.h"

#include "notes/ServerDirectory.h"
#include "convert/ServerDiscoveryTexts.h"
#include "source/CDominoServerFileDlg.h"
#include "source/DominoBrowserTexts.h"
#include "widgets/CAnimateCtrl.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <map>

namespace T = DominoBrowserTexts;

namespace {

// Servers and their databases; opening a database can be held until the test releases it.
class FakeDirectory : public IServerDirectory {
public:
    QStringList servers;
    std::map<QString, std::vector<ServerDatabase>> databases;  // by server
    std::map<QString, store::StoreError> openErrors;            // by path
    QString holdAt;          // opening this path waits for `release`
    QSemaphore release;
    QSemaphore reachedHold;
    QStringList remembered;

    store::StoreError ServerNames(QStringList& names) override {
        names = servers;
        return {};
    }
    store::StoreError Databases(const QString& server, std::vector<ServerDatabase>& out,
                                const std::atomic<int>*) override {
        auto it = databases.find(server);
        if (it == databases.end()) return {store::StatusServerUnreachable, server};
        out = it->second;
        return {};
    }
    store::StoreError OpenDatabase(const QString&, const QString& path, ServerDatabase& db,
                                   const std::atomic<int>*) override {
        if (path == holdAt) {
            reachedHold.release();
            release.acquire();
        }
        auto it = openErrors.find(path);
        if (it != openErrors.end()) return it->second;
        db = {path, ServerDirectory::FileNameOf(path)};
        return {};
    }
    store::StoreError RememberServer(const QString& name) override {
        remembered.append(name);
        return {};
    }
};

class DominoBrowserTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        dir.servers = {"mail01", "Apps"};
        dir.databases["MAIL01"] = {{"mail/ada.nsf", "Ada"}, {"mail/bob.nsf", "Bob"}, {"apps/engine.nsf", "Engine"}};
        dir.databases["EMPTY"] = {};
        frame->Notes().serverDirectory = &dir;
        dlg = std::make_unique<CDominoServerFileDlg>(frame.get(), frame.get());
        dlg->show();
    }
    void TearDown() override {
        dir.release.release(10);
        dlg.reset();
        frame->Notes().serverDirectory = nullptr;
        FrameFixture::TearDown();
    }

    void addServer(const QString& typed) {
        dlg->ServerEdit()->setText(typed);
        dlg->OnAddServer();
    }
    // Waits for the running lookup to end (events processed meanwhile).
    bool waitIdle(int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (dlg->IsSearching() && t.elapsed() < ms) QTest::qWait(10);
        return !dlg->IsSearching();
    }
    void clickServer(const QString& name) {
        const QList<QTableWidgetItem*> found = dlg->ServerList()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        const QRect r = dlg->ServerList()->visualItemRect(found.first());
        QTest::mouseClick(dlg->ServerList()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::qWait(0);
    }
    bool lookupControlsEnabled() const {
        return dlg->ServerEdit()->isEnabled() && dlg->FinishButton()->isEnabled() && dlg->AddButton()->isEnabled() &&
               dlg->AddServerButton()->isEnabled() && dlg->SearchButton()->isEnabled() &&
               dlg->ServerList()->isEnabled() && dlg->DatabaseList()->isEnabled();
    }

    FakeDirectory dir;
    std::unique_ptr<CDominoServerFileDlg> dlg;
};

}  // namespace

TEST_F(DominoBrowserTest, InitialStateAndTexts) {
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Domino Server File Selection"));
    EXPECT_EQ(dlg->ServerList()->horizontalHeaderItem(0)->text(), QStringLiteral("Domino Server Name(s)"));
    EXPECT_EQ(dlg->DatabaseList()->horizontalHeaderItem(0)->text(), QStringLiteral("Domino Server NSF File(s)"));
    EXPECT_TRUE(dlg->StatusLine()->text().isEmpty());
    EXPECT_FALSE(dlg->StopButton()->isVisible());
    EXPECT_TRUE(dlg->SearchButton()->isVisible());
    EXPECT_FALSE(dlg->Animation()->IsPlaying());
}

TEST_F(DominoBrowserTest, TypedServerNamesAreCheckedUpperCasedAndRemembered) {
    addServer("");
    addServer("my server");
    for (const char* bad : {"a/b", "host:80", "x*", "q?", "<a>", "p|q", "back\\slash", "\"q\""}) addServer(bad);
    EXPECT_EQ(boxes().shownTexts().first(), QStringLiteral("Please provide domino server name or IP address."));
    EXPECT_EQ(boxes().shownTexts().count(QStringLiteral("Please enter valid domino server name")), 9);
    EXPECT_EQ(dlg->ServerList()->rowCount(), 0);
    EXPECT_EQ(boxes().shown().first().kind, QStringLiteral("info"));

    boxes().clear();
    addServer("server1");
    addServer("10.0.0.7");
    addServer("Server1");
    EXPECT_EQ(dlg->ServerNames(), QStringList({"10.0.0.7", "SERVER1"}));  // newest on top
    EXPECT_EQ(boxes().shownTexts(), QStringList{QStringLiteral("SERVER1 Domino Server already exist in the list")});
    EXPECT_EQ(dir.remembered, QStringList({"SERVER1", "10.0.0.7"}));
}

TEST_F(DominoBrowserTest, SearchAsksFirstAndMergesKnownServers) {
    boxes().queueAnswer(false);
    dlg->OnSearchServer();
    EXPECT_EQ(boxes().shownTexts(), QStringList{T::kAskEnumerate});
    EXPECT_FALSE(dlg->IsSearching());
    EXPECT_TRUE(lookupControlsEnabled());
    EXPECT_TRUE(dlg->SearchButton()->isVisible());
    EXPECT_FALSE(dlg->StopButton()->isVisible());

    addServer("MAIL01");
    boxes().clear();
    boxes().queueAnswer(true);
    dlg->OnSearchServer();
    EXPECT_TRUE(dlg->IsSearching());
    EXPECT_EQ(dlg->StatusLine()->text(), QStringLiteral("Please wait enumerating server"));
    EXPECT_TRUE(dlg->Animation()->IsPlaying());
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(dlg->ServerNames(), QStringList({"APPS", "MAIL01"}));
    EXPECT_EQ(boxes().shownTexts(), QStringList{T::kAskEnumerate});
    EXPECT_TRUE(lookupControlsEnabled());
    EXPECT_FALSE(dlg->Animation()->IsPlaying());
    EXPECT_TRUE(dlg->StatusLine()->text().isEmpty());

    // Nothing known: the reason is shown.
    dir.servers.clear();
    boxes().clear();
    boxes().queueAnswer(true);
    dlg->OnSearchServer();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(boxes().shownTexts().last(), ServerDiscoveryTexts::kNoServerKnown);
}

TEST_F(DominoBrowserTest, ClickingAServerListsItsDatabasesReversedAndTicked) {
    addServer("empty");
    addServer("mail01");
    clickServer("MAIL01");
    EXPECT_TRUE(dlg->IsSearching());
    EXPECT_EQ(dlg->StatusLine()->text(), QStringLiteral("Please wait while finding NSF file in server"));
    EXPECT_FALSE(lookupControlsEnabled());
    EXPECT_TRUE(dlg->StopButton()->isVisibleTo(dlg.get()));
    EXPECT_FALSE(dlg->SearchButton()->isVisibleTo(dlg.get()));
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(dlg->SelectedServer(), QStringLiteral("MAIL01"));
    EXPECT_EQ(dlg->DatabasePaths(), QStringList({"apps/engine.nsf", "mail/bob.nsf", "mail/ada.nsf"}));
    EXPECT_EQ(dlg->TickedDatabasePaths(), dlg->DatabasePaths());
    EXPECT_TRUE(boxes().shownTexts().isEmpty());

    // A server without databases says so and leaves the list empty.
    clickServer("EMPTY");
    ASSERT_TRUE(waitIdle());
    EXPECT_TRUE(dlg->DatabasePaths().isEmpty());
    EXPECT_EQ(boxes().shownTexts(), QStringList{QStringLiteral("No file found in selected server")});

    // Empty space below the rows: the database list is cleared, nothing starts.
    clickServer("MAIL01");
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(dlg->DatabasePaths().size(), 3);
    QTest::mouseClick(dlg->ServerList()->viewport(), Qt::LeftButton, {},
                      QPoint(10, dlg->ServerList()->viewport()->height() - 5));
    QTest::qWait(0);
    EXPECT_FALSE(dlg->IsSearching());
    EXPECT_TRUE(dlg->DatabasePaths().isEmpty());
}

TEST_F(DominoBrowserTest, DatabasesThatCannotBeReadAreNamedWithTheServersReason) {
    const QString why = "The Domino data service is not enabled for this database. Ask the administrator to set "
                        "\"Allow Domino Data Service\" to \"Views and documents\"";
    dir.openErrors["mail/bob.nsf"] = {store::StatusAccessDenied, why};
    addServer("mail01");
    clickServer("MAIL01");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(dlg->DatabasePaths(), QStringList({"apps/engine.nsf", "mail/ada.nsf"}));
    ASSERT_EQ(boxes().shownTexts().size(), 1);
    const QString shown = boxes().shownTexts().first();
    EXPECT_TRUE(shown.startsWith(T::kDatabasesLeftOut));
    EXPECT_TRUE(shown.contains("mail/bob.nsf: ")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(why));
}

TEST_F(DominoBrowserTest, TicksAddAndFinishHandDatabasesToStepOne) {
    dlg->OnAdd();
    EXPECT_EQ(boxes().shownTexts(), QStringList{T::kNoDatabasesInList});
    addServer("mail01");
    clickServer("MAIL01");
    ASSERT_TRUE(waitIdle());
    boxes().clear();
    dlg->OnUnselectAll();
    EXPECT_TRUE(dlg->TickedDatabasePaths().isEmpty());
    dlg->OnAdd();
    EXPECT_EQ(boxes().shownTexts(), QStringList{T::kSelectFile});
    dlg->OnSelectAll();
    dlg->DatabaseList()->item(1, 0)->setCheckState(Qt::Unchecked);  // mail/bob.nsf
    boxes().clear();
    dlg->OnAdd();
    EXPECT_EQ(boxes().shownTexts(), QStringList{T::kFilesAdded});
    dlg->OnAdd();  // handed twice; Step 1 keeps one row per path and server
    const QList<NsfSourceEntry> entries = step1()->Entries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0], (NsfSourceEntry{"mail/ada.nsf", "MAIL01"}));
    EXPECT_EQ(entries[1], (NsfSourceEntry{"apps/engine.nsf", "MAIL01"}));

    QSignalSpy finished(dlg.get(), &QDialog::finished);
    dlg->OnFinish();
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished.first().first().toInt(), int(QDialog::Accepted));
}

TEST_F(DominoBrowserTest, StopWaitsAtTheGateAndEndsAfterTheCurrentDatabase) {
    addServer("mail01");
    dir.holdAt = "mail/bob.nsf";
    clickServer("MAIL01");
    ASSERT_TRUE(dir.reachedHold.tryAcquire(1, 5000));

    // Closing is refused while the lookup runs; Escape and Finish do nothing.
    dlg->close();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    dlg->OnFinish();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(boxes().shownTexts(), QStringList{QStringLiteral("Please wait while serching finish")});

    // While the question is open the worker finishes its database and waits at the gate.
    int waitsSeen = -1;
    boxes().setQuestionHook([&](const QString&) {
        dir.release.release();
        QElapsedTimer t;
        t.start();
        while (dlg->PauseGate().WaitCount() == 0 && t.elapsed() < 5000) QThread::msleep(5);
        waitsSeen = dlg->PauseGate().WaitCount();
    });
    boxes().queueAnswer(true);
    dlg->OnStop();
    boxes().setQuestionHook(nullptr);
    EXPECT_EQ(waitsSeen, 1);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(boxes().shownTexts().last(), T::kAskStop);
    EXPECT_EQ(dlg->DatabasePaths(), QStringList({"mail/bob.nsf", "mail/ada.nsf"}));
    EXPECT_TRUE(lookupControlsEnabled());

    // Closing is allowed again once idle.
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(DominoBrowserTest, StopAnsweredNoLetsTheLookupFinish) {
    addServer("mail01");
    dir.holdAt = "mail/ada.nsf";
    clickServer("MAIL01");
    ASSERT_TRUE(dir.reachedHold.tryAcquire(1, 5000));
    boxes().setQuestionHook([&](const QString&) { dir.release.release(); });
    boxes().queueAnswer(false);
    dlg->OnStop();
    boxes().setQuestionHook(nullptr);
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(dlg->DatabasePaths().size(), 3);
}

TEST_F(DominoBrowserTest, EnterInTheNameEditNeitherAddsNorCloses) {
    dlg->ServerEdit()->setText("mail01");
    dlg->ServerEdit()->setFocus();
    QTest::keyClick(dlg->ServerEdit(), Qt::Key_Return);
    QTest::keyClick(dlg->ServerEdit(), Qt::Key_Enter);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->ServerList()->rowCount(), 0);
}

TEST_F(DominoBrowserTest, StepOneOpensTheBrowserAndPreviewsAServerDatabase) {
    QString caption;
    boxes().setDialogHandler([&](QDialog& d) {
        caption = d.windowTitle();
        auto* browser = qobject_cast<CDominoServerFileDlg*>(&d);
        if (!browser) return int(QDialog::Rejected);
        frame->AddDominoServerFiles("MAIL01", {"mail/ada.nsf"});
        return int(QDialog::Accepted);
    });
    step1()->OnAddDominoFiles();
    boxes().setDialogHandler(nullptr);
    EXPECT_EQ(caption, T::kCaption);
    ASSERT_EQ(step1()->Entries().size(), 1);

    // A server database is previewed like a file: Step 2 opens it on that server.
    step1()->List()->selectRow(0);
    step1()->OnPreview();
    EXPECT_EQ(host()->CurrentPageIndex(), 1);
    EXPECT_EQ(frame->SourcePath(), QStringLiteral("mail/ada.nsf"));
    EXPECT_EQ(frame->ServerName(), QStringLiteral("MAIL01"));
}

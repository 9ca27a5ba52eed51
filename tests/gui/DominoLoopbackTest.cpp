// The server browser and a server database against the loopback Domino
// stand-in (built with the Domino driver only).
#ifdef TESSELDOC_HAVE_FAKE_DOMINO

#include "GuiTestSupport.h"

#include "fake/FakeDomino.h"
#include "source/CDominoServerFileDlg.h"
#include "source/DominoBrowserTexts.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTableWidget>
#include <QTest>

namespace {

class DominoLoopbackTest : public FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        const QString demo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");
        QString why;
        ASSERT_TRUE(server.addDatabaseFile(QStringLiteral("mail/demo.nsf"), demo, &why)) << why.toStdString();
        ASSERT_TRUE(server.addDatabaseFile(QStringLiteral("apps/closed.nsf"), demo, &why)) << why.toStdString();
        server.database(QStringLiteral("apps/closed.nsf"))->access = fakedomino::DbAccess::Never;
        ASSERT_NE(server.start(), 0);
        QSettings settings(QStringLiteral("tesseldoc"), QStringLiteral("tesseldoc"));
        settings.setValue(QStringLiteral("DominoServers/LOOP/url"), server.baseUrl());
        settings.setValue(QStringLiteral("DominoServers/LOOP/allowHttp"), true);
        settings.setValue(QStringLiteral("DominoServers/LOOP/auth"), QStringLiteral("none"));
        settings.setValue(QStringLiteral("DominoServers/LOOP/proxy"), QStringLiteral("none"));
        settings.sync();
    }
    void TearDown() override {
        server.stop();
        FrameFixture::TearDown();
    }
    bool waitIdle(CDominoServerFileDlg& dlg) {
        QElapsedTimer t;
        t.start();
        while (dlg.IsSearching() && t.elapsed() < 20000) QTest::qWait(10);
        return !dlg.IsSearching();
    }

    fakedomino::Server server;
};

}  // namespace

TEST_F(DominoLoopbackTest, BrowserListsTheServersDatabasesAndNamesTheClosedOne) {
    CDominoServerFileDlg dlg(frame.get(), frame.get());
    dlg.show();
    boxes().queueAnswer(true);
    dlg.OnSearchServer();
    ASSERT_TRUE(waitIdle(dlg));
    ASSERT_TRUE(dlg.ServerNames().contains(QStringLiteral("LOOP")));

    dlg.ServerList()->selectRow(int(dlg.ServerNames().indexOf(QStringLiteral("LOOP"))));
    dlg.OnServerClicked();
    ASSERT_TRUE(waitIdle(dlg));
    EXPECT_EQ(dlg.DatabasePaths(), QStringList{QStringLiteral("mail/demo.nsf")});
    ASSERT_FALSE(boxes().shownTexts().isEmpty());
    const QString shown = boxes().shownTexts().last();
    EXPECT_TRUE(shown.startsWith(DominoBrowserTexts::kDatabasesLeftOut)) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("apps/closed.nsf"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("Allow Domino Data Service"))) << shown.toStdString();

    dlg.OnAdd();
    ASSERT_EQ(step1()->Entries().size(), 1);
    EXPECT_EQ(step1()->Entries().first(), (NsfSourceEntry{"mail/demo.nsf", "LOOP"}));

    // The entry opens on the server as Steps 2 and 3 open it.
    QStringList folders;
    ASSERT_EQ(frame->Notes().EnumerateFolders("mail/demo.nsf", "LOOP", folders, 1), 1)
        << frame->Notes().lastErrorText.toStdString();
    EXPECT_TRUE(folders.contains(QStringLiteral("($Inbox)\\")));
}

#endif

// The frame's checks that used to stall or stack: the office check, and
// closing while documents are being saved.
#include "GuiTestSupport.h"

#include "app/AppTexts.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>
#include <QTest>

class FrameChecksTest : public FrameFixture {};

TEST_F(FrameChecksTest, AnOfficeFoundIsKeptAndOneMissingIsAskedAgain) {
    fake->wordOk = false;
    EXPECT_FALSE(frame->CheckWordAvailable());
    EXPECT_FALSE(frame->CheckWordAvailable());
    EXPECT_EQ(fake->wordChecks, 2);  // installed since? asked again
    fake->wordOk = true;
    EXPECT_TRUE(frame->CheckWordAvailable());
    EXPECT_TRUE(frame->CheckWordAvailable());
    EXPECT_EQ(fake->wordChecks, 3);
}

TEST_F(FrameChecksTest, TheOfficeCheckBegunInTheBackgroundIsTakenNotRepeated) {
    fake->wordOk = true;
    frame->PrefetchWordCheck();  // off: a frame of its own checks when asked
    EXPECT_EQ(fake->wordChecks, 0);
    frame->SetPrefetchWordCheck(true);
    frame->PrefetchWordCheck();
    frame->PrefetchWordCheck();  // one check at a time
    EXPECT_TRUE(frame->CheckWordAvailable());
    EXPECT_EQ(fake->wordChecks, 1);
    frame->PrefetchWordCheck();  // answered: nothing more
    EXPECT_TRUE(frame->CheckWordAvailable());
    EXPECT_EQ(fake->wordChecks, 1);
}

TEST_F(FrameChecksTest, ClosingWhileSavingShowsOneBoxThatGoesWithTheSaving) {
    frame->m_bSaving = 1;
    EXPECT_FALSE(frame->close());
    QTest::keyClick(frame.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    int asked = 0;
    for (const QString& text : boxes().shownTexts())
        if (text == AppTexts::kStopSavingFirst) ++asked;
    EXPECT_EQ(asked, 1);
    ASSERT_NE(frame->StopSavingBox(), nullptr);
    QTest::qWait(400);
    EXPECT_NE(frame->StopSavingBox(), nullptr);  // still saving: it stays
    frame->m_bSaving = 0;
    for (int waited = 0; frame->StopSavingBox() && waited < 3000; waited += 50) QTest::qWait(50);
    EXPECT_EQ(frame->StopSavingBox(), nullptr);
}

TEST_F(FrameChecksTest, QtsOwnFileDialogOpensAtAReadableSize) {
    QFileDialog dialog(frame.get(), QStringLiteral("Add"), QDir::homePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setViewMode(QFileDialog::Detail);
    CMessageBoxService::SizeFileDialog(dialog);
    EXPECT_GE(dialog.width(), 1000);  // two thirds of the 1920 x 1080 test screen, at most 1100
    EXPECT_GE(dialog.height(), 700);
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    EXPECT_GE(view->header()->sectionSize(0), 400);  // names are not cut at a few letters
}

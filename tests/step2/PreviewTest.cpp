#include "Step2TestSupport.h"

#include "convert/ILargeBodyQuestion.h"
#include "steps/CItemListGrid.h"
#include "steps/CItemSaveRun.h"
#include "steps/CLargeItemDlg.h"
#include "steps/CPreviewPane.h"
#include "steps/FolderTreeTexts.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QTextBrowser>

using namespace step2test;

namespace {

class PreviewTest : public Step2Fixture {
protected:
    void Customise() override {
        atLimit = db.Add({TextItem("Subject", "at limit"), Rich("Body", "body at the limit", 61440)});
        overLimit = db.Add({TextItem("Subject", "over limit"), Rich("Body", "large mail body", 61441)});
        overLimit2 = db.Add({TextItem("Subject", "over limit again"), Rich("Body", "second large body", 70000)});
        largeTask = db.Add({TextItem("Subject", "large task"), Date("DueDate", 2014, 1, 1),
                            Rich("Body", "large task body", 80000)});
        db.store->addFolder("Large", true, {atLimit, overLimit, overLimit2, largeTask});
    }
    // Answers the large-body question with OK or Cancel and the check box; counts the questions.
    void AnswerLarge(bool ok, bool dontShowAgain) {
        boxes().setDialogHandler([this, ok, dontShowAgain](QDialog& dlg) -> int {
            if (auto* d = qobject_cast<CLargeItemDlg*>(&dlg)) {
                ++questions;
                d->SetDontShowAgain(dontShowAgain);
                return ok ? QDialog::Accepted : QDialog::Rejected;
            }
            return QDialog::Rejected;
        });
    }
    int Row(uint32_t noteId) const {
        for (int r = 0; r < step2()->List()->rowCount(); ++r)
            if (step2()->List()->NoteIdOf(r) == noteId) return r;
        return -1;
    }
    uint32_t atLimit = 0, overLimit = 0, overLimit2 = 0, largeTask = 0;
    int questions = 0;
};

}  // namespace

TEST_F(PreviewTest, ListsTheInboxWithRowColoursHeightsAndNoteIds) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    CItemListGrid* list = step2()->List();
    ASSERT_EQ(list->rowCount(), 6);
    EXPECT_EQ(list->horizontalHeaderItem(3)->text(), QStringLiteral("Size in Bytes"));
    const uint32_t ids[6] = {mail, mailNoSubject, calendar, task, journal, contact};
    const int kinds[6] = {Mail, Mail, Calendar, Task, Journal, Contact};
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(list->NoteIdOf(r), ids[r]) << r;
        EXPECT_EQ(list->KindOf(r), kinds[r]) << r;
        EXPECT_EQ(list->item(r, 2)->background().color(), CItemListGrid::RowColour(kinds[r])) << r;
    }
    EXPECT_EQ(list->item(2, 0)->background().color(), QColor(211, 255, 168));
    EXPECT_EQ(list->rowHeight(2), 50);
    EXPECT_EQ(list->rowHeight(5), 50);
    EXPECT_NE(list->rowHeight(0), 50);
    EXPECT_EQ(list->Cell(0, 1), QStringLiteral("Quarterly report"));
    EXPECT_EQ(list->Cell(0, 0), QStringLiteral("Jane Roe"));
    EXPECT_TRUE(list->Cell(0, 4).contains(QStringLiteral("plan.pdf")));
    EXPECT_EQ(step2()->ItemsReady(), 1);
    EXPECT_EQ(step2()->Preview()->MessageState(), FolderTreeTexts::MsgSelectItem);

    // A click on any cell, and releasing Down, report the row's item.
    QList<QPair<quint32, int>> clicks;
    QObject::connect(list, &CItemListGrid::itemClicked, [&](quint32 id, int row) { clicks.append({id, row}); });
    emit list->cellClicked(2, 3);
    list->setCurrentCell(3, 1);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(list, &release);
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks[0], qMakePair(quint32(calendar), 3));
    EXPECT_EQ(clicks[1], qMakePair(quint32(task), 4));
    EXPECT_EQ(step2()->Preview()->ItemType(), 2);  // the task is previewed
}

TEST_F(PreviewTest, PreviewOfEachKind) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    CPreviewPane* pane = step2()->Preview();

    // A mail with two attachments: header lines, strip with two entries, viewer 40 pixels lower.
    ClickRow(0);
    EXPECT_EQ(pane->ItemType(), 0);
    EXPECT_EQ(pane->TitleLine(), QStringLiteral("Quarterly report"));
    EXPECT_EQ(pane->SecondLine(), QStringLiteral("Jane Roe"));
    EXPECT_EQ(pane->RightLine(), step2()->List()->Cell(0, 2));
    EXPECT_FALSE(pane->RightLine().isEmpty());
    EXPECT_TRUE(pane->HasAttachments());
    ASSERT_EQ(pane->AttachmentStrip()->count(), 2);
    EXPECT_TRUE(pane->AttachmentStrip()->item(0)->text().startsWith(QStringLiteral("plan.pdf ")));
    EXPECT_TRUE(pane->AttachmentStrip()->item(0)->text().contains(QStringLiteral("1234")));
    EXPECT_FALSE(pane->AttachmentStrip()->item(0)->icon().isNull());
    EXPECT_EQ(pane->Viewer()->geometry().top(), 110);
    EXPECT_EQ(pane->AttachmentStrip()->geometry(), QRect(0, 70, pane->width(), 40));
    EXPECT_TRUE(step2()->PreviewText().startsWith(QStringLiteral("Mail Item")) ||
                step2()->PreviewText().contains(QStringLiteral("Subject:")));
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("Hello from the report")));
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("Quarterly report")));

    // A mail with a plain-text body and no attachments: the viewer right under the header.
    ClickRow(1);
    EXPECT_EQ(pane->ItemType(), 0);
    EXPECT_FALSE(pane->HasAttachments());
    EXPECT_EQ(pane->Viewer()->geometry().top(), 70);
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("plain body")));

    // Calendar, task and contact: no header lines, their text in the viewer.
    ClickRow(2);
    EXPECT_EQ(pane->ItemType(), 1);
    EXPECT_TRUE(pane->TitleLine().isEmpty());
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("Agenda")));
    ClickRow(3);
    EXPECT_EQ(pane->ItemType(), 2);
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("All of them")));
    ClickRow(5);
    EXPECT_EQ(pane->ItemType(), 3);
    EXPECT_TRUE(pane->TitleLine().isEmpty());
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("Contact Item")));
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("Jane Roe")));
    EXPECT_FALSE(CPreviewPane::KindPicture(3).isNull());

    // A journal entry: header lines like a mail.
    ClickRow(4);
    EXPECT_EQ(pane->ItemType(), 4);
    EXPECT_EQ(pane->TitleLine(), QStringLiteral("Diary entry"));
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("Dear diary")));
}

TEST_F(PreviewTest, PaneMessagesAreCentredBoldColouredRtf) {
    for (int state : {0, 2, 3, 4, 5, 6}) {
        const QString rtf = CPreviewPane::MessageRtf(state);
        EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1"))) << state;
        EXPECT_TRUE(rtf.endsWith(QStringLiteral("\\cf0\\b0\\fs20\\par\\pardpar}"))) << state;
        EXPECT_EQ(rtf.contains(QStringLiteral("\\red255\\green0\\blue0")), state == 2) << state;
    }
    EXPECT_TRUE(CPreviewPane::MessageRtf(1).isEmpty());
    CPreviewPane pane;
    pane.resize(600, 300);
    pane.SetMessage(FolderTreeTexts::MsgNoItem);
    const QString html = pane.Viewer()->toHtml();
    EXPECT_TRUE(pane.Viewer()->toPlainText().contains(FolderTreeTexts::kPaneNoItem));
    EXPECT_TRUE(html.contains(QStringLiteral("center"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("#ff0000"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("font-weight")));
    pane.SetMessage(FolderTreeTexts::MsgSelectItem);
    EXPECT_TRUE(pane.Viewer()->toPlainText().contains(QStringLiteral("Please select item to see preview.")));
    EXPECT_TRUE(pane.Viewer()->toHtml().contains(QStringLiteral("#0000ff")));
}

TEST_F(PreviewTest, LargeBodyAsksAboveTheLimitAndCancelWithTheBoxIsRemembered) {
    OpenStep2();
    ClickFolder(QStringLiteral("Large\\"));
    CPreviewPane* pane = step2()->Preview();
    AnswerLarge(false, false);
    ClickRow(Row(atLimit));  // 61,440 bytes: no question
    EXPECT_EQ(questions, 0);
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("body at the limit")));

    ClickRow(Row(overLimit));  // 61,441 bytes: asked; Cancel: no body
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(pane->Viewer()->toPlainText().contains(QStringLiteral("large mail body")));
    EXPECT_EQ(frame->Notes().m_bShowLargeBody, 0);
    EXPECT_EQ(frame->Notes().m_bAskLargeBody, 1);

    AnswerLarge(false, true);  // Cancel with "Don't show this message again"
    ClickRow(Row(overLimit));
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(frame->Notes().m_bAskLargeBody, 0);
    ClickRow(Row(overLimit2));  // never asked again, never shown
    ClickRow(Row(largeTask));
    EXPECT_EQ(questions, 2);
    EXPECT_FALSE(pane->Viewer()->toPlainText().contains(QStringLiteral("large task body")));
    // The header text is still there (the item has no body shown, only its header).
    EXPECT_TRUE(step2()->PreviewText().contains(QStringLiteral("large task")));
}

TEST_F(PreviewTest, LargeBodyOkWithTheBoxShowsLaterItemsWithoutAsking) {
    OpenStep2();
    ClickFolder(QStringLiteral("Large\\"));
    CPreviewPane* pane = step2()->Preview();
    AnswerLarge(true, true);
    ClickRow(Row(overLimit));
    EXPECT_EQ(questions, 1);
    // A large mail body is shown from the RTF export, with its formatting.
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("large mail body")));
    EXPECT_FALSE(pane->Viewer()->toPlainText().contains(QStringLiteral("Subject:")));
    ClickRow(Row(overLimit2));
    ClickRow(Row(largeTask));  // a large task body as plain text
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("large task body")));
    EXPECT_TRUE(pane->Viewer()->toPlainText().contains(QStringLiteral("large task")));
}

// RenderItem of the core, without the GUI around it.
namespace {
class CountingQuestion : public ILargeBodyQuestion {
public:
    bool AskShowLargeBody(bool* dontAskAgain) override {
        ++asked;
        *dontAskAgain = false;
        return answer;
    }
    int asked = 0;
    bool answer = false;
};
}  // namespace

TEST(RenderItemTest, PurposesTypeCodesHeaderAndSavesNeverAsk) {
    TestDatabase db(QStringLiteral("render"));
    const uint32_t task = db.Add({TextItem("Subject", "T"), Date("DueDate", 2014, 1, 2), Rich("Body", "task text")});
    const uint32_t journal = db.Add({TextItem("Subject", "J"), Date("DiaryDate", 2014, 1, 3),
                                     TextItem("Comment", "only a comment")});
    const uint32_t big = db.Add({TextItem("Subject", "B"), Rich("Body", "big body", 100000)});
    db.store->addFolder("F", true, {task, journal, big});
    db.Register();
    CNotesConverter notes;
    ASSERT_EQ(notes.Initialize(), 1);
    QStringList folders;
    ASSERT_EQ(notes.EnumerateFolders(db.Path(), QString(), folders, 1), 1);
    CountingQuestion question;
    notes.largeBodyQuestion = &question;

    QString result, plain;
    int type = -1;
    QStringList names, sizes;
    ASSERT_EQ(notes.RenderItem(task, 0, CNotesConverter::RenderPreview, result, type, names, sizes), 1);
    EXPECT_EQ(type, 2);
    EXPECT_FALSE(notes.m_strPreviewHeaderText.isEmpty());
    EXPECT_EQ(result, notes.m_strPreviewHeaderText + QStringLiteral("task text"));
    ASSERT_EQ(notes.RenderItem(task, 0, CNotesConverter::RenderTextSave, result, type, names, sizes), 1);
    EXPECT_EQ(result, QStringLiteral("task text"));
    ASSERT_EQ(notes.RenderItem(journal, 0, CNotesConverter::RenderTextSave, result, type, names, sizes), 1);
    EXPECT_EQ(type, 4);
    EXPECT_EQ(result, QStringLiteral("only a comment"));  // no body: the comment

    // The text saving mode asks nothing and keeps the whole large body.
    ASSERT_EQ(notes.RenderItem(big, 0, CNotesConverter::RenderTextSave, result, type, names, sizes), 1);
    EXPECT_EQ(question.asked, 0);
    EXPECT_EQ(result, QStringLiteral("big body"));
    // The RTF saving mode: the RTF of the body.
    notes.savingMode = RtfLowQuality;
    ASSERT_EQ(notes.RenderItem(big, 1, CNotesConverter::RenderRtfSave, result, type, names, sizes, &plain), 1);
    EXPECT_TRUE(result.startsWith(QStringLiteral("{\\rtf")));
    EXPECT_EQ(plain, QStringLiteral("big body"));
    EXPECT_EQ(question.asked, 0);
    notes.savingMode = Text;
    // The preview asks.
    ASSERT_EQ(notes.RenderItem(big, 0, CNotesConverter::RenderPreview, result, type, names, sizes), 1);
    EXPECT_EQ(question.asked, 1);
    EXPECT_EQ(result, notes.m_strPreviewHeaderText);

    // A stop in progress composes nothing; an unknown note fails.
    notes.cancelRequested = 1;
    EXPECT_EQ(notes.RenderItem(task, 0, CNotesConverter::RenderPreview, result, type, names, sizes), 0);
    EXPECT_TRUE(result.isEmpty());
    notes.cancelRequested = 0;
    EXPECT_EQ(notes.RenderItem(0x7777, 0, CNotesConverter::RenderPreview, result, type, names, sizes), 0);
}

TEST(RenderItemTest, ADocumentOfAnotherFormShowsItsFieldsAndEveryRichTextItem) {
    TestDatabase db(QStringLiteral("renderdoc"));
    const uint32_t recipe = db.Add({TextItem("Form", "Recipe"), TextItem("Name", "Pancakes"),
                                    TextItem("Servings", "4"), TextItem("$UpdatedBy", "CN=Admin/O=Acme"),
                                    Rich("Details", "Serve warm."), Rich("Body", "Beat the eggs.")});
    const uint32_t task = db.Add({TextItem("Subject", "T"), Date("DueDate", 2014, 1, 2), Rich("Body", "task text")});
    db.store->addFolder("F", true, {recipe, task});
    db.Register();
    CNotesConverter notes;
    ASSERT_EQ(notes.Initialize(), 1);
    QStringList folders;
    ASSERT_EQ(notes.EnumerateFolders(db.Path(), QString(), folders, 1), 1);

    QString result;
    int type = -1;
    QStringList names, sizes;
    ASSERT_EQ(notes.RenderItem(recipe, 0, CNotesConverter::RenderPreview, result, type, names, sizes), 1);
    EXPECT_EQ(type, 6);
    EXPECT_EQ(notes.m_strPreviewHeaderText, QStringLiteral("Document Item \r\nName: Pancakes\r\nServings: 4\r\n"));
    EXPECT_TRUE(notes.m_strPreviewHeaderTable.startsWith(QStringLiteral("{\\rtf1")));
    const qsizetype body = result.indexOf(QStringLiteral("Beat the eggs.")),
                    details = result.indexOf(QStringLiteral("Serve warm."));
    EXPECT_GT(body, 0);
    EXPECT_GT(details, body);
    // The saved item is named as its row shows it; the five kinds keep their templates.
    EXPECT_EQ(CItemSaveRun::DocumentName(type, QStringLiteral("Pancakes"), QString()), QStringLiteral("Pancakes"));
    ASSERT_EQ(notes.RenderItem(task, 0, CNotesConverter::RenderPreview, result, type, names, sizes), 1);
    EXPECT_TRUE(notes.m_strPreviewHeaderTable.isEmpty());
}

TEST(KindPictures, EveryKindHasItsOwn) {
    // Mail, calendar, task, contact, journal and documents of other forms.
    std::vector<QImage> pictures;
    for (int type = 0; type <= 5; ++type) {
        const QPixmap pm = CPreviewPane::KindPicture(type);
        ASSERT_FALSE(pm.isNull()) << type;
        EXPECT_EQ(pm.size(), QSize(48, 48));
        for (const QImage& other : pictures) EXPECT_NE(pm.toImage(), other) << type;
        pictures.push_back(pm.toImage());
    }
    EXPECT_TRUE(CPreviewPane::KindPicture(6).isNull());
}

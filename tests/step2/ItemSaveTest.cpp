#include "Step2TestSupport.h"
#include "../pdf/MinimalPdf.h"

#include "app/WindowMessages.h"
#include "steps/CItemListGrid.h"
#include "steps/CItemSaveRun.h"
#include "steps/CSaveCompleteDlg.h"
#include "steps/CSavingItemsDlg.h"
#include "steps/CSavingModeDlg.h"
#include "steps/CSelectDestinationDlg.h"
#include "steps/FolderTreeTexts.h"
#include "steps/SaveTexts.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>

using namespace step2test;

namespace {

class ItemSaveTest : public Step2Fixture {
protected:
    // Destination = dest, the given saving mode, completion dialog recorded.
    void AnswerDialogs(int mode, const OutputOptions& output = OutputOptions()) {
        boxes().setDialogHandler([this, mode, output](QDialog& dlg) -> int {
            if (auto* d = qobject_cast<CSelectDestinationDlg*>(&dlg)) {
                d->SetFolderPath(dest.path());
                d->accept();
                return d->result();
            }
            if (auto* d = qobject_cast<CSavingModeDlg*>(&dlg)) {
                d->SelectMode(mode);
                d->SelectOutput(output);
                return QDialog::Accepted;
            }
            if (auto* d = qobject_cast<CSaveCompleteDlg*>(&dlg)) {
                completion = d->windowTitle();
                location = d->Location();
                failureText = d->FailureText();
                return QDialog::Accepted;
            }
            return QDialog::Rejected;
        });
    }
    void SelectCell(int row, int column) {
        step2()->List()->item(row, column)->setSelected(true);
    }
    QTemporaryDir dest;
    QString completion;
    QString location;
    QString failureText;
};

QString Utf16(const QByteArray& bytes) {
    if (bytes.size() < 2 || uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xFE) return QString();
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

}  // namespace

TEST_F(ItemSaveTest, SaveAllInTextModeNamesDocumentsAndDetachesAttachments) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    AnswerDialogs(Text);
    const int counter = CItemSaveRun::DefaultNameCounter();
    step2()->OnSaveItems(false);
    EXPECT_EQ(frame->m_bSaving, 1);
    EXPECT_EQ(step2()->ItemsReady(), 0);
    EXPECT_FALSE(step2()->SaveAllButton()->isEnabled());
    ASSERT_TRUE(step2()->WaitForIdle(20000));
    EXPECT_EQ(frame->m_bSaving, 0);
    EXPECT_EQ(step2()->ItemsReady(), 1);
    EXPECT_TRUE(step2()->SaveAllButton()->isEnabled());
    EXPECT_EQ(completion, FolderTreeTexts::kCaptionComplete);
    EXPECT_EQ(step2()->ItemSavingMode(), int(Text));
    EXPECT_FALSE(step2()->SavingDialog()->isVisible());
    EXPECT_EQ(step2()->SavingDialog()->Position(), 100);

    ASSERT_NE(backend->last, nullptr);
    const QList<ExportCall> calls = backend->last->Calls();
    ASSERT_EQ(calls.size(), 6);
    EXPECT_EQ(calls[0].name, QStringLiteral("Quarterly report"));
    EXPECT_EQ(calls[1].name, QStringLiteral("EmailName") + QString::number(counter));
    EXPECT_EQ(calls[2].name, QStringLiteral("Team meeting"));
    EXPECT_EQ(calls[5].kind, QStringLiteral("contact"));
    EXPECT_EQ(calls[5].name, QStringLiteral("Jane Roe"));  // the full name in the "From" cell
    EXPECT_EQ(CItemSaveRun::DefaultNameCounter(), counter + 1);
    // Text bodies are UTF-16LE with a byte-order mark; the header block is the item's header text.
    EXPECT_EQ(Utf16(calls[0].body), QStringLiteral("Hello from the report"));
    EXPECT_EQ(Utf16(calls[1].body), QStringLiteral("plain body"));
    EXPECT_TRUE(calls[0].block.contains(QStringLiteral("Quarterly report")));

    const QString out = dest.path() + QStringLiteral("/ConvertedItems/");
    EXPECT_EQ(location, out);
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("Quarterly reportAttachments/plan.pdf")));
    EXPECT_TRUE(QFile::exists(out + QStringLiteral("Quarterly reportAttachments/notes.txt")));
    EXPECT_EQ(QFileInfo(out + QStringLiteral("Quarterly reportAttachments/plan.pdf")).size(), 1234);
    EXPECT_EQ(backend->last->shutdowns.load(), 1);
    // The temporary body files are gone.
    EXPECT_FALSE(QFile::exists(CNotesConverter::TempFolder() + QStringLiteral("NewTxt.txt")));
}

TEST_F(ItemSaveTest, SaveSelectedSavesChosenRowsAndStopsWhenAsked) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    // Nothing selected.
    step2()->OnSaveItems(true);
    EXPECT_EQ(boxes().shownTexts(), QStringList{FolderTreeTexts::kSelectItems});
    boxes().clear();

    // Rows 1, 3 and 5 chosen by any of their cells; the user stops after the first document.
    SelectCell(0, 3);
    SelectCell(2, 1);
    SelectCell(2, 2);
    SelectCell(4, 0);
    backend->prepare = [this](RecordingExporter& e) {
        e.onExport = [this](int index) {
            if (index == 0) step2()->SavingDialog()->SetStopFlag(1);
        };
    };
    AnswerDialogs(RtfBestQuality);
    step2()->OnSaveItems(true);
    ASSERT_TRUE(step2()->WaitForIdle(20000));
    ASSERT_NE(backend->last, nullptr);
    const QList<ExportCall> calls = backend->last->Calls();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].name, QStringLiteral("Quarterly report"));
    EXPECT_TRUE(calls[0].body.startsWith("{\\rtf"));  // the RTF saving mode
    EXPECT_EQ(completion, FolderTreeTexts::kCaptionAborted);
    EXPECT_EQ(failureText, SaveTexts::kNoDocument.arg(0));  // rows not reached are not failures
    EXPECT_EQ(step2()->ItemSaveAborted(), 1);
    EXPECT_EQ(frame->Notes().savingMode, int(RtfBestQuality));
    EXPECT_EQ(frame->m_bSaving, 0);

    // Again without a stop: the three chosen rows, in list order.
    backend->prepare = nullptr;
    step2()->OnSaveItems(true);
    ASSERT_TRUE(step2()->WaitForIdle(20000));
    const QList<ExportCall> again = backend->last->Calls().mid(1);  // the step keeps its Word object
    ASSERT_EQ(again.size(), 3);
    EXPECT_EQ(again[0].name, QStringLiteral("Quarterly report"));
    EXPECT_EQ(again[1].name, QStringLiteral("Team meeting"));
    EXPECT_EQ(again[2].name, QStringLiteral("Diary entry"));
    EXPECT_EQ(completion, FolderTreeTexts::kCaptionComplete);
    EXPECT_EQ(step2()->ItemSaveAborted(), 0);
}

TEST_F(ItemSaveTest, RefusalsAndCancelledDialogsStartNothing) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    backend->wordOk = false;
    step2()->OnSaveItems(false);
    EXPECT_EQ(boxes().shownTexts(), QStringList{FolderTreeTexts::kWordMissing});
    backend->wordOk = true;
    boxes().clear();
    step2()->OnSaveItems(false);  // destination cancelled
    EXPECT_FALSE(step2()->IsWorking());
    EXPECT_EQ(backend->last, nullptr);

    // Alt+V saves everything only while the list is complete.
    AnswerDialogs(Text);
    CStepEvent key(WM_STEP_KEY, WM_SYSKEYDOWN, int(Qt::Key_V));
    QCoreApplication::sendEvent(step2(), &key);
    ASSERT_TRUE(step2()->WaitForIdle(20000));
    ASSERT_NE(backend->last, nullptr);
    EXPECT_EQ(backend->last->Calls().size(), 6);
}

TEST_F(ItemSaveTest, OfficeThatDoesNotStartNamesEveryItem) {
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    backend->prepare = [](RecordingExporter& e) { e.startOk = false; };
    AnswerDialogs(Text);
    step2()->OnSaveItems(false);
    ASSERT_TRUE(step2()->WaitForIdle(20000));
    EXPECT_TRUE(backend->last->Calls().isEmpty());
    EXPECT_EQ(failureText, SaveTexts::kNoDocument.arg(6));
    EXPECT_EQ(completion, SaveTexts::kCaptionNothingSaved);  // never a plain success
    EXPECT_EQ(frame->m_bSaving, 0);
}

TEST_F(ItemSaveTest, SavingDialogStopAsks) {
    CSavingItemsDlg dlg;
    dlg.Begin();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.StopFlag(), 0);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Saving Item(s)"));
    boxes().queueAnswer(false);
    dlg.OnStop();
    EXPECT_EQ(dlg.StopFlag(), 0);
    EXPECT_TRUE(dlg.isVisible());
    boxes().queueAnswer(true);
    dlg.OnStop();
    EXPECT_EQ(dlg.StopFlag(), 1);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(boxes().shownTexts(),
              QStringList({FolderTreeTexts::kSavingItemsQuestion, FolderTreeTexts::kSavingItemsQuestion}));
    dlg.End();
    EXPECT_EQ(dlg.Position(), 100);
}

// With several office instances the PDF is written after the export call
// returns: its attachments go inside once it is there, not before.
TEST_F(ItemSaveTest, PdfFromABackgroundExporterGetsItsAttachmentsInside) {
    backend->prepare = [](RecordingExporter& e) {
        e.background = true;
        e.fileBytes = pdftest::minimalPdf();
    };
    OpenStep2();
    ClickFolder(QStringLiteral("($Inbox)\\"));
    OutputOptions output;
    output.format = OutputFormat::Pdf;
    output.embedAttachments = true;
    AnswerDialogs(Text, output);
    step2()->OnSaveItems(false);
    ASSERT_TRUE(step2()->WaitForIdle(20000));
    EXPECT_FALSE(failureText.contains(QStringLiteral("not embedded"))) << failureText.toStdString();
    QFile pdf(dest.path() + QStringLiteral("/ConvertedItems/Quarterly report.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /EmbeddedFile "), 2) << "plan.pdf and notes.txt inside";
}

TEST(ItemSaveNamesTest, DocumentNames) {
    const int c = CItemSaveRun::DefaultNameCounter();
    EXPECT_EQ(CItemSaveRun::DocumentName(0, QStringLiteral("Hi"), QString()), QStringLiteral("Hi"));
    EXPECT_EQ(CItemSaveRun::DocumentName(0, QString(), QString()), QStringLiteral("EmailName") + QString::number(c));
    EXPECT_EQ(CItemSaveRun::DocumentName(1, QString(), QString()),
              QStringLiteral("CalenderName") + QString::number(c + 1));
    EXPECT_EQ(CItemSaveRun::DocumentName(3, QStringLiteral("ignored"),
                                         QStringLiteral("From : x\r\nFull Name : Jane Roe\r\nCompany : Acme\r\n")),
              QStringLiteral("Jane Roe"));
    EXPECT_EQ(CItemSaveRun::DocumentName(3, QString(), QStringLiteral("no name here")),
              QStringLiteral("ContectName") + QString::number(c + 2));
    EXPECT_EQ(CItemSaveRun::DocumentName(7, QString(), QString()),
              QStringLiteral("NsfItemName") + QString::number(c + 3));
}

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <thread>

#include "FakeOfficeAutomation.h"
#include "export/HeaderTemplates.h"
#include "files/PrivateTempDir.h"
#include "office/CWordExporter.h"

namespace {

const QString kMailBlock = QStringLiteral(
    "Email Item \r\nSubject:Quarterly figures \r\nMailDate:08/08/2014 13:18:33 \r\nFrom:Ann Example \r\n"
    "SendTo:Bob Example \r\nAttachment:report.xls \r\n");

class WordExporterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_log = std::make_shared<FakeOfficeLog>();
        m_exporter = std::make_unique<CWordExporter>([log = m_log] {
            return std::unique_ptr<IOfficeAutomation>(std::make_unique<FakeOfficeAutomation>(log));
        });
        m_exporter->SetRootFolder(m_dir.path() + QStringLiteral("/"));
        CWordExporter::RecoveryPolicy quick;
        quick.firstPause = std::chrono::milliseconds(1);
        m_exporter->SetRecoveryPolicy(quick);
        m_body = m_dir.filePath(QStringLiteral("NewRtf.rtf"));
        QFile body(m_body);
        ASSERT_TRUE(body.open(QIODevice::WriteOnly));
        body.write("{\\rtf1 body}");
    }

    // Starts the engine and sets up an item as the folder export run does.
    void prepareItem(const QString& block) {
        ASSERT_TRUE(m_exporter->StartWord());
        ASSERT_TRUE(m_exporter->SetOutputFolder(QStringLiteral("Inbox\\")));
        m_exporter->SetHeaderInputs({}, {}, {}, {}, block);
        m_exporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(m_exporter->CountHeaderLabels(block))));
        m_log->calls.clear();
    }

    QString outputFolder() const { return m_dir.path() + QStringLiteral("/Inbox/"); }

    QTemporaryDir m_dir;
    std::shared_ptr<FakeOfficeLog> m_log;
    std::unique_ptr<CWordExporter> m_exporter;
    QString m_body;
};

}  // namespace

TEST(WordExporterRules, VersionIsReadAsADecimalPrefix) {
    EXPECT_EQ(CWordExporter::VersionNumber(QStringLiteral("11.0")), 11);
    EXPECT_EQ(CWordExporter::VersionNumber(QStringLiteral("9.0")), 9);
    EXPECT_EQ(CWordExporter::VersionNumber(QStringLiteral(" 10")), 10);
    EXPECT_EQ(CWordExporter::VersionNumber(QStringLiteral("abc")), 0);
    EXPECT_EQ(CWordExporter::VersionNumber(QString()), 0);
}

TEST(WordExporterRules, ValueRunsToTheFirstCharacterOfTheLineBreak) {
    const QString text = QLatin1Char(' ') + kMailBlock + QLatin1Char('\n');
    EXPECT_EQ(CWordExporter::LabelValue(text, QStringLiteral("Subject:")),
              QStringLiteral("Quarterly figures \r"));
    EXPECT_EQ(CWordExporter::LabelValue(text, QStringLiteral("From:")), QStringLiteral("Ann Example \r"));
    // Calendar and task lines carry no space before the line break.
    EXPECT_EQ(CWordExporter::LabelValue(QStringLiteral("Location:Room 1\r\n"), QStringLiteral("Location:")),
              QStringLiteral("Room 1\r"));
    // A lone line feed ends a value too; without any line break the value is empty.
    EXPECT_EQ(CWordExporter::LabelValue(QStringLiteral("A:x\nB:y"), QStringLiteral("A:")),
              QStringLiteral("x\n"));
    EXPECT_EQ(CWordExporter::LabelValue(QStringLiteral("A:x"), QStringLiteral("A:")), QString());
    // "CC:" inside "BCC:" is not the CC line: blind copies never fill the CC row.
    EXPECT_EQ(CWordExporter::LabelValue(QStringLiteral("BCC:b\r\nCC:c\r\n"), QStringLiteral("CC:")),
              QStringLiteral("c\r"));
    EXPECT_EQ(CWordExporter::LabelValue(QStringLiteral("SendTo: a\r\n BCC:b\r\n"), QStringLiteral("CC:")),
              QString());
}

TEST(WordExporterRules, HeaderLabelsAreCountedOnceEach) {
    CWordExporter exporter([] { return std::unique_ptr<IOfficeAutomation>(); });
    EXPECT_EQ(exporter.CountHeaderLabels(kMailBlock), 5);
    EXPECT_EQ(exporter.CountHeaderLabels(QStringLiteral("Subject:a Subject:b")), 1);
    EXPECT_EQ(exporter.CountHeaderLabels(QStringLiteral("BCC:x")), 1);  // no CC row for blind copies
    EXPECT_EQ(exporter.CountHeaderLabels(QStringLiteral(" CC:x\r\n BCC:y")), 2);
    EXPECT_EQ(exporter.CountHeaderLabels(QStringLiteral("Email Item \r\n")), 0);
    const QString all = QStringLiteral(
        "Subject: From: SendTo: Location: StartDate: EndDate: Attachment: DueDate: BCC: MailDate: DiaryDate: "
        "Categories:");
    EXPECT_EQ(exporter.CountHeaderLabels(all), 13);
}

TEST_F(WordExporterTest, NewFormsOpenInsertFillSaveAndCloseInOrder) {
    prepareItem(kMailBlock);
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Quarterly: figures?")));
    const QString doc = outputFolder() + QStringLiteral("Quarterly_ figures_.doc");
    const QString table = PrivateTempDir::filePath(QStringLiteral("RtfTable.rtf"));
    const QStringList expected = {
        QStringLiteral("Visible=0"),
        QStringLiteral("Version"),
        QStringLiteral("Documents.Open new/16(%1,ReadOnly=1)").arg(m_body),
        QStringLiteral("Selection.Start=0"),
        QStringLiteral("Selection.End=0"),
        QStringLiteral("Selection.InsertFile(%1,0,0)").arg(table),
        QStringLiteral("Cell(1,1,1)=Subject:"),
        QStringLiteral("Cell(1,1,2)=Quarterly figures \r"),
        QStringLiteral("Cell(1,2,1)=MailDate:"),
        QStringLiteral("Cell(1,2,2)=08/08/2014 13:18:33 \r"),
        QStringLiteral("Cell(1,3,1)=From:"),
        QStringLiteral("Cell(1,3,2)=Ann Example \r"),
        QStringLiteral("Cell(1,4,1)=SendTo:"),
        QStringLiteral("Cell(1,4,2)=Bob Example \r"),
        QStringLiteral("Cell(1,5,1)=Attachment:"),
        QStringLiteral("Cell(1,5,2)=report.xls \r"),
        QStringLiteral("SaveAs new/16(%1,0,0,'',0,'',0)").arg(doc),
        QStringLiteral("Close(0)"),
    };
    EXPECT_EQ(m_log->calls, expected);
    EXPECT_EQ(m_exporter->TableText(), QLatin1Char(' ') + kMailBlock + QLatin1Char('\n'));
    // The 5-row template went to the office as 8-bit RTF, and the scratch file is gone.
    EXPECT_EQ(m_log->insertedFile, LoadRtfTemplate(252).toLatin1());
    EXPECT_FALSE(QFileInfo::exists(table));
    EXPECT_EQ(m_exporter->LastWrittenPath(), doc);
    EXPECT_TRUE(QFileInfo(doc).isFile());
    EXPECT_EQ(m_exporter->GetOutputFolder(), outputFolder());
}

TEST_F(WordExporterTest, OldFormsForVersionNineAndBelow) {
    m_log->version = QStringLiteral("9.0");
    ASSERT_TRUE(m_exporter->StartWord());
    EXPECT_EQ(m_log->calls, (QStringList{QStringLiteral("Create"), QStringLiteral("Visible=0"),
                                         QStringLiteral("Version"), QStringLiteral("Documents")}));
    m_exporter->SetOutputFolder(QStringLiteral("Inbox\\"));
    m_exporter->SetHeaderInputs({}, {}, {}, {}, kMailBlock);
    m_exporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(5)));
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Old")));
    EXPECT_EQ(m_log->callsStartingWith(QStringLiteral("Documents.Open")),
              QStringList{QStringLiteral("Documents.Open old/12(%1,ReadOnly=1)").arg(m_body)});
    EXPECT_EQ(m_log->callsStartingWith(QStringLiteral("SaveAs")),
              QStringList{QStringLiteral("SaveAs old/11(%1Old.doc,0,0,'',0,'',0)").arg(outputFolder())});
    EXPECT_EQ(m_log->callsStartingWith(QStringLiteral("Cell(")).size(), 10);
}

TEST_F(WordExporterTest, LabelsFillRowsInFixedOrderPackedFromTheTop) {
    // A calendar block: its own order differs from the fill order.
    const QString block = QStringLiteral(
        "Calander Item \r\nSubject:Review\r\nStartDate:01/02/2015 10:00:00\r\nEndDate:01/02/2015 11:00:00\r\n"
        "From:Ann\r\nLocation:Room 4\r\nCategories:x\r\n");
    prepareItem(block);
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Review")));
    QStringList labels;
    for (const QString& call : m_log->callsStartingWith(QStringLiteral("Cell(")))
        if (call.contains(QStringLiteral(",1)="))) labels << call.section(QLatin1Char('='), 1);
    EXPECT_EQ(labels, (QStringList{QStringLiteral("Subject:"), QStringLiteral("StartDate:"),
                                   QStringLiteral("EndDate:"), QStringLiteral("From:"),
                                   QStringLiteral("Location:"), QStringLiteral("Categories:")}));
    EXPECT_TRUE(m_log->calls.contains(QStringLiteral("Cell(1,6,2)=x\r")));
    EXPECT_EQ(m_log->insertedFile, LoadRtfTemplate(253).toLatin1());
}

TEST_F(WordExporterTest, WithoutATemplateTheDocumentIsSavedWithoutTable) {
    // Ten labels: no template of that size exists.
    const QString block = QStringLiteral(
        "Subject:a\r\nFrom:b\r\nSendTo:c\r\nLocation:d\r\nStartDate:e\r\nEndDate:f\r\nAttachment:g\r\n"
        "DueDate:h\r\nMailDate:i\r\nDiaryDate:j\r\n");
    prepareItem(block);
    EXPECT_EQ(m_exporter->CountHeaderLabels(block), 10);
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Ten")));
    EXPECT_TRUE(m_log->callsStartingWith(QStringLiteral("Selection")).isEmpty());
    EXPECT_TRUE(m_log->callsStartingWith(QStringLiteral("Cell(")).isEmpty());
    EXPECT_EQ(m_log->callsStartingWith(QStringLiteral("SaveAs")).size(), 1);

    // No labels at all: the same.
    m_exporter->SetHeaderInputs({}, {}, {}, {}, QStringLiteral("Email Item \r\n"));
    m_exporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(0)));
    m_log->calls.clear();
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("None")));
    EXPECT_TRUE(m_log->callsStartingWith(QStringLiteral("Selection")).isEmpty());
    EXPECT_TRUE(QFileInfo(outputFolder() + QStringLiteral("None.doc")).isFile());
}

TEST_F(WordExporterTest, TableTextFromAllInputsAndTheBareAttachmentBlock) {
    ASSERT_TRUE(m_exporter->StartWord());
    m_exporter->SetOutputFolder(QStringLiteral("Inbox"));
    m_exporter->SetHeaderInputs(QStringLiteral("S"), QStringLiteral("F"), QStringLiteral("T"),
                                QStringLiteral("D"), QStringLiteral("Attachment:"));
    m_exporter->SetTemplate(QString());
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("x")));
    EXPECT_EQ(m_exporter->TableText(), QStringLiteral("Subject:S\nFrom:F\nSendTo: T\nMailDate:D\n"));
    m_exporter->SetHeaderInputs({}, {}, QStringLiteral("."), {}, QStringLiteral("Attachment:"));
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("y")));
    EXPECT_EQ(m_exporter->TableText(), QString());
}

TEST_F(WordExporterTest, MissingBodyGivesNoDocument) {
    prepareItem(kMailBlock);
    EXPECT_FALSE(
        m_exporter->ExportItem(m_dir.filePath(QStringLiteral("missing.rtf")), QStringLiteral("Gone")));
    EXPECT_TRUE(m_log->callsStartingWith(QStringLiteral("SaveAs")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(outputFolder() + QStringLiteral("Gone.doc")));
    EXPECT_FALSE(m_exporter->LastFailure().isEmpty());
    EXPECT_EQ(m_log->creates, 1);  // no restart for a file the office cannot open
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Next")));
}

TEST_F(WordExporterTest, ContactTopTextFontsAndPhotoInBothForms) {
    const QString photo = QStringLiteral(TESSELDOC_OFFICE_TEST_DATA "/photo.jpg");
    const QString block = QStringLiteral("Form: Person\r\nFull Name: Ann Example\r\n");
    for (const QString& version : {QStringLiteral("11.0"), QStringLiteral("9.0")}) {
        m_log->version = version;
        ASSERT_TRUE(m_exporter->StartWord());
        m_exporter->SetOutputFolder(QStringLiteral("My Contacts\\"));
        m_exporter->SetPhotoPath(photo);
        m_exporter->SetHeaderInputs({}, {}, {}, {}, block);
        m_log->calls.clear();
        ASSERT_TRUE(m_exporter->ExportContact(m_body, QStringLiteral("Ann Example")));
        const bool newForm = version == QStringLiteral("11.0");
        const QStringList fonts =
            newForm ? QStringList{QStringLiteral("Font.Size=11"), QStringLiteral("Font.Color=0"),
                                  QStringLiteral("Font.Bold=1")}
                    : QStringList{QStringLiteral("Font.Size=10"), QStringLiteral("Font.Color=1"),
                                  QStringLiteral("Font.Bold=1")};
        const int at =
            m_log->calls.indexOf(QStringLiteral("Selection.Range.Text= ") + block + QLatin1Char('\n'));
        ASSERT_GE(at, 2) << version.toStdString();
        EXPECT_EQ(m_log->calls.mid(at - 2, 2),
                  (QStringList{QStringLiteral("Selection.Start=0"), QStringLiteral("Selection.End=0")}));
        EXPECT_EQ(m_log->calls.mid(at + 1, 4),
                  fonts + QStringList{QStringLiteral("InlineShapes.AddPicture(%1)").arg(photo)});
        EXPECT_TRUE(m_log->callsStartingWith(QStringLiteral("Cell(")).isEmpty());
        EXPECT_EQ(m_log->callsStartingWith(QStringLiteral("SaveAs ")).value(0).left(14),
                  newForm ? QStringLiteral("SaveAs new/16(") : QStringLiteral("SaveAs old/11("));
    }
    // Both contacts were written, the second under a numbered name.
    EXPECT_TRUE(QFileInfo(m_dir.path() + QStringLiteral("/My Contacts/Ann Example.doc")).isFile());
    EXPECT_TRUE(QFileInfo(m_dir.path() + QStringLiteral("/My Contacts/Ann Example0.doc")).isFile());
}

TEST_F(WordExporterTest, UnreadablePhotoCostsThePhotoNotTheContact) {
    ASSERT_TRUE(m_exporter->StartWord());
    m_exporter->SetOutputFolder(QStringLiteral("Contacts"));
    m_exporter->SetPhotoPath(m_dir.filePath(QStringLiteral("no-such-photo.jpg")));
    m_exporter->SetHeaderInputs({}, {}, {}, {}, QStringLiteral("Full Name: X\r\n"));
    EXPECT_TRUE(m_exporter->ExportContact(m_body, QStringLiteral("X")));
    EXPECT_TRUE(m_log->callsStartingWith(QStringLiteral("InlineShapes")).isEmpty());

    // A photo the office refuses: the contact is saved without it, no restart.
    m_exporter->SetPhotoPath(QStringLiteral(TESSELDOC_OFFICE_TEST_DATA "/photo.jpg"));
    m_log->failOn = QStringLiteral("InlineShapes.AddPicture");
    m_log->failLost = false;
    EXPECT_TRUE(m_exporter->ExportContact(m_body, QStringLiteral("X")));
    EXPECT_TRUE(QFileInfo(m_dir.path() + QStringLiteral("/Contacts/X0.doc")).isFile());
    EXPECT_EQ(m_log->creates, 1);
}

TEST_F(WordExporterTest, ItemIsDoneAgainOnANewInstanceWhenTheOldOneEnded) {
    prepareItem(kMailBlock);
    m_log->failOn = QStringLiteral("SaveAs");
    m_log->failLost = true;
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("First")));
    EXPECT_TRUE(QFileInfo(outputFolder() + QStringLiteral("First.doc")).isFile());
    EXPECT_EQ(m_log->creates, 2);
    EXPECT_TRUE(m_log->calls.contains(QStringLiteral("Quit")));
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Second")));
    EXPECT_TRUE(QFileInfo(outputFolder() + QStringLiteral("Second.doc")).isFile());
}

TEST_F(WordExporterTest, HungInstanceFailsTheItemRestartsAndTheNextItemWorks) {
    prepareItem(kMailBlock);
    m_log->failOn = QStringLiteral("SaveAs");
    m_log->failLost = true;
    m_log->failHung = true;
    EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("First")));
    EXPECT_FALSE(QFileInfo::exists(outputFolder() + QStringLiteral("First.doc")));
    EXPECT_TRUE(m_exporter->LastFailure().contains(QStringLiteral("SaveAs")));
    EXPECT_TRUE(m_exporter->LastWrittenPath().isEmpty());
    EXPECT_EQ(m_log->creates, 2);
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Second")));
    EXPECT_TRUE(QFileInfo(outputFolder() + QStringLiteral("Second.doc")).isFile());
}

TEST_F(WordExporterTest, LostAfterTheSaveTheItemCountsAsWritten) {
    prepareItem(kMailBlock);
    m_log->failOn = QStringLiteral("Close");
    m_log->failLost = true;
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Saved")));
    EXPECT_EQ(m_exporter->LastWrittenPath(), outputFolder() + QStringLiteral("Saved.doc"));
    EXPECT_EQ(QDir(outputFolder()).entryList(QDir::Files), QStringList{QStringLiteral("Saved.doc")});
}

TEST_F(WordExporterTest, FailedRestartsAreRetriedPerItemUntilTheRunGivesUp) {
    CWordExporter::RecoveryPolicy policy;
    policy.attemptsPerItem = 2;
    policy.firstPause = std::chrono::milliseconds(1);
    policy.giveUpAfter = std::chrono::milliseconds(300);
    m_exporter->SetRecoveryPolicy(policy);
    prepareItem(kMailBlock);

    // A restart that fails once is tried again at once: nothing is lost.
    m_log->failOn = QStringLiteral("Documents.Open");
    m_log->createFailures = 1;
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("A"))) << m_exporter->LastFailure().toStdString();

    // No instance for one item: that item fails, the next one gets a new try.
    m_log->failOn = QStringLiteral("Documents.Open");
    m_log->createFailures = 4;
    EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("B")));
    EXPECT_TRUE(m_exporter->LastFailure().contains(QStringLiteral("could not be started")))
        << m_exporter->LastFailure().toStdString();
    EXPECT_FALSE(m_exporter->GaveUp());
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("C"))) << m_exporter->LastFailure().toStdString();

    // None at all for longer than the policy allows: the run gives up, and says so per item.
    m_log->failOn = QStringLiteral("Documents.Open");
    m_log->createFails = true;
    for (int i = 0; i < 50 && !m_exporter->GaveUp(); ++i) {
        EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("D")));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(m_exporter->GaveUp());
    const int creates = m_log->creates;
    EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("E")));
    EXPECT_TRUE(m_exporter->LastFailure().contains(QStringLiteral("gave up"))) << m_exporter->LastFailure().toStdString();
    EXPECT_EQ(m_log->creates, creates);
    EXPECT_EQ(QDir(outputFolder()).entryList(QDir::Files),
              (QStringList{QStringLiteral("A.doc"), QStringLiteral("C.doc")}));
}

TEST_F(WordExporterTest, FailureLocalToOneDocumentClosesItWithoutRestart) {
    prepareItem(kMailBlock);
    m_log->failOn = QStringLiteral("Cell(1,3,2)");
    m_log->failLost = false;
    EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("First")));
    EXPECT_EQ(m_log->calls.last(), QStringLiteral("Close(0)"));
    EXPECT_EQ(m_log->creates, 1);
    EXPECT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("Second")));
}

TEST_F(WordExporterTest, NoInstanceNoCalls) {
    m_exporter->SetOutputFolder(QStringLiteral("Inbox"));
    EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("x")));
    EXPECT_FALSE(m_exporter->ExportContact(m_body, QStringLiteral("x")));
    EXPECT_TRUE(m_log->calls.isEmpty());
}

TEST_F(WordExporterTest, StartAndAvailabilityReportTheInstallMessage) {
    EXPECT_TRUE(m_exporter->CheckWordAvailable());
    EXPECT_EQ(m_log->calls, (QStringList{QStringLiteral("Create"), QStringLiteral("Quit")}));
    m_log->createFails = true;
    EXPECT_FALSE(m_exporter->CheckWordAvailable());
    EXPECT_FALSE(m_exporter->StartWord());
    EXPECT_EQ(m_exporter->LastError(),
              QStringLiteral("Please install the LibreOffice in this system to use this application."));
    EXPECT_FALSE(m_exporter->ExportItem(m_body, QStringLiteral("x")));

    CWordExporter throwing(
        []() -> std::unique_ptr<IOfficeAutomation> { throw std::runtime_error("broken"); });
    EXPECT_FALSE(throwing.CheckWordAvailable());
    EXPECT_EQ(throwing.LastError(), QStringLiteral("Unknown error"));
}

TEST_F(WordExporterTest, NamesAreCleanedNumberedAndNestedFoldersCreated) {
    ASSERT_TRUE(m_exporter->StartWord());
    ASSERT_TRUE(m_exporter->SetOutputFolder(QStringLiteral("Projects\\2012\\")));
    EXPECT_EQ(m_exporter->GetOutputFolder(), m_dir.path() + QStringLiteral("/Projects/2012/"));
    EXPECT_TRUE(QFileInfo(m_dir.path() + QStringLiteral("/Projects/2012")).isDir());
    m_exporter->SetHeaderInputs({}, {}, {}, {}, QStringLiteral("Task Item \r\n"));
    const QString folder = m_exporter->GetOutputFolder();
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("a:b/c?\td")));
    EXPECT_EQ(m_exporter->LastWrittenPath(), folder + QStringLiteral("a_b_c__d.doc"));
    // An existing document is never overwritten: the next gets 0, then 1.
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("a:b/c?\td")));
    EXPECT_EQ(m_exporter->LastWrittenPath(), folder + QStringLiteral("a_b_c__d0.doc"));
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QStringLiteral("a:b/c?\td")));
    EXPECT_EQ(m_exporter->LastWrittenPath(), folder + QStringLiteral("a_b_c__d1.doc"));

    // A very long name is cut to keep the path within 251 characters, ".doc" kept.
    ASSERT_TRUE(m_exporter->ExportItem(m_body, QString(300, QLatin1Char('n'))));
    const QString written = m_exporter->LastWrittenPath();
    EXPECT_TRUE(written.endsWith(QStringLiteral("n.doc")));
    EXPECT_LE(written.size(), 251);
    EXPECT_LE(QFileInfo(written).fileName().toUtf8().size(), 255);
}

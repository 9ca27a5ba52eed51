#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/FailFastRule.h"
#include "convert/CNotesConverter.h"
#include "notes/store/MemoryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <unistd.h>

using namespace store;

namespace {

StoreItem text(const QString& name, const QString& value) {
    StoreItem it;
    it.name = name;
    it.type = TypeText;
    it.texts = {value};
    return it;
}

StoreItem richBody(const QString& plain, bool withTable = false) {
    auto doc = std::make_shared<RichTextDoc>();
    RtBlock p;
    RtRun r;
    r.text = plain;
    r.font.bold = true;
    p.runs.push_back(r);
    doc->blocks.push_back(p);
    if (withTable) {
        RtBlock t;
        t.table = std::make_shared<RtTable>();
        RtTableRow row;
        for (const char* cell : {"A1", "B1"}) {
            RtTableCell c;
            RtBlock cp;
            RtRun cr;
            cr.text = QString::fromLatin1(cell);
            cp.runs.push_back(cr);
            c.blocks.push_back(cp);
            row.cells.push_back(c);
        }
        t.table->rows.push_back(row);
        doc->blocks.push_back(t);
    }
    StoreItem it;
    it.name = QStringLiteral("Body");
    it.type = TypeComposite;
    it.richText = doc;
    return it;
}

StoreNote mail(const QString& subject, const QString& body = QStringLiteral("Hello")) {
    StoreNote n;
    if (!subject.isNull()) n.items.push_back(text("Subject", subject));
    n.items.push_back(text("From", "CN=Ann Lee/O=Acme"));
    n.items.push_back(text("SendTo", "bob@example.com"));
    n.items.push_back(richBody(body));
    return n;
}

struct Recorder : IProgressBar {
    QStringList texts;
    QList<int> positions;
    void setPosition(int p) override { positions.append(p); }
    void setText(const QString& t) override { texts.append(t); }
};

class RunFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dest.isValid());
        store = std::make_shared<MemoryStore>();
        name = QStringLiteral("run%1").arg(++counter);
    }
    void TearDown() override { MemoryStore::unregisterStore(name); }

    // Opens the store and saves the given folders.
    void run(const QStringList& folders, int mode = Text) {
        MemoryStore::registerStore(name, store);
        ASSERT_EQ(conv.Initialize(), 1);
        QStringList listed;
        ASSERT_EQ(conv.EnumerateFolders("memory:" + name, "", listed, 1), 1) << conv.GetLastErrorText().toStdString();
        conv.savingMode = mode;
        conv.itemStatusBar = &status;
        conv.itemProgressBar = &itemBar;
        exporter.SetRootFolder(dest.path());
        CFolderExportRun r;
        r.converter = &conv;
        r.exporter = &exporter;
        for (const QString& f : folders) EXPECT_EQ(r.SaveFolder(f), 1);
    }

    static int counter;
    QTemporaryDir dest;
    std::shared_ptr<MemoryStore> store;
    QString name;
    CNotesConverter conv;
    FakeExporter exporter;
    Recorder status, itemBar;
};
int RunFixture::counter = 0;

}  // namespace

TEST_F(RunFixture, ThreeMailsGiveThreeDocumentsWithStatusTextAndPositions) {
    std::vector<uint32_t> ids;
    for (const char* s : {"One", "Two", "Three"}) ids.push_back(store->addNote(mail(s)));
    store->addFolder("($Inbox)", true, ids);
    run({"($Inbox)\\"});
    ASSERT_EQ(exporter.calls.size(), 3);
    EXPECT_EQ(status.texts, QStringList({"Saving Item 1 of 3 ...", "Saving Item 2 of 3 ...", "Saving Item 3 of 3 ..."}));
    EXPECT_EQ(status.positions, QList<int>({33, 66, 100}));
    EXPECT_TRUE(QFile::exists(dest.path() + "/Inbox/One.doc"));
    EXPECT_TRUE(exporter.calls[0].block.contains("Ann Lee"));
    // Text mode: a UTF-16LE body with its byte-order mark.
    EXPECT_TRUE(exporter.calls[0].body.startsWith("\xFF\xFE"));
    EXPECT_EQ(QString::fromUtf16(reinterpret_cast<const char16_t*>(exporter.calls[0].body.constData() + 2),
                                 (exporter.calls[0].body.size() - 2) / 2),
              "Hello");
    EXPECT_EQ(conv.exportReport.found(), 3);
    EXPECT_EQ(conv.exportReport.written(), 3);
    EXPECT_EQ(conv.exportReport.failedCount(), 0);
    // Body files are gone after the run.
    EXPECT_FALSE(QFile::exists(CNotesConverter::TempFolder() + "NewTxt.txt"));
    EXPECT_FALSE(QFile::exists(CNotesConverter::TempFolder() + "NewRtf.rtf"));
}

TEST_F(RunFixture, EmptyFolderSavesNothingAndLeavesStatusAlone) {
    store->addFolder("Empty", true, {});
    run({"Empty\\"});
    EXPECT_TRUE(exporter.calls.isEmpty());
    EXPECT_TRUE(status.texts.isEmpty());
    EXPECT_FALSE(QDir(dest.path() + "/Empty").exists()) << "a folder with nothing to write is not made";
}

TEST_F(RunFixture, DefaultNamesCountOnAcrossRunsAndMailSubjectsLoseControls) {
    const uint32_t a = store->addNote(mail(QString()));
    const uint32_t b = store->addNote(mail(QString()));
    const uint32_t c = store->addNote(mail("Tab\there\r\nline"));
    store->addFolder("F", true, {a, b, c});
    run({"F\\"});
    ASSERT_EQ(exporter.calls.size(), 3);
    const QString first = exporter.calls[0].name;
    ASSERT_TRUE(first.startsWith("EmailName"));
    const int n = first.mid(9).toInt();
    EXPECT_EQ(exporter.calls[1].name, QString("EmailName%1").arg(n + 1));
    EXPECT_EQ(exporter.calls[2].name, "Tab here  line");

    // A later run in the same process goes on counting.
    CNotesConverter other;
    FakeExporter ex2;
    ASSERT_EQ(other.Initialize(), 1);
    QStringList listed;
    ASSERT_EQ(other.EnumerateFolders("memory:" + name, "", listed, 1), 1);
    ex2.SetRootFolder(dest.path() + "/second");
    CFolderExportRun r;
    r.converter = &other;
    r.exporter = &ex2;
    r.SaveFolder("F\\");
    ASSERT_FALSE(ex2.calls.isEmpty());
    EXPECT_EQ(ex2.calls[0].name, QString("EmailName%1").arg(n + 2));
}

TEST_F(RunFixture, AttachmentsLandBesideTheDocumentUnderUniqueNames) {
    StoreNote cal = mail("Meeting");
    cal.items.push_back(text("Location", "Room 1"));
    const uint32_t id1 = store->addNote(cal);
    store->addAttachment(id1, "agenda.txt", "first agenda");
    store->addAttachment(id1, "agenda.txt", "second agenda");
    store->addAttachment(id1, "a:b?.txt", "odd name");
    store->addAttachment(id1, "CON.txt", "device name");
    store->addAttachment(id1, "draft. ", "trailing dot and space");
    const uint32_t id2 = store->addNote(cal);
    store->addAttachment(id2, "notes.txt", "other");
    store->addFolder("($Meetings)", false, {id1, id2});
    run({"($Meetings)\\"});
    const QString dir = dest.path() + "/Calendar/";
    auto read = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    EXPECT_EQ(read(dir + "MeetingAttachments/agenda.txt"), "first agenda");
    EXPECT_EQ(read(dir + "MeetingAttachments/agenda0.txt"), "second agenda");
    EXPECT_EQ(read(dir + "MeetingAttachments/a_b_.txt"), "odd name");
    EXPECT_EQ(read(dir + "MeetingAttachments/CON_.txt"), "device name");
    EXPECT_EQ(read(dir + "MeetingAttachments/draft__"), "trailing dot and space");
    EXPECT_EQ(read(dir + "MeetingAttachments0/notes.txt"), "other");
    EXPECT_TRUE(QFile::exists(dir + "Meeting.doc"));
    EXPECT_TRUE(QFile::exists(dir + "Meeting0.doc"));
}

TEST_F(RunFixture, ContactPhotoGoesToTheDocumentOnlyInRtfModes) {
    StoreNote withPhoto;
    withPhoto.items.push_back(text("FirstName", "Ann"));
    withPhoto.items.push_back(text("FullNameInput", "Ann Lee"));
    const uint32_t p = store->addNote(withPhoto);
    store->addAttachment(p, "ContactPhoto", "\xFF\xD8jpeg");
    store->addAttachment(p, "cv.txt", "cv");
    StoreNote plain;
    plain.items.push_back(text("LastName", "Bo"));
    plain.items.push_back(text("FullNameInput", "Bo"));
    const uint32_t q = store->addNote(plain);
    store->addFolder("My Contacts", false, {p, q});
    run({"My Contacts\\"}, RtfBestQuality);
    ASSERT_EQ(exporter.calls.size(), 2);
    EXPECT_EQ(exporter.calls[0].kind, "contact");
    EXPECT_EQ(exporter.calls[0].photo, dest.path() + "/My Contacts/Ann LeeAttachments/ContactPhoto.jpg");
    EXPECT_TRUE(exporter.calls[1].photo.isEmpty());
    EXPECT_TRUE(exporter.calls[0].block.contains("Ann"));
}

TEST_F(RunFixture, ContactPhotoIsDetachedButNotPlacedInTextMode) {
    StoreNote c;
    c.items.push_back(text("FirstName", "Ann"));
    c.items.push_back(text("FullNameInput", "Ann"));
    const uint32_t p = store->addNote(c);
    store->addAttachment(p, "ContactPhoto", "jpeg");
    store->addFolder("My Contacts", false, {p});
    run({"My Contacts\\"}, Text);
    ASSERT_EQ(exporter.calls.size(), 1);
    EXPECT_TRUE(exporter.calls[0].photo.isEmpty());
    EXPECT_TRUE(QFile::exists(dest.path() + "/My Contacts/AnnAttachments/ContactPhoto.jpg"));
}

TEST_F(RunFixture, StopFinishesTheCurrentItemAndReadsNoMore) {
    std::vector<uint32_t> ids;
    for (const char* s : {"A", "B", "C"}) ids.push_back(store->addNote(mail(s)));
    store->addFolder("F", true, ids);
    exporter.onExport = [&](int index) {
        if (index == 1) conv.cancelRequested = 1;
    };
    run({"F\\"});
    ASSERT_EQ(exporter.calls.size(), 2);
    EXPECT_TRUE(QFile::exists(dest.path() + "/F/B.doc"));
    EXPECT_FALSE(QFile::exists(CNotesConverter::TempFolder() + "NewTxt.txt"));
    EXPECT_EQ(conv.exportReport.failedCount(), 0);
}

TEST_F(RunFixture, EveryItemWithoutADocumentIsNamedInTheReport) {
    const uint32_t good = store->addNote(mail("Good"));
    const uint32_t broken = store->addNote(mail("Broken"));
    const uint32_t officeFails = store->addNote(mail("Fails"));
    store->failNote(broken, {StatusDamaged, "bad bucket"});
    store->addFolder("F", true, {good, broken, officeFails});
    exporter.failOnCall = 1;  // the second export call: "Fails"
    run({"F\\", "Missing\\"});
    EXPECT_EQ(conv.exportReport.found(), 3);
    EXPECT_EQ(conv.exportReport.written(), 1);
    const auto failures = conv.exportReport.failures();
    ASSERT_EQ(failures.size(), 3);
    EXPECT_EQ(failures[0].noteId, broken);
    EXPECT_TRUE(failures[0].reason.contains("Database is damaged: bad bucket")) << failures[0].reason.toStdString();
    EXPECT_EQ(failures[1].noteId, officeFails);
    EXPECT_EQ(failures[1].reason, "office stopped responding");
    EXPECT_EQ(failures[2].folder, "Missing");
    // Items are counted apart from folders; a folder that is not there gets no directory.
    EXPECT_EQ(conv.exportReport.failedCount(), 2);
    EXPECT_EQ(conv.exportReport.folderFailureCount(), 1);
    EXPECT_FALSE(QFileInfo::exists(dest.path() + "/Missing"));
}

TEST_F(RunFixture, StopAfterTheItemNamesEveryItemNotReached) {
    std::vector<uint32_t> f, g;
    for (const char* s : {"A", "B", "C", "D"}) f.push_back(store->addNote(mail(s)));
    for (const char* s : {"E", "F"}) g.push_back(store->addNote(mail(s)));
    store->addFolder("F", true, f);
    store->addFolder("G", true, g);
    exporter.onExport = [&](int index) {
        if (index == 1) conv.stopRequested = 1;  // a signal while B is being written
    };
    run({"F\\"});
    conv.ListFolderNotConverted("G\\");  // the run does not reach G
    ASSERT_EQ(exporter.calls.size(), 2);
    EXPECT_TRUE(QFile::exists(dest.path() + "/F/B.doc"));
    const ExportReport& report = conv.exportReport;
    EXPECT_EQ(report.found(), 6);
    EXPECT_EQ(report.written(), 2);
    EXPECT_EQ(report.failedCount(), 0);
    ASSERT_EQ(report.notConvertedCount(), 4);
    QList<uint32_t> named;
    for (const NotConverted& n : report.notConverted()) named << n.noteId;
    EXPECT_EQ(named, (QList<uint32_t>{f[2], f[3], g[0], g[1]}));
    EXPECT_EQ(report.notConverted()[2].folder, "G");
    EXPECT_FALSE(QFileInfo::exists(dest.path() + "/G"));
}

TEST_F(RunFixture, AnExporterThatGaveUpGetsNoMoreItemsButEachIsNamed) {
    std::vector<uint32_t> ids;
    for (const char* s : {"A", "B", "C"}) ids.push_back(store->addNote(mail(s)));
    store->addFolder("F", true, ids);
    exporter.onExport = [&](int) { exporter.gaveUp = true; };
    run({"F\\"});
    ASSERT_EQ(exporter.calls.size(), 1);
    const auto failures = conv.exportReport.failures();
    ASSERT_EQ(failures.size(), 2);
    EXPECT_EQ(failures[0].noteId, ids[1]);
    EXPECT_EQ(failures[0].reason, "no office");
    EXPECT_EQ(conv.exportReport.found(), conv.exportReport.written() + conv.exportReport.failedCount());
    // Nothing of the items not worked on is written (no attachment folders either).
    EXPECT_EQ(QDir(dest.path() + "/F").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"A.doc"});
}

TEST_F(RunFixture, ItemsThatKeepFailingOnAFullDestinationEndTheSourceAndTheRestIsNamed) {
    std::vector<uint32_t> f, g;
    for (int i = 0; i < 10; ++i) f.push_back(store->addNote(mail(QStringLiteral("M%1").arg(i))));
    for (const char* s : {"E", "F"}) g.push_back(store->addNote(mail(s)));
    store->addFolder("F", true, f);
    store->addFolder("G", true, g);
    // The second item is written; from the third on the office says the disk is full.
    exporter.failFrom = 2;
    exporter.failText = QStringLiteral("/out/F/x.doc: no space left on the device");
    run({"F\\", "G\\"});
    // One written item ends no streak early: three failures in a row end the source.
    EXPECT_EQ(exporter.calls.size(), 5);
    EXPECT_TRUE(conv.abortReason.startsWith("the destination is full")) << conv.abortReason.toStdString();
    const ExportReport& report = conv.exportReport;
    EXPECT_EQ(report.found(), 12);
    EXPECT_EQ(report.written(), 2);
    EXPECT_EQ(report.failedCount(), 3);
    ASSERT_EQ(report.notConvertedCount(), 7);
    EXPECT_EQ(report.notConverted().first().noteId, f[5]);
    EXPECT_EQ(report.notConverted().last().folder, "G");
    for (const NotConverted& n : report.notConverted()) EXPECT_EQ(n.reason, conv.abortReason);
    // The next source starts afresh.
    conv.BeginSourceRun();
    EXPECT_TRUE(conv.abortReason.isEmpty());
}

TEST_F(RunFixture, FailuresOfOtherCausesOrNotInARowDoNotEndTheRun) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 6; ++i) ids.push_back(store->addNote(mail(QStringLiteral("M%1").arg(i))));
    store->addFolder("F", true, ids);
    // An office failure on a writable destination with room says nothing of the next item.
    exporter.failFrom = 0;
    exporter.failText = QStringLiteral("office stopped responding");
    run({"F\\"});
    EXPECT_EQ(exporter.calls.size(), 6);
    EXPECT_TRUE(conv.abortReason.isEmpty());
    EXPECT_EQ(conv.exportReport.failedCount(), 6);
    EXPECT_EQ(conv.exportReport.notConvertedCount(), 0);
}

TEST_F(RunFixture, AServerThatStopsAnsweringEndsTheSource) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 8; ++i) ids.push_back(store->addNote(mail(QStringLiteral("M%1").arg(i))));
    for (size_t i = 1; i < ids.size(); ++i) store->failNote(ids[i], {StatusServerUnreachable, "Connection refused"});
    store->addFolder("F", true, ids);
    run({"F\\"});
    EXPECT_EQ(exporter.calls.size(), 1);
    EXPECT_TRUE(conv.abortReason.contains("Server not responding")) << conv.abortReason.toStdString();
    EXPECT_EQ(conv.exportReport.failedCount(), 3);
    EXPECT_EQ(conv.exportReport.notConvertedCount(), 4);
}

TEST(FailFastRuleTest, AWrittenItemOrAnotherCauseEndsTheStreak) {
    FailFastRule rule(3);
    const QString full = QStringLiteral("x.doc: no space left on the device");
    const QString gone = QStringLiteral("document cannot be read: Server not responding");
    EXPECT_TRUE(rule.onFailure(QString(), full).isEmpty());
    EXPECT_TRUE(rule.onFailure(QString(), full).isEmpty());
    rule.onWritten();
    EXPECT_TRUE(rule.onFailure(QString(), full).isEmpty());
    EXPECT_TRUE(rule.onFailure(QString(), gone).isEmpty());  // another cause starts over
    EXPECT_TRUE(rule.onFailure(QString(), gone).isEmpty());
    EXPECT_FALSE(rule.onFailure(QString(), gone).isEmpty());
    // A read-only destination is looked at, whatever the office said.
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (::access(QFile::encodeName(dir.path()).constData(), W_OK) == 0) GTEST_SKIP() << "running with rights over every folder";
    EXPECT_EQ(FailFastRule::causeOf(dir.path() + "/Inbox", "office failed"), FailFastRule::Cause::DestinationUnwritable);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ExportReportCounts, ItemsFoldersAndAttachmentsCountApart) {
    ExportReport report;
    report.addFound(3);
    report.addWritten();
    report.addFailure("F", 0x20, "no document");
    report.addAttachmentFailure("F", 0x24, "a.txt", "permission denied");
    report.addAttachmentFailure("F", 0x24, "b.txt", "permission denied");
    report.addAttachmentFailure("F", 0x20, "", "unreadable");
    report.addFolderFailure("Gone", "folder not found in the database");
    report.addNotConverted("F", 0x28);
    EXPECT_EQ(report.failedCount(), 1);
    EXPECT_EQ(report.attachmentFailureCount(), 3);
    EXPECT_EQ(report.folderFailureCount(), 1);
    EXPECT_EQ(report.notConvertedCount(), 1);
    EXPECT_EQ(report.itemFailures().size(), 2);
    EXPECT_EQ(report.attachmentFailures()[2].attachment, "?");
    EXPECT_EQ(report.failures()[1].reason, "attachment \"a.txt\" not written: permission denied");
}

// A damaged date loses that field, not an attachment: the item is written and
// the field is named as a field.
TEST_F(RunFixture, AnUnreadableDateIsAFieldFailureNotAnAttachmentOne) {
    StoreNote m = mail("Dated");
    StoreItem date = text("PostedDate", "");
    date.unreadable = true;
    date.problem = "the time stamp is out of range";
    m.items.push_back(date);
    const uint32_t id = store->addNote(m);
    store->addFolder("F", true, {id});
    run({"F\\"});
    EXPECT_EQ(conv.exportReport.written(), 1);
    EXPECT_EQ(conv.exportReport.attachmentFailureCount(), 0);
    ASSERT_EQ(conv.exportReport.fieldFailures().size(), 1);
    EXPECT_EQ(conv.exportReport.fieldFailures()[0].attachment, "PostedDate");
    EXPECT_EQ(conv.exportReport.fieldFailures()[0].noteId, id);
    EXPECT_TRUE(conv.exportReport.failures()[0].reason.startsWith("field \"PostedDate\" left out: "));
}

TEST_F(RunFixture, RtfModesHandTheOfficeRtfAndTextBodiesStayText) {
    StoreNote rich = mail("Rich");
    rich.items.back() = richBody("Bold text", true);
    const uint32_t r = store->addNote(rich);
    StoreNote textBody;
    textBody.items.push_back(text("Subject", "Plain"));
    textBody.items.push_back(text("Body", "just text"));
    const uint32_t t = store->addNote(textBody);
    store->addFolder("F", true, {r, t});
    run({"F\\"}, RtfBestQuality);
    ASSERT_EQ(exporter.calls.size(), 2);
    EXPECT_TRUE(exporter.calls[0].bodyFile.endsWith("NewRtf.rtf"));
    EXPECT_TRUE(exporter.calls[0].body.startsWith("{\\rtf"));
    EXPECT_TRUE(exporter.calls[0].body.contains("\\trowd"));
    EXPECT_TRUE(exporter.calls[1].bodyFile.endsWith("NewTxt.txt"));
}

// An exporter that takes the body in memory gets the bytes the body file
// would have held, and no scratch file is written for any item.
TEST_F(RunFixture, ABodyTakenInMemoryIsTheBodyFileByteForByteWithNoFileWritten) {
    StoreNote rich = mail("Rich");
    rich.items.back() = richBody("Bold text", true);
    const uint32_t r = store->addNote(rich);
    StoreNote textBody;
    textBody.items.push_back(text("Subject", "Plain"));
    textBody.items.push_back(text("Body", "just text \u00e9\u65e5"));
    const uint32_t t = store->addNote(textBody);
    store->addFolder("F", true, {r, t});
    run({"F\\"}, RtfBestQuality);
    ASSERT_EQ(exporter.calls.size(), 2);
    const QList<FakeExporter::Call> fromFiles = exporter.calls;

    exporter.calls.clear();
    exporter.takesBodyBytes = true;
    const QString temp = CNotesConverter::TempFolder();
    QStringList scratch;
    exporter.onExport = [&](int) {
        for (const char* name : {"NewRtf.rtf", "NewTxt.txt", "ch111.rtf"})
            if (QFile::exists(temp + name)) scratch << name;
    };
    run({"F\\"}, RtfBestQuality);
    ASSERT_EQ(exporter.calls.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(exporter.calls[i].bodyFile.isEmpty());
        EXPECT_EQ(exporter.calls[i].body, fromFiles[i].body) << i;
    }
    EXPECT_TRUE(exporter.calls[0].body.startsWith("{\\rtf"));
    EXPECT_TRUE(exporter.calls[1].body.startsWith("\xFF\xFE"));
    EXPECT_TRUE(scratch.isEmpty()) << scratch.join(' ').toStdString();
}

// An item the exporter had the office engine write is counted as written and
// named, with its folder, note ID, document and reason; a failed one is not.
TEST_F(RunFixture, ItemsWrittenByTheOfficeForTheEngineAreWrittenAndNamed) {
    const uint32_t a = store->addNote(mail("Plain"));
    const uint32_t b = store->addNote(mail("Chart"));
    const uint32_t c = store->addNote(mail("Lost"));
    store->addFolder("F", true, {a, b, c});
    exporter.officeReasons["Chart"] = "a picture the native writers cannot embed";
    exporter.officeReasons["Lost"] = "tables nested too deep";
    exporter.failOnCall = 2;
    run({"F\\"});
    EXPECT_EQ(conv.exportReport.written(), 2);
    EXPECT_EQ(conv.exportReport.failedCount(), 1);
    const QList<WrittenByOffice> byOffice = conv.exportReport.writtenByOffice();
    ASSERT_EQ(byOffice.size(), 1);
    EXPECT_EQ(byOffice[0].folder, "F");
    EXPECT_EQ(byOffice[0].noteId, b);
    EXPECT_TRUE(byOffice[0].path.endsWith("/Chart.doc")) << byOffice[0].path.toStdString();
    EXPECT_EQ(byOffice[0].reason, "a picture the native writers cannot embed");
    conv.exportReport.reset();
    EXPECT_TRUE(conv.exportReport.writtenByOffice().isEmpty());
}

// An office that goes away mid-document throws what nothing below names: the
// item's failure says what happened, and the run goes on with the next item.
TEST_F(RunFixture, AnOfficeThatFailsMidDocumentIsNamedNotAnUnexpectedError) {
    std::vector<uint32_t> ids;
    for (const char* s : {"A", "B", "C"}) ids.push_back(store->addNote(mail(s)));
    store->addFolder("F", true, ids);
    int call = 0;
    exporter.onExport = [&call](int) {
        ++call;
        if (call == 1) throw 42;  // not a std::exception, as an office's own exception types are not
        if (call == 2) throw std::runtime_error("bridge disposed");
    };
    run({"F\\"});
    const auto failures = conv.exportReport.failures();
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[0].reason.contains("office engine failed while writing")) << failures[0].reason.toStdString();
    EXPECT_EQ(failures[1].reason, "the document could not be written: bridge disposed");
    for (const auto& f : failures) EXPECT_FALSE(f.reason.contains("unexpected")) << f.reason.toStdString();
    EXPECT_EQ(conv.exportReport.written(), 1);
}

// A server that stalls on every other document never makes a streak; its
// stalls still count, and after the budget the rest is named at once.
TEST_F(RunFixture, AServerThatStallsNowAndThenEndsTheSourceAfterItsBudget) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 12; ++i) ids.push_back(store->addNote(mail(QStringLiteral("M%1").arg(i))));
    for (size_t i = 1; i < ids.size(); i += 2)
        store->failNote(ids[i], {StatusServerUnreachable, "server.example did not answer in time"});
    store->addFolder("F", true, ids);
    conv.failFast.setServerBudget(3);
    run({"F\\"});
    EXPECT_TRUE(conv.abortReason.contains("failed to answer for 3 documents")) << conv.abortReason.toStdString();
    EXPECT_EQ(conv.exportReport.failedCount(), 3);
    EXPECT_EQ(conv.exportReport.written(), 3);
    EXPECT_EQ(conv.exportReport.notConvertedCount(), 6);
    for (const NotConverted& n : conv.exportReport.notConverted()) EXPECT_EQ(n.reason, conv.abortReason);
}

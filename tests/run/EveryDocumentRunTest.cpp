// The node of every document, what the chosen folders leave behind, and each
// document once: over in-memory stores, Notes XML files without views and the
// shared NSF samples, with an exporter that writes small files.
#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "notes/store/MemoryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace store;

namespace {

const QString kEvery = QStringLiteral("All Documents (every document)\\");

StoreNote mail(const QString& subject) {
    StoreNote n;
    StoreItem s;
    s.name = QStringLiteral("Subject");
    s.type = TypeText;
    s.texts = {subject};
    n.items.push_back(s);
    StoreItem f = s;
    f.name = QStringLiteral("From");
    f.texts = {QStringLiteral("CN=Ann Lee/O=Acme")};
    n.items.push_back(f);
    return n;
}

QString testData(const char* name) { return QStringLiteral(TESSELDOC_TEST_DATA "/every-document/") + name; }
QString sharedSample(const char* relative) { return QStringLiteral(TESSELDOC_SHARED_DIR "/") + relative; }

// One database opened for a run into a temporary destination.
class EveryDocument : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dest.isValid());
        ASSERT_EQ(conv.Initialize(), 1);
        conv.listEveryDocument = true;
        conv.savingMode = Text;
        exporter.SetRootFolder(dest.path());
    }
    void TearDown() override {
        if (!memoryName.isEmpty()) MemoryStore::unregisterStore(memoryName);
    }
    bool open(const QString& path) {
        listed.clear();
        return conv.EnumerateFolders(path, QString(), listed, 1) != 0;
    }
    bool openMemory() {
        static int counter = 0;
        memoryName = QStringLiteral("every%1").arg(++counter);
        MemoryStore::registerStore(memoryName, memory);
        return open(QStringLiteral("memory:") + memoryName);
    }
    void save(const QStringList& folders) {
        CFolderExportRun run;
        run.converter = &conv;
        run.exporter = &exporter;
        for (const QString& f : folders) EXPECT_EQ(run.SaveFolder(f), 1);
    }
    int documentsIn(const QString& folder) const {
        return int(QDir(dest.path() + QLatin1Char('/') + folder).entryList({QStringLiteral("*.doc")}, QDir::Files).size());
    }

    QTemporaryDir dest;
    CNotesConverter conv;
    FakeExporter exporter;
    QStringList listed;
    std::shared_ptr<MemoryStore> memory = std::make_shared<MemoryStore>();
    QString memoryName;
};

}  // namespace

TEST_F(EveryDocument, NodeIsListedLastAndCoverageSaysWhereEachDocumentIs) {
    const uint32_t a = memory->addNote(mail("in folder"));
    const uint32_t b = memory->addNote(mail("in folder and view"));
    const uint32_t c = memory->addNote(mail("in view only"));
    memory->addNote(mail("nowhere"));
    memory->addFolder(QStringLiteral("Projects"), true, {a, b});
    memory->addFolder(QStringLiteral("By Date"), false, {b, c, 0x7777});  // a stale entry is no document
    ASSERT_TRUE(openMemory());
    ASSERT_FALSE(listed.isEmpty());
    EXPECT_EQ(listed.back(), kEvery);
    EXPECT_EQ(conv.EveryDocumentFolder(), kEvery);

    const auto c1 = conv.CoverageOf({QStringLiteral("Projects\\")});
    EXPECT_EQ(c1.documents, 4);
    EXPECT_EQ(c1.inChosen, 2);
    EXPECT_EQ(c1.inOtherViews, 1);
    EXPECT_EQ(c1.inNoView, 1);
    EXPECT_EQ(c1.leftBehind(), 2);
    EXPECT_EQ(conv.CoverageOf({kEvery}).leftBehind(), 0);

    // Views list documents: the default is the folders, never the node.
    QString why;
    EXPECT_EQ(conv.DefaultExportFolders(listed, &why), QStringList{QStringLiteral("Projects\\")});
    EXPECT_TRUE(why.isEmpty());

    save({kEvery});
    EXPECT_EQ(conv.exportReport.found(), 4);
    EXPECT_EQ(conv.exportReport.written(), 4);
    EXPECT_EQ(documentsIn(QStringLiteral("All Documents (every document)")), 4);
}

TEST_F(EveryDocument, NodeNameNeverTakesAViewsName) {
    const uint32_t a = memory->addNote(mail("one"));
    memory->addFolder(QStringLiteral("All Documents (every document)"), false, {a});
    memory->addFolder(QStringLiteral("Archive\\all documents (every document) 2"), true, {a});
    ASSERT_TRUE(openMemory());
    EXPECT_EQ(conv.EveryDocumentFolder(), QStringLiteral("All Documents (every document) 3\\"));
    EXPECT_EQ(listed.back(), conv.EveryDocumentFolder());
    EXPECT_TRUE(conv.IsEveryDocumentFolder(QStringLiteral("All Documents (every document) 3")));
    EXPECT_FALSE(conv.IsEveryDocumentFolder(QStringLiteral("All Documents (every document)\\")));
}

TEST_F(EveryDocument, DatabaseWhoseViewsListNothingDefaultsToEveryDocumentAndSaysSo) {
    memory->addNote(mail("one"));
    memory->addNote(mail("two"));
    memory->addFolder(QStringLiteral("Empty"), true, {});
    ASSERT_TRUE(openMemory());
    QString why;
    EXPECT_EQ(conv.DefaultExportFolders(listed, &why), QStringList{kEvery});
    EXPECT_TRUE(why.contains(QLatin1String("2 document(s)"))) << why.toStdString();

    // A database without documents keeps its (empty) folders and says nothing.
    MemoryStore::unregisterStore(memoryName);
    memory = std::make_shared<MemoryStore>();
    memory->addFolder(QStringLiteral("Empty"), true, {});
    ASSERT_TRUE(openMemory());
    why.clear();
    EXPECT_EQ(conv.DefaultExportFolders(listed, &why), QStringList{QStringLiteral("Empty\\")});
    EXPECT_TRUE(why.isEmpty());
}

TEST_F(EveryDocument, OnceWritesEachDocumentInTheFirstFolderAndNamesTheOthers) {
    const uint32_t a = memory->addNote(mail("alpha"));
    const uint32_t b = memory->addNote(mail("beta"));
    const uint32_t c = memory->addNote(mail("gamma"));
    memory->addFolder(QStringLiteral("First"), true, {a, b});
    memory->addFolder(QStringLiteral("Second"), false, {b, c, a});
    ASSERT_TRUE(openMemory());
    conv.oncePerDocument = true;
    save({QStringLiteral("First\\"), QStringLiteral("Second\\"), kEvery});
    EXPECT_EQ(conv.exportReport.written(), 3);
    EXPECT_EQ(conv.exportReport.found(), 8);
    ASSERT_EQ(conv.exportReport.writtenElsewhereCount(), 5);
    const WrittenElsewhere first = conv.exportReport.writtenElsewhere().front();
    EXPECT_EQ(first.folder, QStringLiteral("Second"));
    EXPECT_EQ(first.noteId, b);
    EXPECT_EQ(first.writtenIn, QStringLiteral("First"));
    EXPECT_EQ(conv.exportReport.writtenElsewhere().back().writtenIn, QStringLiteral("Second"));
    EXPECT_EQ(documentsIn(QStringLiteral("First")), 2);
    EXPECT_EQ(documentsIn(QStringLiteral("Second")), 1);
    EXPECT_FALSE(QDir(dest.path() + QStringLiteral("/All Documents (every document)")).exists())
        << "every document was written in another folder: nothing to write, no folder";

    // Another database of the run starts afresh: its note IDs are its own.
    ASSERT_TRUE(openMemory());
    const int before = conv.exportReport.written();
    save({QStringLiteral("First\\")});
    EXPECT_EQ(conv.exportReport.written(), before + 2);
}

// Notes XML files of selected documents: no view, no folder; every document
// (not the profile document) is reached through the node, chosen by default.
TEST_F(EveryDocument, NotesXmlWithoutViewsIsReadAsADatabaseOfItsDocuments) {
    struct Shape {
        const char* file;
        int documents;
    };
    for (const Shape& shape : {Shape{"documents-only.dxl", 3}, Shape{"lone-document.dxl", 1}, Shape{"lone-note.xml", 1}}) {
        SCOPED_TRACE(shape.file);
        conv.exportReport.reset();
        ASSERT_TRUE(open(testData(shape.file))) << conv.GetLastErrorText().toStdString();
        EXPECT_EQ(listed, QStringList{kEvery});
        QString why;
        const QStringList folders = conv.DefaultExportFolders(listed, &why);
        EXPECT_EQ(folders, QStringList{kEvery});
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(conv.CoverageOf(folders).documents, shape.documents);
        save(folders);
        EXPECT_EQ(conv.exportReport.found(), shape.documents);
        EXPECT_EQ(conv.exportReport.written(), shape.documents);
        EXPECT_EQ(conv.exportReport.failedCount(), 0);
    }
    EXPECT_EQ(documentsIn(QStringLiteral("All Documents (every document)")), 5);
}

TEST_F(EveryDocument, RealInternetMailConvertsToOneDocument) {
    const QString mailFile = sharedSample("dxl-samples/document_mail-memo_mime-raw_spam.xml");
    if (!QFile::exists(mailFile)) GTEST_SKIP() << "shared DXL samples not found";
    ASSERT_TRUE(open(mailFile)) << conv.GetLastErrorText().toStdString();
    const QStringList folders = conv.DefaultExportFolders(listed, nullptr);
    ASSERT_EQ(folders, QStringList{kEvery});
    save(folders);
    EXPECT_EQ(conv.exportReport.written(), 1);
    EXPECT_EQ(conv.exportReport.failedCount(), 0);
    EXPECT_EQ(documentsIn(QStringLiteral("All Documents (every document)")), 1);
}

// notedata_msearch.nsf: 452 documents, its views list 10 of them.
TEST_F(EveryDocument, SampleWithFewDocumentsInViewsLeavesTheRestBehindUnlessEveryDocumentIsChosen) {
    const QString sample = sharedSample("nsf-samples/domino-c-api-samples/notedata_msearch.nsf");
    if (!QFile::exists(sample)) GTEST_SKIP() << "NSF samples not found";
    conv.showViewFolders = 1;
    ASSERT_TRUE(open(sample)) << conv.GetLastErrorText().toStdString();
    const QStringList folders = conv.DefaultExportFolders(listed, nullptr);
    EXPECT_FALSE(folders.contains(kEvery));
    const auto coverage = conv.CoverageOf(folders);
    EXPECT_EQ(coverage.documents, 452);
    EXPECT_EQ(coverage.leftBehind(), 442);
    save({kEvery});
    EXPECT_EQ(conv.exportReport.written(), 452);
    EXPECT_EQ(conv.exportReport.failedCount(), 0);
}

// notedata_attachment.nsf: its documents are only in views, which are not
// converted without the view folders: none is in a chosen folder.
TEST_F(EveryDocument, SampleWithDocumentsOnlyInViewsSaysAllAreLeftBehind) {
    const QString sample = sharedSample("nsf-samples/domino-c-api-samples/notedata_attachment.nsf");
    if (!QFile::exists(sample)) GTEST_SKIP() << "NSF samples not found";
    ASSERT_TRUE(open(sample)) << conv.GetLastErrorText().toStdString();
    const QStringList folders = conv.DefaultExportFolders(listed, nullptr);
    EXPECT_FALSE(folders.contains(kEvery)) << "views list the documents";
    const auto coverage = conv.CoverageOf(folders);
    EXPECT_GT(coverage.documents, 0);
    EXPECT_EQ(coverage.inChosen, 0);
    EXPECT_EQ(coverage.inOtherViews, coverage.documents);
}

// sample.nsf: 15 documents, most of them in several views.
TEST_F(EveryDocument, OnceOverEveryViewOfTheSampleWritesEachDocumentOnce) {
    const QString sample = sharedSample("nsf-samples/domino-jnx/sample.nsf");
    if (!QFile::exists(sample)) GTEST_SKIP() << "NSF samples not found";
    conv.showViewFolders = 1;
    conv.oncePerDocument = true;
    ASSERT_TRUE(open(sample)) << conv.GetLastErrorText().toStdString();
    const QStringList folders = conv.DefaultExportFolders(listed, nullptr);
    save(folders);
    EXPECT_EQ(conv.exportReport.written() + conv.exportReport.failedCount(), conv.CoverageOf(folders).inChosen);
    EXPECT_EQ(conv.exportReport.written(), 15);
    EXPECT_GT(conv.exportReport.writtenElsewhereCount(), 0);
}

// tesseldoc-cli over databases whose documents are not all in folders: the
// node of every document, what a run leaves behind and says so, each document
// once, and a report that names the databases a run could not convert.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString kCli = QStringLiteral(TESSELDOC_CLI);
const QString kEveryFolder = QStringLiteral("All Documents (every document)");

QString sample(const char* relative) { return QStringLiteral(TESSELDOC_SHARED_DIR "/") + relative; }
QString testData(const char* name) {
    return QStringLiteral(TESSELDOC_SOURCE_DIR "/tests/data/every-document/") + name;
}

struct CliOutput {
    int exitCode = -1;
    QString out, err;
};

class CliLeftBehind : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_dest = m_dir.filePath(QStringLiteral("out"));
    }
    CliOutput run(const QStringList& args) {
        QProcess p;
        p.start(kCli, args);
        CliOutput r;
        if (!p.waitForFinished(600000)) {
            p.kill();
            p.waitForFinished();
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    int documentsBelow(const QString& dir) const {
        int n = 0;
        QDirIterator it(dir, {QStringLiteral("*.doc")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            ++n;
        }
        return n;
    }

    QTemporaryDir m_dir;
    QString m_dest;
};

}  // namespace

// Notes XML of one document, no view: the node is listed and chosen, and said so.
TEST_F(CliLeftBehind, LoneDocumentIsListedAndConvertedIntoTheNodeOfEveryDocument) {
    const CliOutput folders = run({QStringLiteral("folders"), testData("lone-note.xml")});
    EXPECT_EQ(folders.exitCode, 0) << folders.err.toStdString();
    EXPECT_EQ(folders.out, kEveryFolder + QStringLiteral("\\\\\t1\n"));  // the backslash escaped

    const CliOutput r = run({QStringLiteral("convert"), testData("lone-document.dxl"), m_dest});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("note: no view or folder of the database lists any of its 1 document(s)")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QLatin1String("items: 1 found, 1 written, 0 failed\n"))) << r.out.toStdString();
    EXPECT_EQ(documentsBelow(m_dest + QLatin1Char('/') + kEveryFolder), 1);
}

TEST_F(CliLeftBehind, RealInternetMailConvertsToOneDocument) {
    const QString mail = sample("dxl-samples/document_mail-memo_mime-raw_spam.xml");
    if (!QFile::exists(mail)) GTEST_SKIP() << "shared DXL samples not found";
    const CliOutput r = run({QStringLiteral("convert"), mail, m_dest});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QLatin1String("items: 1 found, 1 written, 0 failed\n"))) << r.out.toStdString();
    EXPECT_EQ(documentsBelow(m_dest), 1);
}

// notedata_msearch.nsf: 452 documents, 10 of them in its views. An empty date
// range keeps the office idle; the documents outside the views are counted.
TEST_F(CliLeftBehind, DocumentsInNoConvertedFolderAreCountedAndNamed) {
    const QString db = sample("nsf-samples/domino-c-api-samples/notedata_msearch.nsf");
    if (!QFile::exists(db)) GTEST_SKIP() << "NSF samples not found";
    const CliOutput folders = run({QStringLiteral("folders"), db});
    EXPECT_TRUE(folders.out.endsWith(kEveryFolder + QStringLiteral("\\\\\t452\n"))) << folders.out.toStdString();

    const CliOutput r = run({QStringLiteral("convert"), db, m_dest, QStringLiteral("--view-folders"), QStringLiteral("--since"),
                       QStringLiteral("2200-01-01")});
    const auto m = QRegularExpression(QStringLiteral("^items: (\\d+) found, 0 written, 0 failed, 442 not in a chosen folder\\n"
                                                     "outside the date range: (\\d+)\\n"))
                       .match(r.out);
    ASSERT_TRUE(m.hasMatch()) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(m.captured(1).toInt(), m.captured(2).toInt() + 442) << "found = written + failed + outside + left behind";
    EXPECT_TRUE(r.out.contains(QLatin1String("left behind: 442 of the database's 452 document(s) are in no converted "
                                             "folder; --all-documents converts every document")))
        << r.out.toStdString();

    // With --all-documents every one of them is written, in one folder.
    const QString every = m_dir.filePath(QStringLiteral("every"));
    const CliOutput all = run({QStringLiteral("convert"), db, every, QStringLiteral("--all-documents")});
    EXPECT_EQ(all.exitCode, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.startsWith(QLatin1String("items: 452 found, 452 written, 0 failed\n"))) << all.out.toStdString();
    EXPECT_FALSE(all.out.contains(QLatin1String("left behind")));
    EXPECT_EQ(documentsBelow(every + QLatin1Char('/') + kEveryFolder), 452);
}

// notedata_attachment.nsf: its documents are only in views, which are not
// converted without --view-folders: nothing is written, and the run says why.
TEST_F(CliLeftBehind, DatabaseWithDocumentsOnlyInViewsSaysWhyNothingWasWritten) {
    const QString db = sample("nsf-samples/domino-c-api-samples/notedata_attachment.nsf");
    if (!QFile::exists(db)) GTEST_SKIP() << "NSF samples not found";
    const CliOutput r = run({QStringLiteral("convert"), db, m_dest});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String("nothing was written: ")) &&
                r.err.contains(QLatin1String("converted with --view-folders")) &&
                r.err.contains(QLatin1String("--all-documents converts every document")))
        << r.err.toStdString();
    EXPECT_EQ(documentsBelow(m_dest), 0);
    // The journal keeps it: the report does not end with success.
    const CliOutput report = run({QStringLiteral("report"), m_dest});
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_TRUE(report.out.contains(QLatin1String("\tNothing saved\t"))) << report.out.toStdString();
}

// sample.nsf: 15 documents, 89 entries in its views. --all-documents converts
// the node of every document in place of the folders and views converted by
// default, --view-folders or not; a folder named with --folder is converted
// beside it. An empty date range keeps the office idle: "found" counts the
// entries of the folders converted.
TEST_F(CliLeftBehind, AllDocumentsTakesThePlaceOfTheDefaultFoldersButNotOfNamedOnes) {
    const QString db = sample("nsf-samples/domino-jnx/sample.nsf");
    if (!QFile::exists(db)) GTEST_SKIP() << "NSF samples not found";
    const auto found = [&](const QStringList& options) {
        const CliOutput r = run(QStringList{QStringLiteral("convert"), db, m_dest} + options +
                                QStringList{QStringLiteral("--since"), QStringLiteral("2200-01-01")});
        const auto m = QRegularExpression(QStringLiteral("^items: (\\d+) found, 0 written, 0 failed\\n")).match(r.out);
        EXPECT_TRUE(m.hasMatch()) << options.join(' ').toStdString() << ": " << r.out.toStdString() << r.err.toStdString();
        return m.captured(1).toInt();
    };
    EXPECT_EQ(found({QStringLiteral("--view-folders")}), 89);
    EXPECT_EQ(found({QStringLiteral("--all-documents"), QStringLiteral("--view-folders")}), 15);
    EXPECT_EQ(found({QStringLiteral("--all-documents"), QStringLiteral("--folder"), QStringLiteral("Backup Role for Student")}),
              15 + 1);
}

// sample.nsf: 15 documents, most of them in several views.
TEST_F(CliLeftBehind, OnceWritesEachDocumentOnceAndNamesWhereItWent) {
    const QString db = sample("nsf-samples/domino-jnx/sample.nsf");
    if (!QFile::exists(db)) GTEST_SKIP() << "NSF samples not found";
    const CliOutput r = run({QStringLiteral("convert"), db, m_dest, QStringLiteral("--view-folders"), QStringLiteral("--once")});
    EXPECT_EQ(documentsBelow(m_dest), 15) << r.out.toStdString() << r.err.toStdString();
    const auto m = QRegularExpression(QStringLiteral("^items: (\\d+) found, 15 written, 0 failed, (\\d+) written in another folder"))
                       .match(r.out);
    ASSERT_TRUE(m.hasMatch()) << r.out.toStdString();
    EXPECT_EQ(r.out.count(QRegularExpression(QStringLiteral("\\nnot written again: [^\\n]*\\t[0-9a-f]+\\twritten in [^\\n]+"))),
              m.captured(2).toInt());
}

// A many-database run with a missing database: the journal keeps it, and the
// report names it and does not end with success.
TEST_F(CliLeftBehind, ReportNamesAMissingDatabaseAndFails) {
    const QString missing = m_dir.filePath(QStringLiteral("missing.nsf"));
    const CliOutput r = run({QStringLiteral("convert-many"), m_dest, testData("lone-document.dxl"), missing});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString() << r.err.toStdString();
    const CliOutput report = run({QStringLiteral("report"), m_dest});
    EXPECT_EQ(report.exitCode, 1) << report.out.toStdString();
    EXPECT_TRUE(report.out.contains(QStringLiteral("source: %1\tFail to save\tno such file").arg(missing)))
        << report.out.toStdString();
    EXPECT_TRUE(report.err.contains(missing)) << report.err.toStdString();
    EXPECT_TRUE(report.out.contains(QLatin1String("\tProcess Completed\t"))) << report.out.toStdString();
}

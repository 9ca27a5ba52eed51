// The demo database written as DOCX and as archival PDF by tesseldoc-cli, read
// back with readers independent of the engine (unzip for the DOCX XML,
// poppler's tools for the PDF) and, for DOCX, with the office itself.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kDemo = QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl");
const QString kCli = QStringLiteral(TESSELDOC_CLI);

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result run(const QString& program, const QStringList& args, int timeoutMs = 600000) {
    QProcess p;
    p.start(program, args);
    Result r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList filesUnder(const QString& root, const QString& suffix) {
    QStringList out;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        if (p.endsWith(suffix) && !p.contains("Attachments/")) out << p;
    }
    out.sort();
    return out;
}

bool haveTools(const QStringList& tools, QString* missing) {
    for (const QString& t : tools)
        if (QStandardPaths::findExecutable(t).isEmpty()) {
            *missing = t;
            return false;
        }
    return true;
}

// The text of a DOCX's main part: the XML with its tags taken out.
QString docxText(const QString& path) {
    const Result r = run("unzip", {"-p", path, "word/document.xml"});
    QString xml = r.out;
    xml.replace(QRegularExpression("</w:p>"), "\n");
    xml.remove(QRegularExpression("<[^>]*>"));
    xml.replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'");
    return xml;
}

// A conversion of the demo database's Inbox into a fresh folder.
struct Conversion {
    QTemporaryDir dir;
    Result result;
    QString root() const { return dir.path() + "/out"; }
    bool run(const QStringList& extra) {
        result = ::run(kCli, QStringList{"convert", kDemo, root(), "--folder", "($Inbox)", "--mode", "rtf-best"} + extra);
        return result.exitCode == 0;
    }
};

}  // namespace

TEST(OutputFormats, BadChoicesAreUsageErrorsBeforeAnyWork) {
    QTemporaryDir dir;
    const QString dest = dir.path() + "/never";
    const QList<QPair<QStringList, QString>> cases = {
        {{"--format", "odt"}, "unknown format"},
        {{"--format"}, "needs a value"},
        {{"--since", "2019-13-01"}, "YYYY-MM-DD"},
        {{"--until", "31/12/2019"}, "YYYY-MM-DD"},
        {{"--since", "2016-01-01", "--until", "2015-12-31"}, "before"},
        {{"--embed-attachments"}, "needs --format pdf"},
        {{"--format", "docx", "--embed-attachments"}, "needs --format pdf"},
    };
    for (const auto& [args, text] : cases) {
        const Result r = run(kCli, QStringList{"convert", kDemo, dest} + args, 30000);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(text)) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(dest)) << args.join(' ').toStdString();
    }
}

TEST(OutputFormats, DocxCarriesTheHeaderTableAndBodyAndOpensInTheOffice) {
    QString missing;
    if (!haveTools({"unzip"}, &missing)) GTEST_SKIP() << missing.toStdString() << " is missing";
    Conversion c;
    ASSERT_TRUE(c.run({"--format", "docx"})) << c.result.out.toStdString() << c.result.err.toStdString();
    EXPECT_TRUE(filesUnder(c.root(), ".doc").isEmpty());
    const QStringList docs = filesUnder(c.root(), ".docx");
    ASSERT_FALSE(docs.isEmpty());
    const QString welcome = c.root() + "/Inbox/Welcome to the team.docx";
    ASSERT_TRUE(QFile::exists(welcome)) << docs.join('\n').toStdString();
    const QString text = docxText(welcome);
    for (const char* expected : {"Subject:", "Welcome to the team", "From:", "Bob Meyer", "welcome on board!"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    // The attachments are beside the document as with .doc.
    const QString report = c.root() + "/Inbox/Quarterly report Q1Attachments/report.pdf";
    EXPECT_TRUE(QFile::exists(report));

    // The office reads the DOCX back (a one-shot instance with its own profile).
    QTemporaryDir profile;
    const Result back =
        run("soffice", {"-env:UserInstallation=file://" + profile.path(), "--headless", "--norestore", "--cat", welcome});
    EXPECT_TRUE(back.out.contains("welcome on board!")) << back.out.toStdString() << back.err.toStdString();
}

TEST(OutputFormats, PdfIsArchivalWithEmbeddedFontsAndTheItemsText) {
    QString missing;
    if (!haveTools({"pdftotext", "pdfinfo", "pdffonts"}, &missing)) GTEST_SKIP() << missing.toStdString() << " is missing";
    Conversion c;
    ASSERT_TRUE(c.run({"--format", "pdf"})) << c.result.out.toStdString() << c.result.err.toStdString();
    const QStringList pdfs = filesUnder(c.root(), ".pdf");
    ASSERT_FALSE(pdfs.isEmpty());
    const QString welcome = c.root() + "/Inbox/Welcome to the team.pdf";
    ASSERT_TRUE(QFile::exists(welcome));
    const QString text = run("pdftotext", {"-enc", "UTF-8", welcome, "-"}).out;
    for (const char* expected : {"Subject:", "Welcome to the team", "From:", "Bob Meyer", "welcome on board!"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    for (const QString& pdf : pdfs) {
        const QString meta = run("pdfinfo", {"-meta", pdf}).out;
        EXPECT_TRUE(meta.contains(QRegularExpression("pdfaid:part(>|=\")2"))) << pdf.toStdString();
        EXPECT_TRUE(meta.contains(QRegularExpression("pdfaid:conformance(>|=\")B"))) << pdf.toStdString();
        // pdffonts: two heading lines, then one line per font whose "emb" column says yes.
        const QStringList fonts = run("pdffonts", {pdf}).out.split('\n', Qt::SkipEmptyParts).mid(2);
        EXPECT_FALSE(fonts.isEmpty()) << pdf.toStdString();
        for (const QString& f : fonts)
            EXPECT_TRUE(f.contains(QRegularExpression("\\s(yes)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$")))
                << pdf.toStdString() << ": " << f.toStdString();
    }
    // No attachments inside unless asked for.
    const QString quarterly = c.root() + "/Inbox/Quarterly report Q1.pdf";
    if (!QStandardPaths::findExecutable("pdfdetach").isEmpty()) {
        EXPECT_TRUE(run("pdfdetach", {"-list", quarterly}).out.contains("0 embedded files"));
    }
}

TEST(OutputFormats, PdfWithEmbeddedAttachmentsIsPdfA3AndKeepsThemBesideToo) {
    QString missing;
    if (!haveTools({"pdfdetach", "pdfinfo"}, &missing)) GTEST_SKIP() << missing.toStdString() << " is missing";
    Conversion c;
    ASSERT_TRUE(c.run({"--format", "pdf", "--embed-attachments"}))
        << c.result.out.toStdString() << c.result.err.toStdString();
    const QString quarterly = c.root() + "/Inbox/Quarterly report Q1.pdf";
    ASSERT_TRUE(QFile::exists(quarterly));
    EXPECT_TRUE(QFile::exists(c.root() + "/Inbox/Quarterly report Q1Attachments/report.pdf"));
    const QString list = run("pdfdetach", {"-list", quarterly}).out;
    EXPECT_TRUE(list.contains("1 embedded files")) << list.toStdString();
    EXPECT_TRUE(list.contains("report.pdf")) << list.toStdString();
    QTemporaryDir out;
    run("pdfdetach", {"-save", "1", "-o", out.path() + "/r.pdf", quarterly});
    QFile a(out.path() + "/r.pdf"), b(c.root() + "/Inbox/Quarterly report Q1Attachments/report.pdf");
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
    const QString meta = run("pdfinfo", {"-meta", quarterly}).out;
    EXPECT_TRUE(meta.contains(QRegularExpression("pdfaid:part(>|=\")3"))) << meta.toStdString();
}

TEST(OutputFormats, DateRangeLeavesItemsOutWithoutCallingThemFailures) {
    Conversion c;
    // "Quarterly report Q1" was sent on 3 April 2012, "Welcome to the team" in January.
    ASSERT_TRUE(c.run({"--since", "2012-04-01", "--until", "2012-05-31"}))
        << c.result.out.toStdString() << c.result.err.toStdString();
    const QRegularExpressionMatch items =
        QRegularExpression("items: (\\d+) found, (\\d+) written, 0 failed").match(c.result.out);
    ASSERT_TRUE(items.hasMatch()) << c.result.out.toStdString();
    const QRegularExpressionMatch outside = QRegularExpression("outside the date range: (\\d+)").match(c.result.out);
    ASSERT_TRUE(outside.hasMatch()) << c.result.out.toStdString();
    EXPECT_GT(outside.captured(1).toInt(), 0);
    EXPECT_GT(items.captured(2).toInt(), 0);
    // Documents no converted folder holds are counted apart.
    const QRegularExpressionMatch elsewhere =
        QRegularExpression("(\\d+) not in a chosen folder").match(c.result.out);
    const int notChosen = elsewhere.hasMatch() ? elsewhere.captured(1).toInt() : 0;
    EXPECT_EQ(items.captured(1).toInt(), items.captured(2).toInt() + outside.captured(1).toInt() + notChosen);
    EXPECT_TRUE(c.result.out.contains("date unknown: 0"));
    EXPECT_TRUE(QFile::exists(c.root() + "/Inbox/Quarterly report Q1.doc"));
    EXPECT_FALSE(QFile::exists(c.root() + "/Inbox/Welcome to the team.doc"));
}

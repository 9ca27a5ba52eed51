#include "export/PdfAttachmentEmbedder.h"
#include "MinimalPdf.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using pdftest::minimalPdf;

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString run(const QString& program, const QStringList& args, int* exitCode = nullptr) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    if (exitCode) *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST(PdfAttachmentEmbedder, EmbeddedFilesComeBackByteForByteUnderTheirNames) {
    if (QStandardPaths::findExecutable("pdfdetach").isEmpty()) GTEST_SKIP() << "pdfdetach (poppler-utils) is missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("item.pdf");
    ASSERT_TRUE(writeFile(pdf, minimalPdf()));
    QByteArray binary;
    for (int i = 0; i < 70000; ++i) binary.append(char(i * 7));
    binary.append("endstream\nendobj\n%%EOF");  // bytes that look like structure stay data
    ASSERT_TRUE(writeFile(dir.filePath("Zeta report.bin"), binary));
    ASSERT_TRUE(writeFile(dir.filePath("Übersicht (2019).txt"), "Grüße\n"));
    QString error;
    ASSERT_TRUE(PdfAttachmentEmbedder::Embed(
        pdf, {{dir.filePath("Zeta report.bin"), "Zeta report.bin"}, {dir.filePath("Übersicht (2019).txt"), "Übersicht (2019).txt"}},
        &error))
        << error.toStdString();

    int code = -1;
    const QString list = run("pdfdetach", {"-list", "-enc", "UTF-8", pdf}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(list.contains("2 embedded files")) << list.toStdString();
    EXPECT_TRUE(list.contains("Übersicht (2019).txt")) << list.toStdString();
    EXPECT_TRUE(list.contains("Zeta report.bin"));

    const QString out = dir.filePath("out");
    QDir().mkpath(out);
    run("pdfdetach", {"-saveall", "-enc", "UTF-8", "-o", out, pdf}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(out + "/Zeta report.bin"), binary);
    EXPECT_EQ(readFile(out + "/Übersicht (2019).txt"), QByteArray("Grüße\n"));
    // The page is still there, and no hidden file is left beside the PDF.
    if (!QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
        EXPECT_TRUE(run("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1")));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".~tesseldoc").size(), 0);
}

TEST(PdfAttachmentEmbedder, APdfWithEmbeddedFilesAndOtherNamesGetsMore) {
    if (QStandardPaths::findExecutable("pdfdetach").isEmpty()) GTEST_SKIP() << "pdfdetach (poppler-utils) is missing";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("item.pdf");
    // A catalogue with a JavaScript name tree of its own, which stays.
    ASSERT_TRUE(writeFile(pdf, minimalPdf(" /Names << /JavaScript << /Names [ (a) << /S /JavaScript /JS (1) >> ] >> >>")));
    ASSERT_TRUE(writeFile(dir.filePath("a.txt"), "first"));
    ASSERT_TRUE(writeFile(dir.filePath("b.txt"), "second"));
    QString error;
    ASSERT_TRUE(PdfAttachmentEmbedder::Embed(pdf, {{dir.filePath("a.txt"), "a.txt"}}, &error)) << error.toStdString();
    ASSERT_TRUE(PdfAttachmentEmbedder::Embed(pdf, {{dir.filePath("b.txt"), "b.txt"}}, &error)) << error.toStdString();
    const QString list = run("pdfdetach", {"-list", pdf});
    EXPECT_TRUE(list.contains("2 embedded files")) << list.toStdString();
    EXPECT_TRUE(readFile(pdf).contains("/JavaScript"));
    // Both are associated files of the document.
    const QByteArray bytes = readFile(pdf);
    EXPECT_EQ(bytes.count("/AFRelationship /Data"), 2);
    EXPECT_TRUE(bytes.contains("/AF "));
}

TEST(PdfAttachmentEmbedder, RefusesWhatItCannotUpdateAndLeavesThePdfAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("a.txt"), "a"));
    const QList<PdfAttachmentEmbedder::File> files = {{dir.filePath("a.txt"), "a.txt"}};
    struct Case {
        const char* why;
        QByteArray bytes;
    };
    const QByteArray good = minimalPdf();
    QByteArray noStartXref = good;
    noStartXref.replace("startxref", "startxreX");
    QByteArray badOffset = good;
    badOffset.replace(badOffset.lastIndexOf("startxref") + 10, 3, "999");
    QByteArray noCatalogue = good;
    noCatalogue.replace("/Root 1 0 R", "/Root 9 0 R");
    QByteArray loopingPages = good;
    loopingPages.replace("/Kids [3 0 R]", "/Kids [2 0 R]");
    const QList<Case> cases = {
        {"not a PDF", "hello"},
        {"no startxref", noStartXref},
        {"startxref pointing elsewhere", badOffset},
        {"truncated", good.left(good.size() / 2)},
        {"a /Root that names no object", noCatalogue},
    };
    for (const Case& c : cases) {
        const QString pdf = dir.filePath("x.pdf");
        QFile::remove(pdf);
        ASSERT_TRUE(writeFile(pdf, c.bytes));
        QString error;
        EXPECT_FALSE(PdfAttachmentEmbedder::Embed(pdf, files, &error)) << c.why;
        EXPECT_FALSE(error.isEmpty()) << c.why;
        EXPECT_EQ(readFile(pdf), c.bytes) << c.why;
    }
    // A page tree that contains itself ends (embedded or refused), never loops.
    {
        const QString pdf = dir.filePath("loop.pdf");
        ASSERT_TRUE(writeFile(pdf, loopingPages));
        QString error;
        if (!PdfAttachmentEmbedder::Embed(pdf, files, &error)) {
            EXPECT_EQ(readFile(pdf), loopingPages);
        }
    }
    // A missing attachment file fails the embedding, not the PDF.
    const QString pdf = dir.filePath("y.pdf");
    ASSERT_TRUE(writeFile(pdf, good));
    QString error;
    EXPECT_FALSE(PdfAttachmentEmbedder::Embed(pdf, {{dir.filePath("gone.txt"), "gone.txt"}}, &error));
    EXPECT_EQ(readFile(pdf), good);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".~tesseldoc").size(), 0);
}

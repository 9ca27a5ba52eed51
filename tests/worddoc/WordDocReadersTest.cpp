// Documents of the native Word 97 writer as the readers see them: antiword,
// catdoc and LibreOffice.
#include "WordDocFeatureDocs.h"
#include "WordDocTestSupport.h"

#include "worddoc/WordDocWriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace wdtest;

namespace {

// Writes the feature documents once into a folder (WORDDOC_KEEP names one to keep them).
class WordDocFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        const QByteArray keep = qgetenv("WORDDOC_KEEP");
        s_path = keep.isEmpty() ? s_dir->path() : QString::fromLocal8Bit(keep);
        QDir().mkpath(s_path);
        const std::pair<const char*, worddoc::WordDocument> docs[] = {
            {"runs", formattedRunsDoc()}, {"paragraphs", paragraphsDoc()}, {"tables", tablesDoc()},
            {"pictures", picturesDoc()},  {"links", linksDoc()},           {"letter", letterPageDoc()}};
        worddoc::WordDocWriter writer;
        for (const auto& [name, doc] : docs) {
            const QString path = file(QString::fromLatin1(name));
            ASSERT_TRUE(writer.write(doc, path)) << qPrintable(writer.errorText());
        }
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    static QString file(const QString& name) { return QDir(s_path).filePath(name + QStringLiteral(".doc")); }
    static QByteArray bytes(const QString& name) {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QTemporaryDir* s_dir;
    static QString s_path;
};
QTemporaryDir* WordDocFiles::s_dir = nullptr;
QString WordDocFiles::s_path;

QString names() { return QStringLiteral("runs paragraphs tables pictures links letter"); }

// Every file is a version 3 compound file with the Word streams, and the FIB
// says Word 97.
TEST_F(WordDocFiles, FibSaysWord97) {
    for (const QString& name : names().split(QLatin1Char(' '))) {
        SCOPED_TRACE(qPrintable(name));
        QString error;
        const auto streams = readCompoundFile(bytes(name), &error);
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
        ASSERT_TRUE(streams.contains(QStringLiteral("WordDocument")));
        ASSERT_TRUE(streams.contains(QStringLiteral("1Table")));
        EXPECT_TRUE(streams.contains(QStringLiteral("\x05SummaryInformation")));
        const QByteArray fib = streams.value(QStringLiteral("WordDocument"));
        ASSERT_GE(fib.size(), 900);
        EXPECT_EQ(uint8_t(fib[0]) | uint8_t(fib[1]) << 8, 0xA5EC);
        EXPECT_EQ(uint8_t(fib[2]) | uint8_t(fib[3]) << 8, 0x00C1);  // nFib: Word 97
        EXPECT_TRUE(uint8_t(fib[11]) & 0x02);                       // fWhichTblStm: 1Table
        EXPECT_EQ(streams.contains(QStringLiteral("Data")), name == QLatin1String("pictures"));
    }
}

// antiword and catdoc read the text of every file: paragraphs, cells, links,
// characters outside Latin-1.
TEST_F(WordDocFiles, AntiwordAndCatdocReadTheText) {
    const std::pair<const char*, QStringList> expected[] = {
        {"runs", {QStringLiteral("Plain bold italic underlined struck"), QStringLiteral("E=mc2 H2O"),
                  QStringLiteral("Grüße, Привет, Ελληνικά")}},
        {"paragraphs", {QStringLiteral("Centred paragraph"), QStringLiteral("Step two"), QStringLiteral("Line two"),
                        QStringLiteral("After an empty paragraph")}},
        {"tables", {QStringLiteral("Value one"), QStringLiteral("C second paragraph"), QStringLiteral("Inner 2"),
                    QStringLiteral("After the tables")}},
        {"pictures", {QStringLiteral("Unreadable: [picture]")}},
        {"links", {QStringLiteral("See the example site for more."), QStringLiteral("[Link: Project plan]"),
                   QStringLiteral("[Attachment: report.pdf]")}},
        {"letter", {QStringLiteral("A Letter page with half-inch side margins.")}},
    };
    for (const auto& [name, lines] : expected) {
        SCOPED_TRACE(name);
        int antiwordExit = 0, catdocExit = 0;
        const QString antiword = runTool(QStringLiteral("antiword"), {QStringLiteral("-w"), QStringLiteral("0"),
                                                                      QStringLiteral("-m"), QStringLiteral("UTF-8.txt"),
                                                                      file(QString::fromLatin1(name))},
                                         &antiwordExit);
        // catdoc shows field instructions: the link's address before its text.
        static const QRegularExpression fieldCode(QStringLiteral(" *HYPERLINK \"[^\"]*\" *"));
        const QString catdoc = runTool(QStringLiteral("catdoc"), {QStringLiteral("-d"), QStringLiteral("utf-8"),
                                                                  QStringLiteral("-w"), file(QString::fromLatin1(name))},
                                       &catdocExit)
                                   .replace(fieldCode, QStringLiteral(" "))
                                   .replace(QStringLiteral("  "), QStringLiteral(" "));
        EXPECT_EQ(antiwordExit, 0);
        EXPECT_EQ(catdocExit, 0);
        for (const QString& line : lines) {
            EXPECT_TRUE(antiword.contains(line)) << qPrintable(line) << "\n" << qPrintable(antiword);
            EXPECT_TRUE(catdoc.contains(line)) << qPrintable(line) << "\n" << qPrintable(catdoc);
        }
    }
}

// LibreOffice reads the documents back: text, run formats, paragraphs,
// tables, pictures, links, summary properties, page size.
class WordDocOffice : public WordDocFiles {
protected:
    static void SetUpTestSuite() {
        WordDocFiles::SetUpTestSuite();
        if (!Office::available()) return;
        QStringList files;
        for (const QString& name : names().split(QLatin1Char(' '))) files << file(name);
        s_out = QDir(s_path).filePath(QStringLiteral("office"));
        QDir().mkpath(s_out);
        s_converted = Office::convert(files, QStringLiteral("html"), s_out) &&
                      Office::convert(files, QStringLiteral("fodt"), s_out);
    }
    void SetUp() override {
        if (!Office::available()) GTEST_SKIP() << "soffice not installed";
        ASSERT_TRUE(s_converted);
    }
    static QString read(const QString& name, const QString& ext) {
        QFile f(QDir(s_out).filePath(name + QLatin1Char('.') + ext));
        // Lines joined: the HTML export wraps them anywhere.
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).simplified() : QString();
    }
    static QString s_out;
    static bool s_converted;
};
QString WordDocOffice::s_out;
bool WordDocOffice::s_converted = false;

int count(const QString& haystack, const QString& needle) { return int(haystack.count(needle)); }

TEST_F(WordDocOffice, RunFormats) {
    const QString html = read(QStringLiteral("runs"), QStringLiteral("html"));
    EXPECT_TRUE(html.contains(QStringLiteral("<b>bold</b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<i>italic</i>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<u>underlined</u>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<strike>struck</strike>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<sup>2</sup>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<sub>2</sub>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<font color=\"#c00000\">Red text")));
    EXPECT_TRUE(html.contains(QStringLiteral("font face=\"Courier New")));
    EXPECT_TRUE(html.contains(QStringLiteral("font-size: 14pt")));
    EXPECT_TRUE(html.contains(QStringLiteral("font-size: 18pt")));
    EXPECT_TRUE(html.contains(QStringLiteral("Grüße, Привет, Ελληνικά, <span lang=\"zh-CN\">漢字</span>, emoji \U0001F600 end")));
    const QString fodt = read(QStringLiteral("runs"), QStringLiteral("fodt"));
    EXPECT_TRUE(fodt.contains(QStringLiteral("fo:background-color=\"#ffff00\"")));  // the highlight
    EXPECT_TRUE(fodt.contains(QStringLiteral("style:font-name=\"Arial\"")));        // the default face
}

TEST_F(WordDocOffice, Paragraphs) {
    const QString html = read(QStringLiteral("paragraphs"), QStringLiteral("html"));
    EXPECT_TRUE(html.contains(QStringLiteral("align=\"center\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("align=\"right\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("align=\"justify\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("margin-left: 1in; margin-right: 0.5in; text-indent: 0.25in; "
                                             "margin-top: 0.17in; margin-bottom: 0.33in")));
    // 50 % of the A4 text width between one-inch margins (9026 twips).
    EXPECT_TRUE(html.contains(QStringLiteral("margin-left: 3.13in")));
    EXPECT_EQ(count(html, QStringLiteral("margin-left: 0.25in; text-indent: -0.25in")), 4);  // list items
    const QString fodt = read(QStringLiteral("paragraphs"), QStringLiteral("fodt"));
    EXPECT_TRUE(fodt.contains(QStringLiteral("style:position=\"2in\"")));  // tab stops at 2 and 4 inches
    EXPECT_TRUE(fodt.contains(QStringLiteral("style:position=\"4in\"")));
    EXPECT_TRUE(fodt.contains(QStringLiteral("Line one<text:line-break/>Line two")));
    EXPECT_TRUE(fodt.contains(QStringLiteral("•<text:tab/>First bullet")));
    EXPECT_TRUE(fodt.contains(QStringLiteral("2.<text:tab/>Step two")));
}

TEST_F(WordDocOffice, Tables) {
    const QString html = read(QStringLiteral("tables"), QStringLiteral("html"));
    EXPECT_EQ(count(html, QStringLiteral("<table")), 3);  // the nested one too
    EXPECT_EQ(count(html, QStringLiteral("<tr")), 4);
    EXPECT_EQ(count(html, QStringLiteral("<td")), 10);
    EXPECT_TRUE(html.contains(QStringLiteral("bgcolor=\"#d9e2f3\"")));
    EXPECT_EQ(count(html, QStringLiteral("border: 1px solid #000000")), 8);  // the bordered tables' cells
    EXPECT_EQ(count(html, QStringLiteral("border: none")), 2);
    // Widths 2000, 3000 and 4000 twips as 96-dpi pixels.
    EXPECT_TRUE(html.contains(QStringLiteral("<col width=\"118\"/>")) || html.contains(QStringLiteral("<col width=\"119\"/>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<col width=\"252\"/>")) || html.contains(QStringLiteral("<col width=\"251\"/>")));
    EXPECT_TRUE(html.contains(QStringLiteral("After the tables")));
}

TEST_F(WordDocOffice, Pictures) {
    const QString html = read(QStringLiteral("pictures"), QStringLiteral("html"));
    EXPECT_EQ(count(html, QStringLiteral("<img")), 5);
    EXPECT_TRUE(html.contains(QStringLiteral("width=\"64\" height=\"32\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("width=\"40\" height=\"30\"")));   // JPEG
    EXPECT_TRUE(html.contains(QStringLiteral("width=\"24\" height=\"16\"")));   // GIF, as PNG
    EXPECT_TRUE(html.contains(QStringLiteral("width=\"20\" height=\"10\"")));   // BMP, as PNG
    EXPECT_TRUE(html.contains(QStringLiteral("width=\"200\" height=\"100\""))); // the size it is shown at
    EXPECT_TRUE(html.contains(QStringLiteral("Unreadable: [picture]")));
}

TEST_F(WordDocOffice, LinksAndSummaryAndPage) {
    const QString links = read(QStringLiteral("links"), QStringLiteral("html"));
    EXPECT_TRUE(links.contains(QStringLiteral("<a href=\"https://example.com/a?b=1&amp;c=%222%22\">the example")));
    EXPECT_TRUE(links.contains(QStringLiteral("<a href=\"notes:///85257A2B0057C5F3/0/ABCDEF0123456789\">")));
    const QString letter = read(QStringLiteral("letter"), QStringLiteral("html"));
    EXPECT_TRUE(letter.contains(QStringLiteral("<title>Quarterly report – Ü</title>")));
    EXPECT_TRUE(letter.contains(QStringLiteral("name=\"author\" content=\"Jane Doe\"")));
    EXPECT_TRUE(letter.contains(QStringLiteral("name=\"created\" content=\"2021-03-04T05:06:07\"")));
    EXPECT_TRUE(letter.contains(QStringLiteral("name=\"classification\" content=\"Finance\"")));
    EXPECT_TRUE(letter.contains(QStringLiteral("name=\"description\" content=\"Converted from Notes\"")));
    EXPECT_TRUE(letter.contains(QStringLiteral("name=\"keywords\" content=\"report, quarter\"")));
    const QString fodt = read(QStringLiteral("letter"), QStringLiteral("fodt"));
    EXPECT_TRUE(fodt.contains(QStringLiteral("fo:page-width=\"8.5in\" fo:page-height=\"11in\"")));
    EXPECT_TRUE(fodt.contains(QStringLiteral("fo:margin-left=\"0.5in\" fo:margin-right=\"0.5in\"")));
    const QString a4 = read(QStringLiteral("runs"), QStringLiteral("fodt"));
    EXPECT_TRUE(a4.contains(QStringLiteral("fo:page-width=\"8.2681in\" fo:page-height=\"11.6929in\"")));
}

}  // namespace

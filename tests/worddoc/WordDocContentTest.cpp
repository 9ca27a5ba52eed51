// The native Word 97 writer on real content: the header tables the templates
// and the field table make, RTF and HTML bodies, large and odd documents,
// and how fast it writes.
#include "WordDocTestSupport.h"

#include "notes/mime/HtmlToRichText.h"
#include "rtf/HeaderTableRtf.h"
#include "rtf/RtfReader.h"
#include "worddoc/CompoundFileWriter.h"
#include "worddoc/WordDocWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace wdtest;

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString outDir(QTemporaryDir& temp) {
    const QByteArray keep = qgetenv("WORDDOC_KEEP");
    const QString dir = keep.isEmpty() ? temp.path() : QString::fromLocal8Bit(keep);
    QDir().mkpath(dir);
    return dir;
}

// Every cell's text, in order, as the model holds it.
void cellTexts(const std::vector<store::RtBlock>& blocks, QStringList& out) {
    for (const store::RtBlock& b : blocks) {
        if (!b.table) continue;
        for (const auto& row : b.table->rows)
            for (const auto& cell : row.cells) {
                store::RichTextDoc d;
                d.blocks = cell.blocks;
                const QString t = d.plainText().simplified();
                if (!t.isEmpty()) out << t;
                cellTexts(cell.blocks, out);
            }
    }
}

// The header table of a mail and its body, as the native engine puts them together.
worddoc::WordDocument mailDocument(const QString& headerRtf, const store::RichTextDoc& body) {
    worddoc::WordDocument doc;
    doc.body = rtf::RtfReader().read(headerRtf.toLatin1());
    for (const auto& b : body.blocks) doc.body.blocks.push_back(b);
    return doc;
}

QString antiwordText(const QString& path) {
    return runTool(QStringLiteral("antiword"), {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"),
                                                QStringLiteral("UTF-8.txt"), path});
}

}  // namespace

// Streams of every size come back as they went in: in the mini stream, in
// sectors, and past the 109 FAT sectors the header lists (a DIFAT sector).
TEST(CompoundFile, StreamsReadBack) {
    worddoc::CompoundFileWriter cfb;
    QMap<QString, QByteArray> in;
    auto pattern = [](qsizetype n, char seed) {
        QByteArray b(n, '\0');
        for (qsizetype i = 0; i < n; ++i) b[i] = char(seed + i * 7 + i / 251);
        return b;
    };
    in.insert(QStringLiteral("WordDocument"), pattern(4096, 1));
    in.insert(QStringLiteral("1Table"), pattern(700, 2));
    in.insert(QStringLiteral("Data"), pattern(8 * 1024 * 1024 + 3, 3));
    in.insert(QStringLiteral("\x05SummaryInformation"), pattern(64, 4));
    in.insert(QStringLiteral("Tiny"), pattern(1, 5));
    in.insert(QStringLiteral("Just under"), pattern(4095, 6));
    for (auto it = in.cbegin(); it != in.cend(); ++it) cfb.addStream(it.key(), it.value());
    const QByteArray file = cfb.toBytes();
    QString error;
    const auto out = readCompoundFile(file, &error);
    ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    EXPECT_GT(qFromLittleEndian<quint32>(file.constData() + 0x48), 0u);  // DIFAT sectors used
    ASSERT_EQ(out.keys(), in.keys());
    for (auto it = in.cbegin(); it != in.cend(); ++it) EXPECT_TRUE(out.value(it.key()) == it.value()) << qPrintable(it.key());
}

// The header tables of the templates and of the field table: every cell's
// text in antiword's reading, the white hairline borders and the cell widths
// as LibreOffice reads them.
TEST(WordDocContent, HeaderTables) {
    QTemporaryDir temp;
    const QString dir = outDir(temp);
    const store::RichTextDoc body =
        rtf::RtfReader().read(readFile(QStringLiteral(TESSELDOC_TEST_DATA "/rtf/libreoffice-sample.rtf")));
    ASSERT_FALSE(body.isEmpty());
    QStringList headers;
    for (int i = 1; i <= 9; ++i) {
        const QByteArray t =
            readFile(QStringLiteral(TESSELDOC_SOURCE_DIR "/res/templates/header-table-%1.rtf").arg(i));
        if (!t.isEmpty()) headers << QString::fromLatin1(t);
    }
    ASSERT_FALSE(headers.isEmpty());
    headers << rtf::HeaderTableRtf({{QStringLiteral("From"), QStringLiteral("Jane Doe/Sales/Acme")},
                                    {QStringLiteral("To"), QStringLiteral("John Roe/Sales/Acme; Ann Other")},
                                    {QStringLiteral("Subject"), QStringLiteral("Quarterly figures – Q3")},
                                    {QStringLiteral("OriginalAccountProtocol"), QStringLiteral("5")}});
    worddoc::WordDocWriter writer;
    QStringList files;
    std::vector<QStringList> cells;
    for (int i = 0; i < headers.size(); ++i) {
        const worddoc::WordDocument doc = mailDocument(headers[i], body);
        const QString path = QDir(dir).filePath(QStringLiteral("header-%1.doc").arg(i + 1));
        ASSERT_TRUE(writer.write(doc, path)) << qPrintable(writer.errorText());
        files << path;
        QStringList texts;
        cellTexts(doc.body.blocks, texts);
        ASSERT_FALSE(texts.isEmpty());
        const QString text = antiwordText(path).simplified();
        for (const QString& cell : texts) EXPECT_TRUE(text.contains(cell)) << qPrintable(cell) << " in " << qPrintable(text);
        cells.push_back(texts);
    }
    if (!Office::available()) GTEST_SKIP() << "soffice not installed";
    ASSERT_TRUE(Office::convert(files, QStringLiteral("html"), dir));
    for (int i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(qPrintable(files[i]));
        const QString html = QString::fromUtf8(readFile(QDir(dir).filePath(QStringLiteral("header-%1.html").arg(i + 1)))).simplified();
        for (const QString& cell : cells[size_t(i)]) {
            QString plain = html;
            plain.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
            plain.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            EXPECT_TRUE(plain.simplified().contains(cell)) << qPrintable(cell);
        }
        EXPECT_TRUE(html.contains(QStringLiteral("solid #ffffff"))) << "white hairline borders";
        EXPECT_FALSE(html.contains(QStringLiteral("solid #000000")));
    }
}

// What the RTF reader keeps of the templates' table for the writer: the
// white hairline borders and the left edge at -108.
TEST(WordDocContent, TemplateTableLook) {
    const store::RichTextDoc doc =
        rtf::RtfReader().read(readFile(QStringLiteral(TESSELDOC_SOURCE_DIR "/res/templates/header-table-1.rtf")));
    ASSERT_FALSE(doc.blocks.empty());
    ASSERT_TRUE(doc.blocks.front().table);
    const store::RtTable& t = *doc.blocks.front().table;
    EXPECT_TRUE(t.borders);
    EXPECT_TRUE(t.hasBorderColor);
    EXPECT_EQ(t.borderRgb, 0xFFFFFFu);
    EXPECT_EQ(t.borderWidthTwips, 5);
    EXPECT_EQ(t.leftTwips, -108);
    EXPECT_EQ(t.rows.front().cells.front().widthTwips, 1548);
}

// Random bodies (nested tables, pictures, links, odd characters) give files
// antiword reads from the first paragraph to the last.
TEST(WordDocContent, RandomBodiesStayReadable) {
    QTemporaryDir temp;
    worddoc::WordDocWriter writer;
    uint32_t seed = 12345;
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % uint32_t(n));
    };
    std::function<std::vector<store::RtBlock>(int)> blocks = [&](int depth) {
        std::vector<store::RtBlock> out;
        const int n = 1 + rnd(5);
        for (int i = 0; i < n; ++i) {
            if (depth < 10 && rnd(4) == 0) {
                auto t = std::make_shared<store::RtTable>();
                t->borders = rnd(2);
                for (int r = 0, rows = 1 + rnd(3); r < rows; ++r) {
                    store::RtTableRow row;
                    for (int c = 0, cells = rnd(5); c < cells; ++c) {
                        store::RtTableCell cellBlocks;
                        if (rnd(3)) cellBlocks.blocks = blocks(depth + 1);
                        cellBlocks.widthTwips = rnd(3) ? rnd(5000) : 0;
                        cellBlocks.widthPercent = rnd(3) ? 0 : rnd(150);
                        cellBlocks.hasBackground = rnd(2);
                        cellBlocks.backgroundRgb = unsigned(rnd(0x1000000));
                        row.cells.push_back(cellBlocks);
                    }
                    t->rows.push_back(row);
                }
                store::RtBlock b;
                b.table = t;
                out.push_back(b);
                continue;
            }
            store::RtBlock b;
            b.style.align = store::RtAlign(rnd(5));
            b.style.leftIndent = rnd(40000) - 5000;
            b.style.leftIndentPercent = rnd(300) - 100;
            b.style.firstLineIndent = rnd(4000) - 2000;
            b.style.bullet = rnd(5) == 0;
            b.style.numbered = rnd(5) == 0;
            for (int k = 0, tabs = rnd(4); k < tabs; ++k) b.style.tabStops.push_back(rnd(40000) - 100);
            for (int k = 0, runs = rnd(6); k < runs; ++k) {
                store::RtRun run;
                run.kind = store::RtRun::Kind(rnd(7));
                run.text = QStringLiteral("w%1\x07\x13\x01\r\n\u00e9").arg(rnd(1000));
                run.target = rnd(2) ? QStringLiteral("notes:///x\\\"y") : QStringLiteral("https://e.org/\x15");
                run.font.sizePt = rnd(200) - 10;
                run.font.face = rnd(2) ? QString(40, QLatin1Char('F')) : QString();
                run.font.hasColor = rnd(2);
                run.font.rgb = unsigned(rnd(0x1000000)) | 0xFF000000u;
                if (run.kind == store::RtRun::Kind::Picture)
                    run.picture.data = rnd(2) ? pngOf(1 + rnd(30), 1 + rnd(30), 0x123456) : QByteArray("junk");
                b.runs.push_back(run);
            }
            out.push_back(b);
        }
        return out;
    };
    QStringList small;
    for (int i = 0; i < 30; ++i) {
        worddoc::WordDocument doc;
        doc.body.blocks.push_back(para(QStringLiteral("FIRSTPARA")));
        for (const auto& b : blocks(0)) doc.body.blocks.push_back(b);
        doc.body.blocks.push_back(para(QStringLiteral("LASTPARA")));
        const QString path = QDir(outDir(temp)).filePath(QStringLiteral("random-%1.doc").arg(i));
        ASSERT_TRUE(writer.write(doc, path)) << qPrintable(writer.errorText());
        QString error;
        readCompoundFile(readFile(path), &error);
        EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
        int exitCode = -1;
        const QString text = runTool(QStringLiteral("antiword"), {path}, &exitCode);
        EXPECT_EQ(exitCode, 0) << i;
        EXPECT_TRUE(text.contains(QStringLiteral("FIRSTPARA")) && text.contains(QStringLiteral("LASTPARA"))) << i;
        if (QFileInfo(path).size() < 200 * 1024) small << path;
    }
    // LibreOffice reads the smaller ones (the largest take it minutes) to the end.
    if (!Office::available()) GTEST_SKIP() << "soffice not installed";
    while (small.size() > 8) small.removeLast();
    const QString txtDir = QDir(outDir(temp)).filePath(QStringLiteral("random-txt"));
    QDir().mkpath(txtDir);
    ASSERT_TRUE(Office::convert(small, QStringLiteral("txt:Text"), txtDir));
    for (const QString& path : small) {
        const QString text = QString::fromUtf8(
            readFile(QDir(txtDir).filePath(QFileInfo(path).completeBaseName() + QStringLiteral(".txt"))));
        EXPECT_TRUE(text.contains(QStringLiteral("FIRSTPARA")) && text.contains(QStringLiteral("LASTPARA")))
            << qPrintable(path);
    }
}

// A mail body that came as HTML: paragraphs, lists, a table and links.
TEST(WordDocContent, HtmlMailBody) {
    const QString html = QStringLiteral(
        "<html><body><p>Hello <b>team</b>,</p><p>see the <a href=\"https://example.org/x\">figures</a>:</p>"
        "<ul><li>revenue up</li><li>costs down</li></ul>"
        "<table border=1><tr><td>Q1</td><td>100</td></tr><tr><td bgcolor=\"#ffcc00\">Q2</td><td>120</td></tr></table>"
        "<p style=\"text-align:center\"><i>Regards</i></p></body></html>");
    worddoc::WordDocument doc;
    doc.body = mime::HtmlToRichText::convert(html);
    QTemporaryDir temp;
    const QString path = QDir(outDir(temp)).filePath(QStringLiteral("html-mail.doc"));
    worddoc::WordDocWriter writer;
    ASSERT_TRUE(writer.write(doc, path));
    const QString text = antiwordText(path).simplified();
    for (const char* s : {"Hello team,", "see the figures:", "revenue up", "costs down", "Q1", "120", "Regards"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << " in " << qPrintable(text);
}

// Many paragraphs and runs (many FKP pages), a row too long for a page's
// properties, a row too wide for Word, many tab stops, an empty body.
TEST(WordDocContent, LargeAndOddDocuments) {
    QTemporaryDir temp;
    const QString dir = outDir(temp);
    worddoc::WordDocWriter writer;

    worddoc::WordDocument large;
    for (int i = 0; i < 3000; ++i) {
        large.body.blocks.push_back(para({text(QStringLiteral("Paragraph %1 ").arg(i)),
                                          text(QStringLiteral("bold %1").arg(i), [i](store::RtFont& f) {
                                              f.bold = true;
                                              f.sizePt = 8 + i % 9;
                                          })}));
        large.body.blocks.back().style.leftIndent = (i % 7) * 100;
    }
    // Tables nested ten deep: Word's tables go eight deep, the rest is text.
    std::shared_ptr<store::RtTable> nested;
    for (int level = 10; level >= 1; --level) {
        auto t = std::make_shared<store::RtTable>();
        store::RtTableRow row;
        row.cells.push_back(cell(QStringLiteral("level %1").arg(level)));
        if (nested) {
            store::RtBlock inner;
            inner.table = nested;
            row.cells.back().blocks.push_back(inner);
        }
        row.cells.push_back(cell(QStringLiteral("beside %1").arg(level)));
        t->rows = {row};
        nested = t;
    }
    store::RtBlock nb;
    nb.table = nested;
    large.body.blocks.push_back(nb);
    large.body.blocks.push_back(para(QStringLiteral("Between the tables")));
    auto wide = std::make_shared<store::RtTable>();
    store::RtTableRow row40, row70;
    for (int c = 0; c < 40; ++c) {
        row40.cells.push_back(cell(QStringLiteral("c%1").arg(c)));
        row40.cells.back().hasBackground = c % 2;
        row40.cells.back().backgroundRgb = 0xEEEEEE;
    }
    wide->rows = {row40};
    store::RtBlock wb;
    wb.table = wide;
    large.body.blocks.push_back(wb);
    auto tooWide = std::make_shared<store::RtTable>();
    for (int c = 0; c < 70; ++c) row70.cells.push_back(cell(QStringLiteral("w%1").arg(c)));
    tooWide->rows = {row70};
    store::RtBlock tb;
    tb.table = tooWide;
    large.body.blocks.push_back(tb);
    store::RtParagraphStyle tabs;
    for (int t = 1; t <= 100; ++t) tabs.tabStops.push_back(t * 90);
    large.body.blocks.push_back(para({text(QStringLiteral("Many tabs"))}, tabs));
    large.body.blocks.push_back(para({picture(pngOf(3000, 500, 0x208020), QStringLiteral("png"))}));
    const QString largePath = QDir(dir).filePath(QStringLiteral("large.doc"));
    ASSERT_TRUE(writer.write(large, largePath));
    const QString text = antiwordText(largePath);
    EXPECT_TRUE(text.contains(QStringLiteral("Paragraph 0 bold 0")));
    EXPECT_TRUE(text.contains(QStringLiteral("Paragraph 2999 bold 2999")));
    EXPECT_TRUE(text.contains(QStringLiteral("c39")));
    EXPECT_TRUE(text.contains(QStringLiteral("w0\tw1")) || text.contains(QStringLiteral("w0 w1")) ||
                text.contains(QStringLiteral("w0")));
    EXPECT_TRUE(text.contains(QStringLiteral("Many tabs")));
    EXPECT_TRUE(text.contains(QStringLiteral("beside 10")));

    const QString emptyPath = QDir(dir).filePath(QStringLiteral("empty.doc"));
    ASSERT_TRUE(writer.write(worddoc::WordDocument{}, emptyPath));
    int exitCode = -1;
    runTool(QStringLiteral("antiword"), {emptyPath}, &exitCode);
    EXPECT_EQ(exitCode, 0);

    if (!Office::available()) GTEST_SKIP() << "soffice not installed";
    ASSERT_TRUE(Office::convert({largePath, emptyPath}, QStringLiteral("html"), dir));
    const QString html = QString::fromUtf8(readFile(QDir(dir).filePath(QStringLiteral("large.html")))).simplified();
    EXPECT_TRUE(html.contains(QStringLiteral("Paragraph 2999")));
    EXPECT_EQ(html.count(QStringLiteral("<td")), 40 + 2 * 8);       // the 40-column row is a table
    EXPECT_EQ(html.count(QStringLiteral("bgcolor=\"#eeeeee\"")), 20);  // its shading (in the Data stream)
    EXPECT_TRUE(html.contains(QStringLiteral("w69")));              // the 70-column one is text
    EXPECT_TRUE(html.contains(QStringLiteral("Many tabs")));
    EXPECT_EQ(html.count(QStringLiteral("<table")), 1 + 8);
    EXPECT_TRUE(html.contains(QStringLiteral("level 9")));
    EXPECT_TRUE(html.contains(QStringLiteral("beside 10")));
    // The 3000x500 picture fits the text width and keeps its proportions.
    static const QRegularExpression img(QStringLiteral("<img [^>]*width=\"(\\d+)\" height=\"(\\d+)\""));
    const auto m = img.match(html);
    ASSERT_TRUE(m.hasMatch());
    EXPECT_LE(m.captured(1).toInt(), 605);
    EXPECT_NEAR(m.captured(1).toDouble() / m.captured(2).toDouble(), 6.0, 0.15);
}

TEST(WordDocContent, PicturesItCannotEmbedAreCounted) {
    worddoc::WordDocument doc;
    doc.body.blocks.push_back(para({picture(QByteArray("II*\0not really"), QStringLiteral("tiff")),
                                    picture(pngOf(2, 2, 0), QStringLiteral("png"))}));
    worddoc::WordDocWriter writer;
    EXPECT_FALSE(writer.toBytes(doc).isEmpty());
    EXPECT_EQ(writer.pictureFallbacks(), 1);
    EXPECT_FALSE(writer.toBytes(worddoc::WordDocument{}).isEmpty());
    EXPECT_EQ(writer.pictureFallbacks(), 0);
}

// The native engine's reason to be: thousands of small mails a second.
TEST(WordDocContent, WritesSmallMailsFast) {
    const QString header = rtf::HeaderTableRtf({{QStringLiteral("From"), QStringLiteral("Jane Doe/Sales/Acme")},
                                                {QStringLiteral("To"), QStringLiteral("John Roe/Sales/Acme")},
                                                {QStringLiteral("Date"), QStringLiteral("04.03.2021 10:15")},
                                                {QStringLiteral("Subject"), QStringLiteral("Lunch on Friday?")}});
    store::RichTextDoc body;
    for (int i = 0; i < 6; ++i)
        body.blocks.push_back(para(QStringLiteral("Line %1 of a short mail with a few words in it.").arg(i)));
    const worddoc::WordDocument doc = mailDocument(header, body);
    worddoc::WordDocWriter writer;
    QElapsedTimer timer;
    timer.start();
    constexpr int kDocs = 2000;
    qint64 bytes = 0;
    for (int i = 0; i < kDocs; ++i) bytes += writer.toBytes(doc).size();
    const double perSecond = kDocs * 1000.0 / std::max<qint64>(timer.elapsed(), 1);
    std::printf("native .doc writer: %.0f small mails/s on one thread in memory, %lld bytes each\n", perSecond,
                static_cast<long long>(bytes / kDocs));
    EXPECT_GT(perSecond, 1000.0);

    // Written to disk by two threads, a writer each.
    QTemporaryDir temp;
    timer.restart();
    std::vector<std::thread> threads;
    std::atomic<int> failed{0};
    for (int t = 0; t < 2; ++t)
        threads.emplace_back([&, t] {
            worddoc::WordDocWriter own;
            for (int i = t; i < kDocs; i += 2)
                if (!own.write(doc, temp.filePath(QStringLiteral("mail-%1.doc").arg(i)))) ++failed;
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(failed.load(), 0);
    std::printf("native .doc writer: %.0f small mails/s on two threads to disk\n",
                kDocs * 1000.0 / std::max<qint64>(timer.elapsed(), 1));
    EXPECT_EQ(QDir(temp.path()).entryList({QStringLiteral("*.doc")}).size(), kDocs);
    EXPECT_TRUE(QDir(temp.path()).entryList({QStringLiteral("*.part")}).isEmpty());
}

#include "RtfTestDocs.h"
#include "rtf/RichTextHtmlWriter.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace store;
using namespace rtftest;
using rtf::RtfQuality;
using rtf::RtfReader;
using rtf::RtfWriter;

namespace {

RichTextDoc readBack(const QByteArray& rtf) { return RtfReader().read(rtf); }

const RtRun* findRun(const RichTextDoc& doc, const QString& text) {
    for (const RtBlock& b : doc.blocks)
        for (const RtRun& r : b.runs)
            if (r.text.contains(text)) return &r;
    return nullptr;
}

std::vector<const RtRun*> pictures(const std::vector<RtBlock>& blocks) {
    std::vector<const RtRun*> out;
    for (const RtBlock& b : blocks) {
        for (const RtRun& r : b.runs)
            if (r.kind == RtRun::Kind::Picture) out.push_back(&r);
        if (b.table)
            for (const auto& row : b.table->rows)
                for (const auto& cell : row.cells)
                    for (const RtRun* p : pictures(cell.blocks)) out.push_back(p);
    }
    return out;
}

QByteArray testFile(const char* name) {
    QFile f(QStringLiteral(TESSELDOC_TEST_DATA "/rtf/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(RtfRoundTrip, EveryCharacterAndFormatSurvivesBothQualities) {
    const RichTextDoc doc = sampleDoc();
    for (RtfQuality q : {RtfQuality::Low, RtfQuality::Best}) {
        const QByteArray rtf = RtfWriter(q).write(doc);
        const RichTextDoc back = readBack(rtf);
        QString expected = doc.plainText();
        if (q == RtfQuality::Best) {
            expected.replace(QStringLiteral("budget.xls"), RtfWriter::attachmentText(QStringLiteral("budget.xls")));
            expected.replace(QStringLiteral("Minutes"), RtfWriter::docLinkText(QStringLiteral("Minutes")));
            expected.replace(QStringLiteral("Picture: "), QStringLiteral("Picture: [picture]"));
            expected.replace(QStringLiteral("First point"), QStringLiteral("\u2022\tFirst point"));
        } else {
            // The table comes back as tab-separated lines: same text, no table.
            EXPECT_TRUE(std::none_of(back.blocks.begin(), back.blocks.end(), [](const RtBlock& b) { return bool(b.table); }));
        }
        EXPECT_EQ(back.plainText().toStdString(), expected.toStdString()) << (q == RtfQuality::Best ? "best" : "low");

        const RtRun* title = findRun(back, QStringLiteral("Quarterly"));
        ASSERT_TRUE(title);
        EXPECT_EQ(title->font.face, QStringLiteral("Times New Roman"));
        EXPECT_EQ(title->font.sizePt, 16.0);
        EXPECT_TRUE(title->font.bold);
        EXPECT_TRUE(title->font.hasColor);
        EXPECT_EQ(title->font.rgb, 0xC00000u);
        EXPECT_EQ(back.blocks[0].style.align, RtAlign::Center);
        const RtRun* marked = findRun(back, QStringLiteral("marked"));
        ASSERT_TRUE(marked);
        EXPECT_TRUE(marked->font.underline && marked->font.strike && !marked->font.bold);
        EXPECT_TRUE(findRun(back, QStringLiteral("italic"))->font.italic);
        EXPECT_EQ(findRun(back, QStringLiteral("Plain"))->font.face, QStringLiteral("Arial"));
    }
}

TEST(RtfRoundTrip, BestKeepsTablesPicturesIndentsAndLinks) {
    RichTextDoc doc = sampleDoc();
    // A nested table with a coloured cell inside the first table.
    auto& outer = *doc.blocks[4].table;
    outer.rows[1].cells[1].blocks.push_back(tableBlock({{QStringLiteral("in1"), QStringLiteral("in2")}}));
    outer.rows[0].cells[0].hasBackground = true;
    outer.rows[0].cells[0].backgroundRgb = 0xFFFF00;
    const RichTextDoc back = readBack(RtfWriter(RtfQuality::Best).write(doc));

    ASSERT_EQ(back.blocks.size(), doc.blocks.size());
    ASSERT_TRUE(back.blocks[4].table);
    const RtTable& t = *back.blocks[4].table;
    EXPECT_TRUE(t.borders);
    ASSERT_EQ(t.rows.size(), 2u);
    ASSERT_EQ(t.rows[1].cells.size(), 2u);
    EXPECT_EQ(t.rows[0].cells[0].widthTwips, RtfWriter::DefaultTableTwips / 2);
    EXPECT_TRUE(t.rows[0].cells[0].hasBackground);
    EXPECT_EQ(t.rows[0].cells[0].backgroundRgb, 0xFFFF00u);
    const auto& nestedCell = t.rows[1].cells[1].blocks;
    ASSERT_GE(nestedCell.size(), 2u);
    ASSERT_TRUE(nestedCell[1].table);
    EXPECT_EQ(nestedCell[1].table->rows.at(0).cells.size(), 2u);
    EXPECT_EQ(t.rows[0].cells[1].blocks.at(0).runs.at(0).text, QStringLiteral("Gr\u00f6\u00dfe"));

    const RtParagraphStyle& ind = back.blocks[2].style;
    EXPECT_EQ(ind.align, RtAlign::Right);
    EXPECT_EQ(ind.leftIndent, 720);
    EXPECT_EQ(ind.firstLineIndent, 360);
    EXPECT_EQ(ind.rightIndent, 144);
    EXPECT_EQ(ind.tabStops, (std::vector<int>{1440, 2880}));

    const auto pics = pictures(back.blocks);
    ASSERT_EQ(pics.size(), 2u) << "the PNG, and the GIF as PNG";
    EXPECT_EQ(pics[0]->picture.data, tinyPng());
    EXPECT_EQ(pics[1]->picture.format, QStringLiteral("png"));
    EXPECT_EQ(pics[0]->picture.format, QStringLiteral("png"));
    EXPECT_EQ(pics[0]->picture.widthPx, 2);

    const RtRun* link = findRun(back, QStringLiteral("our site"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->kind, RtRun::Kind::Url);
    EXPECT_EQ(link->target, QStringLiteral("https://example.com/a?b=%22c%22"));
}

TEST(RtfReader, HtmlShowsFormattingTablesAndPictures) {
    const QString html = RtfReader::toHtml(RtfWriter(RtfQuality::Best).write(sampleDoc()));
    EXPECT_TRUE(html.contains(QStringLiteral("<p align=\"center\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("font-family:'Times New Roman'; font-size:16pt; font-weight:bold; color:#c00000;\">Quarterly report</span>")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("text-decoration: underline line-through;")));
    EXPECT_TRUE(html.contains(QStringLiteral("font-style:italic;")));
    EXPECT_TRUE(html.contains(QStringLiteral("Grüße Ωμέγα 日本 \U0001F600")));
    EXPECT_TRUE(html.contains(QStringLiteral("Indented {braces} and back\\slash")));
    EXPECT_TRUE(html.contains(QStringLiteral("<table border=\"1\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("<img src=\"data:image/png;base64,") + QString::fromLatin1(tinyPng().toBase64()) +
                              QStringLiteral("\" width=\"2\" height=\"1\" />")));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"https://example.com/a?b=%22c%22\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("<br />")));

    RichTextDoc escaped;
    escaped.blocks.push_back(para({text(QStringLiteral("<b>not bold</b> & \"q\""))}));
    EXPECT_TRUE(rtf::RichTextHtmlWriter::toHtml(escaped).contains(QStringLiteral("&lt;b&gt;not bold&lt;/b&gt; &amp; &quot;q&quot;")));
}

TEST(RtfReader, CharactersThroughUnicodeEscapesAndCodePages) {
    // \uc2 skips two fallback bytes, \uc0 none; \'hh in the document's code page.
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1\\ansi\\uc2 a\\u8364\\'80\\'80b\\uc0\\u937 c}"), QStringLiteral("a€bΩc"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"), QStringLiteral("Привет"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1\\ansi \\'93q\\'94 \\'80}"), QStringLiteral("“q” €"));
    // A font's own character set wins over the document's code page; DBCS pairs decode together.
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset128 MS Mincho;}}"
                                     "\\f1 \\'93\\'fa\\'96\\'7b\\f0  \\'e9}"),
              QStringLiteral("日本 é"));
    // Fallback skipping stops at a group end; a control word counts as one fallback character.
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 {x\\u960}y\\u960\\'3fz\\uc1\\u960\\emdash w}"), QStringLiteral("xπyπzπw"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 a\\u-10179?\\u-8704?b}"), QStringLiteral("a\U0001F600b"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 \\emdash\\~\\lquote x\\rquote\\bullet}"), QStringLiteral("—\u00a0‘x’•"));
}

TEST(RtfReader, LeavesOutDestinationsAndHiddenText) {
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial{\\*\\falt Helvetica};}}{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret title}{\\author Me}}{\\header Page header}"
        "{\\*\\generator Foo;}{\\*\\unknowndest junk}{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}"
        "Visible{\\v hidden} text{\\*\\bkmkstart b}\\par{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb x}}Item}";
    const RichTextDoc doc = readBack(rtf);
    EXPECT_EQ(doc.plainText(), QStringLiteral("7Visible text\r\n\u00b7\tItem"));
    EXPECT_EQ(doc.blocks[0].runs[0].font.face, QStringLiteral("Arial"));
}

TEST(RtfReader, ShowsThePaneMessagesCentredBoldAndColoured) {
    const QByteArray red =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}"
        "{\\*\\generator Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20\\par\\pard\\qc\\cf1\\b\\fs28"
        "No Item present in folder please select another folder\\cf0\\b0\\fs20\\par\\pardpar}";
    const RichTextDoc doc = readBack(red);
    ASSERT_EQ(doc.blocks.size(), 2u);
    EXPECT_TRUE(doc.blocks[0].runs.empty());
    EXPECT_EQ(doc.blocks[1].style.align, RtAlign::Center);
    const RtRun& r = doc.blocks[1].runs.at(0);
    EXPECT_EQ(r.text, QStringLiteral("No Item present in folder please select another folder"));
    EXPECT_TRUE(r.font.bold);
    EXPECT_EQ(r.font.sizePt, 14.0);
    EXPECT_EQ(r.font.rgb, 0xFF0000u);
    EXPECT_EQ(r.font.face, QStringLiteral("Courier New"));
    // Line breaks in the source are not text.
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 Please select item to see preview. \r\n Item can be Email}"),
              QStringLiteral("Please select item to see preview.  Item can be Email"));
}

TEST(RtfReader, ReadsLibreOfficeOutput) {
    const QByteArray rtf = testFile("libreoffice-sample.rtf");
    ASSERT_FALSE(rtf.isEmpty());
    EXPECT_TRUE(RtfReader::looksLikeRtf(rtf));
    const RichTextDoc doc = readBack(rtf);
    const QString text = doc.plainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Quarterly report")));
    EXPECT_TRUE(text.contains(QStringLiteral("Grüße Ωμέγα 日本 \U0001F600 “quotes” €"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Name\tGröße\r\na.txt\t12")));
    EXPECT_TRUE(text.contains(QStringLiteral("\u2022\tFirst point")));
    EXPECT_FALSE(text.contains(QStringLiteral("Normal"))) << "style sheet shown";
    const RtRun* title = findRun(doc, QStringLiteral("Quarterly"));
    ASSERT_TRUE(title);
    EXPECT_TRUE(title->font.bold);
    EXPECT_EQ(title->font.rgb, 0xC00000u);
    EXPECT_EQ(title->font.face, QStringLiteral("Times New Roman"));
    const auto pics = pictures(doc.blocks);
    ASSERT_EQ(pics.size(), 1u) << "the metafile copy is left out";
    EXPECT_EQ(pics[0]->picture.format, QStringLiteral("png"));
    EXPECT_EQ(pics[0]->picture.widthPx, 80);
    EXPECT_EQ(pics[0]->picture.heightPx, 60);
    const RtRun* link = findRun(doc, QStringLiteral("link"));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->target, QStringLiteral("https://example.com/x"));
    const RtBlock* table = nullptr;
    for (const RtBlock& b : doc.blocks)
        if (b.table) table = &b;
    ASSERT_TRUE(table);
    EXPECT_TRUE(table->table->borders);
    EXPECT_TRUE(table->table->rows.at(1).cells.at(1).hasBackground);
    EXPECT_EQ(table->table->rows.at(1).cells.at(1).backgroundRgb, 0xFFFF00u);
}

TEST(RtfReader, MalformedInputGivesBestEffortTextWithinBounds) {
    // Every cut of a good document reads without failing, and keeps the text before the cut.
    const QByteArray good = RtfWriter(RtfQuality::Best).write(sampleDoc());
    const QByteArray lo = testFile("libreoffice-sample.rtf");
    for (const QByteArray* src : {&good, &lo}) {
        for (qsizetype n = 0; n <= src->size(); n += (n < 400 ? 1 : 7)) {
            const RichTextDoc doc = readBack(src->left(n));
            (void)doc.plainText();
        }
    }
    // Random damage: bytes replaced by RTF's special characters and by noise.
    QRandomGenerator rng(42);
    static const char specials[] = "{}\\'*0123456789abcdef ;\x00\xff";
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = round % 2 ? good : lo;
        for (int k = 0; k < 20; ++k) {
            const qsizetype at = rng.bounded(int(damaged.size()));
            damaged[at] = rng.bounded(2) ? specials[rng.bounded(int(sizeof specials - 1))] : char(rng.bounded(256));
        }
        RtfReader reader;
        (void)rtf::RichTextHtmlWriter::toHtml(reader.read(damaged));
    }
    EXPECT_TRUE(RtfReader::toPlainText(good.left(good.indexOf("Indented"))).contains(QStringLiteral("Grüße")));
    EXPECT_TRUE(RtfReader::toPlainText(good.left(good.indexOf("49484452") + 10)).contains(QStringLiteral("Picture")));

    // Unbalanced braces both ways; stray control characters; broken escapes.
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 a}}}b{{c"), QStringLiteral("abc"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 x\\'4"), QStringLiteral("x"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 x\\'zzy\\"), QStringLiteral("xzzy"));
    EXPECT_EQ(RtfReader::toPlainText(QByteArray("{\\rtf1 a\0b\x01" "c}", 13)), QStringLiteral("abc"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 \\verylongcontrolwordthatgoesonandonandonandonandon12345678901234567890 t}"),
              QStringLiteral("t"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 \\fs-99999999999999 \\u99999999999 \\uc999999 z}"), QStringLiteral("z"));

    // A huge \binN: bounded by the data that is there, no allocation of N.
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 a{\\pict\\bin2000000000 xyz}b}"), QStringLiteral("a"));
    EXPECT_EQ(RtfReader::toPlainText("{\\rtf1 a{\\*\\x\\bin3 }}}}b}"), QStringLiteral("ab"));

    // Deep nesting of groups and of tables.
    QByteArray deep = "{\\rtf1 ";
    deep += QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + " end}";
    EXPECT_EQ(RtfReader::toPlainText(deep), QStringLiteral("deep end"));
    QByteArray nested = "{\\rtf1 ";
    for (int i = 1; i < 200; ++i) nested += "\\pard\\intbl\\itap" + QByteArray::number(i) + " L" + QByteArray::number(i) + "\\nestcell ";
    nested += "}";
    const RichTextDoc nestedDoc = readBack(nested);
    EXPECT_TRUE(nestedDoc.plainText().contains(QStringLiteral("L199")));

    // Millions of paragraphs or cells stop at the element limit instead of exhausting memory.
    RtfReader reader;
    const RichTextDoc many = reader.read("{\\rtf1 " + QByteArray(RtfReader::MaxElements + 10, 'x').replace("x", "\\tab ") + "}");
    EXPECT_TRUE(reader.truncated());
    EXPECT_LE(many.blocks.size() + (many.blocks.empty() ? 0 : many.blocks[0].runs.size()), size_t(RtfReader::MaxElements));
    const RichTextDoc cells = readBack("{\\rtf1 \\trowd" + QByteArray(500 * 10, 'c').replace("c", "\\cellx1 ").left(500 * 8) +
                                       QByteArray(1000, 'q').replace("q", "\\intbl a\\cell ") + "\\row}");
    ASSERT_TRUE(cells.blocks.at(0).table);
    EXPECT_EQ(cells.blocks[0].table->rows.at(0).cells.size(), size_t(RtfReader::MaxCellsPerRow));
    EXPECT_EQ(cells.plainText().count(QLatin1Char('a')), 1000);
}

TEST(RtfReader, RecognisesRtfAndTakesItFromWideStrings) {
    EXPECT_TRUE(RtfReader::looksLikeRtf(QByteArray(" \r\n{\\rtf1 x}")));
    EXPECT_FALSE(RtfReader::looksLikeRtf(QByteArray("plain {\\rtf1}")));
    EXPECT_TRUE(RtfReader::looksLikeRtf(QStringLiteral("{\\rtf1\\ansi}")));
    const QString wide = QString::fromLatin1(RtfWriter(RtfQuality::Low).write(sampleDoc()));
    EXPECT_TRUE(RtfReader::toPlainText(RtfReader::bytesOf(wide)).contains(QStringLiteral("Ωμέγα")));
    // A string that was read as UTF-8 still gives its characters back.
    EXPECT_EQ(RtfReader::toPlainText(RtfReader::bytesOf(QStringLiteral("{\\rtf1\\ansicpg65001 Ωx}"))), QStringLiteral("Ωx"));
}

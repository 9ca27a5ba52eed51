#include "notes/mime/HtmlToRichText.h"
#include "notes/mime/MimeParser.h"

#include <gtest/gtest.h>

using mime::HtmlToRichText;
using store::RtAlign;
using store::RtBlock;
using store::RtRun;

namespace {

const QByteArray kGif = QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACwAAAAAAQABAAACAkQBADs=");

store::RichTextDoc html(const QString& text, QStringList* problems = nullptr,
                        const HtmlToRichText::PictureResolver& resolver = {}) {
    return HtmlToRichText::convert(text, resolver, problems);
}

const RtRun* runWithText(const store::RichTextDoc& doc, const QString& text) {
    for (const RtBlock& b : doc.blocks)
        for (const RtRun& r : b.runs)
            if (r.text == text) return &r;
    return nullptr;
}

}  // namespace

TEST(HtmlConversion, ParagraphsBreaksAndWhitespace) {
    const auto doc = html("<html><head><title>T</title><style>p{}</style></head><body>"
                          "<p>  First   paragraph\n of text </p><div>line one<br>line two<br></div>"
                          "<div><br></div><div>after blank</div><script>x()</script></body></html>");
    EXPECT_EQ(doc.plainText(), "First paragraph of text\r\nline one\r\nline two\r\n\r\nafter blank");
    EXPECT_GT(doc.blocks[0].style.spaceAfter, 0);
}

TEST(HtmlConversion, CharacterFormattingFromTagsAndCss) {
    const auto doc = html("<p>plain <b>bold</b> <i>it</i> <u>under</u> <s>gone</s> x<sup>2</sup>"
                          "<font face=\"Courier New\" size=\"5\" color=\"#ff0000\">big red</font>"
                          "<span style=\"font-weight:700; font-style:italic; color: rgb(0, 128, 0); "
                          "font-size: 14pt; font-family: 'Georgia', serif\">styled</span>"
                          "<span style=\"text-decoration: underline line-through\">both</span></p>");
    EXPECT_TRUE(runWithText(doc, "bold")->font.bold);
    EXPECT_TRUE(runWithText(doc, "it")->font.italic);
    EXPECT_TRUE(runWithText(doc, "under")->font.underline);
    EXPECT_TRUE(runWithText(doc, "gone")->font.strike);
    EXPECT_TRUE(runWithText(doc, "2")->font.superscript);
    const RtRun* red = runWithText(doc, "big red");
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->font.face, "Courier New");
    EXPECT_DOUBLE_EQ(red->font.sizePt, 18.0);
    EXPECT_TRUE(red->font.hasColor);
    EXPECT_EQ(red->font.rgb, 0xFF0000u);
    const RtRun* styled = runWithText(doc, "styled");
    ASSERT_NE(styled, nullptr);
    EXPECT_TRUE(styled->font.bold && styled->font.italic);
    EXPECT_EQ(styled->font.rgb, 0x008000u);
    EXPECT_DOUBLE_EQ(styled->font.sizePt, 14.0);
    EXPECT_EQ(styled->font.face, "Georgia");
    const RtRun* both = runWithText(doc, "both");
    EXPECT_TRUE(both->font.underline && both->font.strike);
    EXPECT_FALSE(runWithText(doc, "plain ")->font.bold);
}

TEST(HtmlConversion, LinksListsAlignmentAndHeadings) {
    const auto doc = html("<h1>Title</h1><p align=center>mid</p><p style='text-align:right'>right</p>"
                          "<p>see <a href=\"https://example.com/x?a=1&amp;b=2\">the <b>site</b></a></p>"
                          "<ul><li>one</li><li>two<ol><li>sub</li></ol></li></ul><a name=top>anchor</a>");
    EXPECT_TRUE(runWithText(doc, "Title")->font.bold);
    EXPECT_GT(runWithText(doc, "Title")->font.sizePt, 12.0);
    ASSERT_GE(doc.blocks.size(), 8u);
    EXPECT_EQ(doc.blocks[1].style.align, RtAlign::Center);
    EXPECT_EQ(doc.blocks[2].style.align, RtAlign::Right);
    const RtRun* link = runWithText(doc, "the ");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->kind, RtRun::Kind::Url);
    EXPECT_EQ(link->target, "https://example.com/x?a=1&b=2");
    EXPECT_EQ(runWithText(doc, "site")->target, link->target);
    EXPECT_TRUE(doc.blocks[4].style.bullet);
    EXPECT_EQ(doc.blocks[4].runs[0].text, "one");
    EXPECT_TRUE(doc.blocks[5].style.bullet);
    EXPECT_TRUE(doc.blocks[6].style.numbered);
    EXPECT_GT(doc.blocks[6].style.leftIndent, doc.blocks[5].style.leftIndent);
    EXPECT_FALSE(doc.blocks[7].style.bullet);
    EXPECT_EQ(runWithText(doc, "anchor")->kind, RtRun::Kind::Text);
}

TEST(HtmlConversion, TablesWithCellsWidthsBackgroundsAndNesting) {
    const auto doc = html("<table border=1><tr><th>Head</th><td width=120 bgcolor=yellow>a<br>b</td></tr>"
                          "<tr><td style='background-color:#00f'><table><tr><td>inner</td></tr></table></td>"
                          "<td></td></tr></table><p>after</p>");
    ASSERT_EQ(doc.blocks.size(), 2u);
    ASSERT_TRUE(doc.blocks[0].table);
    const auto& t = *doc.blocks[0].table;
    EXPECT_TRUE(t.borders);
    ASSERT_EQ(t.rows.size(), 2u);
    ASSERT_EQ(t.rows[0].cells.size(), 2u);
    EXPECT_TRUE(t.rows[0].cells[0].blocks[0].runs[0].font.bold);
    EXPECT_EQ(t.rows[0].cells[1].widthTwips, 1800);
    EXPECT_TRUE(t.rows[0].cells[1].hasBackground);
    EXPECT_EQ(t.rows[0].cells[1].backgroundRgb, 0xFFFF00u);
    EXPECT_EQ(t.rows[1].cells[0].backgroundRgb, 0x0000FFu);
    ASSERT_TRUE(t.rows[1].cells[0].blocks.at(0).table);
    EXPECT_EQ(t.rows[1].cells[0].blocks[0].table->rows[0].cells[0].blocks[0].runs[0].text, "inner");
    EXPECT_EQ(doc.plainText(), "Head\ta b\r\ninner\t\r\nafter");
}

// Shares of the table or of the text's width stay shares (the writer knows the
// width); the style's width wins over the attribute, as in a browser.
TEST(HtmlConversion, PercentagesAreSharesOfTheWidthTheyAreIn) {
    const auto doc = html("<table><tr><td width='20'>a</td><td width='25%'>b</td>"
                          "<td width='300' style='width: 99.6%;'>c</td><td style='min-width:100%'>d</td></tr></table>"
                          "<p style='margin-left: 10%; margin-right: 0.5in'>quoted</p>");
    ASSERT_EQ(doc.blocks.size(), 2u);
    EXPECT_EQ(doc.blocks[1].style.leftIndentPercent, 10);
    EXPECT_EQ(doc.blocks[1].style.leftIndent, 0);
    EXPECT_EQ(doc.blocks[1].style.rightIndent, 720);
    const auto& cells = doc.blocks[0].table->rows.at(0).cells;
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0].widthTwips, 300);
    EXPECT_EQ(cells[1].widthTwips, 0);
    EXPECT_EQ(cells[1].widthPercent, 25);
    EXPECT_EQ(cells[2].widthTwips, 0);
    EXPECT_EQ(cells[2].widthPercent, 100);
    EXPECT_EQ(cells[3].widthTwips, 0);
    EXPECT_EQ(cells[3].widthPercent, 0);
}

TEST(HtmlConversion, InlinePicturesFromCidDataUrlsAndMissingOnes) {
    const QByteArray message =
        "Content-Type: multipart/related; boundary=r\r\n\r\n"
        "--r\r\nContent-Type: text/html\r\n\r\n<p>pic: <img src=\"cid:pic1@x\" width=20 height=10></p>\r\n"
        "--r\r\nContent-Type: image/gif\r\nContent-ID: <pic1@x>\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
        kGif.toBase64() + "\r\n--r--\r\n";
    const mime::MimeEntity msg = mime::MimeParser::parse(message);
    const mime::MimeEntity* htmlPart = msg.findText("html");
    ASSERT_NE(htmlPart, nullptr);
    QStringList problems;
    const auto doc = HtmlToRichText::convert(htmlPart->body, htmlPart->charset, HtmlToRichText::resolverFor(msg),
                                             &problems);
    ASSERT_EQ(doc.blocks.size(), 1u);
    ASSERT_EQ(doc.blocks[0].runs.size(), 2u);
    const RtRun& pic = doc.blocks[0].runs[1];
    EXPECT_EQ(pic.kind, RtRun::Kind::Picture);
    EXPECT_EQ(pic.picture.format, "gif");
    EXPECT_EQ(pic.picture.data, kGif);
    EXPECT_EQ(pic.picture.widthPx, 20);
    EXPECT_TRUE(problems.isEmpty());

    const auto data = html("<img src=\"data:image/gif;base64," + QString::fromLatin1(kGif.toBase64()) + "\">");
    ASSERT_EQ(data.blocks.size(), 1u);
    EXPECT_EQ(data.blocks[0].runs[0].picture.data, kGif);

    problems.clear();
    const auto missing = html("<img src=\"cid:nowhere\" alt=\"[logo]\"><img src=\"http://x/y.png\">", &problems);
    EXPECT_EQ(missing.plainText(), "[logo]");
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("cid:nowhere"));
}

TEST(HtmlConversion, CharsetsFromPartOrMeta) {
    const auto latin = HtmlToRichText::convert(QByteArray("<p>caf\xe9</p>"), "iso-8859-1");
    EXPECT_EQ(latin.plainText(), QString::fromUtf8("café"));
    const auto meta = HtmlToRichText::convert(
        QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">"
                   "</head><body>\xf0\xd2\xc9\xd7\xc5\xd4</body></html>"),
        QString());
    EXPECT_EQ(meta.plainText(), QString::fromUtf8("Привет"));
    EXPECT_EQ(HtmlToRichText::convert(QByteArray("a &amp; b &lt;c&gt; &#233;"), "utf-8").plainText(),
              QString::fromUtf8("a & b <c> é"));
}

TEST(HtmlConversion, PreformattedAndHostileInput) {
    const auto pre = html("<pre>a  b\n\tc</pre>");
    ASSERT_EQ(pre.blocks.size(), 1u);
    EXPECT_EQ(pre.plainText(), "a  b\r\n\tc");
    EXPECT_EQ(pre.blocks[0].runs[0].font.face, "Courier New");

    // Unclosed tags by the thousand: no deep recursion, the text is kept.
    QString deep;
    for (int i = 0; i < 50000; ++i) deep += "<div><span>";
    deep += "bottom";
    QStringList problems;
    const auto doc = html(deep, &problems);
    EXPECT_TRUE(doc.plainText().contains("bottom"));
    EXPECT_FALSE(problems.isEmpty());

    // Tag soup still parses.
    EXPECT_EQ(html("<b><i>x</b>y</i><table><td>z").plainText(), "xy\r\nz");
}

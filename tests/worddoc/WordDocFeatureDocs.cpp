#include "WordDocFeatureDocs.h"

#include "WordDocTestSupport.h"

using store::RtAlign;
using store::RtBlock;
using store::RtFont;
using store::RtParagraphStyle;
using store::RtRun;
using store::RtTable;
using store::RtTableCell;
using store::RtTableRow;

namespace wdtest {

worddoc::WordDocument formattedRunsDoc() {
    worddoc::WordDocument d;
    auto& b = d.body.blocks;
    b.push_back(para({text(QStringLiteral("Plain ")), text(QStringLiteral("bold"), [](RtFont& f) { f.bold = true; }),
                      text(QStringLiteral(" ")), text(QStringLiteral("italic"), [](RtFont& f) { f.italic = true; }),
                      text(QStringLiteral(" ")),
                      text(QStringLiteral("underlined"), [](RtFont& f) { f.underline = true; }),
                      text(QStringLiteral(" ")), text(QStringLiteral("struck"), [](RtFont& f) { f.strike = true; })}));
    b.push_back(para({text(QStringLiteral("E=mc")), text(QStringLiteral("2"), [](RtFont& f) { f.superscript = true; }),
                      text(QStringLiteral(" H")), text(QStringLiteral("2"), [](RtFont& f) { f.subscript = true; }),
                      text(QStringLiteral("O"))}));
    b.push_back(para({text(QStringLiteral("Red text"),
                           [](RtFont& f) {
                               f.hasColor = true;
                               f.rgb = 0xC00000;
                           }),
                      text(QStringLiteral(" and ")),
                      text(QStringLiteral("highlighted"), [](RtFont& f) {
                          f.hasHighlight = true;
                          f.highlightRgb = 0xFFFF00;
                      })}));
    b.push_back(para({text(QStringLiteral("Courier 14"), [](RtFont& f) {
                          f.face = QStringLiteral("Courier New");
                          f.sizePt = 14;
                      }),
                      text(QStringLiteral(" Times 18 bold"), [](RtFont& f) {
                          f.face = QStringLiteral("Default Serif");
                          f.sizePt = 18;
                          f.bold = true;
                      })}));
    b.push_back(para(QStringLiteral("Unicode: Grüße, Привет, Ελληνικά, 漢字, emoji \U0001F600 end")));
    return d;
}

worddoc::WordDocument paragraphsDoc() {
    worddoc::WordDocument d;
    auto& b = d.body.blocks;
    RtParagraphStyle center;
    center.align = RtAlign::Center;
    b.push_back(para({text(QStringLiteral("Centred paragraph"))}, center));
    RtParagraphStyle right;
    right.align = RtAlign::Right;
    b.push_back(para({text(QStringLiteral("Right-aligned paragraph"))}, right));
    RtParagraphStyle justify;
    justify.align = RtAlign::Justify;
    b.push_back(para({text(QString(QStringLiteral("Justified text that runs over more than one line. ")).repeated(6))},
                     justify));
    RtParagraphStyle indented;
    indented.leftIndent = 1440;
    indented.rightIndent = 720;
    indented.firstLineIndent = 360;
    indented.spaceBefore = 240;
    indented.spaceAfter = 480;
    b.push_back(para({text(QStringLiteral("Indented one inch left, half an inch right, first line a quarter more."))},
                     indented));
    RtParagraphStyle percent;
    percent.leftIndentPercent = 50;  // half of the text width
    b.push_back(para({text(QStringLiteral("Indented by half the width"))}, percent));
    RtParagraphStyle tabs;
    tabs.tabStops = {2880, 5760};
    RtRun tab;
    tab.kind = RtRun::Kind::Tab;
    b.push_back(para({text(QStringLiteral("Name")), tab, text(QStringLiteral("Value")), tab, text(QStringLiteral("Note"))},
                     tabs));
    RtParagraphStyle bullet;
    bullet.bullet = true;
    b.push_back(para({text(QStringLiteral("First bullet"))}, bullet));
    b.push_back(para({text(QStringLiteral("Second bullet"))}, bullet));
    RtParagraphStyle numbered;
    numbered.numbered = true;
    b.push_back(para({text(QStringLiteral("Step one"))}, numbered));
    b.push_back(para({text(QStringLiteral("Step two"))}, numbered));
    RtRun br;
    br.kind = RtRun::Kind::LineBreak;
    b.push_back(para({text(QStringLiteral("Line one")), br, text(QStringLiteral("Line two"))}));
    b.push_back(para(QString()));
    b.push_back(para(QStringLiteral("After an empty paragraph")));
    return d;
}

worddoc::WordDocument tablesDoc() {
    worddoc::WordDocument d;
    auto& b = d.body.blocks;
    b.push_back(para(QStringLiteral("A table of two rows and three columns:")));
    auto table = std::make_shared<RtTable>();
    RtTableRow r1;
    r1.cells = {cell(QStringLiteral("Label"), 2000), cell(QStringLiteral("Value one"), 3000),
                cell(QStringLiteral("Value two"), 4000)};
    r1.cells[0].hasBackground = true;
    r1.cells[0].backgroundRgb = 0xD9E2F3;
    RtTableRow r2;
    r2.cells = {cell(QStringLiteral("Second"), 2000), cell(QStringLiteral("B"), 3000), cell(QStringLiteral("C"), 4000)};
    r2.cells[2].blocks.push_back(para(QStringLiteral("C second paragraph")));
    table->rows = {r1, r2};
    RtBlock tb;
    tb.table = table;
    b.push_back(tb);
    b.push_back(para(QStringLiteral("A table without borders, with a nested table:")));
    auto inner = std::make_shared<RtTable>();
    RtTableRow ir;
    ir.cells = {cell(QStringLiteral("Inner 1")), cell(QStringLiteral("Inner 2"))};
    inner->rows = {ir};
    auto outer = std::make_shared<RtTable>();
    outer->borders = false;
    RtTableRow orow;
    RtTableCell withInner;
    withInner.blocks.push_back(para(QStringLiteral("Before inner")));
    RtBlock ib;
    ib.table = inner;
    withInner.blocks.push_back(ib);
    orow.cells = {cell(QStringLiteral("Outer left")), withInner};
    outer->rows = {orow};
    RtBlock ob;
    ob.table = outer;
    b.push_back(ob);
    b.push_back(para(QStringLiteral("After the tables")));
    return d;
}

worddoc::WordDocument picturesDoc() {
    worddoc::WordDocument d;
    auto& b = d.body.blocks;
    b.push_back(para({text(QStringLiteral("PNG: ")), picture(pngOf(64, 32, 0x3366CC), QStringLiteral("png"))}));
    b.push_back(para({text(QStringLiteral("JPEG: ")), picture(testData(QStringLiteral("gradient-40x30.jpg")), QStringLiteral("jpeg"))}));
    b.push_back(para({text(QStringLiteral("GIF: ")), picture(testData(QStringLiteral("green-24x16.gif")), QStringLiteral("gif"))}));
    b.push_back(para({text(QStringLiteral("BMP: ")), picture(testData(QStringLiteral("orange-20x10.bmp")), QStringLiteral("bmp"))}));
    b.push_back(para({text(QStringLiteral("Wide PNG shown at 200x100: ")),
                      picture(pngOf(400, 200, 0xCC3333), QStringLiteral("png"), 200, 100)}));
    b.push_back(para({text(QStringLiteral("Unreadable: ")), picture(QByteArray("not a picture"), QStringLiteral("tiff"))}));
    return d;
}

worddoc::WordDocument linksDoc() {
    worddoc::WordDocument d;
    auto& b = d.body.blocks;
    b.push_back(para({text(QStringLiteral("See ")), link(QStringLiteral("the example site"), QStringLiteral("https://example.com/a?b=1&c=\"2\"")),
                      text(QStringLiteral(" for more."))}));
    RtRun doclink;
    doclink.kind = RtRun::Kind::DocLink;
    doclink.text = QStringLiteral("Project plan");
    doclink.target = QStringLiteral("notes:///85257A2B0057C5F3/0/ABCDEF0123456789");
    RtRun attachment;
    attachment.kind = RtRun::Kind::AttachmentRef;
    attachment.text = QStringLiteral("report.pdf");
    b.push_back(para({doclink, text(QStringLiteral(" and ")), attachment}));
    return d;
}

worddoc::WordDocument letterPageDoc() {
    worddoc::WordDocument d;
    d.page.widthTwips = 12240;
    d.page.heightTwips = 15840;
    d.page.marginLeft = d.page.marginRight = 720;
    d.page.marginTop = d.page.marginBottom = 1080;
    d.summary.title = QStringLiteral("Quarterly report – Ü");
    d.summary.subject = QStringLiteral("Finance");
    d.summary.author = QStringLiteral("Jane Doe");
    d.summary.keywords = QStringLiteral("report, quarter");
    d.summary.comments = QStringLiteral("Converted from Notes");
    d.summary.created = QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::UTC);
    d.body.blocks.push_back(para(QStringLiteral("A Letter page with half-inch side margins.")));
    return d;
}

}  // namespace wdtest

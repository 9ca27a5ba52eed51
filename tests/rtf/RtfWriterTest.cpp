#include "RtfTestDocs.h"
#include "notes/ln/LotusApi.h"
#include "notes/store/MemoryStore.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using namespace store;
using namespace rtftest;
using rtf::RtfQuality;
using rtf::RtfWriter;

namespace {

QByteArray writeDoc(const RichTextDoc& doc, RtfQuality q) { return RtfWriter(q).write(doc); }

bool isAscii(const QByteArray& b) {
    return std::all_of(b.begin(), b.end(), [](char c) { return (unsigned char)c < 0x80; });
}

}  // namespace

TEST(RtfWriter, CharacterFormattingInBothQualities) {
    const RichTextDoc doc = sampleDoc();
    for (RtfQuality q : {RtfQuality::Low, RtfQuality::Best}) {
        const QByteArray rtf = writeDoc(doc, q);
        EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252")) << rtf.left(40).constData();
        EXPECT_TRUE(rtf.trimmed().endsWith('}'));
        EXPECT_TRUE(isAscii(rtf));
        EXPECT_TRUE(rtf.contains("Times New Roman;")) << "font table";
        EXPECT_TRUE(rtf.contains("{\\colortbl;\\red192\\green0\\blue0;}"));
        EXPECT_TRUE(rtf.contains("\\qc")) << "alignment";
        EXPECT_TRUE(rtf.contains("\\qr"));
        EXPECT_TRUE(rtf.contains("\\fs32\\b\\cf1 Quarterly report")) << rtf.constData();
        EXPECT_TRUE(rtf.contains("\\i italic"));
        EXPECT_TRUE(rtf.contains("\\ul\\strike marked"));
        EXPECT_TRUE(rtf.contains("\\line"));
        EXPECT_TRUE(rtf.contains("\\tab"));
        // Braces and backslashes are escaped; non-ASCII goes as \uN with a fallback.
        EXPECT_TRUE(rtf.contains("Indented \\{braces\\} and back\\\\slash"));
        EXPECT_TRUE(rtf.contains("Gr\\u252\\'fc\\u223\\'dfe"));
        EXPECT_TRUE(rtf.contains("\\u937?\\u956?"));
        EXPECT_TRUE(rtf.contains("\\u26085?\\u26412?"));
        EXPECT_TRUE(rtf.contains("\\u-10179?\\u-8704?")) << "emoji as a surrogate pair";
    }
}

TEST(RtfWriter, BestAddsLayoutPicturesTablesAndReferencesLowLeavesThemOut) {
    const RichTextDoc doc = sampleDoc();
    RtfWriter best(RtfQuality::Best);
    const QByteArray b = best.write(doc);
    const QByteArray l = writeDoc(doc, RtfQuality::Low);

    for (const char* word : {"\\li720", "\\fi360", "\\ri144", "\\tx1440\\tx2880", "\\pntext", "\\trowd", "\\cellx",
                             "\\clbrdrt\\brdrs", "\\cell", "\\row", "\\pict\\pngblip", "\\picw2\\pich1",
                             "HYPERLINK \"https://example.com/a?b=%22c%22\""}) {
        EXPECT_TRUE(b.contains(word)) << word;
        EXPECT_FALSE(l.contains(word)) << word;
    }
    QByteArray flat = b;
    flat.replace('\n', "");
    EXPECT_TRUE(flat.contains(QByteArray("\\pngblip\\picw2\\pich1\\picwgoal30\\pichgoal15 ") + tinyPng().toHex()));
    EXPECT_TRUE(b.contains("[Attachment: budget.xls]"));
    EXPECT_TRUE(b.contains("[Link: Minutes]"));
    // The GIF goes in as PNG; a metafile cannot: a visible placeholder, and the writer says so.
    EXPECT_EQ(b.count("\\pict\\pngblip"), 2);
    EXPECT_TRUE(b.contains("\\pngblip\\picw1\\pich1\\picwgoal15\\pichgoal15 "));
    EXPECT_EQ(b.count("[picture]"), 1);
    EXPECT_EQ(best.pictureFallbacks(), 1);

    // Low keeps every character of the text: table rows as tab-separated lines, references by name.
    EXPECT_TRUE(l.contains("Name}\\tab {\\f0\\fs20 Gr\\u246\\'f6\\u223\\'dfe}"));
    EXPECT_TRUE(l.contains("budget.xls}"));
    EXPECT_TRUE(l.contains("our site}"));
    EXPECT_FALSE(l.contains("[picture]"));
}

TEST(RtfWriter, NestedTablesUseNestingControlWords) {
    RichTextDoc doc;
    RtBlock outer = tableBlock({{QStringLiteral("left"), QStringLiteral("right")}});
    outer.table->rows[0].cells[1].blocks.push_back(tableBlock({{QStringLiteral("in1"), QStringLiteral("in2")}}));
    outer.table->rows[0].cells[0].widthTwips = 2000;
    outer.table->rows[0].cells[0].hasBackground = true;
    outer.table->rows[0].cells[0].backgroundRgb = 0x00FF00;
    doc.blocks.push_back(outer);
    const QByteArray rtf = writeDoc(doc, RtfQuality::Best);
    EXPECT_TRUE(rtf.contains("\\clcbpat1\\cellx2000")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("\\itap2"));
    EXPECT_TRUE(rtf.contains("in1}\\nestcell"));
    EXPECT_TRUE(rtf.contains("{\\*\\nesttableprops\\trowd"));
    EXPECT_TRUE(rtf.contains("\\nestrow}{\\nonesttables\\par}"));
    // After the nested table the outer cell is closed by an empty paragraph of its own level.
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\itap1\\ql \\cell"));
}

TEST(RtfWriter, DroppingLineBreaksNeverJoinsAControlWordToText) {
    const QByteArray rtf = writeDoc(sampleDoc(), RtfQuality::Best);
    const QList<QByteArray> lines = rtf.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& next = lines[i + 1];
        if (next.isEmpty()) continue;
        const QByteArray& prev = lines[i];
        const bool hexData = isxdigit(next[0]) && (prev.endsWith(' ') || QByteArray::fromHex(prev).toHex() == prev);
        const bool safeNext = next[0] == '\\' || next[0] == '{' || next[0] == '}' || hexData;
        EXPECT_TRUE(safeNext) << "line " << i + 1 << ": " << next.left(30).constData();
    }
    // Read back as one long line, the document says the same.
    for (RtfQuality q : {RtfQuality::Low, RtfQuality::Best}) {
        QByteArray rtf = writeDoc(sampleDoc(), q);
        const QString text = rtf::RtfReader::toPlainText(rtf);
        rtf.replace('\n', QByteArray());
        EXPECT_EQ(rtf::RtfReader::toPlainText(rtf), text);
        EXPECT_EQ(rtf::RtfReader::toHtml(rtf).toStdString(), rtf::RtfReader::toHtml(writeDoc(sampleDoc(), q)).toStdString());
    }
}

TEST(RtfWriter, ExportThroughRichTextWritesAndReplacesTheFile) {
    auto s = std::make_shared<MemoryStore>();
    StoreNote n;
    StoreItem body;
    body.name = QStringLiteral("Body");
    body.type = TypeComposite;
    body.richText = std::make_shared<RichTextDoc>(sampleDoc());
    n.items.push_back(body);
    StoreItem subject;
    subject.name = QStringLiteral("Subject");
    subject.texts = {QStringLiteral("x")};
    n.items.push_back(subject);
    const uint32_t id = s->addNote(n);
    s->addFolder(QStringLiteral("F"), true, {id});
    MemoryStore::registerStore(QStringLiteral("rtfexport"), s);

    LNSetThrowAllErrorsGlobal(FALSE);
    LNNotesSession session;
    ASSERT_EQ(session.Initialize(), 0u);
    LNDatabase db;
    session.GetDatabase("memory:rtfexport", &db);
    ASSERT_EQ(db.Open(), 0u);
    LNDocument doc;
    ASSERT_EQ(db.GetDocument(id, &doc), 0u);
    ASSERT_EQ(doc.Open(), 0u);
    LNItem item;
    ASSERT_EQ(doc.GetItem("Body", &item), 0u);
    LNRichText rt(item);
    LNRTCursor start, end;
    rt.GetCursor(&start);
    rt.GetEndCursor(&end);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ch111.rtf"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("stale content that is longer than nothing");
    }
    const LNString target(path.toStdString());
    ASSERT_EQ(rt.Export(target, start, end, "RTF"), 0u);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray low = f.readAll();
    f.close();
    EXPECT_EQ(low, RtfWriter(RtfQuality::Low).write(sampleDoc()));

    ASSERT_EQ(rt.Export(target, start, end, "RTF", "nxrtf2.dll"), 0u);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), RtfWriter(RtfQuality::Best).write(sampleDoc()));
    f.close();
    EXPECT_EQ(rt.Export(target, start, end, "RTF", "NXRTF2.DLL"), 0u) << "file names are case-blind";

    // Wrong format, unknown filter, unwritable target: failures, with a message.
    EXPECT_EQ(rt.Export(target, start, end, "HTML"), uint32_t(StatusExportFailed));
    EXPECT_EQ(rt.Export(target, start, end, "RTF", "other.dll"), uint32_t(StatusExportFailed));
    const LNString bad((dir.path() + QStringLiteral("/missing/dir/ch111.rtf")).toStdString());
    const LNSTATUS st = rt.Export(bad, start, end, "RTF");
    EXPECT_EQ(st, uint32_t(StatusWriteFailed));
    char msg[512];
    LNGetErrorMessageText(st, msg, sizeof msg, 0);
    EXPECT_NE(QString::fromUtf8(msg).indexOf(QStringLiteral("missing/dir")), -1) << msg;
    LNSetThrowAllErrorsGlobal(TRUE);
    EXPECT_THROW(rt.Export(bad, start, end, "RTF"), LNSTATUS);
    LNSetThrowAllErrorsGlobal(FALSE);

    LNRichText invalid;
    EXPECT_EQ(invalid.Export(target, start, end, "RTF"), uint32_t(StatusWrongItemType));
    session.Term();
    MemoryStore::unregisterStore(QStringLiteral("rtfexport"));
}

// A doclink with a notes:// address (the NSF reader gives one) can be
// followed: a hyperlink in best quality, the address after the text in low
// quality and in plain text. Other doclinks stay text.
TEST(RtfWriter, DoclinksWithANotesAddressCanBeFollowed) {
    RichTextDoc doc;
    RtBlock block;
    RtRun link;
    link.kind = RtRun::Kind::DocLink;
    link.text = QStringLiteral("Minutes");
    link.target = QStringLiteral("notes:///85255E8E00560F1E/AB12/CD34");
    block.runs.push_back(link);
    doc.blocks.push_back(block);
    const QByteArray best = writeDoc(doc, RtfQuality::Best);
    EXPECT_TRUE(best.contains("HYPERLINK \"notes:///85255E8E00560F1E/AB12/CD34\"")) << best.constData();
    EXPECT_TRUE(best.contains("[Link: Minutes]"));
    const QByteArray low = writeDoc(doc, RtfQuality::Low);
    EXPECT_FALSE(low.contains("HYPERLINK"));
    EXPECT_TRUE(low.contains("Minutes <notes:///85255E8E00560F1E/AB12/CD34>")) << low.constData();
    EXPECT_EQ(doc.plainText(), "Minutes <notes:///85255E8E00560F1E/AB12/CD34>");

    doc.blocks[0].runs[0].target = QStringLiteral("00A200BA006900C8");  // a UNID alone: no address
    EXPECT_FALSE(writeDoc(doc, RtfQuality::Best).contains("HYPERLINK"));
    EXPECT_EQ(doc.plainText(), "Minutes");
}

namespace {

// Each table row of the RTF (a \trowd definition): its \trleft and its cells' right edges.
struct RowDefinition {
    int left = 0;
    std::vector<int> rights;
};

std::vector<RowDefinition> rowDefinitions(const QByteArray& rtf) {
    std::vector<RowDefinition> rows;
    const QString s = QString::fromLatin1(rtf);
    static const QRegularExpression row(QStringLiteral("\\\\trowd(.*?)(?:\\\\pard|\\\\nestrow|\\\\row)"),
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression left(QStringLiteral("\\\\trleft(-?\\d+)"));
    static const QRegularExpression cellx(QStringLiteral("\\\\cellx(-?\\d+)"));
    for (auto it = row.globalMatch(s); it.hasNext();) {
        const QString def = it.next().captured(1);
        RowDefinition r;
        r.left = left.match(def).captured(1).toInt();
        for (auto c = cellx.globalMatch(def); c.hasNext();) r.rights.push_back(c.next().captured(1).toInt());
        rows.push_back(r);
    }
    return rows;
}

int controlValue(const QByteArray& rtf, const QString& word, int from = 0) {
    const QRegularExpression re(QStringLiteral("\\\\%1(-?\\d+)").arg(word));
    const auto m = re.match(QString::fromLatin1(rtf), from);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

RtBlock styled(const QString& t, const std::function<void(RtParagraphStyle&)>& set) {
    RtBlock b = para({text(t)});
    set(b.style);
    return b;
}

}  // namespace

// Indents are laid out in the text area: percentages of its width added,
// nothing outside it, at least half of it left to the text. Margins measured
// in a wider window (sample.nsf's 3.1 and 16.1 inches) or quotes nested very
// deep would otherwise leave room for one letter a line.
TEST(RtfWriter, IndentsStayInsideTheTextArea) {
    const int page = RtfWriter::PageTextTwips;
    const auto one = [](const RtBlock& b) {
        RichTextDoc doc;
        doc.blocks.push_back(b);
        return writeDoc(doc, RtfQuality::Best);
    };
    const QByteArray window = one(styled("x", [](RtParagraphStyle& s) {
        s.leftIndent = 4474;
        s.rightIndent = 23235;
    }));
    const int li = controlValue(window, "li"), ri = controlValue(window, "ri");
    EXPECT_GE(li, 0);
    EXPECT_GE(ri, 0);
    EXPECT_LE(li + ri, page / 2) << window.constData();

    const QByteArray shares = one(styled("x", [](RtParagraphStyle& s) {
        s.leftIndentPercent = 10;
        s.rightIndent = 360;
        s.rightIndentPercent = 10;
    }));
    EXPECT_TRUE(shares.contains("\\li900\\ri1260")) << shares.constData();

    const QByteArray outside = one(styled("x", [](RtParagraphStyle& s) {
        s.leftIndent = -1080;
        s.rightIndent = -500;
    }));
    EXPECT_FALSE(outside.contains("\\li")) << outside.constData();
    EXPECT_FALSE(outside.contains("\\ri")) << outside.constData();

    const QByteArray hanging = one(styled("x", [](RtParagraphStyle& s) {
        s.leftIndent = 200;
        s.firstLineIndent = -500;
    }));
    EXPECT_TRUE(hanging.contains("\\li200\\fi-200")) << hanging.constData();

    const QByteArray quoted = one(styled("x", [](RtParagraphStyle& s) { s.leftIndent = 14400; }));
    EXPECT_LE(controlValue(quoted, "li"), page / 2) << quoted.constData();

    // In a cell the percentages are of the cell's text width.
    RtBlock box = tableBlock({{QStringLiteral("code")}});
    box.table->rows[0].cells[0].blocks[0].style.leftIndentPercent = 1;
    box.table->rows[0].cells[0].blocks[0].style.rightIndentPercent = 1;
    const QByteArray cell = one(box);
    const int cellText = page - 2 * RtfWriter::CellGapTwips;
    EXPECT_TRUE(cell.contains(QByteArray("\\li") + QByteArray::number(cellText / 100) + "\\ri" +
                              QByteArray::number(cellText / 100)))
        << cell.constData();
}

// Cell widths: twips kept, shares of the table, open cells splitting the rest,
// scaled to fit; every row of a table as wide as the others.
TEST(RtfWriter, TableRowsAllSpanTheTableAndCellsKeepTheirWidthsOrShares) {
    const int page = RtfWriter::PageTextTwips;
    const auto rights = [](const RtBlock& table) {
        RichTextDoc doc;
        doc.blocks.push_back(table);
        std::vector<std::vector<int>> all;
        for (const RowDefinition& r : rowDefinitions(writeDoc(doc, RtfQuality::Best))) all.push_back(r.rights);
        return all;
    };
    using Rows = std::vector<std::vector<int>>;

    RtBlock tooWide = tableBlock({{QStringLiteral("a"), QStringLiteral("b")}});
    tooWide.table->rows[0].cells[0].widthTwips = 6000;
    tooWide.table->rows[0].cells[1].widthTwips = 6000;
    EXPECT_EQ(rights(tooWide), (Rows{{page / 2, page}}));

    RtBlock share = tableBlock({{QStringLiteral("a"), QStringLiteral("b")}});
    share.table->rows[0].cells[0].widthPercent = 25;
    EXPECT_EQ(rights(share), (Rows{{page / 4, page}}));

    // A fixed table narrower than the page keeps its width; a short row is widened to it.
    RtBlock fixed = tableBlock({{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("c")}});
    fixed.table->rows[0].cells[0].widthTwips = 1440;
    fixed.table->rows[0].cells[1].widthTwips = 2880;
    fixed.table->rows[1].cells[0].widthTwips = 1440;
    EXPECT_EQ(rights(fixed), (Rows{{1440, 4320}, {4320}}));

    // The Internet mail's footer: a nested table of rows of a 20-pixel cell, the
    // text, another 20-pixel cell, then rows of one 20-pixel cell. The office
    // took the last row's width for the whole table: one letter a line.
    RtBlock footer = tableBlock({{QStringLiteral(" "), QStringLiteral("unsubscribe | forward"), QStringLiteral(" ")},
                                 {QStringLiteral(" ")}});
    for (auto& row : footer.table->rows) {
        row.cells.front().widthTwips = 300;
        row.cells.back().widthTwips = 300;
    }
    RtBlock outer = tableBlock({{QString()}});
    outer.table->rows[0].cells[0].blocks = {footer};
    RichTextDoc doc;
    doc.blocks.push_back(outer);
    const std::vector<RowDefinition> defs = rowDefinitions(writeDoc(doc, RtfQuality::Best));
    ASSERT_EQ(defs.size(), 3u);  // the outer row, then its nested rows
    const int inner = page - 2 * RtfWriter::CellGapTwips;
    EXPECT_EQ(defs[0].rights, (std::vector<int>{page}));
    EXPECT_EQ(defs[1].rights, (std::vector<int>{300, inner - 300, inner}));
    EXPECT_EQ(defs[2].rights, (std::vector<int>{inner}));
}

// A column is not made narrower than its longest word while the table has
// room; a table whose words need more than the page's text width reaches
// into the margins (centred) rather than break them a letter at a time.
TEST(RtfWriter, ColumnsKeepRoomForTheirWordsAndWideTablesUseTheMargins) {
    RtBlock names = tableBlock({{QStringLiteral("Appointment"), QStringLiteral("Schedule time within a day in your "
                                                                               "calendar, as long as it takes.")}});
    names.table->rows[0].cells[0].widthTwips = 2544;
    names.table->rows[0].cells[1].widthTwips = 13896;  // a window 11 inches wide
    RichTextDoc doc;
    doc.blocks.push_back(names);
    auto defs = rowDefinitions(writeDoc(doc, RtfQuality::Best));
    ASSERT_EQ(defs.size(), 1u);
    // "Appointment" at 10 points needs about 1100 twips besides the gaps.
    EXPECT_GE(defs[0].rights[0], 1100 + 2 * RtfWriter::CellGapTwips);
    EXPECT_EQ(defs[0].rights[1], RtfWriter::PageTextTwips);
    EXPECT_EQ(defs[0].left, 0);

    std::vector<QString> header(8, QStringLiteral("Confirmation"));
    RtBlock wide = tableBlock({header});
    doc.blocks = {wide};
    defs = rowDefinitions(writeDoc(doc, RtfQuality::Best));
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_LT(defs[0].left, 0);
    EXPECT_EQ(defs[0].rights.back() - defs[0].left, RtfWriter::WidestTableTwips);
    EXPECT_EQ(defs[0].rights.back() + defs[0].left, RtfWriter::PageTextTwips);  // centred

    // Too many columns even for that: the longest words give up room first.
    std::vector<QString> cells(16, QStringLiteral("yes"));
    cells[0] = QStringLiteral("NotesDocActionDone");
    doc.blocks = {tableBlock({cells})};
    defs = rowDefinitions(writeDoc(doc, RtfQuality::Best));
    ASSERT_EQ(defs.size(), 1u);
    int previous = defs[0].left;
    std::vector<int> widths;
    for (int r : defs[0].rights) {
        widths.push_back(r - previous);
        previous = r;
    }
    for (size_t c = 1; c < widths.size(); ++c) EXPECT_GE(widths[c], 600) << c;
    EXPECT_GT(widths[0], widths[1]);
}

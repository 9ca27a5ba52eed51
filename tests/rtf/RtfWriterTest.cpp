#include "RtfTestDocs.h"
#include "notes/ln/LotusApi.h"
#include "notes/store/MemoryStore.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

// The native engine without an office: the .docx writer's package, the
// composition of header and body, naming and fallback of the exporter, and the
// command line's engine option.

#include "export/HeaderTemplates.h"
#include "native/DocumentPublisher.h"
#include "native/NativeDocumentComposer.h"
#include "native/NativeExporter.h"
#include "richtext/PictureToPng.h"
#include "worddoc/DocxWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

using store::RtBlock;
using store::RtRun;

namespace {

RtRun textRun(const QString& text, bool bold = false) {
    RtRun r;
    r.text = text;
    r.font.face = QStringLiteral("Arial");
    r.font.bold = bold;
    return r;
}

RtBlock paragraph(std::vector<RtRun> runs) {
    RtBlock b;
    b.runs = std::move(runs);
    return b;
}

QByteArray smallPng() {
    // 3 x 2 RGB.
    return rtf::PictureToPng::encodePng(3, 2, 2, QByteArray(3 * 2 * 3, char(0x80)));
}

QString unzipPart(const QString& zip, const QString& part) {
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), zip, part});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray utf16Body(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

// Records what the native engine hands to the office.
class RecordingOffice : public IDocumentExporter {
public:
    bool StartWord() override {
        ++starts;
        return true;
    }
    void ShutdownWord() override {}
    void SetRootFolder(const QString&) override {}
    void SetOutputOptions(const OutputOptions& o) override { options = o; }
    bool SetOutputFolder(const QString&) override { return true; }
    QString GetOutputFolder() const override { return {}; }
    void SetHeaderInputs(const QString&, const QString&, const QString&, const QString&, const QString&) override {}
    int CountHeaderLabels(const QString&) const override { return 0; }
    void SetTemplate(const QString&) override {}
    void SetPhotoPath(const QString&) override {}
    bool ExportItem(const QString&, const QString&) override { return false; }
    bool ExportContact(const QString&, const QString&) override { return false; }
    bool ExportTo(bool, const QString& bodyFile, const QString& path) override {
        QFile body(bodyFile);
        body.open(QIODevice::ReadOnly);
        bodies.push_back(body.readAll());
        paths.push_back(path);
        return writeFile(path, "written by the office");
    }
    QString LastFailure() const override { return {}; }
    QString LastWrittenPath() const override { return {}; }

    int starts = 0;
    OutputOptions options;
    std::vector<QByteArray> bodies;
    std::vector<QString> paths;
};

}  // namespace

TEST(DocxWriter, PackageHoldsTextFormatsTablesLinksAndPictures) {
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty()) GTEST_SKIP() << "unzip is missing";
    worddoc::WordDocument doc;
    RtRun link = textRun(QStringLiteral("the site"));
    link.kind = RtRun::Kind::Url;
    link.target = QStringLiteral("https://example.org/?a=1&b=2");
    RtRun picture;
    picture.kind = RtRun::Kind::Picture;
    picture.picture.data = smallPng();
    doc.body.blocks.push_back(paragraph({textRun(QStringLiteral("Bold <&> "), true),
                                         textRun(QStringLiteral("tab\there\x01")), link, picture}));
    RtBlock table;
    table.table = std::make_shared<store::RtTable>();
    table.table->rows.resize(2);
    table.table->rows[0].cells.resize(2);
    table.table->rows[0].cells[0].blocks.push_back(paragraph({textRun(QStringLiteral("a"))}));
    table.table->rows[0].cells[0].widthTwips = 2000;
    table.table->rows[1].cells.resize(1);  // shorter row: its cell spans the rest
    doc.body.blocks.push_back(table);
    doc.summary.title = QStringLiteral("Quarterly report");
    doc.page.widthTwips = 12240;
    doc.page.heightTwips = 15840;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.docx"));
    worddoc::DocxWriter writer;
    ASSERT_TRUE(writer.write(doc, path)) << writer.errorText().toStdString();
    const QString xml = unzipPart(path, QStringLiteral("word/document.xml"));
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:b/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("Bold &lt;&amp;&gt; ")));
    EXPECT_TRUE(xml.contains(QStringLiteral("tab</w:t><w:tab/><w:t xml:space=\"preserve\">here</w:t>")))
        << "the control character is left out, the tab is Word's";
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:gridSpan w:val=\"2\"/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:pgSz w:w=\"12240\" w:h=\"15840\"/>")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<wp:extent cx=\"28575\" cy=\"19050\"/>"))) << "3 x 2 pixels at 96 dpi";
    EXPECT_TRUE(xml.endsWith(QStringLiteral("</w:document>")));
    const QString rels = unzipPart(path, QStringLiteral("word/_rels/document.xml.rels"));
    EXPECT_TRUE(rels.contains(QStringLiteral("Target=\"https://example.org/?a=1&amp;b=2\" TargetMode=\"External\"")));
    EXPECT_TRUE(rels.contains(QStringLiteral("media/image1.png")));
    EXPECT_EQ(unzipPart(path, QStringLiteral("word/media/image1.png")).isEmpty(), false);
    EXPECT_TRUE(unzipPart(path, QStringLiteral("docProps/core.xml")).contains(QStringLiteral("Quarterly report")));
    EXPECT_TRUE(unzipPart(path, QStringLiteral("\\[Content_Types].xml")).contains(QStringLiteral("image/png")));
}

TEST(DocxWriter, RefusesWhatItCannotRepresentWithAReason) {
    worddoc::WordDocument doc;
    RtRun picture;
    picture.kind = RtRun::Kind::Picture;
    picture.picture.data = QByteArray("not a picture at all");
    picture.picture.format = QStringLiteral("wmf");
    doc.body.blocks.push_back(paragraph({picture}));
    worddoc::DocxWriter writer;
    EXPECT_TRUE(writer.toBytes(doc).isEmpty());
    EXPECT_TRUE(writer.errorText().contains(QStringLiteral("wmf")));

    // Tables nested beyond what the writer takes.
    worddoc::WordDocument deep;
    RtBlock inner = paragraph({textRun(QStringLiteral("x"))});
    for (int i = 0; i < 20; ++i) {
        RtBlock t;
        t.table = std::make_shared<store::RtTable>();
        t.table->rows.resize(1);
        t.table->rows[0].cells.resize(1);
        t.table->rows[0].cells[0].blocks.push_back(inner);
        inner = t;
    }
    deep.body.blocks.push_back(inner);
    EXPECT_TRUE(writer.toBytes(deep).isEmpty());
    EXPECT_FALSE(writer.errorText().isEmpty());
}

TEST(NativeDocumentComposer, FillsTheHeaderTemplateRowByRowBeforeTheBody) {
    NativeDocumentComposer::Inputs in;
    in.block = QStringLiteral("Subject: Lunch\r\nFrom: Ann\r\nSendTo: Bob\r\n");
    in.templ = LoadRtfTemplate(TemplateIdForRows(3));
    ASSERT_FALSE(in.templ.isEmpty());
    worddoc::WordDocument doc;
    QString error;
    ASSERT_TRUE(NativeDocumentComposer::compose(in, QByteArray("{\\rtf1\\ansi Body text\\par}"), &doc, &error));
    ASSERT_GE(doc.body.blocks.size(), 3u);
    const auto& table = doc.body.blocks.front().table;
    ASSERT_TRUE(table);
    EXPECT_FALSE(table->borders) << "the templates' white hairlines are not drawn";
    EXPECT_EQ(table->leftTwips, -108);
    ASSERT_EQ(table->rows.size(), 3u);
    const auto cell = [&](int r, int c) { return table->rows[size_t(r)].cells[size_t(c)].blocks.front().runs.front(); };
    // Fill order: Subject, then From, then SendTo; values without their line break.
    EXPECT_EQ(cell(0, 0).text, QStringLiteral("Subject:"));
    EXPECT_TRUE(cell(0, 0).font.bold) << "the placeholder's look stays";
    EXPECT_EQ(cell(0, 1).text, QStringLiteral(" Lunch"));
    EXPECT_EQ(cell(1, 0).text, QStringLiteral("From:"));
    EXPECT_EQ(cell(2, 1).text, QStringLiteral(" Bob"));
    EXPECT_TRUE(doc.body.blocks[1].runs.empty()) << "the template's empty paragraph keeps the body apart";
    EXPECT_EQ(doc.body.blocks[2].runs.front().text, QStringLiteral("Body text"));
    EXPECT_EQ(doc.summary.title, QString());
    EXPECT_GT(doc.page.widthTwips, 11000);
}

TEST(NativeDocumentComposer, ContactsGetThePhotoThenBoldLinesAndTextBodiesTheirLines) {
    NativeDocumentComposer::Inputs in;
    in.contact = true;
    in.subject = QStringLiteral("Ann Lee");
    in.block = QStringLiteral("Phone: 123\r\nCity: Bonn");
    in.photo = smallPng();
    worddoc::WordDocument doc;
    QString error;
    ASSERT_TRUE(NativeDocumentComposer::compose(in, utf16Body(QStringLiteral("first\r\n\r\nthird")), &doc, &error));
    ASSERT_EQ(doc.body.blocks.size(), 7u);
    EXPECT_EQ(doc.body.blocks[0].runs.front().kind, RtRun::Kind::Picture);
    EXPECT_EQ(doc.body.blocks[0].runs.front().picture.widthPx, 3);
    EXPECT_EQ(doc.body.blocks[1].runs.front().text, QStringLiteral("Subject:Ann Lee"));
    EXPECT_TRUE(doc.body.blocks[1].runs.front().font.bold);
    EXPECT_EQ(doc.body.blocks[1].runs.front().font.sizePt, 11.0);
    EXPECT_EQ(doc.body.blocks[2].runs.front().text, QStringLiteral(" Phone: 123"));
    EXPECT_EQ(doc.body.blocks[3].runs.front().text, QStringLiteral("City: Bonn"));
    EXPECT_EQ(doc.body.blocks[4].runs.front().text, QStringLiteral("first"));
    EXPECT_TRUE(doc.body.blocks[5].runs.empty());
    EXPECT_EQ(doc.body.blocks[6].runs.front().text, QStringLiteral("third"));

    // A photo that cannot be read costs the photo only.
    in.photo = QByteArray("garbage");
    ASSERT_TRUE(NativeDocumentComposer::compose(in, utf16Body(QStringLiteral("x")), &doc, &error));
    EXPECT_EQ(doc.body.blocks[0].runs.front().kind, RtRun::Kind::Text);
}

TEST(DocumentPublisher, NeverReplacesAFileAndLeavesNothingBehind) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.docx"));
    ASSERT_TRUE(writeFile(path, "old"));
    EXPECT_EQ(DocumentPublisher::publish(path, "new"), EEXIST);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
    EXPECT_EQ(DocumentPublisher::publish(dir.filePath(QStringLiteral("b.docx")), "new"), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file stays";
    EXPECT_NE(DocumentPublisher::publish(dir.filePath(QStringLiteral("missing/c.docx")), "x"), 0);
}

TEST(NativeExporter, NamesLikeTheOfficeAndHandsPdfAndWhatItCannotWriteToTheOffice) {
    QTemporaryDir dir;
    const QString body = dir.filePath(QStringLiteral("body.txt"));
    ASSERT_TRUE(writeFile(body, utf16Body(QStringLiteral("hello"))));
    NativeExporter exporter(1);
    auto office = std::make_unique<RecordingOffice>();
    RecordingOffice* recorded = office.get();
    exporter.SetFallback(std::move(office));
    exporter.SetRootFolder(dir.path() + QStringLiteral("/out"));
    ASSERT_TRUE(exporter.StartWord());
    ASSERT_TRUE(exporter.SetOutputFolder(QStringLiteral("Inbox\\2012")));
    OutputOptions docx;
    docx.format = OutputFormat::Docx;
    exporter.SetOutputOptions(docx);

    const QString reserved = exporter.ReserveDocumentPath(QStringLiteral("Lunch?"));
    EXPECT_TRUE(reserved.endsWith(QStringLiteral("/out/Inbox/2012/Lunch_.docx"))) << reserved.toStdString();
    ASSERT_TRUE(exporter.ExportItem(body, QStringLiteral("Lunch?")));
    EXPECT_EQ(exporter.LastWrittenPath(), reserved);
    ASSERT_TRUE(exporter.ExportItem(body, QStringLiteral("Lunch?")));
    EXPECT_TRUE(exporter.LastWrittenPath().endsWith(QStringLiteral("/Lunch_0.docx")));
    EXPECT_EQ(recorded->starts, 0) << "the office is started only when needed";
    EXPECT_TRUE(exporter.LastOfficeReason().isEmpty());

    // An RTF body with a picture the writers cannot embed: to the office, counted and named.
    const QString rtfBody = dir.filePath(QStringLiteral("body.rtf"));
    ASSERT_TRUE(writeFile(rtfBody, "{\\rtf1\\ansi {\\pict\\wmetafile8\\picw10\\pich10 0102030405}\\par}"));
    ASSERT_TRUE(exporter.ExportItem(rtfBody, QStringLiteral("Chart")));
    ASSERT_EQ(recorded->paths.size(), 1u);
    EXPECT_EQ(recorded->paths[0], exporter.LastWrittenPath());
    EXPECT_TRUE(recorded->bodies[0].startsWith("{\\rtf1"));
    ASSERT_EQ(exporter.WrittenByOffice().size(), 1u);
    EXPECT_TRUE(exporter.WrittenByOffice()[0].path.endsWith(QStringLiteral("/Chart.docx")));
    EXPECT_EQ(exporter.LastOfficeReason(), exporter.WrittenByOffice()[0].reason);

    // PDF is the office's, and not counted as an item the native writers could not represent.
    OutputOptions pdf;
    pdf.format = OutputFormat::Pdf;
    exporter.SetOutputOptions(pdf);
    ASSERT_TRUE(exporter.ExportItem(body, QStringLiteral("Report")));
    EXPECT_TRUE(exporter.LastWrittenPath().endsWith(QStringLiteral("/Report.pdf")));
    EXPECT_EQ(recorded->options.format, OutputFormat::Pdf);
    EXPECT_EQ(recorded->starts, 1);
    EXPECT_EQ(exporter.WrittenByOffice().size(), 1u);
    EXPECT_TRUE(exporter.LastOfficeReason().isEmpty()) << "PDF is not an item the native writers could not represent";
    exporter.ShutdownWord();

    // Without an office such an item fails with the writer's reason.
    NativeExporter alone(1);
    alone.SetRootFolder(dir.path() + QStringLiteral("/alone"));
    ASSERT_TRUE(alone.StartWord());
    alone.SetOutputFolder(QString());
    alone.SetOutputOptions(docx);
    EXPECT_FALSE(alone.ExportItem(rtfBody, QStringLiteral("Chart")));
    EXPECT_FALSE(alone.LastFailure().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("alone/Chart.docx"))));
}

// The body handed in memory makes the document the body file makes, and goes
// with the next export only, even one that fails.
TEST(NativeExporter, ABodyInMemoryWritesWhatTheFileWritesAndGoesWithOneExportOnly) {
    QTemporaryDir dir;
    const QByteArray rtf = "{\\rtf1\\ansi\\b Hello\\b0  world\\par}";
    const QString body = dir.filePath(QStringLiteral("body.rtf"));
    ASSERT_TRUE(writeFile(body, rtf));
    const QString other = dir.filePath(QStringLiteral("other.txt"));
    ASSERT_TRUE(writeFile(other, utf16Body(QStringLiteral("from the file"))));
    const auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    NativeExporter exporter(1);
    EXPECT_TRUE(exporter.SetBodyBytes(rtf));
    EXPECT_FALSE(exporter.ExportItem(QString(), QStringLiteral("Early"))) << "not started";
    exporter.SetRootFolder(dir.path() + QStringLiteral("/out"));
    ASSERT_TRUE(exporter.StartWord());
    exporter.SetOutputFolder(QString());
    OutputOptions doc;
    doc.format = OutputFormat::Doc;
    exporter.SetOutputOptions(doc);
    ASSERT_TRUE(exporter.ExportItem(body, QStringLiteral("From file")));
    const QByteArray fromFile = read(exporter.LastWrittenPath());
    ASSERT_FALSE(fromFile.isEmpty());

    ASSERT_TRUE(exporter.SetBodyBytes(rtf));
    ASSERT_TRUE(exporter.ExportItem(QString(), QStringLiteral("From memory")));
    const QString fromMemory = exporter.LastWrittenPath();
    ASSERT_TRUE(fromMemory.endsWith(QStringLiteral("/From memory.doc")));
    // The title property differs with the name; the rest is the same document.
    ASSERT_TRUE(exporter.SetBodyBytes(rtf));
    ASSERT_TRUE(exporter.ExportItem(QString(), QStringLiteral("From file")));
    EXPECT_EQ(read(exporter.LastWrittenPath()), fromFile);

    // The next export without bytes reads its file again.
    ASSERT_TRUE(exporter.ExportItem(other, QStringLiteral("Plain")));
    EXPECT_FALSE(exporter.ExportItem(QString(), QStringLiteral("Nothing"))) << "no body, no file";
    exporter.ShutdownWord();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("out/Plain.doc"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out/Nothing.doc"))));
}

// In the background the outcome says which items the office wrote, and why.
TEST(NativeExporter, BackgroundOutcomesNameTheItemsTheOfficeWrote) {
    QTemporaryDir dir;
    NativeExporter exporter(2);
    exporter.SetFallback(std::make_unique<RecordingOffice>());
    std::mutex mutex;
    std::map<quint64, IDocumentExporter::Outcome> outcomes;
    exporter.SetOutcomeHandler([&](const IDocumentExporter::Outcome& o) {
        std::lock_guard<std::mutex> lock(mutex);
        outcomes[o.ticket] = o;
    });
    exporter.SetRootFolder(dir.path());
    ASSERT_TRUE(exporter.StartWord());
    exporter.SetOutputFolder(QString());
    OutputOptions docx;
    docx.format = OutputFormat::Docx;
    exporter.SetOutputOptions(docx);
    const QByteArray bodies[] = {"{\\rtf1\\ansi Plain\\par}",
                                 "{\\rtf1\\ansi {\\pict\\wmetafile8\\picw10\\pich10 0102030405}\\par}"};
    for (quint64 i = 0; i < 2; ++i) {
        exporter.SetNextTicket(i + 1);
        ASSERT_TRUE(exporter.SetBodyBytes(bodies[i]));
        ASSERT_TRUE(exporter.ExportItem(QString(), QStringLiteral("Item %1").arg(i)));
    }
    exporter.WaitForAll();
    exporter.ShutdownWord();
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(outcomes[1].written && outcomes[1].officeReason.isEmpty());
    EXPECT_TRUE(outcomes[2].written);
    ASSERT_EQ(exporter.WrittenByOffice().size(), 1u);
    EXPECT_EQ(outcomes[2].officeReason, exporter.WrittenByOffice()[0].reason);
    EXPECT_FALSE(outcomes[2].officeReason.isEmpty());
}

TEST(NativeExporter, ThreadsReportEveryItemOnceUnderItsOwnName) {
    QTemporaryDir dir;
    const QString body = dir.filePath(QStringLiteral("body.rtf"));
    ASSERT_TRUE(writeFile(body, "{\\rtf1\\ansi\\b Hello\\b0  world\\par}"));
    NativeExporter exporter(2);
    EXPECT_TRUE(exporter.WritesInBackground());
    std::mutex mutex;
    std::vector<IDocumentExporter::Outcome> outcomes;
    exporter.SetOutcomeHandler([&](const IDocumentExporter::Outcome& o) {
        std::lock_guard<std::mutex> lock(mutex);
        outcomes.push_back(o);
    });
    exporter.SetRootFolder(dir.path() + QStringLiteral("/out"));
    ASSERT_TRUE(exporter.StartWord());
    exporter.SetOutputFolder(QStringLiteral("Inbox"));
    OutputOptions docx;
    docx.format = OutputFormat::Docx;
    exporter.SetOutputOptions(docx);
    constexpr int kItems = 60;
    for (int i = 0; i < kItems; ++i) {
        exporter.SetNextTicket(quint64(i + 1));
        exporter.ReserveDocumentPath(QStringLiteral("Same subject"));
        ASSERT_TRUE(exporter.ExportItem(body, QStringLiteral("Same subject")));
    }
    exporter.WaitForAll();
    exporter.ShutdownWord();
    ASSERT_EQ(outcomes.size(), size_t(kItems));
    std::set<quint64> tickets;
    std::set<QString> paths;
    for (const auto& o : outcomes) {
        EXPECT_TRUE(o.written) << o.failure.toStdString();
        tickets.insert(o.ticket);
        paths.insert(o.path);
    }
    EXPECT_EQ(tickets.size(), size_t(kItems));
    EXPECT_EQ(paths.size(), size_t(kItems));
    EXPECT_EQ(QDir(dir.path() + QStringLiteral("/out/Inbox")).entryList(QDir::Files).size(), kItems);
}

TEST(NativeEngineCli, ConvertsTheDemoWithoutAnOfficeAndRefusesAnUnknownEngine) {
    const QString cli = QStringLiteral(TESSELDOC_CLI);
    QTemporaryDir dir;
    QProcess p;
    p.start(cli, {QStringLiteral("convert"), QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl"),
                  dir.filePath(QStringLiteral("out")), QStringLiteral("--engine"), QStringLiteral("native"),
                  QStringLiteral("--format"), QStringLiteral("docx"), QStringLiteral("--mode"),
                  QStringLiteral("rtf-best")});
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << out.toStdString() << p.readAllStandardError().toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral(" written, 0 failed"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("written by the office"))) << out.toStdString();

    p.start(cli, {QStringLiteral("convert"), QStringLiteral(TESSELDOC_SOURCE_DIR "/res/demo/demo-mail.dxl"),
                  dir.filePath(QStringLiteral("out2")), QStringLiteral("--engine"), QStringLiteral("word")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("native or office")));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out2"))));
}

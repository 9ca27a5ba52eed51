// Integration tests: the Word exporter over a real LibreOffice, started and
// stopped by this program (one office shared by all tests; the fault tests
// make it restart). Written documents are read back with catdoc, antiword and
// a separate one-shot LibreOffice conversion.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>

#include "OfficeReadBack.h"
#include "export/HeaderTemplates.h"
#include "files/PrivateTempDir.h"
#include "office/CWordExporter.h"
#include "office/LibreOfficeEngine.h"
#include "office/LocalePageSize.h"

namespace {

// The real engine, with a switch that kills its office right after the next
// document has been opened.
class KillableEngine : public IOfficeAutomation {
  public:
    explicit KillableEngine(LibreOfficeSettings settings) : m_engine(std::move(settings)) {}

    static inline bool killAfterNextOpen = false;
    static inline int creates = 0;

    bool Create(QString* error) override {
        const bool ok = m_engine.Create(error);
        if (ok) ++creates;
        return ok;
    }
    bool IsCreated() const override { return m_engine.IsCreated(); }
    void Quit() override { m_engine.Quit(); }
    void SetVisible(bool visible) override { m_engine.SetVisible(visible); }
    QString Version() override { return m_engine.Version(); }
    std::unique_ptr<IOfficeDocuments> Documents() override {
        return std::make_unique<KillingDocuments>(m_engine.Documents(), m_engine);
    }
    void SetSelectionStart(int p) override { m_engine.SetSelectionStart(p); }
    void SetSelectionEnd(int p) override { m_engine.SetSelectionEnd(p); }
    void SelectionInsertFile(const QString& f, int c, int l) override {
        m_engine.SelectionInsertFile(f, c, l);
    }
    void SetSelectionRangeText(const QString& t) override { m_engine.SetSelectionRangeText(t); }
    void SetSelectionRangeFontSize(double p) override { m_engine.SetSelectionRangeFontSize(p); }
    void SetSelectionRangeFontBold(int b) override { m_engine.SetSelectionRangeFontBold(b); }
    void SetSelectionRangeFontColor(int c) override { m_engine.SetSelectionRangeFontColor(c); }

    void signalOffice(int sig) const {
        for (pid_t pid : m_engine.OfficeProcessIds()) ::kill(pid, sig);
    }
    std::vector<pid_t> officeProcesses() const { return m_engine.OfficeProcessIds(); }
    int starts() const { return creates; }

  private:
    class KillingDocuments : public IOfficeDocuments {
      public:
        KillingDocuments(std::unique_ptr<IOfficeDocuments> inner, LibreOfficeEngine& engine)
            : m_inner(std::move(inner)), m_engine(engine) {}
        std::unique_ptr<IOfficeDocument> Open(const OpenArguments& args) override {
            auto doc = m_inner->Open(args);
            if (killAfterNextOpen) {
                killAfterNextOpen = false;
                for (pid_t pid : m_engine.OfficeProcessIds()) ::kill(pid, SIGKILL);
            }
            return doc;
        }

      private:
        std::unique_ptr<IOfficeDocuments> m_inner;
        LibreOfficeEngine& m_engine;
    };

    LibreOfficeEngine m_engine;
};

const QString kMailBlock = QStringLiteral(
    "Email Item \r\nSubject:Quarterly figures \r\nMailDate:08/08/2014 13:18:33 \r\nFrom:Ann Example \r\n"
    "SendTo:Bob Example \r\nAttachment:report.xls \r\n");

class LibreOfficeExport : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_root = new QTemporaryDir();
        LibreOfficeSettings settings;
        settings.workDirectory = PrivateTempDir::filePath(QStringLiteral("test-office"));
        settings.callTimeoutMs = 6000;  // a hung call is given up after 6 s
        s_exporter = new CWordExporter([settings] {
            auto engine = std::make_unique<KillableEngine>(settings);
            s_engine = engine.get();
            return std::unique_ptr<IOfficeAutomation>(std::move(engine));
        });
        ASSERT_TRUE(s_exporter->StartWord()) << s_exporter->LastFailure().toStdString();
        s_exporter->SetRootFolder(s_root->path() + QStringLiteral("/"));
    }

    static void TearDownTestSuite() {
        std::vector<pid_t> left;
        if (s_engine) left = s_engine->officeProcesses();
        s_exporter->ShutdownWord();
        delete s_exporter;
        s_exporter = nullptr;
        s_engine = nullptr;
        // Nothing of the office may outlive the run.
        for (pid_t pid : left) EXPECT_NE(::kill(pid, 0), 0) << "office process " << pid << " left behind";
        delete s_root;
    }

    void SetUp() override { ASSERT_NE(s_exporter, nullptr); }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = s_root->filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return path;
    }

    static QByteArray utf16Body(const QString& text) {
        QByteArray bytes("\xFF\xFE", 2);
        for (QChar c : text) {
            bytes.append(char(c.unicode() & 0xFF));
            bytes.append(char(c.unicode() >> 8));
        }
        return bytes;
    }

    // Exports one item the way the folder export run does.
    bool exportItem(const QString& folder, const QString& block, const QString& body, const QString& name) {
        s_exporter->SetOutputFolder(folder);
        s_exporter->SetHeaderInputs({}, {}, {}, {}, block);
        s_exporter->SetTemplate(LoadRtfTemplate(TemplateIdForRows(s_exporter->CountHeaderLabels(block))));
        return s_exporter->ExportItem(body, name);
    }

    // A LibreOffice conversion of the document to HTML, body only.
    QString htmlOf(const QString& doc) {
        const QString out = s_root->filePath(QStringLiteral("html"));
        QDir().mkpath(out);
        const QStringList written =
            OfficeReadBack::convertWithLibreOffice({doc}, QStringLiteral("html"), out);
        if (written.isEmpty()) return {};
        QFile f(written.first());
        f.open(QIODevice::ReadOnly);
        const QString html = QString::fromUtf8(f.readAll());
        return html.mid(html.indexOf(QStringLiteral("<body")));
    }

    static inline QTemporaryDir* s_root = nullptr;
    static inline CWordExporter* s_exporter = nullptr;
    static inline KillableEngine* s_engine = nullptr;
};

QString squeezed(QString s) {
    return s.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

}  // namespace

TEST_F(LibreOfficeExport, MailGetsItsHeaderTableFirstAndTheBodyAfterIt) {
    const QString body = writeFile(QStringLiteral("NewRtf.rtf"),
                                   "{\\rtf1\\ansi{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24 "
                                   "Body paragraph one with {\\b bold} word.\\par Second paragraph.\\par}");
    ASSERT_TRUE(exportItem(QStringLiteral("Inbox\\"), kMailBlock, body, QStringLiteral("Quarterly: figures")))
        << s_exporter->LastFailure().toStdString();
    const QString doc = s_exporter->LastWrittenPath();
    EXPECT_EQ(doc, s_root->path() + QStringLiteral("/Inbox/Quarterly_ figures.doc"));
    EXPECT_EQ(OfficeReadBack::fileHead(doc, 8), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    EXPECT_FALSE(QFileInfo::exists(PrivateTempDir::filePath(QStringLiteral("RtfTable.rtf"))));

    // antiword: the five rows in fill order, label and value cell each, then the body.
    const QString text = OfficeReadBack::antiwordText(doc);
    const QStringList rows = text.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^\\|")));
    ASSERT_EQ(rows.size(), 5) << text.toStdString();
    const QStringList expected[] = {{QStringLiteral("Subject:"), QStringLiteral("Quarterly figures")},
                                    {QStringLiteral("MailDate:"), QStringLiteral("08/08/2014 13:18:33")},
                                    {QStringLiteral("From:"), QStringLiteral("Ann Example")},
                                    {QStringLiteral("SendTo:"), QStringLiteral("Bob Example")},
                                    {QStringLiteral("Attachment:"), QStringLiteral("report.xls")}};
    for (int i = 0; i < 5; ++i) {
        const QStringList cells = rows[i].split(QLatin1Char('|'), Qt::SkipEmptyParts);
        ASSERT_EQ(cells.size(), 2) << rows[i].toStdString();
        EXPECT_EQ(cells[0].trimmed(), expected[i][0]);
        EXPECT_EQ(cells[1].trimmed(), expected[i][1]);
    }
    EXPECT_TRUE(text.trimmed().startsWith(QStringLiteral("|Subject:")));
    EXPECT_GT(text.indexOf(QStringLiteral("Body paragraph one with bold word.")),
              text.indexOf(QStringLiteral("|Attachment:")));

    // catdoc agrees on the order.
    const QString cat = OfficeReadBack::catdocText(doc);
    EXPECT_LT(cat.indexOf(QStringLiteral("Subject:")), cat.indexOf(QStringLiteral("MailDate:")));
    EXPECT_LT(cat.indexOf(QStringLiteral("report.xls")), cat.indexOf(QStringLiteral("Second paragraph.")));

    // LibreOffice itself: the table is the first thing in the document, the body's bold survives.
    const QString html = squeezed(htmlOf(doc));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^<body[^>]*> ?<table")).match(html).hasMatch())
        << html.left(300).toStdString();
    EXPECT_EQ(html.count(QStringLiteral("<tr")), 5);
    // Label cells keep the template's bold dark blue Arial, value cells its regular Arial.
    EXPECT_TRUE(html.contains(
        QStringLiteral("<font color=\"#003366\"><font face=\"Arial, sans-serif\"><font size=\"2\" "
                       "style=\"font-size: 11pt\"><b>Subject:</b>")))
        << html.toStdString();
    EXPECT_TRUE(
        html.contains(QStringLiteral("<font face=\"Arial, sans-serif\"><font size=\"2\" style=\"font-size: "
                                     "11pt\">Quarterly figures")));
    EXPECT_TRUE(html.contains(QStringLiteral("<b>bold</b>")));
    EXPECT_GT(html.indexOf(QStringLiteral("Second paragraph")), html.indexOf(QStringLiteral("</table>")));
}

TEST_F(LibreOfficeExport, Utf16TextBodySurvivesInATaskDocument) {
    const QString words = QStringLiteral("Grüße Ωμέγα 日本");
    const QString body =
        writeFile(QStringLiteral("NewTxt.txt"), utf16Body(words + QStringLiteral("\r\nline two\r\n")));
    const QString block = QStringLiteral("Task Item \r\nSubject:Grüße\r\nDueDate:02/03/2015\r\n");
    ASSERT_TRUE(exportItem(QStringLiteral("To Do\\"), block, body, QStringLiteral("Grüße")))
        << s_exporter->LastFailure().toStdString();
    const QString doc = s_exporter->LastWrittenPath();
    EXPECT_TRUE(doc.endsWith(QStringLiteral("/To Do/Grüße.doc")));
    const QString text = OfficeReadBack::antiwordText(doc);
    EXPECT_TRUE(text.contains(words)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("|DueDate:")));
    EXPECT_TRUE(OfficeReadBack::catdocText(doc).contains(words));
    const QString html = squeezed(htmlOf(doc));
    // LibreOffice marks the CJK run with its language: look for the words on their own.
    EXPECT_TRUE(html.contains(QStringLiteral("Grüße Ωμέγα ")) && html.contains(QStringLiteral("日本")))
        << html.toStdString();
}

TEST_F(LibreOfficeExport, TextAndRtfBodiesGetTheSamePaperTheLocaleUses) {
    const LocalePageSize paper = LocalePageSize::FromEnvironment();
    // An RTF body that asks for the other paper, and a text body that asks for none.
    const QByteArray otherPaper = paper.IsLetter() ? "\\paperw11906\\paperh16838" : "\\paperw12240\\paperh15840";
    const QString rtf = writeFile(QStringLiteral("NewRtf.rtf"),
                                  "{\\rtf1\\ansi" + otherPaper + "{\\fonttbl{\\f0 Times New Roman;}}\\f0 On paper.\\par}");
    ASSERT_TRUE(exportItem(QStringLiteral("Paper\\"), kMailBlock, rtf, QStringLiteral("from rtf")))
        << s_exporter->LastFailure().toStdString();
    const QString fromRtf = s_exporter->LastWrittenPath();
    const QString text = writeFile(QStringLiteral("NewTxt.txt"), utf16Body(QStringLiteral("On paper.")));
    ASSERT_TRUE(exportItem(QStringLiteral("Paper\\"), kMailBlock, text, QStringLiteral("from text")))
        << s_exporter->LastFailure().toStdString();
    const QString fromText = s_exporter->LastWrittenPath();

    // Read back as RTF by a separate LibreOffice: the paper of the first section, in twips.
    const QString out = s_root->filePath(QStringLiteral("paper"));
    QDir().mkpath(out);
    const QStringList written = OfficeReadBack::convertWithLibreOffice({fromRtf, fromText}, QStringLiteral("rtf"), out);
    ASSERT_EQ(written.size(), 2);
    const int wantWidth = qRound(paper.width * 1440 / 2540.0);
    const int wantHeight = qRound(paper.height * 1440 / 2540.0);
    for (const QString& path : written) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString rtfText = QString::fromLatin1(f.readAll());
        // The document's paper, or its first section's.
        const QRegularExpressionMatch w =
            QRegularExpression(QStringLiteral("\\\\(?:paperw|pgwsxn)(\\d+)")).match(rtfText);
        const QRegularExpressionMatch h =
            QRegularExpression(QStringLiteral("\\\\(?:paperh|pghsxn)(\\d+)")).match(rtfText);
        ASSERT_TRUE(w.hasMatch() && h.hasMatch()) << path.toStdString() << rtfText.left(2000).toStdString();
        EXPECT_NEAR(w.captured(1).toInt(), wantWidth, 20) << path.toStdString();
        EXPECT_NEAR(h.captured(1).toInt(), wantHeight, 20) << path.toStdString();
    }
}

TEST_F(LibreOfficeExport, EmptyTextBodyGivesTheHeaderTableAlone) {
    const QString body = writeFile(QStringLiteral("NewTxt.txt"), QByteArray("\xFF\xFE", 2));
    ASSERT_TRUE(exportItem(QStringLiteral("Inbox\\"), kMailBlock, body, QStringLiteral("No body")))
        << s_exporter->LastFailure().toStdString();
    const QString text = OfficeReadBack::antiwordText(s_exporter->LastWrittenPath());
    EXPECT_EQ(text.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^\\|"))).size(), 5)
        << text.toStdString();
}

TEST_F(LibreOfficeExport, ContactGetsBoldTopTextAndItsPhoto) {
    const QString photo = QStringLiteral(TESSELDOC_OFFICE_TEST_DATA "/photo.jpg");
    const QString body =
        writeFile(QStringLiteral("NewTxt.txt"), utf16Body(QStringLiteral("Notes about Ann.\r\n")));
    s_exporter->SetOutputFolder(QStringLiteral("My Contacts\\"));
    s_exporter->SetPhotoPath(photo);
    s_exporter->SetHeaderInputs(
        {}, {}, {}, {},
        QStringLiteral("Form: Person\r\nFull Name: Ann Example\r\n\nE-mail\nBusiness: "
                       "ann@example.com\r\n"));
    ASSERT_TRUE(s_exporter->ExportContact(body, QStringLiteral("Ann Example")))
        << s_exporter->LastFailure().toStdString();
    s_exporter->SetPhotoPath(QString());
    const QString doc = s_exporter->LastWrittenPath();

    // The picture is stored byte for byte.
    QFile jpeg(photo), written(doc);
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains(jpeg.readAll()));

    const QString cat = OfficeReadBack::catdocText(doc);
    EXPECT_LT(cat.indexOf(QStringLiteral("Full Name: Ann Example")),
              cat.indexOf(QStringLiteral("Notes about Ann.")));

    const QString html = squeezed(htmlOf(doc));
    EXPECT_LT(html.indexOf(QStringLiteral("<img")), html.indexOf(QStringLiteral("Form:")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<b>Full Name: Ann Example</b>")));
    EXPECT_TRUE(html.contains(QStringLiteral("font-size: 11pt\"><b>E-mail</b>")));
    EXPECT_FALSE(html.contains(QStringLiteral("<b>Notes about Ann.")));
    EXPECT_FALSE(html.contains(QStringLiteral("<table")));
}

TEST_F(LibreOfficeExport, BodyThatStartsWithATableKeepsItAndGetsTheHeaderTableAboveIt) {
    const QString body =
        writeFile(QStringLiteral("NewRtf.rtf"),
                  "{\\rtf1\\ansi\\trowd\\cellx2000\\cellx4000\\pard\\intbl B1\\cell B2\\cell\\row"
                  "\\pard After the body table.\\par}");
    const QString block = QStringLiteral("Email Item \r\nSubject:Tables \r\nFrom:Ann \r\n");
    ASSERT_TRUE(exportItem(QStringLiteral("Inbox\\"), block, body, QStringLiteral("Tables")))
        << s_exporter->LastFailure().toStdString();
    const QString doc = s_exporter->LastWrittenPath();
    const QString text = OfficeReadBack::antiwordText(doc);
    const QStringList rows = text.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^\\|")));
    ASSERT_GE(rows.size(), 3) << text.toStdString();
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("|Subject:")));
    EXPECT_TRUE(rows[0].contains(QStringLiteral("Tables")));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("|From:")));
    EXPECT_TRUE(rows[2].contains(QStringLiteral("B1")) && rows[2].contains(QStringLiteral("B2")))
        << rows[2].toStdString();

    const QString html = squeezed(htmlOf(doc));
    EXPECT_EQ(html.count(QStringLiteral("<table")), 2);  // two tables, not one inside the other's cell
    EXPECT_LT(html.indexOf(QStringLiteral("Subject:")), html.indexOf(QStringLiteral("B1")));
    EXPECT_FALSE(html.mid(html.indexOf(QStringLiteral("<table"), html.indexOf(QStringLiteral("</table>"))))
                     .contains(QStringLiteral("Subject:")));
}

TEST_F(LibreOfficeExport, UnreadableBodyAndUnwritableFolderFailWithoutDocumentOrRestart) {
    const int starts = s_engine->starts();
    s_exporter->SetOutputFolder(QStringLiteral("Faults\\"));
    s_exporter->SetHeaderInputs({}, {}, {}, {}, kMailBlock);
    s_exporter->SetTemplate(LoadRtfTemplate(252));
    EXPECT_FALSE(
        s_exporter->ExportItem(s_root->filePath(QStringLiteral("missing.rtf")), QStringLiteral("Missing")));
    EXPECT_FALSE(QFileInfo::exists(s_exporter->GetOutputFolder() + QStringLiteral("Missing.doc")));

    // A file where a folder level should be: the folder takes the next numbered name.
    writeFile(QStringLiteral("plainfile"), "x");
    s_exporter->SetOutputFolder(QStringLiteral("plainfile\\sub\\"));
    EXPECT_EQ(s_exporter->GetOutputFolder(), s_root->filePath(QStringLiteral("plainfile0/sub/")));
    const QString body = writeFile(QStringLiteral("NewTxt.txt"), utf16Body(QStringLiteral("text")));
    EXPECT_TRUE(s_exporter->ExportItem(body, QStringLiteral("Somewhere")));

    // A root that cannot exist (it is a file): no document, no partial file, a plain reason.
    s_exporter->SetRootFolder(s_root->filePath(QStringLiteral("plainfile")) + QStringLiteral("/"));
    s_exporter->SetOutputFolder(QStringLiteral("sub\\"));
    EXPECT_FALSE(s_exporter->ExportItem(body, QStringLiteral("Nowhere")));
    EXPECT_TRUE(s_exporter->LastFailure().startsWith(QStringLiteral("the folder cannot be created: ")))
        << s_exporter->LastFailure().toStdString();
    EXPECT_TRUE(s_exporter->LastFailure().contains(QStringLiteral("not a directory")))
        << s_exporter->LastFailure().toStdString();
    s_exporter->SetRootFolder(s_root->path() + QStringLiteral("/"));
    EXPECT_EQ(s_engine->starts(), starts);

    // An existing document is left alone; the new one takes the next free name.
    s_exporter->SetOutputFolder(QStringLiteral("Faults\\"));
    const QString existing = s_exporter->GetOutputFolder() + QStringLiteral("Kept.doc");
    writeFile(QStringLiteral("Faults/Kept.doc"), "precious");
    ASSERT_TRUE(s_exporter->ExportItem(body, QStringLiteral("Kept")));
    EXPECT_EQ(OfficeReadBack::fileHead(existing, 100), QByteArray("precious"));
    EXPECT_EQ(s_exporter->LastWrittenPath(), s_exporter->GetOutputFolder() + QStringLiteral("Kept0.doc"));
    const QStringList left = QDir(s_exporter->GetOutputFolder()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{QStringLiteral("Kept.doc"), QStringLiteral("Kept0.doc")}));
}

TEST_F(LibreOfficeExport, FullDiskIsReportedPlainlyWithTheDocumentsPath) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount a small file system";
    const QString mount = s_root->filePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(mount));
    const QString command = QStringLiteral("mount -t tmpfs -o size=128k tmpfs '%1' 2>/dev/null").arg(mount);
    if (std::system(command.toUtf8().constData()) != 0) GTEST_SKIP() << "cannot mount a file system here";
    {
        // Nearly full: what is left takes no document.
        QFile filler(mount + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    const QString body = writeFile(QStringLiteral("NewTxt.txt"), utf16Body(QString(20000, QLatin1Char('w'))));
    s_exporter->SetRootFolder(mount + QStringLiteral("/"));
    s_exporter->SetOutputFolder(QStringLiteral("Full\\"));
    const int starts = s_engine->starts();
    const bool ok = exportItem(QStringLiteral("Full\\"), kMailBlock, body, QStringLiteral("Big"));
    const QString failure = s_exporter->LastFailure();
    const QStringList left = QDir(mount + QStringLiteral("/Full")).entryList(QDir::Files | QDir::Hidden);
    s_exporter->SetRootFolder(s_root->path() + QStringLiteral("/"));
    std::system(QStringLiteral("umount '%1'").arg(mount).toUtf8().constData());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(failure.contains(mount + QStringLiteral("/Full/Big.doc: no space left on the device")))
        << failure.toStdString();
    EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(s_engine->starts(), starts);
}

TEST_F(LibreOfficeExport, OfficeKilledDuringAnItemRedoesItHungFailsThatItemOnly) {
    const QString body = writeFile(QStringLiteral("NewTxt.txt"), utf16Body(QStringLiteral("survivor")));
    s_exporter->SetOutputFolder(QStringLiteral("Crash\\"));
    const int starts = s_engine->starts();

    // Killed while the document is open: the item is done again on a new office.
    KillableEngine::killAfterNextOpen = true;
    EXPECT_TRUE(exportItem(QStringLiteral("Crash\\"), kMailBlock, body, QStringLiteral("Killed")))
        << s_exporter->LastFailure().toStdString();
    EXPECT_TRUE(QFileInfo::exists(s_exporter->GetOutputFolder() + QStringLiteral("Killed.doc")));
    EXPECT_EQ(s_engine->starts(), starts + 1);
    ASSERT_TRUE(exportItem(QStringLiteral("Crash\\"), kMailBlock, body, QStringLiteral("After kill")))
        << s_exporter->LastFailure().toStdString();
    EXPECT_TRUE(
        OfficeReadBack::antiwordText(s_exporter->LastWrittenPath()).contains(QStringLiteral("survivor")));

    // Hung (stopped): the watchdog gives the call up, the office is replaced.
    s_engine->signalOffice(SIGSTOP);
    EXPECT_FALSE(exportItem(QStringLiteral("Crash\\"), kMailBlock, body, QStringLiteral("Hung")));
    EXPECT_TRUE(s_exporter->LastFailure().contains(QStringLiteral("in time")))
        << s_exporter->LastFailure().toStdString();
    ASSERT_TRUE(exportItem(QStringLiteral("Crash\\"), kMailBlock, body, QStringLiteral("After hang")))
        << s_exporter->LastFailure().toStdString();
    EXPECT_EQ(QDir(s_exporter->GetOutputFolder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("After hang.doc"), QStringLiteral("After kill.doc"),
                           QStringLiteral("Killed.doc")}));
}

namespace {

bool processGone(pid_t pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && close + 2 < text.size() && text.at(close + 2) == 'Z';
}

QString lifetimePidFile(pid_t parent) {
    return QDir::tempPath() + QStringLiteral("/tesseldoc-lifetime-%1").arg(parent);
}

}  // namespace

// Starts an office in a child program that then ends without shutting it down,
// and checks that no office process outlives that program.
void expectNoOfficeOutlives(bool crash) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QString pidFile = lifetimePidFile(::getpid());
    QFile::remove(pidFile);
    auto child = [crash] {
        auto* engine = new LibreOfficeEngine();  // deliberately never destroyed
        QString error;
        if (!engine->Create(&error)) std::_Exit(3);
        QFile out(lifetimePidFile(::getppid()));
        out.open(QIODevice::WriteOnly);
        for (pid_t pid : engine->OfficeProcessIds()) out.write(QByteArray::number(pid) + '\n');
        out.close();
        if (crash) std::abort();
        std::exit(0);
    };
    if (crash)
        EXPECT_EXIT(child(), ::testing::KilledBySignal(SIGABRT), "");
    else
        EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
    QFile in(pidFile);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QList<QByteArray> pids = in.readAll().split('\n');
    in.remove();
    int checked = 0;
    for (const QByteArray& line : pids) {
        if (line.isEmpty()) continue;
        const pid_t pid = pid_t(line.toInt());
        for (int i = 0; i < 300 && !processGone(pid); ++i) ::usleep(10000);
        EXPECT_TRUE(processGone(pid)) << "office process " << pid << " outlived its program";
        if (!processGone(pid)) ::kill(pid, SIGKILL);
        ++checked;
    }
    EXPECT_GE(checked, 1);
}

TEST(OfficeLifetimeDeathTest, ProgramEndingWithoutShutdownLeavesNoOfficeBehind) {
    expectNoOfficeOutlives(false);
}

TEST(OfficeLifetimeDeathTest, CrashingProgramLeavesNoOfficeBehind) {
    expectNoOfficeOutlives(true);
}

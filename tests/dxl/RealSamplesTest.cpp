#include <gtest/gtest.h>

#include <QDir>

#include "convert/CNotesConverter.h"
#include "notes/dxl/DxlStore.h"

using namespace store;

namespace {

const QString kSamples = QStringLiteral(TESSELDOC_SHARED_DIR "/dxl-samples");

std::unique_ptr<dxl::DxlStore> openSample(const char* name) {
    StoreError e;
    auto s = dxl::DxlStore::open(kSamples + "/" + name, e);
    EXPECT_TRUE(s) << name << ": " << e.message().toStdString();
    return s;
}

#define REQUIRE_SAMPLES() \
    if (!QDir(kSamples).exists()) GTEST_SKIP() << "no DXL samples at " << kSamples.toStdString()

}  // namespace

TEST(DxlRealSamples, EverySampleOpensAndLists) {
    REQUIRE_SAMPLES();
    const QStringList files = QDir(kSamples).entryList({"*.xml", "*.dxl"}, QDir::Files);
    EXPECT_GE(files.size(), 6);
    for (const QString& f : files) {
        CNotesConverter c;
        ASSERT_EQ(c.Initialize(), 1);
        c.showViewFolders = 1;
        QStringList names;
        EXPECT_EQ(c.EnumerateFolders(kSamples + "/" + f, QString(), names, 1), 1)
            << f.toStdString() << ": " << c.GetLastErrorText().toStdString();
        StoreError e;
        auto s = dxl::DxlStore::open(kSamples + "/" + f, e);
        ASSERT_TRUE(s) << f.toStdString();
        for (uint32_t id : s->allDocumentIds()) {
            StoreNote n;
            EXPECT_TRUE(s->loadNote(id, n).ok()) << f.toStdString();
            EXPECT_GT(n.size, 0);
        }
    }
}

TEST(DxlRealSamples, AWholeDatabaseExportSkipsItsDesign) {
    REQUIRE_SAMPLES();
    auto s = openSample("database-export_smallDxl.dxl");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->title(), "Test");
    EXPECT_TRUE(s->folders().empty());
    EXPECT_TRUE(s->allDocumentIds().empty());
}

TEST(DxlRealSamples, InternetMailHeadersReadAsTheNotesValuesTheyCarry) {
    REQUIRE_SAMPLES();
    auto s = openSample("document_mail-memo_mime-raw_spam.xml");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->allDocumentIds().size(), 1u);
    StoreNote n;
    ASSERT_TRUE(s->loadNote(s->allDocumentIds()[0], n).ok());
    // RFC 822 header items: the Notes value (text, a date/time for dates).
    const StoreItem* subject = n.item("Subject");
    ASSERT_TRUE(subject);
    EXPECT_EQ(subject->type, TypeText);
    EXPECT_EQ(subject->texts, QStringList{"Extra 60% 0ff EVERYTHING + Lots More Summer Savings."});
    EXPECT_EQ(n.item("From")->texts, QStringList{"\"Louis Vuitton\" <newsletter@lvbagsforyou.com>"});
    EXPECT_EQ(n.item("SendTo")->texts, QStringList{"jesse@secondfoundation.org"});
    const StoreItem* posted = n.item("PostedDate");
    ASSERT_TRUE(posted);
    ASSERT_EQ(posted->type, TypeTime);
    ASSERT_EQ(posted->times.size(), 1u);
    EXPECT_EQ(posted->times.front().text(), "08/08/2014 13:18:33");
    EXPECT_EQ(n.item("Marker")->texts, QStringList{"testMimeSerialization"});
    EXPECT_EQ(n.item("DeliveredDate")->type, TypeTime);
    EXPECT_EQ(n.item("DeliveredDate")->times.front().text(), "08/08/2014 13:18:41");
    const StoreItem* routes = n.item("RouteTimes");
    ASSERT_TRUE(routes);
    EXPECT_EQ(routes->type, TypeTimeRange);
    EXPECT_FALSE(routes->timeRanges.empty());
}

TEST(DxlRealSamples, NoteFormatDocumentKeepsRichTextAsRecords) {
    REQUIRE_SAMPLES();
    auto s = openSample("document_note-format_raw-richtext_styledtext.xml");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->allDocumentIds(), std::vector<uint32_t>{0x57c6});
    StoreNote n;
    ASSERT_TRUE(s->loadNote(0x57c6, n).ok());
    EXPECT_EQ(n.unid, "F41F9DD65559E93B852585B30059F787");
    const StoreItem* body = n.item("Body");
    ASSERT_TRUE(body && body->richText);
    EXPECT_EQ(body->type, TypeComposite);
    EXPECT_TRUE(body->richText->rawRecords.contains("This is normal text."));
    // The records are read into paragraphs as well.
    EXPECT_TRUE(body->richText->plainText().contains("This is normal text."))
        << body->richText->plainText().toStdString();
    EXPECT_TRUE(body->richText->plainText().contains("This is serif italic bold text"));
    EXPECT_EQ(n.item("Readers")->texts, QStringList({"CN=Jesse Gallagher/O=IKSG", "[Admin]"}));
}

TEST(DxlRealSamples, RichTextParagraphsAndSingleDesignElements) {
    REQUIRE_SAMPLES();
    auto doc = openSample("document_richtext-pars_multiline.xml");
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->allDocumentIds().size(), 1u);
    StoreNote n;
    ASSERT_TRUE(doc->loadNote(doc->allDocumentIds()[0], n).ok());
    EXPECT_EQ(n.item("Body")->richText->plainText(), "I am\r\n\r\nsome\r\n\r\nmultiline\r\n\r\ncontent");
    EXPECT_EQ(n.item("Form")->texts, QStringList{"Multiline"});

    auto view = openSample("design_view_selection-formula_Example-View.xml");
    ASSERT_TRUE(view);
    ASSERT_EQ(view->folders().size(), 1u);
    EXPECT_EQ(view->folders()[0].name, "Example View");
    EXPECT_FALSE(view->folders()[0].isFolder);
    EXPECT_TRUE(view->folders()[0].problem.isEmpty());
    std::vector<uint32_t> ids;
    EXPECT_TRUE(view->folderEntries(0, ids).ok());

    auto folder = openSample("design_folder-test.xml");
    ASSERT_TRUE(folder);
    ASSERT_EQ(folder->folders().size(), 1u);
    EXPECT_EQ(folder->folders()[0].name, "test folder");
    EXPECT_TRUE(folder->folders()[0].isFolder);
}

TEST(DxlRealSamples, FormsGiveTheirFieldsLabelsAndWindowTitles) {
    REQUIRE_SAMPLES();
    auto s = openSample("database-export_smallDxl.dxl");
    ASSERT_TRUE(s);
    const auto forms = s->forms();
    EXPECT_GE(forms.size(), 8u);
    const auto server = FindForm(forms, "VirtualServer");
    ASSERT_TRUE(server);
    EXPECT_EQ(server->name, "Virtual Server");
    QStringList got;
    for (const StoreFormField& f : server->fields) got << f.name + "=" + f.label;
    // The labels sit in pop-up hotspots beside their help text, which is no label.
    EXPECT_EQ(got.mid(0, 4), QStringList({"MH_IP=IP Address", "MH_Comment=Comment",
                                          "MH_Welcome=Default home page", "MH_HTMLDir=HTML directory"}));
    ASSERT_TRUE(server->windowTitle);
    const auto none = [](const QString&) -> const formula::FormulaValue* { return nullptr; };
    EXPECT_EQ(server->windowTitle->evaluate(none).asTexts(), QStringList({"Virtual Server"}));

    const auto errors = FindForm(forms, "ErrorMap");
    ASSERT_TRUE(errors && errors->windowTitle);
    const formula::FormulaValue all = formula::FormulaValue::text("0");
    EXPECT_EQ(errors->windowTitle
                  ->evaluate([&all](const QString& n) { return n == "em_servertype" ? &all : nullptr; })
                  .asTexts(),
              QStringList({"Error & Response Form Mapping : All Servers"}));
    // Formulas of fields (default values) are not labels or fields.
    for (const auto& form : forms)
        for (const StoreFormField& f : form->fields) EXPECT_FALSE(f.label.contains('"')) << f.label.toStdString();
}

// The folder run with documents of other forms: a filled header table of all
// their fields, every rich-text item in the body, names from their titles;
// contacts named as their rows show them.

#include "FakeExporter.h"

#include "convert/CFolderExportRun.h"
#include "convert/CNotesConverter.h"
#include "notes/store/MemoryStore.h"
#include "rtf/RtfReader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace store;

namespace {

StoreItem textItem(const QString& name, const QStringList& values) {
    StoreItem it;
    it.name = name;
    it.type = values.size() > 1 ? TypeTextList : TypeText;
    it.texts = values;
    return it;
}

StoreItem richItem(const QString& name, const QString& plain) {
    auto doc = std::make_shared<RichTextDoc>();
    RtBlock p;
    RtRun r;
    r.text = plain;
    p.runs.push_back(r);
    doc->blocks.push_back(p);
    StoreItem it;
    it.name = name;
    it.type = TypeComposite;
    it.richText = doc;
    return it;
}

class DocumentRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dest.isValid());
        store = std::make_shared<MemoryStore>();
        name = QStringLiteral("docrun%1").arg(++counter);
    }
    void TearDown() override { MemoryStore::unregisterStore(name); }

    void run(const std::vector<StoreNote>& notes, int mode) {
        std::vector<uint32_t> ids;
        for (const StoreNote& n : notes) ids.push_back(store->addNote(n));
        store->addFolder("Stuff", true, ids);
        MemoryStore::registerStore(name, store);
        ASSERT_EQ(conv.Initialize(), 1);
        QStringList listed;
        ASSERT_EQ(conv.EnumerateFolders("memory:" + name, "", listed, 1), 1);
        conv.savingMode = mode;
        exporter.SetRootFolder(dest.path());
        CFolderExportRun r;
        r.converter = &conv;
        r.exporter = &exporter;
        EXPECT_EQ(r.SaveFolder("Stuff\\"), 1);
    }

    static int counter;
    QTemporaryDir dest;
    std::shared_ptr<MemoryStore> store;
    QString name;
    CNotesConverter conv;
    FakeExporter exporter;
};
int DocumentRun::counter = 0;

int tableRows(const QString& rtf) {
    const RichTextDoc doc = rtf::RtfReader().read(rtf.toLatin1());
    for (const RtBlock& b : doc.blocks)
        if (b.table) return int(b.table->rows.size());
    return 0;
}

}  // namespace

TEST_F(DocumentRun, ThirtyFieldsMakeOneFilledTableAndEveryRichTextItemFollows) {
    StoreNote recipe;
    recipe.items.push_back(textItem("Form", {"Recipe"}));
    recipe.items.push_back(textItem("Name", {"Pancakes"}));
    for (int i = 1; i <= 29; ++i) recipe.items.push_back(textItem(QStringLiteral("Field%1").arg(i), {"v"}));
    recipe.items.push_back(textItem("$UpdatedBy", {"CN=Admin/O=Acme"}));
    recipe.items.push_back(richItem("Details", "Mix well."));
    recipe.items.push_back(richItem("Body", "Intro text"));
    StoreNote untitled;
    untitled.items.push_back(textItem("Form", {"Tester"}));
    untitled.items.push_back(textItem("Count", {"3"}));
    run({recipe, untitled}, RtfLowQuality);

    ASSERT_EQ(exporter.calls.size(), 2);
    const FakeExporter::Call& first = exporter.calls[0];
    EXPECT_EQ(first.kind, "item");
    EXPECT_EQ(first.name, "Pancakes");
    // The table comes filled: no block for the exporter to look labels up in.
    EXPECT_TRUE(first.block.isEmpty());
    EXPECT_EQ(tableRows(first.templ), 30);
    EXPECT_TRUE(first.templ.contains("Field29"));
    EXPECT_FALSE(first.templ.contains("UpdatedBy"));
    const QString body = rtf::RtfReader::toPlainText(first.body);
    const qsizetype intro = body.indexOf("Intro text"), details = body.indexOf("Details"),
                    mix = body.indexOf("Mix well.");
    EXPECT_GE(intro, 0);
    EXPECT_GT(details, intro);
    EXPECT_GT(mix, details);

    EXPECT_TRUE(exporter.calls[1].name.startsWith("NsfItemName"));
    EXPECT_EQ(tableRows(exporter.calls[1].templ), 1);
    EXPECT_EQ(conv.exportReport.written(), 2);
}

TEST_F(DocumentRun, ContactsAreNamedAsTheirRowsShowThem) {
    StoreNote bob;
    bob.items.push_back(textItem("Form", {"Person"}));
    bob.items.push_back(textItem("FirstName", {"Bob"}));
    bob.items.push_back(textItem("LastName", {"Meyer"}));
    bob.items.push_back(textItem("FullName", {"CN=Bob Meyer/O=Acme", "Bob Meyer"}));
    StoreNote parts;
    parts.items.push_back(textItem("Form", {"Person"}));
    parts.items.push_back(textItem("FirstName", {"Carla"}));
    parts.items.push_back(textItem("LastName", {"Ruiz"}));
    run({bob, parts}, Text);
    ASSERT_EQ(exporter.calls.size(), 2);
    EXPECT_EQ(exporter.calls[0].kind, "contact");
    EXPECT_EQ(exporter.calls[0].name, "Bob Meyer");
    EXPECT_TRUE(exporter.calls[0].block.contains("Full Name: Bob Meyer\r\n"));
    EXPECT_EQ(exporter.calls[1].name, "Carla Ruiz");

    // The browse step's row shows the same name where it reads it.
    LNDocument doc;
    conv.database().GetDocument(store->allDocumentIds().front(), &doc);
    doc.Open(0);
    EXPECT_TRUE(conv.ReadItemListRow(doc).columns[0].contains("Full Name : Bob Meyer\r\n"));
}

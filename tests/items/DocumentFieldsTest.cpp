// Documents of forms other than the five kinds: their kind, their field rows,
// their rich-text items and their names; and a contact's name.

#include "ItemTestStore.h"

#include <QRegularExpression>

#include "items/DocumentFields.h"
#include "items/NotesItemKind.h"
#include "notes/dxl/SelectionFormula.h"
#include "rtf/HeaderTableRtf.h"
#include "rtf/RtfReader.h"

using namespace itemtest;

namespace {

store::StoreItem rich(const QString& name, const QString& text) {
    auto doc = std::make_shared<store::RichTextDoc>();
    store::RtBlock block;
    store::RtRun run;
    run.text = text;
    block.runs.push_back(run);
    doc->blocks.push_back(block);
    store::StoreItem it;
    it.name = name;
    it.type = store::TypeComposite;
    it.richText = doc;
    return it;
}

store::StoreNote noteOf(std::vector<store::StoreItem> items) {
    store::StoreNote n;
    n.items = std::move(items);
    return n;
}

QString cellText(const store::RtTableCell& cell) {
    QString t;
    for (const store::RtBlock& b : cell.blocks)
        for (const store::RtRun& r : b.runs) t += r.text;
    return t;
}

}  // namespace

TEST(DocumentKind, FormDecidesFirstThenTheItems) {
    Database db(QStringLiteral("kinds"));
    const auto withForm = [&](const char* form, std::vector<store::StoreItem> items) {
        if (form) items.push_back(text("Form", {QString::fromUtf8(form)}));
        return db.add(std::move(items));
    };
    const uint32_t memo = withForm("Memo", {text("Location", {"Room 1"})});
    const uint32_t appointment = withForm("Appointment", {});
    const uint32_t person = withForm("Person", {});
    const uint32_t notice = withForm("(Notice)", {});
    const uint32_t journal = withForm("journal", {});
    // An address book's location is not a calendar entry, for all its Location item.
    const uint32_t location = withForm("Location", {text("Location", {"Office"})});
    const uint32_t chapter = withForm("Chapter", {text("FirstName", {"X"})});
    const uint32_t noFormCalendar = withForm(nullptr, {text("Location", {"Room 2"})});
    const uint32_t noFormContact = withForm(nullptr, {text("LastName", {"Lee"})});
    const uint32_t blankForm = withForm(" ", {text("DueDate", {"x"})});
    const uint32_t noForm = withForm(nullptr, {text("Subject", {"Hi"})});
    db.open();
    const auto kind = [&](uint32_t id) { return DetectItemKind(db.document(id)); };
    EXPECT_EQ(kind(memo), Mail);
    EXPECT_EQ(kind(appointment), Calendar);
    EXPECT_EQ(kind(person), Contact);
    EXPECT_EQ(kind(notice), Calendar);
    EXPECT_EQ(kind(journal), Journal);
    EXPECT_EQ(kind(location), Document);
    EXPECT_EQ(kind(chapter), Document);
    EXPECT_EQ(kind(noFormCalendar), Calendar);
    EXPECT_EQ(kind(noFormContact), Contact);
    EXPECT_EQ(kind(blankForm), Task);
    EXPECT_EQ(kind(noForm), Mail);
}

TEST(FieldRows, UserItemsInStoredOrderWithoutBookkeeping) {
    store::StoreItem range;
    range.name = QStringLiteral("Period");
    range.type = store::TypeTimeRange;
    range.timeRanges = {{when(2024, 1, 2, 0, 0, 0), when(2024, 1, 5, 12, 0, 0)}};
    store::StoreItem unreadable = text("Broken", {"x"});
    unreadable.unreadable = true;
    const store::StoreNote note = noteOf({
        text("Form", {"Recipe"}),
        text("Name", {"Pancakes"}),
        text("$Revisions", {"r"}),
        text("MIME_Version", {"1.0"}),
        text("Ingredients", {"Flour", "Milk", "", "Eggs"}),
        number("Servings", 4),
        number("Weight", 0.25),
        text("Empty", {"", " "}),
        dates("Made", {when(2024, 3, 1, 8, 30, 0)}),
        range,
        text("Author", {"CN=Ann Lee/OU=Sales/O=Acme"}),
        rich("Details", "Mix well."),
        text("Body", {"plain body"}),
        unreadable,
        text("$FolderRefs", {"f"}),
        text("Signature", {"sig"}),
    });
    const std::vector<FieldRow> rows = ReadFieldRows(note);
    QStringList got;
    for (const FieldRow& r : rows) got << r.label + "=" + r.value;
    EXPECT_EQ(got, QStringList({"Name=Pancakes", "Ingredients=Flour; Milk; Eggs", "Servings=4", "Weight=0.25",
                                "Made=01/03/2024 08:30:00", "Period=02/01/2024 00:00:00 - 05/01/2024 12:00:00",
                                "Author=Ann Lee/Sales/Acme"}));
}

TEST(RichTextItems, BodyFirstAndHeadingsOnlyForSeveral) {
    const store::StoreNote several =
        noteOf({rich("Details", "Mix well."), rich("$Hidden", "no"), rich("Body", "Intro"), rich("Notes", "")});
    EXPECT_EQ(RichTextItemNames(several), QStringList({"Body", "Details"}));
    const auto doc = ComposeRichTextItems(several);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->plainText().split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts),
              QStringList({"Body", "Intro", "Details", "Mix well."}));
    ASSERT_FALSE(doc->blocks.front().runs.empty());
    EXPECT_TRUE(doc->blocks.front().runs.front().font.bold);

    const auto single = ComposeRichTextItems(noteOf({rich("Comment", "Only this")}));
    ASSERT_TRUE(single);
    EXPECT_EQ(single->plainText().trimmed(), "Only this");
    EXPECT_FALSE(ComposeRichTextItems(noteOf({text("Subject", {"x"})})));
}

TEST(DocumentNames, TitleItemsThenNothing) {
    EXPECT_EQ(DocumentTitle(noteOf({text("Subject", {""}), text("Title", {"Chapter\t1\r\nIntro"})})),
              "Chapter 1  Intro");
    EXPECT_EQ(DocumentTitle(noteOf({text("Name", {"Pancakes"}), text("Topic", {"Breakfast"})})), "Breakfast");
    EXPECT_EQ(DocumentTitle(noteOf({number("Subject", 3), text("Other", {"x"})})), "");
}

TEST(ContactNames, FullNameInputThenReadableFullNameThenPartsThenCompany) {
    EXPECT_EQ(ContactDisplayName(noteOf({text("FullNameInput", {"Bob M."}), text("FullName", {"CN=Bob Meyer/O=A"})})),
              "Bob M.");
    EXPECT_EQ(ContactDisplayName(noteOf({text("FullName", {"CN=Bob Meyer/O=Acme", "Bob Meyer"}),
                                         text("FirstName", {"Robert"})})),
              "Bob Meyer");
    EXPECT_EQ(ContactDisplayName(noteOf({text("FirstName", {"Élise"}), text("LastName", {"Durand"})})), "Élise Durand");
    EXPECT_EQ(ContactDisplayName(noteOf({text("LastName", {"Durand"})})), "Durand");
    EXPECT_EQ(ContactDisplayName(noteOf({text("CompanyName", {"Acme"})})), "Acme");
    EXPECT_EQ(ContactDisplayName(noteOf({})), "");
}

TEST(HeaderTableRtf, ThirtyRowsReadBackWholeAndEscaped) {
    std::vector<FieldRow> rows;
    for (int i = 1; i <= 30; ++i)
        rows.push_back({QStringLiteral("Field%1").arg(i), QStringLiteral("value {%1} \\ é 日本").arg(i)});
    const QString table = rtf::HeaderTableRtf(rows);
    for (const QChar c : table) ASSERT_LT(c.unicode(), 0x80) << "the table goes out byte for byte";
    const store::RichTextDoc doc = rtf::RtfReader().read(table.toLatin1());
    const store::RtTable* found = nullptr;
    for (const store::RtBlock& b : doc.blocks)
        if (b.table) found = b.table.get();
    ASSERT_TRUE(found);
    ASSERT_EQ(found->rows.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(found->rows[size_t(i)].cells.size(), 2u);
        EXPECT_EQ(cellText(found->rows[size_t(i)].cells[0]), rows[size_t(i)].label);
        EXPECT_EQ(cellText(found->rows[size_t(i)].cells[1]), rows[size_t(i)].value);
    }
    EXPECT_TRUE(rtf::HeaderTableRtf({}).isEmpty());
}

namespace {

std::shared_ptr<store::StoreForm> formOf(const QString& name, std::vector<store::StoreFormField> fields,
                                         const QString& windowTitle = QString()) {
    auto form = std::make_shared<store::StoreForm>();
    form->name = name;
    form->fields = std::move(fields);
    if (!windowTitle.isEmpty()) {
        QString problem;
        form->windowTitle = store::dxl::SelectionFormula::parseValue(windowTitle, problem);
        EXPECT_TRUE(form->windowTitle) << problem.toStdString();
    }
    return form;
}

QStringList rowTexts(const std::vector<FieldRow>& rows) {
    QStringList got;
    for (const FieldRow& r : rows) got << r.label + "=" + r.value;
    return got;
}

}  // namespace

TEST(FieldRows, FormOrderAndLabelsThenTheItemsTheFormDoesNotShow) {
    const auto form = formOf("Recipe", {{"Name", "Dish"},
                                        {"Servings", ""},
                                        {"Ingredients", "What goes in"},
                                        {"Missing", "Never stored"},
                                        {"Details", "How to make it"}});
    const store::StoreNote note = noteOf({text("Form", {"Recipe"}), text("Source", {"Grandma"}),
                                          text("Ingredients", {"Flour", "Milk"}), number("Servings", 4),
                                          text("NAME", {"Pancakes"}), text("Name", {"Again"}),
                                          text("$Secret", {"x"}), text("Extra", {"More"})});
    // Form order, the form's labels (the item name where it has none), the
    // first of two items of one name; then stored order.
    EXPECT_EQ(rowTexts(ReadFieldRows(note, form.get())),
              QStringList({"Dish=Pancakes", "Servings=4", "What goes in=Flour; Milk", "Source=Grandma",
                           "Extra=More"}));
    // Without the form, stored order and item names.
    EXPECT_EQ(rowTexts(ReadFieldRows(note)).first(), "Source=Grandma");

    const store::StoreNote withRichText =
        noteOf({rich("Notes", "Keep cold."), rich("Details", "Mix well."), rich("Body", "Intro")});
    EXPECT_EQ(RichTextItemNames(withRichText, form.get()), QStringList({"Body", "Details", "Notes"}));
    const auto doc = ComposeRichTextItems(withRichText, form.get());
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->plainText().split(QRegularExpression("[\r\n]+"), Qt::SkipEmptyParts),
              QStringList({"Body", "Intro", "How to make it", "Mix well.", "Notes", "Keep cold."}));
}

TEST(DocumentNames, WindowTitleThatReadsTheDocumentThenTitleItemsThenAConstantTitle) {
    const auto location = formOf("Location", {}, "@If(@IsNewDoc; \"New Location\"; \"Settings for location: \" + Name)");
    EXPECT_EQ(DocumentTitle(noteOf({text("Name", {"Office"}), text("Subject", {"Ignored"})}), location.get()),
              "Settings for location: Office");
    // The title reads nothing the document holds: the title items decide.
    EXPECT_EQ(DocumentTitle(noteOf({text("Subject", {"Hello"})}), location.get()), "Hello");
    // A title the same for every document of the form comes after them, before the default name.
    const auto constant = formOf("Profile", {}, "\"Database Profile\"");
    EXPECT_EQ(DocumentTitle(noteOf({text("Title", {"Mine"})}), constant.get()), "Mine");
    EXPECT_EQ(DocumentTitle(noteOf({text("Other", {"x"})}), constant.get()), "Database Profile");
    // Numbers through @Text, lists joined, names readable.
    const auto numbered = formOf("Order", {}, "\"Order \" + @Text(Number) + \" for \" + Customer");
    EXPECT_EQ(DocumentTitle(noteOf({number("Number", 42), text("Customer", {"CN=Ann Lee/O=Acme"})}), numbered.get()),
              "Order 42 for CN=Ann Lee/O=Acme");
    // A form whose title cannot be evaluated names documents by their items.
    auto unreadable = formOf("Odd", {});
    unreadable->windowTitleProblem = "opcode 0x01C2 is not known";
    EXPECT_EQ(DocumentTitle(noteOf({text("Name", {"Lucy Wang"})}), unreadable.get()), "Lucy Wang");
}

TEST(DocumentForm, TheDocumentFindsItsFormThroughTheDatabase) {
    Database db(QStringLiteral("forms"));
    db.store().addForm(formOf("PersonalData", {{"Name", "Full name"}, {"Country", "Country"}, {"City", ""}}));
    auto subform = formOf("PersonalData", {{"Name", "Wrong"}});
    subform->subform = true;
    db.store().addForm(subform);
    const uint32_t renamed = db.add({text("Form", {"Personal Data"}), text("Name", {"Lucy"})});
    const uint32_t lost =
        db.add({text("Form", {"mainform"}), text("Name", {"Ann"}), text("Country", {"China"}), text("City", {"X"})});
    const uint32_t other = db.add({text("Form", {"Memo"}), text("Subject", {"Hi"})});
    const uint32_t few = db.add({text("Form", {"mainform"}), text("Name", {"Bo"}), text("Country", {"Peru"})});
    db.open();
    const auto named = db.document(renamed).GetForm();
    ASSERT_TRUE(named);
    EXPECT_EQ(named->name, "PersonalData");
    EXPECT_FALSE(named->subform);
    // A form no longer in the database: the form that lays out (nearly) all of its items.
    ASSERT_TRUE(db.document(lost).GetForm());
    EXPECT_EQ(rowTexts(ReadFieldRows(*db.document(lost).data(), db.document(lost).GetForm().get())),
              QStringList({"Full name=Ann", "Country=China", "City=X"}));
    // Too few items to tell; a form the database does not hold.
    EXPECT_FALSE(db.document(few).GetForm());
    EXPECT_FALSE(db.document(other).GetForm());
}

TEST(FieldRows, ADocumentWithNothingToShowSaysWhatItIs) {
    // An address book's bookkeeping document: its form and editors only.
    store::StoreNote note = noteOf({text("Form", {"LastUpdateTimeForm"}),
                                    text("$UpdatedBy", {"CN=Page/O=Iris", "CN=Mountain/O=Iris"})});
    note.modified = when(2024, 5, 6, 7, 8, 9);
    EXPECT_EQ(rowTexts(ReadFieldRows(note)), QStringList({"Form=LastUpdateTimeForm", "Last changed by=Mountain/Iris",
                                                          "Last changed=06/05/2024 07:08:09"}));
    // A document with rich text, or with one field, shows that alone.
    EXPECT_TRUE(ReadFieldRows(noteOf({text("Form", {"X"}), rich("Body", "Text")})).empty());
    EXPECT_EQ(rowTexts(ReadFieldRows(noteOf({text("Form", {"X"}), text("A", {"1"})}))), QStringList({"A=1"}));
    EXPECT_TRUE(ReadFieldRows(noteOf({})).empty());
}

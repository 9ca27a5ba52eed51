// Forms as the store gives them: labels from the text around fields, the form
// a document names, subforms put in place.

#include <gtest/gtest.h>

#include "notes/store/StoreForm.h"

using store::FormFieldCollector;
using store::StoreForm;
using store::StoreFormField;

namespace {

QStringList describe(const std::vector<StoreFormField>& fields) {
    QStringList out;
    for (const StoreFormField& f : fields) out << f.name + "=" + f.label;
    return out;
}

std::shared_ptr<StoreForm> form(const QString& name, const QStringList& fieldNames, bool subform = false) {
    auto f = std::make_shared<StoreForm>();
    f->name = name;
    f->subform = subform;
    for (const QString& n : fieldNames) f->fields.push_back({n, QString()});
    return f;
}

}  // namespace

TEST(FormLabels, TheTextBeforeAFieldNotTheHintAfterIt) {
    FormFieldCollector c;
    // A heading and an instruction, then a table: label cell, field cell with a hint.
    c.addText("Personal Data Collection");
    c.addBreak();
    c.addText("Please fill in the following information and submit:");
    c.addBreak();
    c.addText("Name:");
    c.addBreak();
    c.addField("Name");
    c.addText(" (Please input full name) ");
    c.addBreak();
    c.addBreak();
    c.addText("Gender");
    c.addText("*");
    c.addText(QString::fromUtf8("\xEF\xBC\x9A"));  // a full-width colon
    c.addBreak();
    c.addField("gender");
    // Several fields on one line, each after its own label.
    c.addBreak();
    c.addText("City: ");
    c.addField("City");
    c.addText("  Zip: ");
    c.addField("Zip");
    c.addText(" (five digits)");
    c.addField("Plus4");
    // A field with no text before it since the last one; the same field again.
    c.addBreak();
    c.addField("Hidden");
    c.addText("Name again:");
    c.addField("NAME");
    // Prose is no label.
    c.addBreak();
    c.addText("This paragraph explains at length what the next field is for and why it matters.");
    c.addBreak();
    c.addField("Notes");
    EXPECT_EQ(describe(c.fields()), QStringList({"Name=Name", "gender=Gender", "City=City", "Zip=Zip", "Plus4=",
                                                 "Hidden=", "Notes="}));
    EXPECT_EQ(FormFieldCollector::cleanLabel("  Home   Address :  "), "Home Address");
}

TEST(FormLookup, NameAliasRenamedDefaultThenTheFormThatFits) {
    auto memo = form("Memo", {"Subject"});
    memo->aliases = {"Document"};
    auto person = form("PersonalData", {"Name", "Country", "City", "Phone"});
    auto sub = form("Header", {"Name"}, true);
    std::vector<std::shared_ptr<const StoreForm>> forms = {sub, memo, person};
    EXPECT_EQ(store::FindForm(forms, "document"), memo);
    EXPECT_EQ(store::FindForm(forms, "(Memo)"), memo);
    EXPECT_EQ(store::FindForm(forms, "Personal Data"), person);
    EXPECT_EQ(store::FindForm(forms, "Header"), nullptr) << "a subform is no document's form";
    EXPECT_EQ(store::FindForm(forms, "mainform", {"Name", "Country", "City"}), person);
    EXPECT_EQ(store::FindForm(forms, "mainform", {"Name", "Country", "City", "Pet", "Car"}), nullptr)
        << "three of five items is not enough";
    EXPECT_EQ(store::FindForm(forms, "mainform", {"Name", "Country"}), nullptr) << "too few to tell";
    auto other = form("Other", {"Name", "Country", "City"});
    forms.push_back(other);
    EXPECT_EQ(store::FindForm(forms, "mainform", {"Name", "Country", "City"}), nullptr) << "two forms fit alike";
    auto fallback = form("Fallback", {});
    fallback->isDefault = true;
    forms.push_back(fallback);
    EXPECT_EQ(store::FindForm(forms, "mainform", {"Name", "Country", "City"}), fallback);
    EXPECT_EQ(store::FindForm(forms, ""), fallback);
}

TEST(FormLookup, SubformsGoWhereTheFormIncludesThem) {
    auto main = form("Main", {"Subject", "Body"});
    main->subforms = {{0, "Header"}, {1, "Missing"}, {2, "Footer"}};
    auto header = form("Header", {"From", "Subject"}, true);
    auto footer = form("Footer", {"Signature"}, true);
    footer->subforms = {{0, "Footer"}, {1, "Header"}};  // includes itself: stops there
    std::vector<std::shared_ptr<StoreForm>> forms = {main, header, footer};
    store::ExpandSubforms(forms);
    EXPECT_EQ(describe(main->fields), QStringList({"From=", "Subject=", "Body=", "Signature=" }));
    EXPECT_EQ(describe(footer->fields), QStringList({"Signature=", "From=", "Subject="}));
    EXPECT_TRUE(main->subforms.empty());
}

#include <gtest/gtest.h>

#include <QHash>

#include "notes/dxl/SelectionFormula.h"

using store::NotesTime;
using store::dxl::FormulaValue;
using store::dxl::SelectionFormula;

namespace {

// A document as the formula sees it: lower-cased item names to values.
struct Doc {
    QHash<QString, FormulaValue> items;
    Doc& text(const QString& name, const QStringList& values) {
        items.insert(name.toLower(), FormulaValue::texts(values));
        return *this;
    }
    Doc& number(const QString& name, double n) {
        items.insert(name.toLower(), FormulaValue::number(n));
        return *this;
    }
    Doc& time(const QString& name, const QString& dxl) {
        items.insert(name.toLower(), FormulaValue::times({*NotesTime::fromDxl(dxl)}));
        return *this;
    }
};

bool selects(const QString& formula, const Doc& doc) {
    QString problem;
    auto f = SelectionFormula::parse(formula, problem);
    EXPECT_TRUE(f) << formula.toStdString() << ": " << problem.toStdString();
    if (!f) return false;
    return f->selects([&](const QString& name) -> const FormulaValue* {
        auto it = doc.items.constFind(name);
        return it == doc.items.constEnd() ? nullptr : &*it;
    });
}

QString problemOf(const QString& formula) {
    QString problem;
    auto f = SelectionFormula::parse(formula, problem);
    EXPECT_FALSE(f) << formula.toStdString();
    return problem;
}

}  // namespace

TEST(SelectionFormula, ComparesTextExactlyAndAnyPairOfValues) {
    Doc memo;
    memo.text("Form", {"Memo"}).text("SendTo", {"Ann", "Bob"});
    EXPECT_TRUE(selects("SELECT Form = \"Memo\"", memo));
    EXPECT_FALSE(selects("SELECT Form = \"memo\"", memo));   // case-sensitive
    EXPECT_TRUE(selects("select Form = \"Memo\"", memo));    // SELECT in any case
    EXPECT_TRUE(selects("SELECT form = \"Memo\"", memo));    // item names in any case
    EXPECT_TRUE(selects("SELECT SendTo = \"Bob\"", memo));   // any value matches
    EXPECT_TRUE(selects("SELECT SendTo != \"Ann\"", memo));  // "Bob" differs from "Ann"
    EXPECT_FALSE(selects("SELECT Form != \"Memo\"", memo));
    EXPECT_TRUE(selects("SELECT Form = {Memo};", memo));       // brace literal, trailing separator
    EXPECT_TRUE(selects("SELECT \"a\\\"b\" = {a\"b}", memo));  // escaped quote
}

TEST(SelectionFormula, MissingItemsReadAsEmptyTextAndAvailabilityIsPresence) {
    Doc doc;
    doc.text("Subject", {""});
    EXPECT_TRUE(selects("SELECT Nothing = \"\"", doc));
    EXPECT_FALSE(selects("SELECT @IsAvailable(Nothing)", doc));
    EXPECT_TRUE(selects("SELECT @IsUnavailable(Nothing)", doc));
    EXPECT_TRUE(selects("SELECT @IsAvailable(Subject)", doc));  // present though empty
    EXPECT_TRUE(selects("SELECT @All", doc));
    EXPECT_TRUE(selects("SELECT @True", doc));
    EXPECT_FALSE(selects("SELECT @False", doc));
    EXPECT_FALSE(selects("SELECT Subject", doc));  // text is not a truth value
}

TEST(SelectionFormula, NotBindsLooserThanComparisonAndTighterThanAndOr) {
    Doc memo;
    memo.text("Form", {"Memo"});
    // !Form = "Task" is !(Form = "Task").
    EXPECT_TRUE(selects("SELECT !Form = \"Task\"", memo));
    EXPECT_FALSE(selects("SELECT !Form = \"Memo\"", memo));
    // ! applies to its comparison only, before &.
    EXPECT_TRUE(selects("SELECT !Form = \"Task\" & Form = \"Memo\"", memo));
    EXPECT_FALSE(selects("SELECT !(Form = \"Task\" | Form = \"Memo\")", memo));
    // & and | share one level, from the left: (true | false) & false.
    EXPECT_FALSE(selects("SELECT @True | @False & @False", memo));
    EXPECT_TRUE(selects("SELECT @False & @False | @True", memo));
    EXPECT_TRUE(selects("SELECT !!@True", memo));
}

TEST(SelectionFormula, OrdersNumbersDatesAndTextAndNeverMixesTypes) {
    Doc doc;
    doc.number("Size", 12)
        .time("DueDate", "20120105T100000,00+01")
        .time("Start", "20120105T090000,00Z")
        .text("Subject", {"beta"});
    EXPECT_TRUE(selects("SELECT Size > 10 & Size <= 12 & Size >= 12 & Size < 12.5", doc));
    EXPECT_FALSE(selects("SELECT Size = \"12\"", doc));  // a number never equals a text
    EXPECT_FALSE(selects("SELECT Size != \"12\"", doc));
    // 10:00 at UTC+1 is 09:00 UTC: the same instant.
    EXPECT_TRUE(selects("SELECT DueDate = Start", doc));
    EXPECT_TRUE(selects("SELECT Subject > \"alpha\" & Subject < \"gamma\"", doc));
}

TEST(SelectionFormula, MembershipAndTextFunctions) {
    Doc doc;
    doc.text("Categories", {"Work", "Travel"})
        .text("Subject", {"  Re:   Budget  2013 "})
        .text("Form", {"Journal Entry"});
    EXPECT_TRUE(selects("SELECT @IsMember(\"Work\"; Categories)", doc));
    EXPECT_TRUE(selects("SELECT @IsMember(Categories; Categories)", doc));
    EXPECT_FALSE(selects("SELECT @IsMember(Categories; \"Work\")", doc));  // every value of a must be in b
    EXPECT_TRUE(selects("SELECT @IsNotMember(\"Home\"; Categories)", doc));
    EXPECT_FALSE(selects("SELECT @IsNotMember(Categories; \"Travel\")", doc));  // none may be
    EXPECT_TRUE(selects("SELECT @Contains(Subject; \"Budget\")", doc));
    EXPECT_FALSE(selects("SELECT @Contains(Subject; \"budget\")", doc));
    EXPECT_TRUE(selects("SELECT @Contains(@LowerCase(Subject); \"budget\")", doc));
    EXPECT_TRUE(selects("SELECT @Begins(Form; \"Journal\") & @Ends(Form; \"Entry\")", doc));
    EXPECT_TRUE(selects("SELECT @Trim(Subject) = \"Re: Budget 2013\"", doc));
    EXPECT_TRUE(selects("SELECT @UpperCase(Categories) = \"TRAVEL\"", doc));
}

TEST(SelectionFormula, NamesWhatItCannotEvaluate) {
    EXPECT_EQ(problemOf("SELECT @IsAvailable(a) & @Today > StartDate"), "@Today");
    EXPECT_EQ(problemOf("SELECT @Adjust(a; 1)"), "@Adjust");
    EXPECT_EQ(problemOf("SELECT Form = \"A\" : \"B\""), "operator :");
    EXPECT_EQ(problemOf("SELECT Size + 1 > 2"), "operator +");
    EXPECT_EQ(problemOf("x := 1; SELECT @All"), "assignment :=");
    EXPECT_EQ(problemOf("SELECT <> 1"), "operator <>");
    EXPECT_EQ(problemOf("FIELD a := 1"), "keyword FIELD");
    EXPECT_EQ(problemOf("SELECT @IsMember(a)"), "@IsMember with 1 argument(s)");
    EXPECT_EQ(problemOf("SELECT (Form = \"A\""), "incomplete formula");
    EXPECT_EQ(problemOf("SELECT Form = \"A"), "unterminated text at position 15");
    // Nesting without end is refused instead of exhausting the stack.
    EXPECT_EQ(problemOf("SELECT " + QString(100000, '(') + "1" + QString(100000, ')')),
              "formula nested too deeply");
    EXPECT_EQ(problemOf("SELECT " + QString(100000, '!') + "1"), "formula nested too deeply");
    QString chain = "SELECT 1";
    for (int i = 0; i < 50000; ++i) chain += " & 1";
    EXPECT_EQ(problemOf(chain), "formula nested too deeply");
    Doc doc;
    EXPECT_TRUE(selects("SELECT " + QString(150, '(') + "1" + QString(150, ')'), doc));
}

TEST(SelectionFormula, ReportsTheItemsItReads) {
    QString problem;
    auto f = SelectionFormula::parse(
        "SELECT Form = \"Memo\" & @IsAvailable(PostedDate) & @Contains(subject; Form)", problem);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->itemNames(), QStringList({"form", "posteddate", "subject"}));
}

namespace {

QStringList valueOf(const QString& formula, const Doc& doc) {
    QString problem;
    const auto f = SelectionFormula::parseValue(formula, problem);
    if (!f) return {"error: " + problem};
    return f->evaluate([&doc](const QString& name) -> const FormulaValue* {
                 auto it = doc.items.constFind(name);
                 return it == doc.items.constEnd() ? nullptr : &it.value();
             })
        .asTexts();
}

}  // namespace

TEST(ValueFormula, WindowTitlesJoinTextAndChooseWithIf) {
    Doc doc;
    doc.text("Subject", {"Budget"}).text("EM_ServerType", {"0"}).number("Count", 3).text("Tags", {"a", "b"});
    EXPECT_EQ(valueOf("\"Topic: \" + Subject", doc), QStringList({"Topic: Budget"}));
    EXPECT_EQ(valueOf("@If(@IsNewDoc; \"New Virtual Server\"; \"Virtual Server\")", doc),
              QStringList({"Virtual Server"}));
    EXPECT_EQ(valueOf("@If(@IsNewDoc;\"New\";\"Mapping : \" + @If(EM_ServerType = \"0\"; \"All Servers\"; EM_IP))",
                      doc),
              QStringList({"Mapping : All Servers"}));
    EXPECT_EQ(valueOf("@If(Subject = \"x\"; \"one\"; Count = 3; \"two\"; \"three\")", doc), QStringList({"two"}));
    EXPECT_EQ(valueOf("\"n=\" + @Text(Count + 1)", doc), QStringList({"n=4"}));
    EXPECT_EQ(valueOf("Tags + \"!\"", doc), QStringList({"a!", "b!"}));
    // "+" binds tighter than "=": ("a" + "b") = "ab".
    EXPECT_EQ(valueOf("\"a\" + \"b\" = \"ab\"", doc), QStringList({"1"}));
    // A missing item reads as "", text and a number have no sum.
    EXPECT_EQ(valueOf("\"x\" + Missing", doc), QStringList({"x"}));
    EXPECT_EQ(valueOf("\"x\" + Count", doc), QStringList({""}));
    EXPECT_TRUE(valueOf("@If(@IsNewDoc; \"a\")", doc).first().startsWith("error: "));
    EXPECT_TRUE(valueOf("@Name([CN]; From)", doc).first().startsWith("error: "));
    // Selections stay as they were: no "+" and no @If there.
    QString problem;
    EXPECT_FALSE(SelectionFormula::parse("SELECT Subject + \"x\" = \"Budgetx\"", problem));
    EXPECT_FALSE(SelectionFormula::parse("SELECT @If(@IsNewDoc; 1; 0)", problem));
}

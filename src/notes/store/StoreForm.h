#pragma once

#include "notes/formula/FormulaExpression.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace store {

// One field of a form, in the order the form lays its fields out.
struct StoreFormField {
    QString name;
    // The static text the form shows before the field ("Home Address:" ->
    // "Home Address"); empty when the form has none that reads as a label.
    QString label;
};

// A form (or subform) of a database as its design note describes it.
struct StoreForm {
    QString name;           // the form's name, without its aliases
    QStringList aliases;    // the other names documents may carry in their Form item
    bool subform = false;
    bool isDefault = false;  // the database's default form
    std::vector<StoreFormField> fields;
    // The window title's formula when every part of it can be evaluated; null
    // otherwise, with the reason in windowTitleProblem (empty: the form has none).
    std::shared_ptr<const formula::FormulaExpression> windowTitle;
    QString windowTitleProblem;
    // Subforms the form includes by name, each at the place among `fields`
    // where its fields go (ExpandSubforms puts them there).
    struct SubformRef {
        size_t position = 0;
        QString name;
    };
    std::vector<SubformRef> subforms;

    // Whether a document's Form item names this form: its name or an alias,
    // case aside, hidden names' parentheses aside.
    bool isNamed(const QString& formItem) const;
    // The field of that name (case aside); null when the form has none.
    const StoreFormField* field(const QString& name) const;
};

// The form a document's Form item names: by name or alias first; else, as a
// form renamed since the document was saved ("Personal Data" for
// "PersonalData"), the one whose name matches without spaces; else, as Notes
// opens such a document, the database's default form; else the one form that
// lays out at least four fifths (and three or more) of `itemNames`, the
// document's own items, more of them than any other form does. Subforms are
// never a document's form. Null when none fits.
std::shared_ptr<const StoreForm> FindForm(const std::vector<std::shared_ptr<const StoreForm>>& forms,
                                          const QString& formItem, const QStringList& itemNames = {});

// Puts each form's subforms' fields where the form includes them (a field the
// form has already keeps its place), subforms within subforms too; a subform
// the database does not hold, or one that includes itself, adds nothing.
void ExpandSubforms(std::vector<std::shared_ptr<StoreForm>>& forms);

// Collects a form's fields and their labels while its body is walked in
// order: static text, the ends of paragraphs, cells and lines, and fields.
// A field's label is the last stretch of text since the field before it
// that stands between such breaks; text that follows a field in the same
// line counts only when it ends in a colon ("Name: [Name]  Phone: [Phone]"),
// as text after a field is mostly a hint about it.
class FormFieldCollector {
public:
    void addText(const QString& text);
    void addBreak();
    void addField(const QString& name);
    // A subform included at this place (see StoreForm::subforms).
    void addSubform(const QString& name);
    // The fields, each name once (the first place wins).
    std::vector<StoreFormField> fields() const { return m_fields; }
    std::vector<StoreForm::SubformRef> subforms() const { return m_subforms; }

    // Label text as a header shows it: trimmed, spaces collapsed, a trailing
    // colon or asterisk dropped; empty when too long to be a label.
    static QString cleanLabel(const QString& text);
    static constexpr int kMaxLabelLength = 40;

private:
    void endStretch();

    std::vector<StoreFormField> m_fields;
    std::vector<StoreForm::SubformRef> m_subforms;
    QString m_stretch;    // text since the last break or field
    QString m_label;      // the last label-like stretch since the last field
    bool m_afterField = false;  // the current line holds a field before m_stretch
};

}  // namespace store

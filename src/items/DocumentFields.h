#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "notes/store/StoreForm.h"
#include "notes/store/StoreItem.h"

// The fields of a document of a form that is none of the five kinds: what the
// user entered, as label and display text, and its rich-text items.

struct FieldRow {
    QString label;
    QString value;
};

// One row per non-empty item the user entered: text and text lists ("; "
// between values), numbers, dates and date ranges, names in their readable
// form ("Ann Lee/Sales/Acme"). Left out: `$` items, the Form item, MIME
// headers and parts, signatures, revision and folder lists, rich text,
// attachments and other binary values.
// With the document's form, its fields come first in the form's order, each
// labelled with the form's label for it (the item name where it has none);
// the items the form does not lay out follow in stored order, labelled with
// their names. Without it, all rows are in stored order.
// A document with no such item and no rich text would be a blank page: its
// rows then say what it is, its form and who changed it last.
std::vector<FieldRow> ReadFieldRows(const store::StoreNote& note, const store::StoreForm* form = nullptr);

// The names of the rich-text items with text: Body first, then the others in
// the form's order when there is a form, then in stored order (`$` items left out).
QStringList RichTextItemNames(const store::StoreNote& note, const store::StoreForm* form = nullptr);

// The rich-text items of RichTextItemNames as one rich text, each preceded by
// its label (the form's, else its name) as a bold heading when there is more
// than one; null when there is none.
std::shared_ptr<const store::RichTextDoc> ComposeRichTextItems(const store::StoreNote& note,
                                                               const store::StoreForm* form = nullptr);

// "CN=Ann Lee/OU=Sales/O=Acme" -> "Ann Lee/Sales/Acme"; other texts unchanged.
QString ReadableName(const QString& text);

// What such a document is called, one line (tabs and breaks as spaces): the
// form's window title when its formula can be evaluated and reads a value of
// the document ("Settings for location: " + Name); else the first non-empty
// of Subject, Title, Topic, Name; else the text of `columnItem`, the item
// the view it is listed in shows first; else a window title that says the
// same for every document of the form ("Database Profile"); empty when none
// has text.
QString DocumentTitle(const store::StoreNote& note, const store::StoreForm* form = nullptr,
                      const QString& columnItem = QString());

// The form's window title for the document, one line; empty when the form has
// none that can be evaluated. `readsValue`, when given, says whether the
// formula read an item the document holds with a value.
QString WindowTitle(const store::StoreNote& note, const store::StoreForm& form, bool* readsValue = nullptr);

// What a contact is called: FullNameInput, else the common name of FullName's
// first value (no CN=/O=), else FirstName and LastName, else CompanyName;
// empty when none has text.
QString ContactDisplayName(const store::StoreNote& note);

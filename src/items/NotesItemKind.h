#pragma once

#include <QString>

class LNNote;

// The kind of a Notes document. The codes double as folder-tree image indexes
// and item-list row kinds. Document: a document of any other form (a
// discussion topic, a library entry, an address book's location, ...), shown
// with all of its fields.
enum NotesItemKind { Mail = 2, Calendar = 3, Contact = 4, Task = 5, Document = 11, Journal = 9 };

// The Form item decides first: the mail, calendar, contact, task and journal
// forms give their kind, any other named form is a Document. Without a Form
// item (or an empty one) the items decide, first match winning: contact
// items, then "Location", "DueDate", "DiaryDate"; anything else is a mail.
// The document must be open.
NotesItemKind DetectItemKind(const LNNote& document);

// The kind a form name gives; `known` is false for an empty name.
NotesItemKind KindOfForm(const QString& form, bool* known);

#pragma once

class LNNote;

// The kind of a Notes document, decided from the items it carries. The codes
// double as folder-tree image indexes and item-list row kinds.
enum NotesItemKind { Mail = 2, Calendar = 3, Contact = 4, Task = 5, Journal = 9 };

// First match wins: contact items, then "Location", "DueDate", "DiaryDate";
// anything else is a mail. Presence alone decides. The document must be open.
NotesItemKind DetectItemKind(const LNNote& document);

#pragma once

#include <QString>
#include <QStringList>

// The labels of an item's header table and how their values are read from the
// header text ("Subject:Quarterly figures \r\n From:Ann \r\n CC:...").
//
// A label counts only where it starts a word: "CC:" inside "BCC:" is not the
// CC line, so a mail with blind copies but no copies gets no CC row.
namespace HeaderTableLabels {

// In the order the table is filled.
const QStringList& labels();
// Where `label` stands in `text` as a label of its own, or -1.
qsizetype find(const QString& text, const QString& label);
inline bool has(const QString& text, const QString& label) { return find(text, label) >= 0; }
// How many of labels() the text holds (the rows its table needs).
int count(const QString& text);
// The text after the label up to the end of its line, the line break's first
// character kept when `keepBreak` (the office engine fills cells so); empty
// when the label is absent or its line never ends.
QString value(const QString& text, const QString& label, bool keepBreak);

}  // namespace HeaderTableLabels

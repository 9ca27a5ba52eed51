#include "items/ItemRecords.h"

// Header blocks of mail, calendar, task and journal items. The labels are
// what the Word exporter counts and searches for when it fills the table.

namespace {

// A line for every value that is neither empty nor "."; ends in " \r\n".
void appendRuleA(QString& text, const char* label, const QString& value) {
    if (value.isEmpty() || value == QLatin1String(".")) return;
    text += QLatin1String(label) + value + QStringLiteral(" \r\n");
}

// A line for every non-empty value; ends in "\r\n".
void appendRuleB(QString& text, const char* label, const QString& value) {
    if (value.isEmpty()) return;
    text += QLatin1String(label) + value + QStringLiteral("\r\n");
}

}  // namespace

QString MailRecord::BuildHeaderText() const {
    QString text = QStringLiteral("Email Item \r\n");
    appendRuleA(text, "Subject:", subject);
    appendRuleA(text, "MailDate:", dateSent);
    appendRuleA(text, "From:", from);
    appendRuleA(text, "SendTo:", sendTo);
    appendRuleA(text, "Attachment:", attachments);
    return text;
}

QString CalendarRecord::BuildHeaderText() const {
    QString text = QStringLiteral("Calander Item \r\n");
    appendRuleB(text, "Subject:", subject);
    appendRuleB(text, "StartDate:", startDateTime);
    appendRuleB(text, "EndDate:", endDateTime);
    appendRuleB(text, "From:", from);
    appendRuleB(text, "SendTo:", sendTo);
    appendRuleB(text, "Location:", location);
    appendRuleB(text, "Attachment:", attachments);
    return text;
}

QString TaskRecord::BuildHeaderText() const {
    QString text = QStringLiteral("Task Item \r\n");
    appendRuleB(text, "Subject:", subject);
    appendRuleB(text, "StartDate:", startDateTime);
    appendRuleB(text, "DueDate:", dueDate);
    appendRuleB(text, "From:", from);
    appendRuleB(text, "SendTo:", sendTo);
    appendRuleB(text, "Attachment:", attachments);
    return text;
}

QString JournalRecord::BuildHeaderText() const {
    QString lines;
    appendRuleA(lines, "Subject:", subject);
    appendRuleA(lines, "MailDate:", timeCreated);
    appendRuleA(lines, "DiaryDate:", diaryDate);
    appendRuleA(lines, "From:", from);
    appendRuleA(lines, "SendTo:", sendTo);
    appendRuleA(lines, "Attachment:", attachments);
    appendRuleA(lines, "Categories:", categories);
    return QStringLiteral("Journal Item \r\n") + QStringLiteral("\r\n") + lines;
}

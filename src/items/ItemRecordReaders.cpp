#include "items/ItemRecordReaders.h"

#include "items/AddressNormalizers.h"
#include "items/ItemFieldReaders.h"
#include "notes/ln/LNDocument.h"

namespace {

QString readSender(const LNDocument& document) {
    return NormalizeSender(ReadTextItem(document, QStringLiteral("From")));
}

}  // namespace

MailRecord ReadMailRecord(LNDocument document, QStringList* names, QStringList* sizes) {
    MailRecord r;
    r.subject = ReadTextItem(document, QStringLiteral("Subject"));
    r.from = readSender(document);
    r.dateSent = ReadSentDate(document);
    r.attachments = DescribeAttachments(document, names, sizes);
    r.sendTo = ReadRecipientBlock(document);
    return r;
}

CalendarRecord ReadCalendarRecord(LNDocument document, QStringList* names, QStringList* sizes) {
    CalendarRecord r;
    r.subject = ReadTextItem(document, QStringLiteral("Subject"));
    r.from = readSender(document);
    r.location = ReadTextItem(document, QStringLiteral("Location"));
    r.startDateTime = ReadDateItem(document, QStringLiteral("STARTDATETIME"));
    r.endDateTime = ReadDateItem(document, QStringLiteral("EndDateTime"));
    r.attachments = DescribeAttachments(document, names, sizes);
    r.sendTo = ReadRecipientBlock(document);
    return r;
}

TaskRecord ReadTaskRecord(LNDocument document, QStringList* names, QStringList* sizes) {
    TaskRecord r;
    r.subject = ReadTextItem(document, QStringLiteral("Subject"));
    r.from = readSender(document);
    r.startDateTime = ReadDateItem(document, QStringLiteral("STARTDATETIME"));
    r.dueDate = ReadDateItem(document, QStringLiteral("DueDate"));
    r.attachments = DescribeAttachments(document, names, sizes);
    r.sendTo = ReadRecipientBlock(document);
    return r;
}

JournalRecord ReadJournalRecord(LNDocument document, QStringList* names, QStringList* sizes) {
    JournalRecord r;
    r.subject = ReadTextItem(document, QStringLiteral("Subject"));
    r.from = readSender(document);
    r.timeCreated = ReadDateItem(document, QStringLiteral("TimeCreated"));
    r.diaryDate = ReadDateItem(document, QStringLiteral("DiaryDate"));
    r.categories = ReadTextItem(document, QStringLiteral("Categories"));
    r.attachments = DescribeAttachments(document, names, sizes);
    r.sendTo = ReadRecipientBlock(document);
    return r;
}

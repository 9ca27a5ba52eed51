#pragma once

#include <QStringList>

#include "items/ItemRecords.h"

class LNDocument;

// The per-kind readers. The document must be open; the caller closes it.
// `names` and `sizes`, when given, collect the attachments' names and size
// texts for detaching them later. No reader fails: unreadable items are "".
MailRecord ReadMailRecord(LNDocument document, QStringList* names = nullptr, QStringList* sizes = nullptr);
CalendarRecord ReadCalendarRecord(LNDocument document, QStringList* names = nullptr,
                                  QStringList* sizes = nullptr);
TaskRecord ReadTaskRecord(LNDocument document, QStringList* names = nullptr, QStringList* sizes = nullptr);
JournalRecord ReadJournalRecord(LNDocument document, QStringList* names = nullptr,
                                QStringList* sizes = nullptr);

#pragma once

#include <QString>
#include <array>

// The fields read from one document of each kind; every field is display
// text, empty when its items are missing. BuildHeaderText composes the
// header block shown above the body and written into the document's table.

struct MailRecord {
    QString subject;      // 0
    QString from;         // 1 sender
    QString sendTo;       // 2 recipient block
    QString dateSent;     // 3
    QString attachments;  // 4 attachment summary

    QString BuildHeaderText() const;
};

struct CalendarRecord {
    QString subject;        // 0
    QString from;           // 1
    QString sendTo;         // 2
    QString location;       // 3 "Location"
    QString startDateTime;  // 4 "STARTDATETIME"
    QString endDateTime;    // 5 "EndDateTime"
    QString attachments;    // 6
    QString unused7;        // 7 always empty

    QString BuildHeaderText() const;
};

struct TaskRecord {
    QString subject;        // 0
    QString from;           // 1
    QString sendTo;         // 2
    QString startDateTime;  // 3 "STARTDATETIME"
    QString dueDate;        // 4 "DueDate"
    QString attachments;    // 5
    QString unused6;        // 6 always empty

    QString BuildHeaderText() const;
};

struct JournalRecord {
    QString subject;      // 0
    QString from;         // 1
    QString sendTo;       // 2
    QString timeCreated;  // 3 "TimeCreated"
    QString diaryDate;    // 4 "DiaryDate"
    QString attachments;  // 5
    QString categories;   // 6 "Categories"

    QString BuildHeaderText() const;
};

// 69 fields: 0 the sender, 1..64 the contact's text items (ContactItemNames),
// 65 the attachment summary, 66 and 67 empty, 68 the "Photo" item.
struct ContactRecord {
    static constexpr int kFieldCount = 69;
    static constexpr int kFirstItemField = 1;
    static constexpr int kItemFieldCount = 64;
    static constexpr int kAttachmentsField = 65;
    static constexpr int kPhotoField = 68;
    // A few fields the composition rules name.
    static constexpr int kFullNameInputField = 1;
    static constexpr int kPrimaryAddressField = 14;

    std::array<QString, kFieldCount> fields;

    // The Notes item of field 1..64.
    static const char* ItemName(int field);
    // The field that holds a Notes item (case-sensitive as listed), or -1.
    static int FieldOf(const char* itemName);

    QString BuildHeaderText() const;
};

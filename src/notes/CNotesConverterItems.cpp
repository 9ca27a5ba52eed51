#include "notes/AddressNormalizers.h"
#include "notes/CNotesConverter.h"
#include "notes/ContactTextBlocks.h"
#include "notes/ItemFieldReaders.h"
#include "notes/NotesItemKind.h"

namespace {

// The texts of one row of the item list.
struct RowTexts {
    NotesItemKind kind = Mail;
    QString column0, column1, column2, column3, attachments;
};

}  // namespace

void CNotesConverter::FillItemList(IItemList* itemList) {
    if (cancelRequested) return;
    LNINT count = 0;
    try {
        count = m_currentFolder.GetEntryCount();
    } catch (...) {
        return;
    }
    const unsigned n = count > 0 ? unsigned(count) : 0u;
    for (unsigned i = 0; i < n && !cancelRequested; ++i) {
        if (progressDialog && progressDialog->hasWindow()) {
            progressDialog->setPosition(int((i + 1) * 100u / (n + 4u)));
            progressDialog->repaint();
        }
        LNDocument document;
        NOTEID noteId = 0;
        try {
            const LNVFEntry entry = m_currentFolder[LNINT(i)];
            if (entry.GetDocument(&document) != LNNOERROR) continue;
            noteId = entry.GetNoteID();
            if (document.Open(0) != LNNOERROR) continue;
        } catch (...) {
            continue;  // a document that cannot be fetched or opened gets no row
        }
        RowTexts row;
        row.column1 = ReadTextItem(document, QStringLiteral("Subject"));
        row.column0 = NormalizeSender(ReadTextItem(document, QStringLiteral("From")));
        row.attachments = DescribeAttachments(document);
        row.column2 = ReadSentDate(document);
        try {
            row.column3 = QString::number(document.GetSize());
        } catch (...) {
            row.column3 = QStringLiteral("0");
        }
        row.kind = DetectItemKind(document);
        switch (row.kind) {
            case Calendar:
            case Task: row.column2 = ReadDateItem(document, QStringLiteral("STARTDATETIME")); break;
            case Journal:
                row.column2 = ReadDateItem(document, QStringLiteral("TimeCreated"));
                if (row.column2.isEmpty()) row.column2 = ReadDateItem(document, QStringLiteral("DiaryDate"));
                break;
            case Contact: {
                const ContactRecord contact = ReadContactRecord(document);
                row.column0 = ContactTextBlock1(contact);
                row.column1 = ContactTextBlock2(contact);
                row.column2 = ContactTextBlock3(contact);
                break;
            }
            case Mail: break;
        }
        if (itemList) {
            const int r = itemList->addRow(int(row.kind), row.column0);
            itemList->setColumn(r, 1, row.column1);
            itemList->setColumn(r, 2, row.column2);
            itemList->setColumn(r, 3, row.column3);
            itemList->setRowNoteId(r, noteId);
            if (!row.attachments.isEmpty()) itemList->setColumn(r, 4, row.attachments);
        }
        try {
            document.Close();
        } catch (...) {
        }
    }
}

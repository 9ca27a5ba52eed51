#include "items/AddressNormalizers.h"
#include "convert/CNotesConverter.h"
#include "items/ContactTextBlocks.h"
#include "items/DocumentFields.h"
#include "items/ItemFieldReaders.h"
#include "items/NotesItemKind.h"

ItemListRow CNotesConverter::ReadItemListRow(const LNDocument& document) const {
    ItemListRow row;
    row.columns[1] = ReadTextItem(document, QStringLiteral("Subject"));
    row.columns[0] = NormalizeSender(ReadTextItem(document, QStringLiteral("From")));
    row.columns[4] = DescribeAttachments(document);
    row.columns[2] = ReadSentDate(document);
    try {
        row.columns[3] = QString::number(document.GetSize());
    } catch (...) {
        row.columns[3] = QStringLiteral("0");
    }
    row.kind = DetectItemKind(document);
    switch (row.kind) {
        case Calendar:
        case Task:
            row.columns[2] = ReadDateItem(document, QStringLiteral("STARTDATETIME"));
            break;
        case Journal:
            row.columns[2] = ReadDateItem(document, QStringLiteral("TimeCreated"));
            if (row.columns[2].isEmpty())
                row.columns[2] = ReadDateItem(document, QStringLiteral("DiaryDate"));
            break;
        case Contact: {
            const ContactRecord contact = ReadContactRecord(document);
            row.columns[0] = ContactTextBlock1(contact);
            row.columns[1] = ContactTextBlock2(contact);
            row.columns[2] = ContactTextBlock3(contact);
            break;
        }
        case Document:
            // The subject column holds what the document is called, as its file will be.
            if (document.data()) row.columns[1] = DocumentTitle(*document.data(), document.GetForm().get(),
                                                           m_currentFolder.GetTitleItem());
            break;
        case Mail:
            break;
    }
    return row;
}

QStringList CNotesConverter::UnreadableItems(const LNDocument& document) {
    QStringList out;
    const auto& note = document.data();
    if (!note) return out;
    for (const store::StoreItem& item : note->items)
        if (item.unreadable || !item.problem.isEmpty())
            out << QStringLiteral("item \"%1\" cannot be read: %2").arg(item.name, item.problem);
    return out;
}

void CNotesConverter::FillItemList(IItemList* itemList) {
    m_itemListProblems.clear();
    if (cancelRequested) return;
    LNINT count = 0;
    try {
        count = m_currentFolder.GetEntryCount();
    } catch (...) {
        return;
    }
    const QString folderName = LNStringToWide(m_currentFolder.GetName());
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
            noteId = entry.GetNoteID();
            LNSTATUS status = entry.GetDocument(&document);
            if (status == LNNOERROR) status = document.Open(0);
            if (status != LNNOERROR) throw status;
        } catch (LNSTATUS status) {
            // A document that cannot be fetched or opened gets no row, but a line.
            m_itemListProblems << QStringLiteral("%1: note %2 left out: %3")
                                      .arg(folderName, QString::number(noteId, 16), ErrorTextFor(status));
            continue;
        } catch (...) {
            m_itemListProblems << QStringLiteral("%1: note %2 left out: it cannot be read")
                                      .arg(folderName, QString::number(noteId, 16));
            continue;
        }
        for (const QString& problem : UnreadableItems(document))
            m_itemListProblems << QStringLiteral("%1: note %2: %3").arg(folderName, QString::number(noteId, 16), problem);
        ItemListRow row = ReadItemListRow(document);
        row.noteId = noteId;
        if (itemList) {
            const int r = itemList->addRow(int(row.kind), row.columns[0]);
            itemList->setColumn(r, 1, row.columns[1]);
            itemList->setColumn(r, 2, row.columns[2]);
            itemList->setColumn(r, 3, row.columns[3]);
            itemList->setRowNoteId(r, row.noteId);
            if (!row.columns[4].isEmpty()) itemList->setColumn(r, 4, row.columns[4]);
        }
        try {
            document.Close();
        } catch (...) {
        }
    }
}

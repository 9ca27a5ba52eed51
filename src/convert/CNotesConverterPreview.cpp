#include "convert/CNotesConverter.h"

#include "convert/ILargeBodyQuestion.h"
#include "items/DocumentFields.h"
#include "items/ItemFieldReaders.h"
#include "items/ItemRecordReaders.h"
#include "items/NotesItemKind.h"
#include "rtf/HeaderTableRtf.h"

#include <QFile>

namespace {

const QString kNoContent = QStringLiteral("This File Does not contain any content!!!");

int typeCodeOf(NotesItemKind kind) {
    switch (kind) {
    case Mail: return 0;
    case Calendar: return 1;
    case Task: return 2;
    case Contact: return 3;
    case Journal: return 4;
    case Document: return 6;
    }
    return 5;
}

}  // namespace

int CNotesConverter::RenderItem(NOTEID noteId, int rtfFlag, int purpose, QString& result, int& type,
                                QStringList& attachmentNames, QStringList& attachmentSizes, QString* plainText) {
    result.clear();
    type = 5;
    m_strPreviewHeaderTable.clear();
    attachmentNames.clear();
    attachmentSizes.clear();
    if (plainText) plainText->clear();
    if (cancelRequested) return 0;

    const QString temp = TempFolder();
    if (!temp.isEmpty()) QFile::remove(temp + QStringLiteral("ch111.rtf"));

    LNDocument document;
    try {
        m_lastStatus = m_database.GetDocument(noteId, &document);
        if (m_lastStatus == LNNOERROR) m_lastStatus = document.Open(0);
    } catch (LNSTATUS status) {
        m_lastStatus = status;
    } catch (...) {
        m_lastStatus = 1;
    }
    if (m_lastStatus != LNNOERROR) {
        StoreErrorText(m_lastStatus);
        m_strPreviewHeaderText.clear();
        return 0;
    }

    NotesItemKind kind = Mail;
    bool known = true;
    try {
        kind = DetectItemKind(document);
    } catch (...) {
        known = false;
    }

    // The body as RTF, for the RTF saving modes.
    QString rtfResult;
    if (rtfFlag && known) {
        int rtfReady = 0;
        QString rtfText, ignored;
        try {
            ExportBody(document, rtfReady, rtfText, ignored, 0);
        } catch (...) {
        }
        rtfResult = rtfText;
    }

    // The text: the body, or the comment when there is no body.
    QString text;
    const auto readInto = [&](const char* name, bool bodyRules) {
        if (!document.HasItem(name)) return;
        const LNITEMTYPE itemType = document.GetItemType(name);
        if (itemType == LNITEMTYPE_RICHTEXT) {
            document.RefreshObjectFromNoteHandle();
            LNItem item;
            document.GetItem(name, &item);
            const LNRichText richText(item);
            // Only the preview asks: a save always takes the whole body.
            if (bodyRules && purpose == RenderPreview && richText.GetValueSize() > kLargeBodyBytes) {
                if (m_bAskLargeBody) {
                    m_bShowLargeBody = 1;
                    bool dontAskAgain = false;
                    const bool show = largeBodyQuestion ? largeBodyQuestion->AskShowLargeBody(&dontAskAgain) : true;
                    m_bShowLargeBody = show ? 1 : 0;
                    m_bAskLargeBody = dontAskAgain ? 0 : 1;
                }
                if (!m_bShowLargeBody) return;
                if (kind == Mail) {
                    // Shown from "ch111.rtf" with its formatting; no text is added.
                    int rtfReady = 0;
                    QString rtfText, ignored;
                    ExportBody(document, rtfReady, rtfText, ignored, 1);
                    return;
                }
            }
            text = CNotesConverter::ReadWholeRichText(richText);
        } else if (itemType == LNITEMTYPE_TEXT) {
            LNItem item;
            document.GetItem(name, &item);
            LNString value;
            LNText(item).GetText(&value, ";");
            text = LNStringToWide(value);
        }
    };
    try {
        readInto("Comment", false);
    } catch (LNSTATUS status) {
        lastErrorText = ErrorTextFor(status);
    } catch (...) {
    }
    try {
        readInto("Body", true);
    } catch (LNSTATUS status) {
        lastErrorText = ErrorTextFor(status);  // the item is composed without its body
    } catch (...) {
    }
    // A document of another form: every rich-text item, Body first, each under its name.
    if (known && kind == Document && document.data()) {
        const store::StoreItem* body = document.data()->item(QStringLiteral("Body"));
        if (!body || body->type == store::TypeComposite)
            if (const auto composed = ComposeRichTextItems(*document.data(), document.GetForm().get())) text = composed->plainText();
    }

    // The header by kind.
    try {
        type = known ? typeCodeOf(kind) : 5;
        if (!known) m_strPreviewHeaderText = kNoContent;
        if (known) switch (kind) {
        case Mail:
            m_strPreviewHeaderText = ReadMailRecord(document, &attachmentNames, &attachmentSizes).BuildHeaderText();
            break;
        case Calendar:
            m_strPreviewHeaderText =
                ReadCalendarRecord(document, &attachmentNames, &attachmentSizes).BuildHeaderText();
            break;
        case Task:
            m_strPreviewHeaderText = ReadTaskRecord(document, &attachmentNames, &attachmentSizes).BuildHeaderText();
            break;
        case Contact:
            m_strPreviewHeaderText =
                ReadContactRecord(document, &attachmentNames, &attachmentSizes).BuildHeaderText();
            break;
        case Journal:
            m_strPreviewHeaderText =
                ReadJournalRecord(document, &attachmentNames, &attachmentSizes).BuildHeaderText();
            break;
        case Document: {
            std::vector<FieldRow> rows;
            if (document.data()) rows = ReadFieldRows(*document.data(), document.GetForm().get());
            const QString summary = DescribeAttachments(document, &attachmentNames, &attachmentSizes);
            if (!summary.isEmpty()) rows.push_back({QStringLiteral("Attachment"), summary});
            m_strPreviewHeaderText = rtf::FieldsHeaderText(rows);
            m_strPreviewHeaderTable = rtf::HeaderTableRtf(rows);
            break;
        }
        }
    } catch (...) {
        m_strPreviewHeaderText = kNoContent;
        m_strPreviewHeaderTable.clear();
        type = 5;
        attachmentNames.clear();
        attachmentSizes.clear();
    }

    try {
        document.Close();
    } catch (...) {
    }

    if (plainText) *plainText = text;
    if (purpose == RenderPreview)
        result = m_strPreviewHeaderText + text;
    else if (purpose == RenderTextSave)
        result = text;
    else
        result = rtfResult;
    return 1;
}

int CNotesConverter::SaveItemAttachments(NOTEID noteId, const QString& folder, QList<AttachmentFailure>* failures) {
    LNDocument document;
    try {
        m_database.GetDocument(noteId, &document);
        document.Open(0);
    } catch (LNSTATUS status) {
        StoreErrorText(status);
        return 0;
    } catch (...) {
        return 0;
    }
    if (!folder.isEmpty()) DetachAttachments(document, folder, failures);
    try {
        document.Close();
    } catch (...) {
    }
    return 1;
}

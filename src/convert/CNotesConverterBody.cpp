#include "convert/CNotesConverter.h"

#include "files/PrivateTempDir.h"
#include "items/DocumentFields.h"
#include "items/NotesItemKind.h"
#include "notes/store/BodyFallback.h"

#include <QDir>
#include <QFile>

// A rich-text item's whole plain text: one read, and when that says more
// remains, chunk after chunk from the start cursor to the end.
QString CNotesConverter::ReadWholeRichText(const LNRichText& rt) {
    LNString first;
    if (rt.GetText(&first) != LNWARN_PARTIAL_TEXT) return LNStringToWide(first);
    LNRTCursor start, end;
    rt.GetCursor(&start);
    rt.GetEndCursor(&end);
    QString text;
    LNSTATUS chunkStatus = LNWARN_PARTIAL_TEXT;
    while (chunkStatus == LNWARN_PARTIAL_TEXT) {
        LNString chunk;
        const LNINT before = start.position();
        chunkStatus = rt.GetText(&start, end, &chunk);
        text += LNStringToWide(chunk);
        if (start.position() == before) break;  // no progress: stop rather than loop
    }
    return text;
}

QString CNotesConverter::TempFolder() {
    const QString dir = PrivateTempDir::path();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/');
}

int CNotesConverter::ExportBody(LNDocument& document, int& rtfReady, QString& rtfText, QString& plainText,
                                int preview, bool inMemory) {
    inMemory = inMemory && !preview;
    const QString temp = inMemory ? QString() : TempFolder();
    const QString exportPath = temp + QStringLiteral("ch111.rtf");
    if (!temp.isEmpty()) QFile::remove(exportPath);
    rtfReady = 0;

    try {
        document.RefreshObjectFromNoteHandle();
    } catch (LNSTATUS) {
        return 0;
    }

    LNRichText richText;
    bool haveRichText = false;
    try {
        const auto isType = [&](const char* name, LNITEMTYPE type) {
            return document.HasItem(name) && document.GetItemType(name) == type;
        };
        const char* richName = isType("Body", LNITEMTYPE_RICHTEXT)      ? "Body"
                               : isType("Comment", LNITEMTYPE_RICHTEXT) ? "Comment"
                                                                        : nullptr;
        if (richName) {
            LNItem item;
            document.GetItem(richName, &item);
            richText = LNRichText(item);
            haveRichText = true;
        } else if (isType("Body", LNITEMTYPE_TEXT) || isType("Comment", LNITEMTYPE_TEXT)) {
            LNItem item;
            if (document.HasItem("Body"))
                document.GetItem("Body", &item);
            else
                document.GetItem("Comment", &item);
            LNString text;
            LNText(item).GetText(&text, ";");
            plainText = LNStringToWide(text);
        }
    } catch (LNSTATUS) {
        haveRichText = false;
    }
    // A document of another form shows every rich-text item, Body first (a
    // Body of another kind, such as MIME, stays the body). Otherwise text kept
    // in neither Body nor Comment: the other rich-text items make the body.
    const auto& note = document.data();
    const store::StoreItem* body = note ? note->item(QStringLiteral("Body")) : nullptr;
    bool composedAll = false;
    if (note && (!body || body->type == store::TypeComposite) && DetectItemKind(document) == Document) {
        if (auto composed = ComposeRichTextItems(*note, document.GetForm().get())) {
            richText = LNRichText(std::move(composed));
            haveRichText = true;
            composedAll = true;
        }
    }
    if (note && !composedAll) {
        if (auto composed = store::BodyFallback::compose(*note)) {
            richText = LNRichText(std::move(composed));
            haveRichText = true;
        }
    }

    if (!temp.isEmpty()) QFile::remove(exportPath);
    if (!haveRichText) return 1;

    try {
        plainText = ReadWholeRichText(richText);
    } catch (LNSTATUS) {
        return 1;
    }

    if ((savingMode == RtfLowQuality || savingMode == RtfBestQuality) && inMemory) {
        QByteArray rtf;
        try {
            const LNSTATUS st = savingMode == RtfBestQuality ? richText.ExportToBytes(&rtf, "RTF", "nxrtf2.dll")
                                                              : richText.ExportToBytes(&rtf, "RTF");
            if (st != LNNOERROR) rtf.clear();
        } catch (LNSTATUS) {
            rtf.clear();
        }
        const QString text = LatinTextWithProgress(rtf);
        if (!text.isEmpty()) {
            rtfText = text;
            rtfReady = 1;
        }
    } else if ((savingMode == RtfLowQuality || savingMode == RtfBestQuality || preview) && !temp.isEmpty()) {
        LNRTCursor start, end;
        bool exported = false;
        try {
            richText.GetCursor(&start);
            richText.GetEndCursor(&end);
            const LNString target = WideToLNString(exportPath);
            LNSTATUS st;
            if (savingMode == RtfBestQuality)
                st = richText.Export(target, start, end, "RTF", "nxrtf2.dll");
            else
                st = richText.Export(target, start, end, "RTF");
            exported = st == LNNOERROR;
        } catch (LNSTATUS) {
            exported = false;
        }
        if (exported) {
            if (preview) {
                rtfText.clear();
                rtfReady = 1;
            } else {
                const QString text = ReadTextFileWithProgress(exportPath);
                if (!text.isEmpty()) {
                    rtfText = text;
                    rtfReady = 1;
                }
            }
        }
    }
    return 1;
}

QString CNotesConverter::ReadTextFileWithProgress(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return LatinTextWithProgress(file.readAll());
}

QString CNotesConverter::LatinTextWithProgress(const QByteArray& data) {
    // RTF written by the exporter is 8-bit text: each byte is one character.
    const bool showsProgress = itemProgressBar && itemProgressBar->hasWindow();
    if (!showsProgress && !cancelRequested) return QString::fromLatin1(data);
    qsizetype lines = 0;
    for (const char c : data)
        if (c == '\n') ++lines;
    if (!data.isEmpty() && !data.endsWith('\n')) ++lines;
    const qsizetype n = 10 + lines;
    QString text;
    text.reserve(data.size());
    qsizetype k = 0;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype eol = data.indexOf('\n', pos);
        const qsizetype next = eol < 0 ? data.size() : eol + 1;
        ++k;
        if (n > 1 && itemProgressBar && itemProgressBar->hasWindow())
            itemProgressBar->setPosition(int((100 * k) / n));
        if (cancelRequested) break;
        // Line breaks are kept: a control word at the end of a line must not
        // run into the next line's text.
        text += QString::fromLatin1(data.constData() + pos, next - pos);
        pos = next;
    }
    return text;
}

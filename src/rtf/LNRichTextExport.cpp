// LNRichText's export filters. The Notes layer declares Export; the RTF writer,
// one layer up, does the writing, so this part of the class lives with it.
#include "notes/ln/LNErrors.h"
#include "notes/ln/LNRichText.h"
#include "rtf/RtfWriter.h"

#include <QSaveFile>

namespace {

// The RTF of a whole rich-text item in `data`.
LNSTATUS renderRtf(const store::RichTextDoc* doc, const LNString& format, const LNString* filterName,
                   QByteArray* data) {
    if (!doc) return lnimpl::fail(store::StatusWrongItemType);
    const QString fmt = QString::fromUtf8(format.GetBuf());
    if (fmt.compare(QLatin1String("RTF"), Qt::CaseInsensitive) != 0)
        return lnimpl::fail({store::StatusExportFailed, QStringLiteral("unsupported export format \"%1\"").arg(fmt)});
    rtf::RtfQuality quality = rtf::RtfQuality::Low;
    if (filterName && !filterName->IsNull()) {
        const QString filter = QString::fromUtf8(filterName->GetBuf());
        if (filter.compare(QLatin1String("nxrtf2.dll"), Qt::CaseInsensitive) != 0)
            return lnimpl::fail({store::StatusExportFailed, QStringLiteral("unknown export filter \"%1\"").arg(filter)});
        quality = rtf::RtfQuality::Best;
    }
    *data = rtf::RtfWriter(quality).write(*doc);
    return LNNOERROR;
}

// Writes the RTF of a whole rich-text item to `filename`, replacing the file.
LNSTATUS exportRtf(const store::RichTextDoc* doc, const LNString& filename, const LNString& format,
                   const LNString* filterName) {
    QByteArray data;
    const LNSTATUS rendered = renderRtf(doc, format, filterName, &data);
    if (rendered != LNNOERROR) return rendered;
    const QString path = QString::fromUtf8(filename.GetBuf());
    if (path.isEmpty()) return lnimpl::fail({store::StatusWriteFailed, QStringLiteral("no file name")});

    QSaveFile file(path);
    file.setDirectWriteFallback(true);  // a folder we may write files in but not create them
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return lnimpl::fail({store::StatusWriteFailed, path + QStringLiteral(": ") + file.errorString()});
    return LNNOERROR;
}

}  // namespace

// The cursors only address the plain text, which cannot say where pictures or
// table borders fall, so every range exports the whole item (the program only
// ever asks for the whole item).
LNSTATUS LNRichText::Export(const LNString& filename, const LNRTCursor&, const LNRTCursor&,
                            const LNString& format) const {
    return exportRtf(m_valid ? m_doc.get() : nullptr, filename, format, nullptr);
}

LNSTATUS LNRichText::Export(const LNString& filename, const LNRTCursor&, const LNRTCursor&, const LNString& format,
                            const LNString& filterName) const {
    return exportRtf(m_valid ? m_doc.get() : nullptr, filename, format, &filterName);
}

LNSTATUS LNRichText::ExportToBytes(QByteArray* rtf, const LNString& format, const LNString& filterName) const {
    if (!rtf) return lnimpl::fail({store::StatusExportFailed, QStringLiteral("no buffer")});
    return renderRtf(m_valid ? m_doc.get() : nullptr, format, &filterName, rtf);
}

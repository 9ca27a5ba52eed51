// LNRichText's export filters. The Notes layer declares Export; the RTF writer,
// one layer up, does the writing, so this part of the class lives with it.
#include "notes/ln/LNErrors.h"
#include "notes/ln/LNRichText.h"
#include "rtf/RtfWriter.h"

#include <QSaveFile>

namespace {

// Writes the RTF of a whole rich-text item to `filename`, replacing the file.
LNSTATUS exportRtf(const store::RichTextDoc* doc, const LNString& filename, const LNString& format,
                   const LNString* filterName) {
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
    const QString path = QString::fromUtf8(filename.GetBuf());
    if (path.isEmpty()) return lnimpl::fail({store::StatusWriteFailed, QStringLiteral("no file name")});

    const QByteArray data = rtf::RtfWriter(quality).write(*doc);
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

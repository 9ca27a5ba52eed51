#include "items/ItemFieldReaders.h"

#include "items/WideText.h"
#include "notes/ln/LNAttachment.h"
#include "notes/ln/LNDatetime.h"
#include "notes/ln/LNDocument.h"
#include "notes/ln/LNText.h"

namespace {

// The item read after an empty value of `name`, or "" for none.
QString fallbackFor(const QString& name) {
    if (name.compare(QLatin1String("From"), Qt::CaseInsensitive) == 0) return QStringLiteral("INetFrom");
    if (name.compare(QLatin1String("CopyTo"), Qt::CaseInsensitive) == 0) return QStringLiteral("InetCopyTo");
    if (name.compare(QLatin1String("SendTo"), Qt::CaseInsensitive) == 0) return QStringLiteral("InetSendTo");
    return QString();
}

}  // namespace

QString ReadTextItem(const LNNote& document, const QString& name) {
    try {
        const LNString lnName = WideText::toLNString(name);
        if (!document.HasItem(lnName)) return QString();
        LNItem item;
        if (document.GetItem(lnName, &item) != LNNOERROR) return QString();
        const LNText text(item);
        LNString value;
        if (text.GetText(&value, ";") != LNNOERROR) return QString();
        const QString wide = WideText::fromLNString(value);
        if (wide.isEmpty()) {
            const QString fallback = fallbackFor(name);
            if (!fallback.isEmpty()) {
                const QString other = ReadTextItem(document, fallback);
                if (!other.isEmpty()) return other;
            }
        }
        return wide;
    } catch (...) {
        return QString();
    }
}

QString ReadDateItem(const LNNote& document, const QString& name) {
    try {
        const LNString lnName = WideText::toLNString(name);
        if (!document.HasItem(lnName)) return QString();
        LNItem item;
        if (document.GetItem(lnName, &item) != LNNOERROR) return QString();
        const LNDatetimes dates(item);
        LNString value;
        if (dates.GetText(&value, ";") != LNNOERROR) return QString();
        return QString::fromUtf8(value.GetBuf());
    } catch (...) {
        return QString();
    }
}

QString DescribeAttachments(const LNNote& document, QStringList* names, QStringList* sizes) {
    LNAttachmentArray attachments;
    try {
        if (document.GetAttachments(&attachments) != LNNOERROR) return QString();
    } catch (...) {
        return QString();
    }
    QString summary;
    LNINT count = 0;
    try {
        count = attachments.GetCount();
    } catch (...) {
        return QString();
    }
    for (LNINT i = 0; i < count; ++i) {
        try {
            if (!summary.isEmpty()) summary += QStringLiteral(", ");
            const LNAttachment attachment = attachments[i];
            const QString name = WideText::fromLNString(attachment.GetAttachmentName());
            if (names) names->append(name);
            summary += name;
            const QString size = QStringLiteral(" Size = %1").arg(attachment.GetFileSize());
            if (sizes) sizes->append(size);
            summary += size;
        } catch (...) {
        }
    }
    return summary;
}

QString ReadSentDate(const LNDocument& document) {
    try {
        LNDatetime date;
        if (LNMailMessage(document).GetDateSent(&date) != LNNOERROR) return QString();
        LNString text;
        if (date.GetText(&text) != LNNOERROR) return QString();
        return QString::fromUtf8(text.GetBuf());
    } catch (...) {
        return QString();
    }
}

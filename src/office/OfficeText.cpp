#include "office/OfficeText.h"

#include "office/UnoStrings.h"

rtl::OUString ParagraphText(const QString& value) {
    // Writer splits paragraphs at "\r" and keeps "\n" as a line break inside one:
    // bring every kind of line end to "\r", as the word processor reads them.
    QString normalized = value;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    normalized.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return toOU(normalized);
}

void ReplaceRangeText(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& range,
                      const QString& value) {
    range->setString(ParagraphText(value));
}

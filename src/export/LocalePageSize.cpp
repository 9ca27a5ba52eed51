#include "export/LocalePageSize.h"

#include <langinfo.h>
#include <locale.h>

#include <QList>
#include <QRegularExpression>

namespace {

// Territories whose usual paper is Letter.
bool LetterTerritory(const QByteArray& name) {
    static const QRegularExpression territory(QStringLiteral("^[a-zA-Z]{2,3}_([A-Z]{2})"));
    const QRegularExpressionMatch m = territory.match(QString::fromLatin1(name));
    if (!m.hasMatch()) return false;
    static const QList<QString> letter = {QStringLiteral("US"), QStringLiteral("CA"), QStringLiteral("MX"),
                                          QStringLiteral("CL"), QStringLiteral("CO"), QStringLiteral("CR"),
                                          QStringLiteral("GT"), QStringLiteral("PA"), QStringLiteral("PH"),
                                          QStringLiteral("PR"), QStringLiteral("SV"), QStringLiteral("VE"),
                                          QStringLiteral("DO"), QStringLiteral("NI"), QStringLiteral("BZ")};
    return letter.contains(m.captured(1));
}

// The paper of an installed locale; false when it is not installed.
bool InstalledLocalePaper(const char* name, LocalePageSize* size) {
    locale_t loc = newlocale(LC_PAPER_MASK, name, locale_t(nullptr));
    if (loc == locale_t(nullptr)) return false;
    // LC_PAPER answers with numbers (millimetres) in the place of the string.
    union {
        const char* string;
        unsigned int word;
    } width, height;
    width.string = nl_langinfo_l(_NL_PAPER_WIDTH, loc);
    height.string = nl_langinfo_l(_NL_PAPER_HEIGHT, loc);
    freelocale(loc);
    *size = (width.word == 216 && height.word == 279) ? LocalePageSize::Letter() : LocalePageSize::A4();
    return true;
}

}  // namespace

LocalePageSize LocalePageSize::ForLocale(const QByteArray& name) {
    LocalePageSize size;
    if (InstalledLocalePaper(name.constData(), &size)) return size;
    return LetterTerritory(name) ? Letter() : A4();
}

LocalePageSize LocalePageSize::FromEnvironment() {
    LocalePageSize size;
    if (InstalledLocalePaper("", &size)) return size;
    // The named locale is not installed: its territory decides.
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const QByteArray value = qgetenv(variable);
        if (!value.isEmpty()) return LetterTerritory(value) ? Letter() : A4();
    }
    return A4();
}

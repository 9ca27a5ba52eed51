#pragma once

#include <QLocale>
#include <QString>

// The wizard's language: German and Japanese translations of its texts
// (res/i18n/tesseldoc_LANG.ts, compiled into the program) and Qt's own for
// the standard dialogs, chosen by the desktop's languages (LANGUAGE, LC_ALL,
// LC_MESSAGES, LANG). Any other language keeps the English texts.
class WizardTranslation {
public:
    // Installs the translation for `locale`; returns the language installed
    // ("de", "ja"), empty for English. A second call replaces the first.
    static QString install(const QLocale& locale = QLocale());
    // Back to English.
    static void remove();
};

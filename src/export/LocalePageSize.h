#pragma once

#include <QByteArray>

// The page size every written document gets: the one of the user's locale,
// A4 or Letter (portrait, in hundredths of a millimetre).
struct LocalePageSize {
    int width = 21000;
    int height = 29700;
    bool IsLetter() const { return width == 21590; }

    static LocalePageSize A4() { return {21000, 29700}; }
    static LocalePageSize Letter() { return {21590, 27940}; }
    // The size of the locale the environment names for paper (LC_ALL, LC_PAPER, LANG).
    static LocalePageSize FromEnvironment();
    // The size of a named locale ("en_US.UTF-8", "de_DE", "C"); when the locale
    // is not installed, decided by its territory.
    static LocalePageSize ForLocale(const QByteArray& name);
};

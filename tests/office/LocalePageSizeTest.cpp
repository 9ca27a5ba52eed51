#include <gtest/gtest.h>

#include "office/LocalePageSize.h"

TEST(LocalePageSize, TheLocaleDecidesBetweenA4AndLetter) {
    // Installed or not, a locale's territory decides.
    EXPECT_TRUE(LocalePageSize::ForLocale("en_US.UTF-8").IsLetter());
    EXPECT_TRUE(LocalePageSize::ForLocale("es_MX").IsLetter());
    EXPECT_TRUE(LocalePageSize::ForLocale("fr_CA.UTF-8").IsLetter());
    EXPECT_FALSE(LocalePageSize::ForLocale("en_GB.UTF-8").IsLetter());
    EXPECT_FALSE(LocalePageSize::ForLocale("de_DE.UTF-8").IsLetter());
    EXPECT_FALSE(LocalePageSize::ForLocale("C").IsLetter());
    EXPECT_FALSE(LocalePageSize::ForLocale("POSIX").IsLetter());
    const LocalePageSize a4 = LocalePageSize::ForLocale("de_DE");
    EXPECT_EQ(a4.width, 21000);
    EXPECT_EQ(a4.height, 29700);
    const LocalePageSize letter = LocalePageSize::ForLocale("en_US");
    EXPECT_EQ(letter.width, 21590);
    EXPECT_EQ(letter.height, 27940);
}

TEST(LocalePageSize, TheEnvironmentNamesTheLocale) {
    const QByteArray saved[3] = {qgetenv("LC_ALL"), qgetenv("LC_PAPER"), qgetenv("LANG")};
    qunsetenv("LC_ALL");
    qputenv("LC_PAPER", "en_US.UTF-8");
    qputenv("LANG", "de_DE.UTF-8");
    EXPECT_TRUE(LocalePageSize::FromEnvironment().IsLetter());
    qputenv("LC_ALL", "en_GB.UTF-8");  // LC_ALL comes first
    EXPECT_FALSE(LocalePageSize::FromEnvironment().IsLetter());
    const char* names[3] = {"LC_ALL", "LC_PAPER", "LANG"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i].isNull()) qunsetenv(names[i]);
        else qputenv(names[i], saved[i]);
    }
}

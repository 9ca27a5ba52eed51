#include "GuiTestSupport.h"

#include "app/AppTexts.h"
#include "app/WizardTranslation.h"
#include "source/SourceTexts.h"
#include "steps/SaveRunRules.h"
#include "steps/SaveTexts.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

// Back to English whatever a test did.
struct EnglishAfter {
    ~EnglishAfter() { WizardTranslation::remove(); }
};

struct Message {
    QString context, source, translation;
    bool unfinished = false;
};

QList<Message> readTs(const QString& path) {
    QList<Message> messages;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return messages;
    QXmlStreamReader xml(&f);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) context = xml.readElementText();
        else if (xml.name() == QLatin1String("message")) m = Message{context, {}, {}, false};
        else if (xml.name() == QLatin1String("source")) m.source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("translation")) {
            m.unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages << m;
        }
    }
    return messages;
}

QStringList placeholders(const QString& text) {
    QStringList found;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text)) found << m.captured();
    found.sort();
    return found;
}

}  // namespace

TEST(TranslationTest, GermanAndJapaneseByLocaleEnglishOtherwise) {
    EnglishAfter english;
    EXPECT_EQ(WizardTranslation::install(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
    EXPECT_EQ(AppTexts::kBtnNext.text(), QStringLiteral("&Weiter"));
    EXPECT_EQ(SaveTexts::kFolderBar.arg(2).arg(5), QStringLiteral("Ordner 2 von 5 wird gespeichert ..."));
    EXPECT_EQ(QString(SourceTexts::kColFilePath), QStringLiteral("Dateipfad"));
    // A text put together while the wizard runs: the bar over a folder's items.
    RunTally tally;
    tally.found = 10;
    tally.written = 5;
    EXPECT_EQ(SaveRunRules::FolderItemBar(0, 0, tally).text, QStringLiteral("Element 6 von 10 wird gespeichert ..."));

    EXPECT_EQ(WizardTranslation::install(QLocale(QLocale::Japanese, QLocale::Japan)), QStringLiteral("ja"));
    EXPECT_EQ(AppTexts::kBtnNext.text(), QStringLiteral("次へ(&N)"));
    EXPECT_EQ(AppTexts::kStepName[2].text(), QStringLiteral("ステップ 3"));

    // Languages without a translation, and English itself, keep the texts of the source.
    EXPECT_EQ(WizardTranslation::install(QLocale(QLocale::French, QLocale::France)), QString());
    EXPECT_EQ(AppTexts::kBtnNext.text(), QStringLiteral("&Next"));
    EXPECT_EQ(WizardTranslation::install(QLocale(QLocale::English, QLocale::UnitedStates)), QString());
    EXPECT_EQ(SaveTexts::kFolderBar.arg(2).arg(5), QStringLiteral("Saving Folder 2 of 5 ..."));
}

TEST(TranslationTest, WizardShowsTheLanguageInstalledBeforeIt) {
    EnglishAfter english;
    ASSERT_EQ(WizardTranslation::install(QLocale(QLocale::German, QLocale::Germany)), QStringLiteral("de"));
    CMainFrame frame(std::make_unique<FakeBackend>());
    ASSERT_TRUE(frame.OnCreate());
    EXPECT_EQ(frame.StepHost()->Page(0)->NextButton()->text(), QStringLiteral("&Exportieren"));
    EXPECT_EQ(frame.StepHost()->Page(0)->PreviewButton()->text(), QStringLiteral("&Vorschau"));
}

TEST(TranslationTest, EveryTextIsTranslatedWithItsPlaceholders) {
    for (const char* language : {"de", "ja"}) {
        const QList<Message> messages =
            readTs(QStringLiteral(TESSELDOC_SOURCE_DIR "/res/i18n/tesseldoc_%1.ts").arg(QLatin1String(language)));
        ASSERT_GT(messages.size(), 150) << language;
        for (const Message& m : messages) {
            EXPECT_FALSE(m.unfinished || m.translation.isEmpty()) << language << ": " << m.source.toStdString();
            EXPECT_EQ(placeholders(m.source), placeholders(m.translation)) << language << ": " << m.source.toStdString();
            EXPECT_EQ(m.source.count(QLatin1Char('\n')), m.translation.count(QLatin1Char('\n')))
                << language << ": " << m.source.toStdString();
        }
    }
}

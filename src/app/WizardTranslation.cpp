#include "app/WizardTranslation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator>& own() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

std::unique_ptr<QTranslator>& qtOwn() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

}  // namespace

QString WizardTranslation::install(const QLocale& locale) {
    remove();
    // The first of the desktop's languages the wizard speaks; English is the
    // texts themselves (LANGUAGE=en:de stays English).
    QString language;
    for (const QString& ui : locale.uiLanguages()) {
        const QString code = ui.section(QLatin1Char('-'), 0, 0).toLower();
        if (code == QLatin1String("en") || code == QLatin1String("c")) return QString();
        if (QFileInfo::exists(QStringLiteral(":/i18n/tesseldoc_%1.qm").arg(code))) {
            language = code;
            break;
        }
    }
    if (language.isEmpty()) return QString();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/tesseldoc_%1.qm").arg(language))) return QString();
    QCoreApplication::installTranslator(translator.get());
    own() = std::move(translator);
    // The buttons and titles of Qt's standard dialogs, when the system has them.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        qtOwn() = std::move(qt);
    }
    return language;
}

void WizardTranslation::remove() {
    for (std::unique_ptr<QTranslator>* t : {&own(), &qtOwn()}) {
        if (*t) QCoreApplication::removeTranslator(t->get());
        t->reset();
    }
}

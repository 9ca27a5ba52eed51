#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <utility>

// A text the wizard shows: its English source and the Qt Linguist context it
// is translated in. The translation is looked up whenever the text is used,
// so a translator installed at start (by the desktop's language) reaches
// every constant of the *Texts.h headers; without one the English text is
// used, letter for letter.
//
// Declared with QT_TRANSLATE_NOOP so that lupdate finds the source texts:
//   inline constexpr UiText kNext{"AppTexts", QT_TRANSLATE_NOOP("AppTexts", "&Next")};
struct UiText {
    const char* context = "";
    const char* source = "";

    QString text() const {
        if (!source || !*source) return QString();
        return QCoreApplication::translate(context, source);
    }
    operator QString() const { return text(); }

    template <typename... Args>
    QString arg(Args&&... args) const {
        return text().arg(std::forward<Args>(args)...);
    }
    bool isEmpty() const { return !source || !*source; }
    std::string toStdString() const { return text().toStdString(); }

    friend QString operator+(const UiText& a, const QString& b) { return a.text() + b; }
    friend QString operator+(const QString& a, const UiText& b) { return a + b.text(); }
    friend QString operator+(const UiText& a, const UiText& b) { return a.text() + b.text(); }
    friend QString operator+(const UiText& a, QChar b) { return a.text() + b; }
    friend QString operator+(QChar a, const UiText& b) { return a + b.text(); }
    friend bool operator==(const UiText& a, const QString& b) { return a.text() == b; }
    friend bool operator==(const QString& a, const UiText& b) { return a == b.text(); }
};

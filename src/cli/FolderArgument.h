#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A folder or view named on the command line: as `folders` prints it (escaped,
// a backslash at the end) or as the database gives it ("Projects\Alpha").
class FolderArgument {
public:
    // The names the argument may stand for, without the backslash at the end:
    // the escaped reading first, when the text is a valid escaped form, then
    // the text as typed.
    static QStringList readings(const QString& given);
    // The first reading `exists` accepts; empty when none does.
    static QString resolve(const QString& given, const std::function<bool(const QString&)>& exists);
    // Undoes the output escaping (\\ \t \r \n); nothing when a backslash is
    // followed by anything else, so the text was not written escaped.
    static std::optional<QString> unescape(const QString& text);
};

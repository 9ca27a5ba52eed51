#include "cli/FolderArgument.h"

std::optional<QString> FolderArgument::unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (i + 1 == text.size()) return std::nullopt;
        const QChar n = text.at(++i);
        if (n == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else if (n == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (n == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (n == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else
            return std::nullopt;
    }
    return out;
}

QStringList FolderArgument::readings(const QString& given) {
    auto bare = [](QString name) {
        if (name.endsWith(QLatin1Char('\\'))) name.chop(1);
        return name;
    };
    QStringList out;
    if (const auto unescaped = unescape(given)) out << bare(*unescaped);
    const QString typed = bare(given);
    if (!out.contains(typed)) out << typed;
    out.removeAll(QString());
    return out;
}

QString FolderArgument::resolve(const QString& given, const std::function<bool(const QString&)>& exists) {
    for (const QString& name : readings(given))
        if (exists(name)) return name;
    return QString();
}

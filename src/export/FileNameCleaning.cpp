#include "export/FileNameCleaning.h"

#include <QStringList>

namespace {

bool isNineCharacter(char16_t c) {
    switch (c) {
        case u'"':
        case u'*':
        case u'/':
        case u':':
        case u'<':
        case u'>':
        case u'?':
        case u'\\':
        case u'|':
            return true;
        default:
            return false;
    }
}

int utf8Bytes(const QString& text) {
    return int(text.toUtf8().size());
}

// Extensions longer than this are not treated as extensions when cutting.
constexpr int kMaxExtensionBytes = 32;

}  // namespace

bool IsControlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

QString WindowsSafeName(const QString& name) {
    QString result = name;
    for (int i = int(result.size()) - 1; i >= 0; --i) {
        if (result.at(i) != QLatin1Char(' ') && result.at(i) != QLatin1Char('.')) break;
        result[i] = QLatin1Char('_');
    }
    const int dot = int(result.indexOf(QLatin1Char('.')));
    QString device = dot < 0 ? result : result.left(dot);
    int end = int(device.size());
    while (end > 0 && device.at(end - 1) == QLatin1Char(' ')) --end;
    device = device.left(end).toUpper();
    static const QStringList plain = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                      QStringLiteral("NUL")};
    const bool numbered = device.size() == 4 && (device.startsWith(QLatin1String("COM")) ||
                                                 device.startsWith(QLatin1String("LPT"))) &&
                          device.at(3) >= QLatin1Char('1') && device.at(3) <= QLatin1Char('9');
    if (plain.contains(device) || numbered) result.insert(end, QLatin1Char('_'));
    return result;
}

QString CleanFileName(const QString& name) {
    QString result = name;
    for (QChar& c : result)
        if (isNineCharacter(c.unicode()) || IsControlCharacter(c)) c = QLatin1Char('_');
    if (result.startsWith(QLatin1Char('.'))) result[0] = QLatin1Char('_');
    return result;
}

QString CleanNameNine(const QString& name) {
    QString result = name;
    for (QChar& c : result)
        if (isNineCharacter(c.unicode()) || IsControlCharacter(c)) c = QLatin1Char('_');
    if (result == QLatin1String(".") || result == QLatin1String("..")) result.fill(QLatin1Char('_'));
    if (result.startsWith(QLatin1Char('.'))) result[0] = QLatin1Char('_');
    return result;
}

QString CutToUtf8Bytes(const QString& text, int maxBytes) {
    int bytes = 0;
    int i = 0;
    while (i < text.size()) {
        const char16_t c = text.at(i).unicode();
        int units = 1;
        int size = 1;
        if (c >= 0x80) size = c < 0x800 ? 2 : 3;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            units = 2;
            size = 4;
        }
        if (bytes + size > maxBytes) break;
        bytes += size;
        i += units;
    }
    return text.left(i);
}

QString CapComponentBytes(const QString& name, int reservedBytes) {
    const int limit = kMaxNameBytes - reservedBytes;
    if (limit <= 0) return QString();
    if (utf8Bytes(name) <= limit) return name;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    QString extension;
    if (dot > 0) {
        extension = name.mid(dot);
        const int extensionBytes = utf8Bytes(extension);
        if (extensionBytes > kMaxExtensionBytes || extensionBytes >= limit) extension.clear();
    }
    const QString stem = extension.isEmpty() ? name : name.left(dot);
    return CutToUtf8Bytes(stem, limit - utf8Bytes(extension)) + extension;
}

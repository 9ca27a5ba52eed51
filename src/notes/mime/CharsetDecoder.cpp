#include "notes/mime/CharsetDecoder.h"

#include <QStringDecoder>

#include <unicode/ucnv.h>

#include <limits>
#include <memory>
#include <vector>

namespace mime {

namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openConverter(const QString& charset) {
    QByteArray name = charset.trimmed().toLatin1();
    // Mail calls Windows-1252 and friends by names ICU spells differently.
    if (name.compare("us-ascii", Qt::CaseInsensitive) == 0 || name.compare("ascii", Qt::CaseInsensitive) == 0
        || name.compare("iso-8859-1", Qt::CaseInsensitive) == 0 || name.compare("latin1", Qt::CaseInsensitive) == 0)
        name = "windows-1252";  // browsers and mail readers treat these as 1252
    if (name.isEmpty() || name.size() > 64) return nullptr;
    UErrorCode err = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(name.constData(), &err);
    if (U_FAILURE(err)) {
        if (conv) ucnv_close(conv);
        return nullptr;
    }
    return ConverterPtr(conv);
}

bool isUtf8Name(const QString& charset) {
    const QString c = charset.trimmed().toLower();
    return c == QLatin1String("utf-8") || c == QLatin1String("utf8");
}

QString viaConverter(UConverter* conv, const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    // One UTF-16 unit per byte is enough for every converter except a few
    // multi-byte ones that may give two; size for the worst case.
    std::vector<UChar> buffer(size_t(bytes.size()) * 2 + 4);
    UErrorCode err = U_ZERO_ERROR;
    const int32_t len = ucnv_toUChars(conv, buffer.data(), int32_t(buffer.size()), bytes.constData(),
                                      int32_t(bytes.size()), &err);
    if (U_FAILURE(err)) return QString(bytes.size(), QChar(0xFFFD));
    return QString(reinterpret_cast<const QChar*>(buffer.data()), len);
}

QString windows1252(const QByteArray& bytes) {
    ConverterPtr conv = openConverter(QStringLiteral("windows-1252"));
    if (!conv) return QString::fromLatin1(bytes);
    return viaConverter(conv.get(), bytes);
}

bool validUtf8(const QByteArray& bytes, QString& out) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out = dec.decode(bytes);
    return !dec.hasError();
}

}  // namespace

QString CharsetDecoder::decode(const QByteArray& bytes, const QString& charset, QString* problem) {
    if (bytes.size() > (std::numeric_limits<int32_t>::max)() / 2 - 8) {
        if (problem) *problem = QStringLiteral("The text is too large to read.");
        return {};
    }
    QString text;
    if (charset.trimmed().isEmpty()) {
        if (validUtf8(bytes, text)) return text;
        return windows1252(bytes);
    }
    if (isUtf8Name(charset)) {
        if (validUtf8(bytes, text)) return text;
        if (problem) *problem = QStringLiteral("The text is not valid UTF-8; it was read as Windows-1252.");
        return windows1252(bytes);
    }
    ConverterPtr conv = openConverter(charset);
    if (!conv) {
        if (problem)
            *problem = QStringLiteral("Unknown charset \"%1\"; the text was read as Windows-1252.")
                           .arg(charset.left(64));
        return windows1252(bytes);
    }
    return viaConverter(conv.get(), bytes);
}

bool CharsetDecoder::isKnown(const QString& charset) {
    return isUtf8Name(charset) || openConverter(charset) != nullptr;
}

}  // namespace mime

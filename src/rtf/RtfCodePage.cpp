#include "rtf/RtfCodePage.h"

#include "rtf/RtfTextEscaper.h"

#include <QList>

#include <unicode/ucnv.h>

#include <vector>

namespace rtf {

RtfCodePage::RtfCodePage(int codePage) : m_codePage(codePage) {
    if (codePage == 1252 || codePage <= 0) {
        m_codePage = 1252;
        return;
    }
    QList<QByteArray> names;
    if (codePage == 65001) names << "UTF-8";
    else if (codePage == 10000) names << "macintosh";
    else if (codePage == 932) names << "windows-31j" << "ibm-943_P15A-2003";
    names << "windows-" + QByteArray::number(codePage) << "cp" + QByteArray::number(codePage)
          << "ibm-" + QByteArray::number(codePage);
    for (const QByteArray& name : names) {
        UErrorCode err = U_ZERO_ERROR;
        UConverter* conv = ucnv_open(name.constData(), &err);
        if (U_SUCCESS(err) && conv) {
            m_converter = conv;
            return;
        }
        if (conv) ucnv_close(conv);
    }
    m_codePage = 1252;
}

RtfCodePage::~RtfCodePage() {
    if (m_converter) ucnv_close(m_converter);
}

QString RtfCodePage::decode(const QByteArray& bytes) const {
    if (!m_converter) {
        QString out;
        out.reserve(bytes.size());
        for (char b : bytes) out += QChar(RtfTextEscaper::cp1252Char(static_cast<unsigned char>(b)));
        return out;
    }
    ucnv_reset(m_converter);
    std::vector<UChar> buffer(size_t(bytes.size()) * 2 + 4);
    UErrorCode err = U_ZERO_ERROR;
    const int32_t len = ucnv_toUChars(m_converter, buffer.data(), int32_t(buffer.size()), bytes.constData(),
                                      int32_t(bytes.size()), &err);
    if (U_FAILURE(err) && err != U_STRING_NOT_TERMINATED_WARNING) return QString(bytes.size(), QChar(0xFFFD));
    return QString(reinterpret_cast<const QChar*>(buffer.data()), len);
}

int RtfCodePage::codePageOfCharset(int charset) {
    switch (charset) {
        case 77: return 10000;
        case 128: return 932;
        case 129: return 949;
        case 130: return 1361;
        case 134: return 936;
        case 136: return 950;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        case 254: return 437;
        default: return 0;
    }
}

}  // namespace rtf

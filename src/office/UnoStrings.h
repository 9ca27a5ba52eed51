#pragma once

// Conversions between Qt and UNO strings, and file URLs. Office-internal:
// include only from .cpp files of the office library (pulls in UNO headers).

#include <QString>
#include <osl/file.hxx>
#include <rtl/ustring.hxx>

inline rtl::OUString toOU(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), sal_Int32(s.size()));
}

inline QString fromOU(const rtl::OUString& s) {
    return QString(reinterpret_cast<const QChar*>(s.getStr()), qsizetype(s.getLength()));
}

// file:// URL of an absolute path, percent-encoded; empty when the path is not absolute.
inline rtl::OUString fileUrl(const QString& path) {
    rtl::OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(toOU(path), url) != osl::FileBase::E_None) return {};
    return url;
}
